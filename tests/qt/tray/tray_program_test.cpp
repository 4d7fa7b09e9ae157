#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/settings/form2.h"
#include "core/settings/form3.h"
#include "core/tray/form4.h"
#include "qt/app/icons.h"
#include "tests/qt/qt_test_support.h"

using namespace latchsweep;
using namespace latchsweep::qt::testing;

namespace {

// Works the pop-up while its own event loop runs: each time a new menu is open, clicks the next
// item of `path` in it. `onFirst` sees the first menu before anything is clicked.
class MenuDriver : public QObject {
public:
    explicit MenuDriver(QStringList path, Qt::MouseButton button = Qt::LeftButton)
        : path_(std::move(path)),
          button_(button)
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
        QAction* item = nullptr;
        for (QAction* action : open->actions()) {
            const QString name = action->menu() ? action->menu()->objectName() : action->objectName();
            if (clicked < path_.size() && name == path_[clicked])
                item = action;
        }
        if (clicked < path_.size() && !item) {
            failure = QStringLiteral("no item %1 in %2").arg(path_[clicked], open->objectName());
            closePopups();
        }
        if (item) {
            ++clicked;
            QTest::mouseClick(open, button_, {}, open->actionGeometry(item).center());
        }
        if (!item || clicked == path_.size())
            timer_.stop();
    }

    QStringList path_;
    Qt::MouseButton button_;
    QTimer timer_;
    QMenu* last_ = nullptr;
};

} // namespace

class TrayProgramTest : public QObject {
    Q_OBJECT

    bool area_ = true;
    std::unique_ptr<TrayProgram> program_;

    void rightClick() // the notification area reports a right click (its release) over the icon
    {
        emit program_->icon()->activated(QSystemTrayIcon::Context);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase() { quietTrayWarnings(); }

    void init()
    {
        area_ = true;
        program_ = std::make_unique<TrayProgram>([this] { return area_; });
    }

    void cleanup()
    {
        closePopups();
        program_.reset();
    }

    void theIconIsIconObjectAndStepsWithTheWindowIcon()
    {
        QSystemTrayIcon* icon = program_->icon();
        QVERIFY(icon && icon->isVisible());
        QVERIFY(!program_->tip().isEmpty());
        QCOMPARE(icon->toolTip(), program_->tip());
        QCOMPARE(icon->icon().cacheKey(),
                 qt::IconTable::instance().icon(program_->app.form1().IconObject()).cacheKey());
        QCOMPARE(program_->tray.iconCount(), 1u);
        QList<qint64> frames; // the animation's, one a tick
        for (int tick = 0; tick < 3; ++tick) {
            program_->fakes.clock.advance(Form1::kTimer1Period);
            frames << qt::IconTable::instance().icon(program_->app.form1().view().windowIcon()).cacheKey();
            QCOMPARE(icon->icon().cacheKey(), frames.last());
            QCOMPARE(program_->window().windowIcon().cacheKey(), frames.last());
        }
        QVERIFY(frames[0] != frames[1] && frames[0] == frames[2]);
    }

    void doubleClickBringsTheMinimizedWindowBack()
    {
        program_->app.run(Command::Minimize);
        QVERIFY(!program_->window().isVisible());
        emit program_->icon()->activated(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(program_->restored());
    }

    void withoutAnAreaMinimizeKeepsTheTaskBarButtonUntilOneAppears()
    {
        area_ = false;
        program_ = std::make_unique<TrayProgram>([this] { return area_; });
        QVERIFY(!program_->icon());
        program_->app.run(Command::Minimize);
        QVERIFY(program_->window().isVisible());
        QVERIFY(program_->window().windowState() & Qt::WindowMinimized);
        area_ = true;
        program_->tray.checkArea();
        QVERIFY(program_->icon());
        QCOMPARE(program_->icon()->toolTip(), program_->tip());
        program_->app.run(Command::Minimize);
        QVERIFY(!program_->window().isVisible());
    }

    void thePopUpIsForm4sMenuAtThePointer()
    {
        QCursor::setPos(200, 150);
        MenuDriver driver({});
        QPointer<QMenu> shown;
        QPoint at;
        driver.onFirst = [&](QMenu* menu) {
            shown = menu;
            at = menu->geometry().topLeft();
            closePopups();
        };
        rightClick();
        QVERIFY(shown);
        QCOMPARE(shown->objectName(), toQString(form4Menu().name));
        QCOMPARE(shown->title(), toQString(form4Menu().caption));
        checkMenu(shown->actions(), form4Menu().children, QStringLiteral("pop-up"));
        QCOMPARE(at, QPoint(200, 150));
        QVERIFY(program_->app.form4().exists());
        QWidget& form4 = widgetOf(*program_->app.form4().get());
        QCOMPARE(form4.objectName(), toQString(form4Layout().name));
        QCOMPARE(form4.windowTitle(), toQString(form4Layout().caption));
        QVERIFY(!form4.isVisible());
        QVERIFY(program_->window().isVisible()); // dismissing does nothing
    }

    void aHostThatDrawsThePopUpIsHandedForm4sMenu()
    {
        QVERIFY(!program_->icon()->contextMenu()); // an XEmbed tray's Qt would pop it up on the press
        program_ = std::make_unique<TrayProgram>([this] { return area_; }, qt::QtTrayPort::Popups::DrawnByHost);
        QMenu* menu = program_->icon()->contextMenu();
        QVERIFY(menu);
        checkMenu(menu->actions(), form4Menu().children, QStringLiteral("host's menu"));
        Application& app = program_->app;
        app.run(Command::Minimize);
        QVERIFY(!app.form4().exists());
        emit menu->aboutToShow(); // the host asks for the menu
        QVERIFY(app.form4().exists());
        QVERIFY(!QApplication::activePopupWidget()); // and draws it itself
        menu->findChild<QAction*>(QStringLiteral("show"))->trigger();
        QVERIFY(!program_->restored()); // carried out once the host's menu handling has returned
        QTRY_VERIFY(program_->restored());
        QVERIFY(!app.form4().exists());
        menu->findChild<QAction*>(QStringLiteral("exit"))->trigger();
        QTRY_COMPARE(program_->fakes.process.endCount, 1);
        QVERIFY(!program_->icon());
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
        rightClick();
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
        rightClick();
        QCOMPARE(driver.clicked, 1);
        QVERIFY(!program_->window().isVisible());
        QVERIFY(program_->app.form4().exists());
    }
};

QTEST_MAIN(TrayProgramTest)
#include "tray_program_test.moc"
