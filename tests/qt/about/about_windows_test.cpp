#include "qt/about/about_views.h"
#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "platform/posix/no_registry.h"
#include "platform/posix/posix_launcher.h"
#include "core/about/sysinfo.h"
#include "tests/qt/qt_test_support.h"

using namespace latchsweep;
using namespace latchsweep::qt::testing;

// The help window and the about box over the real POSIX file system in a scratch directory.
class AboutWindowsTest : public QObject {
    Q_OBJECT

    std::optional<ScratchProgram> program_;
    Application& app() { return *program_->app; }
    QWidget* openHelp()
    {
        app().run(Command::OpenHelp);
        return program_->views.helpWindow();
    }
    QWidget* openAbout()
    {
        app().run(Command::OpenAbout);
        return program_->views.aboutWindow();
    }

    static void checkToolWindow(QWidget* window, const char* name, const char* caption, QRect geometry)
    {
        QCOMPARE(window->objectName(), QString::fromLatin1(name));
        QCOMPARE(window->windowTitle(), QString::fromLatin1(caption));
        QCOMPARE(window->windowType(), Qt::Window); // top-level, transient for nothing
        QCOMPARE(window->parentWidget(), nullptr);
        checkFixedFrame(window);
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->geometry(), geometry);
    }

private slots:
    void init() { program_.emplace(); }
    void cleanup() { program_.reset(); }

    void helpWindowLayout()
    {
        QWidget* window = openHelp();
        checkToolWindow(window, "frmHelp", "Help", pxRect(2760, 3750, 7860, 2775));
        checkControls(window, {{"OKButton", pxRect(6480, 120, 1215, 375), "OK"},
                               {"CancelButton", pxRect(6480, 600, 1215, 375), "Cancel"},
                               {"Label1", pxRect(120, 120, 6135, 855), "Help!"},
                               {"helptxt", pxRect(120, 1080, 7575, 1575), "Cannot Find Help File!"}});
        auto* ok = child<QPushButton>(window, "OKButton");
        auto* cancel = child<QPushButton>(window, "CancelButton");
        auto* box = child<QTextEdit>(window, "helptxt");
        checkFont(child(window, "Label1"), "Arial", 36, true, false);
        checkFont(box, "MS Sans Serif", 8.5, false, false);
        QCOMPARE(box->document()->blockCount(), 1);
        QVERIFY(box->frameShape() != QFrame::NoFrame);
        QCOMPARE(window->focusWidget(), ok);
        QCOMPARE(ok->nextInFocusChain(), cancel);
        for (QPushButton* button : {ok, cancel})
            QVERIFY(!button->isDefault() && !button->autoDefault());
    }

    void helpIgnoresEnterAndEscAndClosesByEitherButtonOrTheCloseBox()
    {
        QWidget* window = openHelp();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_Escape);
        QTest::keyClick(window->focusWidget(), Qt::Key_Return);
        settle();
        QVERIFY(window->isVisible());
        QVERIFY(app().help().exists());
        for (const char* way : {"OKButton", "CancelButton", "close box"}) {
            QPointer<QWidget> guard = openHelp();
            if (QPushButton* button = child<QPushButton>(guard, way))
                QTest::mouseClick(button, Qt::LeftButton);
            else
                QVERIFY(guard->close());
            QVERIFY2(!app().help().exists(), way);
            settle();
            QVERIFY2(guard.isNull(), way);
        }
    }

    void helpShowsPlainTextAndRichTextWithItsFormatting()
    {
        writeFile(QStringLiteral("help.txt"), "How to use Latchsweep\r\n\r\nChoose the game directory.\r\n");
        auto* box = child<QTextEdit>(openHelp(), "helptxt");
        QCOMPARE(box->toPlainText(), QStringLiteral("How to use Latchsweep\n\nChoose the game directory.\n"));
        QCOMPARE(box->font().family(), QStringLiteral("MS Sans Serif"));
        app().help().get()->onOK();
        settle();
        writeFile(QStringLiteral("help.txt"), "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                                              "{\\colortbl;\\red200\\green0\\blue0;}"
                                              "\\fs32\\b Title\\b0\\par\\fs20 Plain \\i slanted\\i0  "
                                              "\\cf1\\ul red\\ulnone\\cf0  \\f1 mono\\par}");
        box = child<QTextEdit>(openHelp(), "helptxt");
        QCOMPARE(box->toPlainText(), QStringLiteral("Title\nPlain slanted red mono\n"));
        const auto formatAt = [box](const char* word) {
            QTextCursor cursor(box->document());
            cursor.setPosition(static_cast<int>(box->toPlainText().indexOf(QLatin1String(word))) + 1);
            return cursor.charFormat();
        };
        QCOMPARE(formatAt("Title").fontWeight(), int(QFont::Bold));
        QCOMPARE(formatAt("Title").fontPointSize(), 16.0);
        QCOMPARE(formatAt("Title").fontFamilies().toStringList(), QStringList{"Arial"});
        QCOMPARE(formatAt("Plain").fontWeight(), int(QFont::Normal));
        QCOMPARE(formatAt("Plain").fontPointSize(), 10.0);
        QVERIFY(formatAt("slanted").fontItalic() && !formatAt("Plain").fontItalic());
        QCOMPARE(formatAt("red").foreground().color(), QColor(200, 0, 0));
        QVERIFY(formatAt("red").fontUnderline());
        QVERIFY(!formatAt("Plain").hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(formatAt("mono").fontFamilies().toStringList(), QStringList{"Courier New"});
    }

    void windowIconsAndTheAboutPictureAreTheOnesLoadedForTheFirstOpening()
    {
        const auto pictureKey = [](QWidget* window) {
            const QLabel* picture = child<QLabel>(window, "picIcon");
            return picture ? picture->pixmap().cacheKey() : 0;
        };
        for (QWidget* (AboutWindowsTest::*open)() : {&AboutWindowsTest::openHelp, &AboutWindowsTest::openAbout}) {
            QPointer<QWidget> first = (this->*open)();
            const qint64 icon = first->windowIcon().cacheKey();
            const qint64 picture = pictureKey(first);
            QVERIFY(first->close());
            settle();
            QVERIFY(!first);
            QWidget* again = (this->*open)();
            QCOMPARE(again->windowIcon().cacheKey(), icon);
            QCOMPARE(pictureKey(again), picture);
            QVERIFY(again->close());
            settle();
        }
    }

    void aboutBoxLayout()
    {
        QWidget* window = openAbout();
        checkToolWindow(window, "frmAbout", "About Latchsweep", pxRect(2340, 1935, 5790, 4425));
        checkControls(
            window,
            {{"picIcon", QRect(px(120), px(240), 32, 32), nullptr},
             {"lblTitle", pxRect(720, 240, 4965, 360), "LATCHSWEEP"},
             {"lblVersion", pxRect(720, 600, 3885, 225), "Version 1.0"},
             {"lblDescription", pxRect(720, 1080, 3855, 1170), nullptr},
             {"lblDisclaimer", pxRect(120, 2640, 5535, 705),
              "Warning: By Using This Program We Will Have No Responsibilty of Anything That Went/Will Go Wrong on "
              "Your Computer. (EX: Data Loss, Crashes, Viruses, Errors, etc.)"},
             {"Label1", pxRect(120, 3480, 5535, 465),
              "If You Have Any Comments/Suggestions/Complaints/Questions/Errors or Find Any Bugs, Please Contact Me "
              "A.S.A.P. Thank You"},
             {"cmdOK", pxRect(120, 3960, 4260, 345), "OK"},
             {"cmdSysInfo", pxRect(4440, 3960, 1245, 345), "&System Info..."}});
        QCOMPARE(child<QLabel>(window, "picIcon")->pixmap().size(), QSize(32, 32));
        checkFont(child(window, "lblTitle"), "Arial", 14.25, true, false);
        checkFont(child(window, "lblVersion"), "Arial", 11.25, true, false);
        checkFont(child(window, "lblDisclaimer"), "Arial", 8.25, false, true);
        checkFont(child(window, "Label1"), "Arial", 8.25, false, true);
        QCOMPARE(child(window, "lblTitle")->palette().color(QPalette::WindowText), QColor(Qt::black));
        for (const char* name : {"lblTitle", "lblVersion", "lblDisclaimer", "Label1"})
            QVERIFY2(child<QLabel>(window, name)->wordWrap(), name);

        // Our own credit and contact lines, each on a line of its own, no personal names.
        auto* ok = child<QPushButton>(window, "cmdOK");
        auto* description = child<QLabel>(window, "lblDescription");
        const QStringList lines = description->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(QStringLiteral("Latchsweep")));
        QVERIFY(lines[1].contains(QStringLiteral("issue tracker")));
        QCOMPARE(description->font(), ok->font());
        QVERIFY(ok->isDefault());
        QCOMPARE(window->focusWidget(), ok);
        QCOMPARE(ok->nextInFocusChain(), child(window, "cmdSysInfo"));
    }

    void aboutBoxSeparatorsAreEtched()
    {
        QWidget* window = openAbout();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QImage shot = window->grab().toImage();
        const QColor grey(128, 128, 128);
        for (const int row : {px(2400), px(3360)}) {
            for (const int x : {px(120), px(3000), px(5669) - 1}) {
                QCOMPARE(QColor(shot.pixel(x, row)), grey);
                QCOMPARE(QColor(shot.pixel(x, row + 1)), QColor(Qt::white));
            }
            QCOMPARE(QColor(shot.pixel(px(5684) - 1, row)), grey);
            QVERIFY(QColor(shot.pixel(px(120) - 1, row)) != grey);
        }
        for (const int index : {0, 1, 3, 4})
            QVERIFY(window->findChild<QWidget*>(QStringLiteral("Line1(%1)").arg(index)));
    }

    void aboutBoxClosesByEnterEscAndTheCloseBox()
    {
        for (const int key : {0, int(Qt::Key_Return), int(Qt::Key_Enter), int(Qt::Key_Escape)}) {
            QPointer<QWidget> window = openAbout();
            QVERIFY(QTest::qWaitForWindowActive(window));
            if (key)
                QTest::keyClick(window->focusWidget(), Qt::Key(key));
            else
                QVERIFY(window->close());
            QVERIFY2(!app().about().exists(), qPrintable(QString::number(key, 16)));
            settle();
            QVERIFY(window.isNull());
        }
    }

    void aboutBoxSystemInfoByAltSAndByClick()
    {
        QWidget* window = openAbout();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(program_->shown().size(), std::size_t{1}); // a mnemonic clicks after a short flash
        QCOMPARE(program_->shown()[0].text, std::string("System Information Is Unavailable At This Time"));
        QCOMPARE(program_->shown()[0].title, std::string("Latchsweep"));
        QTest::mouseClick(child<QPushButton>(window, "cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(program_->shown().size(), std::size_t{2});
        QVERIFY(app().about().exists() && window->isVisible());

        // The platform's own registry has no keys: the same report.
        NoRegistry registry;
        PosixLauncher launcher;
        StartSysInfo(registry, program_->files, launcher, program_->fakes.messages);
        QCOMPARE(program_->shown().size(), std::size_t{3});
    }
};

QTEST_MAIN(AboutWindowsTest)
#include "about_windows_test.moc"
