#include <QScrollBar>

#include "core/settings/form2.h"
#include "core/settings/form3.h"
#include "qt/app/qt_platform.h"
#include "qt/settings/directory_list_widget.h"
#include "qt/settings/settings_views.h"
#include "tests/qt/qt_test_support.h"

using namespace latchsweep;
using namespace latchsweep::qt::testing;

// The settings windows over the real POSIX file system in a scratch working directory.
class SettingsWindowsTest : public QObject {
    Q_OBJECT

    std::optional<ScratchProgram> program_;
    QString work_;
    Application& app() { return *program_->app; }
    QWidget* openForm2()
    {
        app().run(Command::OpenGameDirectory);
        return program_->views.form2Window();
    }
    QWidget* openForm3()
    {
        app().run(Command::OpenAutoDelete);
        return program_->views.form3Window();
    }
    std::string mm2Dir() { return app().form2().get()->MM2Dir().path(); }
    std::string under(const QString& name) { return (work_ + QLatin1Char('/') + name).toStdString(); }

    static void checkWindow(QWidget* window, const WindowLayout& windowLayout)
    {
        checkLayout(window, windowLayout);
        checkFixedFrame(window);
        QVERIFY(window->isVisible());
        QVERIFY(!window->windowIcon().isNull());
    }

private slots:
    void init()
    {
        program_.emplace();
        for (const char* dir : {"Games/MM2", "apps", "Zeta"})
            QVERIFY(QDir().mkpath(QString::fromLatin1(dir)));
        work_ = QDir::currentPath();
        app().start();
    }

    void cleanup() { program_.reset(); }

    void windowsAreBuiltFromTheLayouts()
    {
        QWidget* window = openForm2();
        checkWindow(window, form2Layout());
        auto* list = child<qt::DirectoryListWidget>(window, "MM2Dir");
        QVERIFY(child<QTextEdit>(window, "curmm2dir")->isReadOnly());
        QCOMPARE(window->focusWidget(), list);
        QTest::keyClick(list, Qt::Key_Tab);
        QCOMPARE(window->focusWidget(), child(window, "Command1"));
        const QStringList parts = work_.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        QCOMPARE(texts, (QStringList{QStringLiteral("/")} + parts + QStringList{"apps", "Games", "Zeta"}));
        QCOMPARE(list->currentRow(), parts.size());
        window = openForm3();
        checkWindow(window, form3Layout());
        QCOMPARE(child(window, "Command1")->nextInFocusChain(), child(window, "text1"));
        checkFrameDrawing(child<QGroupBox>(window, "Frame1"));
    }

    void onlyEnterOpensTheHighlightedDirectory()
    {
        auto* list = child<qt::DirectoryListWidget>(openForm2(), "MM2Dir");
        list->setFocus();
        QListWidgetItem* games = list->findItems(QStringLiteral("Games"), Qt::MatchExactly).value(0);
        while (list->currentItem() != games)
            QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(mm2Dir(), work_.toStdString());
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(mm2Dir(), under(QStringLiteral("Games")));
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Games"));
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Enter);
        QCOMPARE(mm2Dir(), under(QStringLiteral("Games/MM2")));
        QTest::keyClick(list, Qt::Key_Home);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(mm2Dir(), std::string("/"));
        QCOMPARE(list->currentRow(), 0);
    }

    void aDoubleClickOpensASingleClickOnlyHighlights()
    {
        auto* list = child<qt::DirectoryListWidget>(openForm2(), "MM2Dir");
        QListWidgetItem* zeta = list->findItems(QStringLiteral("Zeta"), Qt::MatchExactly).value(0);
        QVERIFY(zeta);
        const QPoint at = list->visualItemRect(zeta).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(list->currentItem(), zeta);
        QCOMPARE(mm2Dir(), work_.toStdString());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(mm2Dir(), under(QStringLiteral("Zeta")));
    }

    void saveWritesConfirmsAndClosesTheGameDirectoryWindow()
    {
        QWidget* window = openForm2();
        auto* list = child<qt::DirectoryListWidget>(window, "MM2Dir");
        list->setCurrentItem(list->findItems(QStringLiteral("Games"), Qt::MatchExactly).value(0));
        QTest::keyClick(list, Qt::Key_Return);
        QPointer<QWidget> guard(window);
        QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);
        QCOMPARE(readFile(QStringLiteral("Directory.txt")), (work_ + QStringLiteral("/Games/MM2.LOCK\r\n")).toUtf8());
        QCOMPARE(program_->shown().size(), std::size_t(1));
        QVERIFY(!app().form2().exists());
        QVERIFY(guard && !guard->isVisible());
        settle();
        QVERIFY(!guard);
        writeFile(QStringLiteral("Directory.txt"), "first\r\nsecond\r\n");
        QCOMPARE(child<QTextEdit>(openForm2(), "curmm2dir")->toPlainText(), QStringLiteral("first\nsecond"));
    }

    // The stored path reads like a label: no scroll bar even for a list too long for the box.
    void theStoredPathShowsNoScrollBar()
    {
        writeFile(QStringLiteral("Directory.txt"), "1\r\n2\r\n3\r\n4\r\n5\r\n");
        auto* box = child<QTextEdit>(openForm2(), "curmm2dir");
        QVERIFY(!box->verticalScrollBar()->isVisible() && !box->horizontalScrollBar()->isVisible());
    }

    void typedDelayIsSavedByClickNotByEnterAndKeptWhenTheSaveFails()
    {
        QVERIFY(QDir().mkdir(QStringLiteral("AutoDelete.txt"))); // in the file's place: the save fails
        QWidget* window = openForm3();
        auto* text1 = child<QLineEdit>(window, "text1");
        auto* save = child<QPushButton>(window, "Command1");
        text1->setFocus();
        text1->selectAll();
        QTest::keyClicks(text1, QStringLiteral(" 250 "));
        QCOMPARE(app().form3().get()->text1(), std::string(" 250 "));
        QTest::keyClick(text1, Qt::Key_Return);
        QVERIFY(program_->shown().empty());
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(program_->shown().size(), std::size_t(1));
        QVERIFY(program_->shown()[0].text.starts_with("Could not save AutoDelete.txt: "));
        QVERIFY(app().form3().exists() && window->isVisible());
        QCOMPARE(text1->text(), QStringLiteral(" 250 "));
        QVERIFY(QDir().rmdir(QStringLiteral("AutoDelete.txt")));
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(readFile(QStringLiteral("AutoDelete.txt")), QByteArray(" 250 \r\n"));
        QCOMPARE(program_->shown().size(), std::size_t(2));
        QCOMPARE(program_->shown()[1].text, std::string(Form3::kSaved));
        QVERIFY(!app().form3().exists());
    }

    void untouchedTextKeepsTheBytesOfTheFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("spaces") << QByteArray(" 250 \r\n");
        QTest::newRow("not UTF-8") << QByteArray("\xff\xfe\xc3\x28 12\r\n");
        QTest::newRow("binary") << QByteArray("a\0b\x01\r\n", 6);
    }

    void untouchedTextKeepsTheBytesOfTheFile()
    {
        QFETCH(QByteArray, content);
        writeFile(QStringLiteral("AutoDelete.txt"), content);
        QTest::mouseClick(child<QPushButton>(openForm3(), "Command1"), Qt::LeftButton);
        QCOMPARE(readFile(QStringLiteral("AutoDelete.txt")), content);
    }

    // A box stands over the window that asks for it, and goes with a window deleted under it.
    void aBoxBelongsToTheWindowThatAsks()
    {
        QWidget* window = openForm3();
        window->move(20, 400); // away from the main window and the screen's centre
        const WindowView* view = &app().form3().get()->view();
        QPointer<QWidget> box;
        QWidget* owner = nullptr;
        QPoint offCentre;
        QTimer::singleShot(0, [&] {
            if (!(box = QApplication::activeModalWidget()))
                return;
            owner = box->parentWidget();
            offCentre = box->frameGeometry().center() - window->frameGeometry().center();
            box->close();
        });
        qt::QtMessageBoxes(program_->views.widgets()).show(view, "Saved", "Success");
        QCOMPARE(owner, window);
        QVERIFY2(offCentre.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
        QTimer::singleShot(0, [&] {
            box = QApplication::activeModalWidget();
            delete window;
        });
        qt::QtMessageBoxes(program_->views.widgets()).show(view, "Saved", "Success");
        QVERIFY(!box);
    }

    void theCloseBoxDiscardsTheWindowUnsaved()
    {
        QWidget* window = openForm3();
        child<QLineEdit>(window, "text1")->setText(QStringLiteral("1"));
        QPointer<QWidget> guard(window);
        QVERIFY(window->close());
        QVERIFY(!app().form3().exists());
        settle();
        QVERIFY(!guard);
        QVERIFY(!QFile::exists(QStringLiteral("AutoDelete.txt")));
        QVERIFY(program_->shown().empty());
    }
};

QTEST_MAIN(SettingsWindowsTest)
#include "settings_windows_test.moc"
