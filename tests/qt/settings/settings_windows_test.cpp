#include <QScrollBar>

#include "core/settings/form2.h"
#include "core/settings/form3.h"
#include "core/sweep/data_files.h"
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

    // Save reaches the presenter; the window it discards inside the click goes once the click is over.
    void aClickOnSaveSavesTheGameDirectory()
    {
        QPointer<QWidget> window = openForm2();
        QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);
        QVERIFY(QFile::exists(toQString(kDirectoryFile)));
        QVERIFY(window && !window->isVisible());
        settle();
        QVERIFY(!window);
    }

    // The stored lines read like a label: each on a line of its own, no scroll bar even for more
    // lines than the box holds.
    void theStoredPathShowsItsLinesWithoutAScrollBar()
    {
        writeFile(toQString(kDirectoryFile), "1\r\n2\r\n3\r\n4\r\n5\r\n");
        auto* box = child<QTextEdit>(openForm2(), "curmm2dir");
        QCOMPARE(box->toPlainText(), QStringLiteral("1\n2\n3\n4\n5"));
        QVERIFY(!box->verticalScrollBar()->isVisible() && !box->horizontalScrollBar()->isVisible());
    }

    void theTypedDelayIsReadBackAndSavedByAClickNotByEnter()
    {
        QWidget* window = openForm3();
        auto* text1 = child<QLineEdit>(window, "text1");
        text1->setFocus();
        text1->selectAll();
        QTest::keyClicks(text1, QStringLiteral(" 250 "));
        QCOMPARE(app().form3().get()->text1(), std::string(" 250 "));
        QTest::keyClick(text1, Qt::Key_Return);
        QVERIFY(program_->shown().empty());
        QTest::mouseClick(child<QPushButton>(window, "Command1"), Qt::LeftButton);
        QCOMPARE(readFile(toQString(kAutoDeleteFile)), QByteArray(" 250 \r\n"));
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
        writeFile(toQString(kAutoDeleteFile), content);
        QTest::mouseClick(child<QPushButton>(openForm3(), "Command1"), Qt::LeftButton);
        QCOMPARE(readFile(toQString(kAutoDeleteFile)), content);
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
        qt::QtMessageBoxes(program_->views.widgets()).show(view, Form3::kSaved, Form3::kSavedTitle);
        QCOMPARE(owner, window);
        QVERIFY2(offCentre.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
        QTimer::singleShot(0, [&] {
            box = QApplication::activeModalWidget();
            delete window;
        });
        qt::QtMessageBoxes(program_->views.widgets()).show(view, Form3::kSaved, Form3::kSavedTitle);
        QVERIFY(!box);
    }

    void theCloseBoxReachesTheWindow()
    {
        QVERIFY(openForm3()->close());
        QVERIFY(!app().form3().exists());
    }
};

QTEST_MAIN(SettingsWindowsTest)
#include "settings_windows_test.moc"
