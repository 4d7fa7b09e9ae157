#include "core/app/form1.h"
#include "core/tray/form4.h"
#include "qt/app/form1_window.h"
#include "tests/qt/qt_test_support.h"

using namespace latchsweep;
using namespace latchsweep::qt::testing;

class Form1WindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<latchsweep::testing::FakePlatform> platform_;
    qt::QtViewFactory views_;
    std::unique_ptr<Application> app_;
    qt::Form1Window* window_ = nullptr;

    void sendMove(QPointF at, Qt::MouseButtons held = Qt::NoButton)
    {
        QWidget* client = window_->centralWidget();
        QMouseEvent move(QEvent::MouseMove, at, client->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(client, &move);
    }

private slots:
    void init()
    {
        platform_ = std::make_unique<latchsweep::testing::FakePlatform>();
        app_ = std::make_unique<Application>(platform_->ports, views_);
        app_->start();
        window_ = views_.form1Window();
        QVERIFY(window_);
    }

    void cleanup()
    {
        app_.reset();
        settle();
        platform_.reset();
    }

    void windowAndMenuBarAreBuiltFromTheLayout()
    {
        checkLayout(window_, form1Layout());
        checkFixedFrame(window_);
        QVERIFY(window_->windowFlags() & Qt::WindowSystemMenuHint);
        QCOMPARE(window_->focusWidget(), child(window_, "Command1"));
        checkFrameDrawing(child<QGroupBox>(window_, "Frame1"));
        const QPoint screen = QGuiApplication::primaryScreen()->geometry().center();
        QVERIFY(qAbs(window_->geometry().center().x() - screen.x()) <= 1);
        QVERIFY(qAbs(window_->geometry().center().y() - screen.y()) <= 1);
        // The bar's rows, one after the other, hold the core's menu bar.
        QList<QAction*> entries;
        for (QMenuBar* row : window_->menuBarRows())
            entries += row->actions();
        checkMenu(entries, mainMenuBar(), false, QStringLiteral("bar"));
        for (QAction* action : window_->findChildren<QAction*>())
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->objectName()));
    }

    void buttonsMenuAndMouseMovesReachThePresenter()
    {
        Form1& form = app_->form1();
        QTest::mouseClick(child<QPushButton>(window_, "Command1"), Qt::LeftButton);
        QVERIFY(form.Timer2().enabled() && form.Timer3().enabled());
        QTest::mouseClick(child<QPushButton>(window_, "Command2"), Qt::LeftButton);
        QVERIFY(!form.Timer2().enabled() && !form.Timer3().enabled() && form.Timer1().enabled());
        child<QAction>(window_, "minimize")->trigger();
        QVERIFY(!window_->isVisible());
        QVERIFY(window_->windowState() & Qt::WindowMinimized);
        window_->deliverMouseMove(515 * window_->twipsPerPixelX()); // the tray icon's double-click
        QVERIFY(window_->isVisible());
        QVERIFY(!(window_->windowState() & Qt::WindowMinimized));
        for (const int code : {515, 517}) // moves of a drag carried past the window's edge
            sendMove(QPointF(code * 15.0 / window_->twipsPerPixelX(), 10), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(form.TrayMessage(), 515); // the double-click's, above
        for (int x = 0; x < window_->centralWidget()->width(); x += 7) {
            sendMove(QPointF(x, 5));
            QCOMPARE(form.TrayMessage(), x);
        }
        QVERIFY(!app_->form4().exists());
        QVERIFY(window_->isVisible());
    }

    void fileExitAndTheCloseBoxEndTheProgramOnce_data()
    {
        QTest::addColumn<bool>("viaMenu");
        QTest::newRow("File > Exit, then the close box") << true;
        QTest::newRow("the close box") << false;
    }

    void fileExitAndTheCloseBoxEndTheProgramOnce()
    {
        QFETCH(bool, viaMenu);
        if (viaMenu)
            child<QAction>(window_, "exit")->trigger();
        window_->close();
        QCOMPARE(platform_->process.endCount, 1);
        const auto& calls = platform_->tray.calls;
        QCOMPARE(std::count_if(calls.begin(), calls.end(), [](auto& call) { return call.message == kNimDelete; }), 1);
        QVERIFY(platform_->tray.icons.empty());
    }
};

QTEST_MAIN(Form1WindowTest)
#include "form1_window_test.moc"
