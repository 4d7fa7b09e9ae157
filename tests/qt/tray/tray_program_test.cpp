#include <QApplication>
#include <QCursor>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QMenu>
#include <QtTest>

#include "app/application.h"
#include "app/form1.h"
#include "app/form1_window.h"
#include "app/icons.h"
#include "about/frm_about.h"
#include "about/frm_help.h"
#include "app/qt_view_factory.h"
#include "fake_platform.h"
#include "settings/form2.h"
#include "settings/form3.h"
#include "tray/form4.h"
#include "tray/qt_tray_port.h"
#include "tray/tray_views.h"

using namespace latchsweep;

namespace {

QString flatten(const QList<QAction*>& actions)
{
    QString out;
    for (QAction* action : actions) {
        const QMenu* menu = action->menu();
        out += QStringLiteral("[%1:%2").arg(menu ? menu->objectName() : action->objectName(), action->text());
        if (menu)
            out += QLatin1Char(' ') + flatten(menu->actions());
        out += QLatin1Char(']');
    }
    return out;
}

QAction* itemNamed(QMenu* menu, const QString& name)
{
    for (QAction* action : menu->actions())
        if ((action->menu() ? action->menu()->objectName() : action->objectName()) == name)
            return action;
    return nullptr;
}

void closePopups()
{
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

// Works the pop-up while its own event loop runs: each time a new menu is open, clicks the next
// item of `path` in it. `onFirst` sees the first menu before anything is clicked.
class MenuDriver : public QObject {
public:
    MenuDriver(QStringList path, Qt::MouseButton button = Qt::LeftButton) : path_(std::move(path)), button_(button)
    {
        connect(&timer_, &QTimer::timeout, this, &MenuDriver::tick);
        timer_.start(10);
    }
    std::function<void(QMenu*)> onFirst;
    QString failure;
    int clicked = 0;

private:
    void tick()
    {
        auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!open || open == last_)
            return;
        if (!last_ && onFirst)
            onFirst(open);
        last_ = open;
        if (clicked == path_.size()) {
            timer_.stop();
            return;
        }
        QAction* action = itemNamed(open, path_[clicked]);
        if (!action) {
            failure = QStringLiteral("no item %1 in %2").arg(path_[clicked], open->objectName());
            timer_.stop();
            closePopups();
            return;
        }
        ++clicked;
        QTest::mouseClick(open, button_, {}, open->actionGeometry(action).center());
        if (clicked == path_.size())
            timer_.stop();
    }

    QStringList path_;
    Qt::MouseButton button_;
    QTimer timer_;
    QMenu* last_ = nullptr;
};

// The program on fake files, processes and clocks, with the real Qt windows and tray adapter.
struct Program {
    bool area = true;
    testing::FakePlatform fakes;
    qt::QtTrayPort tray{[this] { return area; }};
    Platform ports{fakes.clock, fakes.files, fakes.messages, fakes.process, tray, fakes.registry, fakes.launcher};
    qt::QtViewFactory views;
    Application app{ports, views};

    explicit Program(bool withArea = true) : area(withArea)
    {
        app.start();
        qt::connectTrayCallback(tray, window());
    }
    qt::Form1Window& window() { return static_cast<qt::Form1Window&>(app.form1().view()); }
    QSystemTrayIcon* icon() { return tray.icon(window().handle(), static_cast<std::int32_t>(app.form1().IconObject)); }
    bool restored() { return window().isVisible() && !(window().windowState() & Qt::WindowMinimized); }
    QMenu* popupMenu()
    {
        Form4* carrier = app.form4().get();
        return carrier ? dynamic_cast<QWidget&>(carrier->view()).findChild<QMenu*>(QStringLiteral("Menu")) : nullptr;
    }
    // The notification area reports a right click (its release) over the icon.
    void rightClick()
    {
        emit icon()->activated(QSystemTrayIcon::Context);
        QCoreApplication::processEvents();
    }
};

} // namespace

class TrayProgramTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Program> program_;

private slots:
    void initTestCase()
    {
        // Qt's own tray code asks the offscreen platform for an X11 signal it does not have.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.core.qobject.connect.warning=false"));
    }

    void init() { program_ = std::make_unique<Program>(); }
    void cleanup()
    {
        closePopups();
        program_.reset();
    }

    void startUpShowsTheIconUnderIconObject()
    {
        QSystemTrayIcon* icon = program_->icon();
        QVERIFY(icon);
        QVERIFY(icon->isVisible());
        QCOMPARE(icon->toolTip(), QStringLiteral("Latchsweep"));
        QCOMPARE(icon->icon().cacheKey(), qt::IconTable::instance().icon(program_->app.form1().IconObject).cacheKey());
        QCOMPARE(program_->tray.iconCount(), 1u);
    }

    void theTrayIconStepsWithTheWindowIcon()
    {
        const auto frames = program_->window().imageList();
        QCOMPARE(frames.size(), 2u);
        for (const IconHandle frame : {frames[0], frames[1], frames[0]}) {
            program_->fakes.clock.advance(Form1::kTimer1Period);
            const qint64 key = qt::IconTable::instance().icon(frame).cacheKey();
            QCOMPARE(program_->icon()->icon().cacheKey(), key);
            QCOMPARE(program_->window().windowIcon().cacheKey(), key);
        }
    }

    void doubleClickBringsTheMinimizedWindowBack()
    {
        program_->app.run(Command::Minimize);
        QVERIFY(!program_->window().isVisible());
        emit program_->icon()->activated(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(program_->restored());
    }

    void minimizeWithoutAnAreaKeepsTheTaskBarButtonUntilOneAppears()
    {
        program_.reset();
        program_ = std::make_unique<Program>(false);
        QVERIFY(!program_->icon());
        program_->app.run(Command::Minimize);
        QVERIFY(program_->window().isVisible());
        QVERIFY(program_->window().windowState() & Qt::WindowMinimized);

        program_->area = true;
        program_->tray.checkArea();
        QVERIFY(program_->icon());
        QCOMPARE(program_->icon()->toolTip(), QStringLiteral("Latchsweep"));
        program_->app.run(Command::Minimize);
        QVERIFY(!program_->window().isVisible());
    }

    void thePopUpIsForm4sMenuAtThePointer()
    {
        QCursor::setPos(200, 150);
        MenuDriver driver({});
        QString tree;
        QPoint at;
        driver.onFirst = [&](QMenu* menu) {
            tree = menu->objectName() + QLatin1Char(' ') + flatten(menu->actions());
            at = menu->geometry().topLeft();
            closePopups();
        };
        program_->rightClick();
        QCOMPARE(tree, QStringLiteral("Menu [filemenu:File [exit:Exit]][setmenu:Settings [settings:Settings "
                                      "[mm2dir:MM2 Directory][autodelete:Auto-Delete]]][helpmenu:Help [help:Help]"
                                      "[about:About]][show:Show Main Window]"));
        QCOMPARE(at, QPoint(200, 150));

        Form4* carrier = program_->app.form4().get();
        QVERIFY(carrier);
        auto& form4 = dynamic_cast<QWidget&>(carrier->view());
        QCOMPARE(form4.objectName(), QStringLiteral("Form4"));
        QCOMPARE(form4.windowTitle(), QStringLiteral("Icon Popup Menu"));
        QVERIFY(!form4.isVisible());
        QVERIFY(program_->window().isVisible()); // dismissing does nothing
    }

    void eachCommand_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::newRow("exit") << QStringList{"filemenu", "exit"};
        QTest::newRow("mm2dir") << QStringList{"setmenu", "settings", "mm2dir"};
        QTest::newRow("autodelete") << QStringList{"setmenu", "settings", "autodelete"};
        QTest::newRow("help") << QStringList{"helpmenu", "help"};
        QTest::newRow("about") << QStringList{"helpmenu", "about"};
        QTest::newRow("show") << QStringList{"show"};
    }

    void eachCommand()
    {
        QFETCH(QStringList, path);
        Application& app = program_->app;
        program_->fakes.clock.advance(10 * Form1::kTimer1Period);
        app.run(Command::Minimize);
        MenuDriver driver(path);
        program_->rightClick();
        QVERIFY2(driver.failure.isEmpty(), qPrintable(driver.failure));
        QCOMPARE(driver.clicked, path.size());
        QVERIFY(!QApplication::activePopupWidget());

        const QString command = path.last();
        QCOMPARE(program_->fakes.process.endCount, command == "exit" ? 1 : 0);
        QCOMPARE(program_->icon() == nullptr, command == "exit");
        QCOMPARE(program_->restored(), command == "show");
        QCOMPARE(app.form4().exists(), command != "show");
        auto shown = [](auto& instance) { return instance.exists() && instance.get()->view().isShown(); };
        QCOMPARE(shown(app.form2()), command == "mm2dir");
        QCOMPARE(shown(app.form3()), command == "autodelete");
        QCOMPARE(shown(app.help()), command == "help");
        QCOMPARE(shown(app.about()), command == "about");
    }

    void theRightButtonChoosesNothing()
    {
        program_->app.run(Command::Minimize);
        MenuDriver driver({"show"}, Qt::RightButton);
        QTimer::singleShot(300, [] { closePopups(); });
        program_->rightClick();
        QCOMPARE(driver.clicked, 1);
        QVERIFY(!program_->window().isVisible());
        QVERIFY(program_->app.form4().exists());
    }

    void aDragBeyondTheWindowIsNoCallback()
    {
        QWidget* client = program_->window().centralWidget();
        QVERIFY(client);
        const double tpp = program_->window().twipsPerPixelX();
        for (const int x : {515, 517}) {
            const QPointF at(x * 15.0 / tpp, 10);
            QMouseEvent drag(QEvent::MouseMove, at, client->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(client, &drag);
        }
        QCoreApplication::processEvents();
        QVERIFY(!program_->app.form4().exists());
        QCOMPARE(program_->app.form1().TrayMessage, 0);

        // Inside the client area a move does reach the decoding.
        QMouseEvent move(QEvent::MouseMove, QPointF(100, 10), client->mapToGlobal(QPointF(100, 10)), Qt::NoButton,
                         Qt::NoButton, {});
        QApplication::sendEvent(client, &move);
        QCOMPARE(program_->app.form1().TrayMessage, 100);
    }
};

QTEST_MAIN(TrayProgramTest)
#include "tray_program_test.moc"
