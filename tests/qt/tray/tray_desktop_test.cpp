// The tray adapter on a real X server with a real tray host: its own Xvfb (started before the
// application connects) and trayer, driven with XTEST input through xdotool.

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "app/application.h"
#include "app/form1.h"
#include "app/form1_window.h"
#include "app/qt_view_factory.h"
#include "fake_platform.h"
#include "tray/qt_tray_port.h"
#include "tray/tray_views.h"

using namespace latchsweep;

namespace {

// trayer docked at the top right of the 1280-pixel screen, 200 x 32.
const QStringList kTrayerArguments{"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "200",
                                   "--height", "32", "--transparent", "false"};
const QRect kPanel(1280 - 200, 0, 200, 32);

// An Xvfb of our own on a free display number, which the server picks and reports itself.
class XServer {
public:
    bool start()
    {
        int channel[2];
        if (::pipe(channel) != 0)
            return false;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(channel[0]);
            // The server's chatter about display numbers in use is no test output.
            if (const int quiet = ::open("/dev/null", O_WRONLY); quiet >= 0) {
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
        char c = 0;
        while (::read(channel[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(channel[0]);
        if (pid_ < 0 || number.empty())
            return false;
        display_ = ":" + number;
        return true;
    }
    ~XServer()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    [[nodiscard]] const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

void xdotool(const QStringList& arguments) { QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), arguments), 0); }

struct Program {
    testing::FakePlatform fakes;
    qt::QtTrayPort tray; // the desktop's own notification area
    Platform ports{fakes.clock, fakes.files, fakes.messages, fakes.process, tray, fakes.registry, fakes.launcher};
    qt::QtViewFactory views;
    Application app{ports, views};

    Program()
    {
        app.start();
        qt::connectTrayCallback(tray, window());
    }
    qt::Form1Window& window() { return static_cast<qt::Form1Window&>(app.form1().view()); }
    QSystemTrayIcon* icon() { return tray.icon(window().handle(), static_cast<std::int32_t>(app.form1().IconObject)); }
    bool docked() { return icon() && kPanel.contains(icon()->geometry()); }
    bool restored() { return window().isVisible() && !(window().windowState() & Qt::WindowMinimized); }
};

} // namespace

class TrayDesktopTest : public QObject {
    Q_OBJECT

    QProcess trayer_;
    std::unique_ptr<Program> program_;

    bool startTrayer()
    {
        trayer_.start(QStringLiteral("trayer"), kTrayerArguments);
        return trayer_.waitForStarted() && QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000);
    }
    bool stopTrayer()
    {
        trayer_.terminate();
        trayer_.waitForFinished();
        return QTest::qWaitFor([] { return !QSystemTrayIcon::isSystemTrayAvailable(); }, 10000);
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs trayer and xdotool");
        QVERIFY(startTrayer());
    }

    void init()
    {
        if (trayer_.state() != QProcess::Running)
            QVERIFY(startTrayer());
        program_ = std::make_unique<Program>();
    }

    void cleanup()
    {
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        program_.reset();
    }

    void cleanupTestCase() { stopTrayer(); }

    void theIconDocksInTheTrayHost()
    {
        QVERIFY(program_->tray.available());
        QTRY_VERIFY(program_->docked());
        QCOMPARE(program_->icon()->toolTip(), QStringLiteral("Latchsweep"));
    }

    void aRestartedTrayHostGetsTheSameIconBack()
    {
        QTRY_VERIFY(program_->docked());
        QSystemTrayIcon* icon = program_->icon();

        QVERIFY(stopTrayer());
        QVERIFY(!program_->tray.available());
        program_->app.run(Command::Minimize); // nothing to come back through: stays on the task bar
        QVERIFY(program_->window().isVisible());
        program_->window().setMinimized(false);

        QVERIFY(startTrayer());
        QTRY_VERIFY(program_->docked());
        QCOMPARE(program_->icon(), icon);
        program_->app.run(Command::Minimize);
        QVERIFY(!program_->window().isVisible());
    }

    void aTrayHostStartedLaterGetsTheIcon()
    {
        program_.reset();
        QVERIFY(stopTrayer());
        program_ = std::make_unique<Program>();
        QVERIFY(!program_->icon());

        QVERIFY(startTrayer());
        QTRY_VERIFY_WITH_TIMEOUT(program_->docked(), 3 * qt::QtTrayPort::kAreaPollMs);
        QCOMPARE(program_->icon()->toolTip(), QStringLiteral("Latchsweep"));
    }

    void realClicksOnTheIcon()
    {
        QTRY_VERIFY(program_->docked());
        const QPoint centre = program_->icon()->geometry().center();
        const QStringList at{"mousemove", QString::number(centre.x()), QString::number(centre.y())};

        program_->app.run(Command::Minimize);
        QVERIFY(!program_->window().isVisible());
        xdotool(at + QStringList{"click", "--repeat", "2", "--delay", "80", "1"});
        QTRY_VERIFY(program_->restored());

        // The right button opens the pop-up on its release, not on its press.
        QString opened;
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
        QTRY_COMPARE(opened, QStringLiteral("Menu"));
        QVERIFY(program_->app.form4().exists());
    }
};

int main(int argc, char* argv[])
{
    XServer server;
    if (!server.start()) {
        std::fputs("Xvfb did not start\n", stderr);
        return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(server.display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    // The XEmbed tray of the display, not a StatusNotifierItem host of some session bus.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    QApplication application(argc, argv);
    TrayDesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tray_desktop_test.moc"
