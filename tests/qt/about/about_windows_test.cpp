#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/about/sysinfo.h"
#include "core/app/application.h"
#include "core/base/product.h"
#include "platform/posix/no_registry.h"
#include "qt/about/about_views.h"
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

    // A tool window built from its layout whose client area stands where the program places it.
    static void checkToolWindow(QWidget* window, const WindowLayout& windowLayout,
                                std::initializer_list<std::string_view> sizedByContent)
    {
        checkLayout(window, windowLayout, sizedByContent);
        QCOMPARE(window->windowType(), Qt::Window); // top-level, transient for nothing
        QCOMPARE(window->parentWidget(), nullptr);
        checkFixedFrame(window);
        QVERIFY(!window->windowIcon().isNull());
        QCOMPARE(window->geometry(), pxRect(fixedClientArea(windowLayout)));
    }

private slots:
    void init() { program_.emplace(); }
    void cleanup() { program_.reset(); }

    void helpWindowLayout()
    {
        QWidget* window = openHelp();
        checkToolWindow(window, frmHelpLayout(), {});
        auto* ok = child<QPushButton>(window, "OKButton");
        auto* cancel = child<QPushButton>(window, "CancelButton");
        auto* box = child<QTextEdit>(window, "helptxt");
        QCOMPARE(box->document()->blockCount(), 1);
        QVERIFY(box->frameShape() != QFrame::NoFrame);
        QCOMPARE(window->focusWidget(), ok);
        QCOMPARE(ok->nextInFocusChain(), cancel);
        for (QPushButton* button : {ok, cancel})
            QVERIFY(!button->isDefault() && !button->autoDefault());
    }

    // Neither button is the default or the cancel button: Esc, and Enter outside the buttons,
    // press nothing; Enter on a button presses that one.
    void helpIgnoresEscAndClosesByEitherButtonOrTheCloseBox()
    {
        QWidget* window = openHelp();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
        auto* box = child<QTextEdit>(window, "helptxt");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        settle();
        QVERIFY(window->isVisible());
        QVERIFY(app().help().exists());
        for (const char* way : {"OKButton", "CancelButton", "close box", "Enter"}) {
            QPointer<QWidget> guard = openHelp();
            if (QPushButton* button = child<QPushButton>(guard, way)) {
                QTest::mouseClick(button, Qt::LeftButton);
            } else if (way == std::string_view("Enter")) {
                auto* cancel = child<QPushButton>(guard, "CancelButton");
                cancel->setFocus();
                QTest::keyClick(cancel, Qt::Key_Return);
            } else {
                QVERIFY(guard->close());
            }
            QVERIFY2(!app().help().exists(), way);
            settle();
            QVERIFY2(guard.isNull(), way);
        }
    }

    void helpShowsPlainTextAndRichTextWithItsFormatting()
    {
        const QString helpFile = toQString(frmHelp::kHelpFile);
        writeFile(helpFile, "How to use Latchsweep\r\n\r\nChoose the game directory.\r\n");
        auto* box = child<QTextEdit>(openHelp(), "helptxt");
        QCOMPARE(box->toPlainText(), QStringLiteral("How to use Latchsweep\n\nChoose the game directory.\n"));
        QCOMPARE(box->font().family(), toQString(layoutOf(frmHelpLayout(), "helptxt").font.family));
        app().help().get()->onOK();
        settle();
        writeFile(helpFile,
                  "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
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

    void aboutBoxLayout()
    {
        QWidget* window = openAbout();
        checkToolWindow(window, frmAboutLayout(), {"picIcon"});
        // The picture is sized to the product's 32-pixel image.
        const auto* picture = child<QLabel>(window, "picIcon");
        QCOMPARE(picture->pixmap().size(), QSize(32, 32));
        QCOMPARE(picture->size(), QSize(32, 32));
        for (const std::string_view name : frmAboutBlackLabels())
            QCOMPARE(window->findChild<QWidget*>(toQString(name))->palette().color(QPalette::WindowText),
                     QColor(Qt::black));
        for (const char* name : {"lblTitle", "lblVersion", "lblDisclaimer", "Label1"})
            QVERIFY2(child<QLabel>(window, name)->wordWrap(), name);

        // Our own credit and contact lines, each on a line of its own, no personal names.
        auto* ok = child<QPushButton>(window, "cmdOK");
        auto* description = child<QLabel>(window, "lblDescription");
        const QStringList lines = description->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(toQString(kAppTitle)));
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
        // Each line is a band of its width from its top row down, drawn in order: a band's last row is
        // its own colour (the grey band, drawn after the wider white one, covers only its top row).
        QVERIFY(!frmAboutLines().empty());
        for (const EtchedLine& line : frmAboutLines()) {
            QVERIFY(window->findChild<QWidget*>(QStringLiteral("Line1(%1)").arg(line.index)));
            const int bottom = px(line.y) + line.widthPixels - 1;
            QCOMPARE(QColor(shot.pixel(px((line.x1 + line.x2) / 2), bottom)), QColor::fromRgb(line.rgb));
            QVERIFY(QColor(shot.pixel(px(line.x1) - 1, bottom)) != QColor::fromRgb(line.rgb));
        }
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
        QCOMPARE(program_->shown()[0].text, std::string(kSysInfoUnavailable));
        QCOMPARE(program_->shown()[0].title, std::string(kAppTitle));
        QTest::mouseClick(child<QPushButton>(window, "cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(program_->shown().size(), std::size_t{2});
        QVERIFY(app().about().exists() && window->isVisible());

        // The platform's own registry has no keys, and there is no launcher: the same report.
        NoRegistry registry;
        StartSysInfo(registry, program_->files, nullptr, program_->fakes.messages);
        QCOMPARE(program_->shown().size(), std::size_t{3});
    }
};

QTEST_MAIN(AboutWindowsTest)
#include "about_windows_test.moc"
