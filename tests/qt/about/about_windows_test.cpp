#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>
#include <memory>
#include <optional>

#include "about/about_views.h"
#include "about/frm_about.h"
#include "about/frm_help.h"
#include "about/posix_launcher.h"
#include "about/sysinfo.h"
#include "app/application.h"
#include "app/controls.h"
#include "app/form1.h"
#include "app/qt_view_factory.h"
#include "fake_platform.h"
#include "posix_file_system.h"

using namespace latchsweep;

namespace {

int px(int twips) { return twipsToPixels(twips, qt::screenTwipsPerPixel()); }

QRect pxRect(int left, int top, int width, int height) { return {px(left), px(top), px(width), px(height)}; }

void writeFile(const QString& path, const QByteArray& bytes, QFile::Permissions permissions = {})
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    if (permissions)
        QVERIFY(file.setPermissions(permissions));
}

// Deletes the windows the core has discarded.
void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

int visibleWindowsNamed(const QString& name)
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += widget->objectName() == name && widget->isVisible();
    return count;
}

void checkFixedToolFrameWithCloseBox(QWidget* window)
{
    const Qt::WindowFlags flags = window->windowFlags();
    QCOMPARE(window->windowType(), Qt::Tool); // top-level, off the task bar
    QVERIFY(window->isWindow());
    QCOMPARE(window->parentWidget(), nullptr);
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(window->minimumSize(), window->maximumSize());
}

void checkFont(QWidget* widget, const char* family, double points, bool bold, bool italic)
{
    QCOMPARE(widget->font().family(), QString::fromLatin1(family));
    QCOMPARE(widget->font().pointSizeF(), points);
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(widget->font().italic(), italic);
}

} // namespace

// The help window and the about box on Qt over the real POSIX file system, in a scratch working
// directory; message boxes are answered by the fake, which records them, and the registry is the
// fake with no keys.
class AboutWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(scratch_.emplace().isValid());
        previous_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(scratch_->path()));
        fakes_ = std::make_unique<testing::FakePlatform>();
        ports_ = std::make_unique<Platform>(Platform{fakes_->clock, files_, fakes_->messages, fakes_->process,
                                                     fakes_->tray, fakes_->registry, fakes_->launcher});
        app_ = std::make_unique<Application>(*ports_, views_);
    }

    void cleanup()
    {
        app_.reset();
        settle();
        ports_.reset();
        fakes_.reset();
        QDir::setCurrent(previous_);
        scratch_.reset();
    }

    void helpWindowLayout()
    {
        QWidget* window = openHelp();
        QCOMPARE(window->objectName(), QStringLiteral("frmHelp"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Help"));
        checkFixedToolFrameWithCloseBox(window);
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->geometry(), pxRect(2760, 3750, 7860, 2775));
        auto* ok = window->findChild<QPushButton*>(QStringLiteral("OKButton"));
        auto* cancel = window->findChild<QPushButton*>(QStringLiteral("CancelButton"));
        auto* title = window->findChild<QLabel*>(QStringLiteral("Label1"));
        auto* box = window->findChild<QTextEdit*>(QStringLiteral("helptxt"));
        QVERIFY(ok && cancel && title && box);
        QCOMPARE(ok->geometry(), pxRect(6480, 120, 1215, 375));
        QCOMPARE(cancel->geometry(), pxRect(6480, 600, 1215, 375));
        QCOMPARE(title->geometry(), pxRect(120, 120, 6135, 855));
        QCOMPARE(box->geometry(), pxRect(120, 1080, 7575, 1575));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
        QCOMPARE(title->text(), QStringLiteral("Help!"));
        checkFont(title, "Arial", 36, true, false);
        QCOMPARE(box->toPlainText(), QStringLiteral("Cannot Find Help File!"));
        QCOMPARE(box->document()->blockCount(), 1);
        checkFont(box, "MS Sans Serif", 8.5, false, false);
        QVERIFY(box->frameShape() != QFrame::NoFrame);
        QCOMPARE(window->focusWidget(), ok);
        QCOMPARE(ok->nextInFocusChain(), cancel);
        QVERIFY(!ok->isDefault() && !ok->autoDefault());
        QVERIFY(!cancel->isDefault() && !cancel->autoDefault());
    }

    void helpKeysAndButtons()
    {
        QWidget* window = openHelp();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_Escape);
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        settle();
        QVERIFY(window->isVisible());
        QVERIFY(app_->help().exists());

        QPointer<QWidget> guard(window);
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
        QVERIFY(!app_->help().exists());
        settle();
        QVERIFY(guard.isNull());

        guard = openHelp();
        QTest::mouseClick(guard->findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
        QVERIFY(!app_->help().exists());
        settle();
        QVERIFY(guard.isNull());

        guard = openHelp();
        QVERIFY(guard->close()); // the title bar's close box
        QVERIFY(!app_->help().exists());
        settle();
        QVERIFY(guard.isNull());
    }

    void helpShowsThePlainTextOfTheWorkingDirectory()
    {
        writeFile(QStringLiteral("help.txt"), "How to use Latchsweep\r\n\r\nChoose the game directory.\r\n");
        QWidget* window = openHelp();
        auto* box = window->findChild<QTextEdit*>(QStringLiteral("helptxt"));
        QCOMPARE(box->toPlainText(), QStringLiteral("How to use Latchsweep\n\nChoose the game directory.\n"));
        QCOMPARE(box->font().family(), QStringLiteral("MS Sans Serif"));

        // Edits while the window is open change nothing; a fresh window reads them.
        writeFile(QStringLiteral("help.txt"), "Edited");
        app_->run(Command::OpenHelp);
        QCOMPARE(box->toPlainText(), QStringLiteral("How to use Latchsweep\n\nChoose the game directory.\n"));
        app_->help().get()->onOK();
        settle();
        window = openHelp();
        QCOMPARE(window->findChild<QTextEdit*>(QStringLiteral("helptxt"))->toPlainText(), QStringLiteral("Edited"));
    }

    void helpShowsARichTextDocumentWithItsFormatting()
    {
        writeFile(QStringLiteral("help.txt"), "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                                              "{\\colortbl;\\red200\\green0\\blue0;}"
                                              "\\fs32\\b Title\\b0\\par\\fs20 Plain \\i slanted\\i0  "
                                              "\\cf1\\ul red\\ulnone\\cf0  \\f1 mono\\par}");
        QWidget* window = openHelp();
        auto* box = window->findChild<QTextEdit*>(QStringLiteral("helptxt"));
        QCOMPARE(box->toPlainText(), QStringLiteral("Title\nPlain slanted red mono\n"));
        const auto formatAt = [box](const QString& word) {
            QTextCursor cursor(box->document());
            cursor.setPosition(static_cast<int>(box->toPlainText().indexOf(word)) + 1);
            return cursor.charFormat();
        };
        QCOMPARE(formatAt(QStringLiteral("Title")).fontWeight(), int(QFont::Bold));
        QCOMPARE(formatAt(QStringLiteral("Title")).fontPointSize(), 16.0);
        QCOMPARE(formatAt(QStringLiteral("Title")).fontFamilies().toStringList(), QStringList{"Arial"});
        QCOMPARE(formatAt(QStringLiteral("Plain")).fontWeight(), int(QFont::Normal));
        QCOMPARE(formatAt(QStringLiteral("Plain")).fontPointSize(), 10.0);
        QVERIFY(formatAt(QStringLiteral("slanted")).fontItalic());
        QVERIFY(!formatAt(QStringLiteral("Plain")).fontItalic());
        QCOMPARE(formatAt(QStringLiteral("red")).foreground().color(), QColor(200, 0, 0));
        QVERIFY(formatAt(QStringLiteral("red")).fontUnderline());
        QVERIFY(!formatAt(QStringLiteral("Plain")).hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(formatAt(QStringLiteral("mono")).fontFamilies().toStringList(), QStringList{"Courier New"});
    }

    void helpIsOneWindowWhereverItIsOpenedFrom()
    {
        writeFile(QStringLiteral("help.txt"), "text");
        app_->start();
        app_->form1().onCommand(Command::OpenHelp); // the main window's Help > Help
        app_->run(Command::OpenHelp);               // the pop-up menu's Help
        QCOMPARE(visibleWindowsNamed(QStringLiteral("frmHelp")), 1);
        app_->run(Command::OpenAbout);
        app_->run(Command::OpenAbout);
        QCOMPARE(visibleWindowsNamed(QStringLiteral("frmAbout")), 1);
    }

    void aboutBoxLayout()
    {
        QWidget* window = openAbout();
        QCOMPARE(window->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(window->windowTitle(), QStringLiteral("About Latchsweep"));
        checkFixedToolFrameWithCloseBox(window);
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->geometry(), pxRect(2340, 1935, 5790, 4425));

        auto* picture = window->findChild<QLabel*>(QStringLiteral("picIcon"));
        QVERIFY(picture);
        QCOMPARE(picture->pixmap().size(), QSize(32, 32));
        QCOMPARE(picture->geometry(), QRect(px(120), px(240), 32, 32));

        struct Expected {
            const char* name;
            QRect rect;
            const char* text;
        };
        const Expected labels[] = {
            {"lblTitle", pxRect(720, 240, 4965, 360), "LATCHSWEEP"},
            {"lblVersion", pxRect(720, 600, 3885, 225), "Version 1.0"},
            {"lblDisclaimer", pxRect(120, 2640, 5535, 705),
             "Warning: By Using This Program We Will Have No Responsibilty of Anything That Went/Will Go Wrong on "
             "Your Computer. (EX: Data Loss, Crashes, Viruses, Errors, etc.)"},
            {"Label1", pxRect(120, 3480, 5535, 465),
             "If You Have Any Comments/Suggestions/Complaints/Questions/Errors or Find Any Bugs, Please Contact Me "
             "A.S.A.P. Thank You"},
        };
        for (const Expected& expected : labels) {
            auto* label = window->findChild<QLabel*>(QString::fromLatin1(expected.name));
            QVERIFY2(label, expected.name);
            QCOMPARE(label->geometry(), expected.rect);
            QCOMPARE(label->text(), QString::fromLatin1(expected.text));
            QVERIFY(label->wordWrap());
        }
        auto* title = window->findChild<QLabel*>(QStringLiteral("lblTitle"));
        checkFont(title, "Arial", 14.25, true, false);
        QCOMPARE(title->palette().color(QPalette::WindowText), QColor(Qt::black));
        checkFont(window->findChild<QLabel*>(QStringLiteral("lblVersion")), "Arial", 11.25, true, false);
        checkFont(window->findChild<QLabel*>(QStringLiteral("lblDisclaimer")), "Arial", 8.25, false, true);
        checkFont(window->findChild<QLabel*>(QStringLiteral("Label1")), "Arial", 8.25, false, true);

        // Our own credit and contact lines, each on a line of its own, no personal names.
        auto* description = window->findChild<QLabel*>(QStringLiteral("lblDescription"));
        QCOMPARE(description->geometry(), pxRect(720, 1080, 3855, 1170));
        const QStringList lines = description->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(QStringLiteral("Latchsweep")));
        QVERIFY(lines[1].contains(QStringLiteral("issue tracker")));
        QCOMPARE(description->font(), window->findChild<QPushButton*>(QStringLiteral("cmdOK"))->font());

        auto* ok = window->findChild<QPushButton*>(QStringLiteral("cmdOK"));
        auto* sysInfo = window->findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
        QCOMPARE(ok->geometry(), pxRect(120, 3960, 4260, 345));
        QCOMPARE(sysInfo->geometry(), pxRect(4440, 3960, 1245, 345));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(sysInfo->text(), QStringLiteral("&System Info..."));
        QVERIFY(ok->isDefault());
        QCOMPARE(window->focusWidget(), ok);
        QCOMPARE(ok->nextInFocusChain(), sysInfo);
    }

    void aboutBoxSeparatorsAreEtched()
    {
        QWidget* window = openAbout();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QImage shot = window->grab().toImage();
        for (const int y : {2400, 3360}) {
            const int row = px(y);
            // Grey on top, the white line's second row below it, across the whole width.
            for (const int x : {px(120), px(3000), px(5669) - 1}) {
                QCOMPARE(QColor(shot.pixel(x, row)), QColor(128, 128, 128));
                QCOMPARE(QColor(shot.pixel(x, row + 1)), QColor(Qt::white));
            }
            QCOMPARE(QColor(shot.pixel(px(5684) - 1, row)), QColor(128, 128, 128));
            QVERIFY(QColor(shot.pixel(px(120) - 1, row)) != QColor(128, 128, 128));
        }
        for (const int index : {0, 1, 3, 4})
            QVERIFY(window->findChild<QWidget*>(QStringLiteral("Line1(%1)").arg(index)));
    }

    void aboutBoxEnterAndEscClose()
    {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QPointer<QWidget> window = openAbout();
            QVERIFY(QTest::qWaitForWindowActive(window));
            QTest::keyClick(window->focusWidget(), key);
            QVERIFY2(!app_->about().exists(), qPrintable(QString::number(key, 16)));
            settle();
            QVERIFY(window.isNull());
        }
        QPointer<QWidget> window = openAbout();
        QVERIFY(window->close());
        QVERIFY(!app_->about().exists());
        settle();
        QVERIFY(window.isNull());
    }

    void aboutBoxSystemInfoByClickAndAltS()
    {
        QWidget* window = openAbout();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(fakes_->messages.shown.size(), std::size_t{1}); // a mnemonic clicks after a short flash
        QCOMPARE(fakes_->messages.shown[0].text, std::string("System Information Is Unavailable At This Time"));
        QCOMPARE(fakes_->messages.shown[0].title, std::string("Latchsweep"));
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
        QCOMPARE(fakes_->messages.shown.size(), std::size_t{2});
        QVERIFY(app_->about().exists());
        QVERIFY(window->isVisible());
    }

    void platformStandInsReportSystemInformationUnavailable()
    {
        const auto registry = qt::makeRegistry();
        auto launcher = qt::makeLauncher();
        StartSysInfo(*registry, files_, *launcher, fakes_->messages);
        QCOMPARE(fakes_->messages.shown.size(), std::size_t{1});
    }

    void launcherStartsThePathWholeNeverItsFirstWord()
    {
        // "my" beside "my tools": a launcher that split at spaces would start it.
        QVERIFY(QDir().mkpath(QStringLiteral("my tools")));
        const QFile::Permissions executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        writeFile(QStringLiteral("my"), "#!/bin/sh\n: > split.ran\n", executable);
        writeFile(QStringLiteral("my tools/run me"), "#!/bin/sh\n: > \"$0.ran\"\n", executable);
        qt::PosixLauncher launcher;
        QVERIFY(launcher.launch(QDir::current().filePath(QStringLiteral("my tools/run me")).toStdString()));
        QTRY_VERIFY(QFile::exists(QStringLiteral("my tools/run me.ran")));
        QVERIFY(!QFile::exists(QStringLiteral("split.ran")));
        // Relative to the working directory, as given.
        QVERIFY(launcher.launch("my tools/run me"));
    }

    void launcherReportsWhatCannotBeStarted()
    {
        writeFile(QStringLiteral("plain.txt"), "not a program", QFile::ReadOwner | QFile::WriteOwner);
        qt::PosixLauncher launcher;
        QVERIFY(!launcher.launch(""));
        QVERIFY(!launcher.launch("missing-program"));
        QVERIFY(!launcher.launch("plain.txt"));
        QVERIFY(!launcher.launch(QDir::currentPath().toStdString()));
        QVERIFY(!launcher.launch(std::string("/bin/true\0x", 11)));
        QVERIFY(!launcher.launch("true")); // no search of PATH
    }

private:
    QWidget* openHelp()
    {
        app_->run(Command::OpenHelp);
        return qt::windowOf(app_->help().get()->view());
    }

    QWidget* openAbout()
    {
        app_->run(Command::OpenAbout);
        return qt::windowOf(app_->about().get()->view());
    }

    std::optional<QTemporaryDir> scratch_;
    QString previous_;
    PosixFileSystem files_;
    std::unique_ptr<testing::FakePlatform> fakes_;
    std::unique_ptr<Platform> ports_;
    qt::QtViewFactory views_;
    std::unique_ptr<Application> app_;
};

QTEST_MAIN(AboutWindowsTest)
#include "about_windows_test.moc"
