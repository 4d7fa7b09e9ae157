// The tray adapter on a real X server with a real tray host: its own Xvfb (started before the
// application connects) and trayer, driven with XTEST input through xdotool.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "core/tray/form4.h"
#include "tests/qt/qt_test_support.h"

using namespace latchsweep;
using namespace latchsweep::qt::testing;

namespace {

// trayer docked at the top right of the 1280-pixel screen, 200 x 32.
const QStringList kTrayerArguments{"--edge",  "top", "--align",  "right", "--widthtype",   "pixel",
                                   "--width", "200", "--height", "32",    "--transparent", "false"};
const QRect kPanel(1280 - 200, 0, 200, 32);

// An Xvfb of our own on a free display number, which the server picks and reports itself.
class XServer {
public:
    // The display's name, or nothing when the server did not start.
    std::string start()
    {
        int channel[2];
        if (::pipe(channel) != 0 || (pid_ = ::fork()) < 0)
            return {};
        if (pid_ == 0) {
            ::close(channel[0]);
            if (const int quiet = ::open("/dev/null", O_WRONLY); quiet >= 0) { // its chatter is no test output
                ::dup2(quiet, STDOUT_FILENO);
                ::dup2(quiet, STDERR_FILENO);
            }
            const std::string fd = std::to_string(channel[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(channel[1]);
        std::string number;
        for (char c = 0; ::read(channel[0], &c, 1) == 1 && c != '\n';)
            number += c;
        ::close(channel[0]);
        return number.empty() ? std::string() : ":" + number;
    }
    ~XServer()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_ = -1;
};

void xdotool(const QStringList& arguments) { QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), arguments), 0); }

bool docked(TrayProgram& program) { return program.icon() && kPanel.contains(program.icon()->geometry()); }

} // namespace

class TrayDesktopTest : public QObject {
    Q_OBJECT

    QProcess trayer_;
    bool trayer(bool run)
    {
        if (run)
            trayer_.start(QStringLiteral("trayer"), kTrayerArguments);
        else
            trayer_.terminate();
        if (!(run ? trayer_.waitForStarted() : trayer_.waitForFinished()))
            return false;
        return QTest::qWaitFor([run] { return QSystemTrayIcon::isSystemTrayAvailable() == run; }, 10000);
    }

private slots:
    void aLateOrRestartedTrayHostDocksTheIconWhichTakesRealClicks()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs trayer and xdotool");
        TrayProgram program;
        QVERIFY(!program.tray.available() && !program.icon());
        QVERIFY(trayer(true));
        QTRY_VERIFY_WITH_TIMEOUT(docked(program), 5000); // told by the desktop, not found by looking
        QCOMPARE(program.icon()->toolTip(), program.tip());
        QSystemTrayIcon* icon = program.icon();
        program.app.run(Command::Minimize);
        QVERIFY(!program.window().isVisible());
        QVERIFY(trayer(false)); // the hidden window comes back, minimised on the task bar
        QTRY_VERIFY(program.window().isVisible());
        QVERIFY(program.window().windowState() & Qt::WindowMinimized);
        QVERIFY(!program.tray.available());
        QVERIFY(trayer(true));
        QTRY_VERIFY(docked(program));
        QCOMPARE(program.icon(), icon);
        QCOMPARE(program.tray.iconCount(), 1u);
        const QPoint centre = icon->geometry().center();
        const QStringList at{"mousemove", QString::number(centre.x()), QString::number(centre.y())};
        program.app.run(Command::Minimize);
        QVERIFY(!program.window().isVisible());
        xdotool(at + QStringList{"click", "--repeat", "2", "--delay", "80", "1"});
        QTRY_VERIFY(program.restored());
        QString opened; // the right button opens the pop-up on its release, not on its press
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                opened = menu->objectName();
                menu->close();
            }
        });
        watch.start(20);
        xdotool(at + QStringList{"mousedown", "3"});
        QTest::qWait(500);
        QVERIFY(opened.isEmpty());
        xdotool({"mouseup", "3"});
        QTRY_COMPARE(opened, toQString(form4Menu().name));
        QVERIFY(program.app.form4().exists());
        trayer(false);
    }
};

int main(int argc, char* argv[])
{
    XServer server;
    const std::string display = server.start();
    if (display.empty()) {
        std::fputs("Xvfb did not start\n", stderr);
        return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(display));
    qputenv("QT_QPA_PLATFORM", "xcb");
    // The XEmbed tray of the display, not a StatusNotifierItem host on D-Bus.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    QApplication application(argc, argv);
    TrayDesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tray_desktop_test.moc"
