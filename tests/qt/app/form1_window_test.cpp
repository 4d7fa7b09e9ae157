#include <QAction>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "app/application.h"
#include "app/form1.h"
#include "app/form1_window.h"
#include "app/qt_view_factory.h"
#include "fake_platform.h"
#include "tray/form4.h"

using namespace latchsweep;

namespace {

// Flattens a QMenu tree as "[name:caption [children]]", the shape the core's menu data has.
QString flatten(const QList<QAction*>& actions)
{
    QString out;
    for (QAction* action : actions) {
        if (action->isSeparator())
            continue;
        const QMenu* menu = action->menu();
        const QString name = menu ? menu->objectName() : action->objectName();
        out += QStringLiteral("[%1:%2").arg(name, action->text());
        if (menu)
            out += QLatin1Char(' ') + flatten(menu->actions());
        out += QLatin1Char(']');
    }
    return out;
}

} // namespace

class Form1WindowTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        platform_ = std::make_unique<testing::FakePlatform>();
        app_ = std::make_unique<Application>(platform_->ports, views_);
        app_->start();
        window_ = &static_cast<qt::Form1Window&>(app_->form1().view());
    }

    void cleanup()
    {
        app_.reset();
        platform_.reset();
    }

    void captionAndFixedFrame()
    {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Latchsweep"));
        const Qt::WindowFlags flags = window_->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(window_->minimumSize(), window_->maximumSize());
    }

    void clientAreaAndControlsAtTheirTwipsPositions()
    {
        const double tpp = window_->twipsPerPixelX();
        auto px = [tpp](int twips) { return twipsToPixels(twips, tpp); };
        QCOMPARE(window_->centralWidget()->size(), QSize(px(4680), px(990)));
        auto* frame = window_->findChild<QGroupBox*>(QStringLiteral("Frame1"));
        auto* on = window_->findChild<QPushButton*>(QStringLiteral("Command1"));
        auto* off = window_->findChild<QPushButton*>(QStringLiteral("Command2"));
        QVERIFY(frame && on && off);
        QCOMPARE(frame->title(), QString());
        QCOMPARE(frame->geometry(), QRect(px(120), 0, px(4455), px(855)));
        QCOMPARE(on->parentWidget(), frame);
        QCOMPARE(on->geometry(), QRect(px(120), px(240), px(2055), px(375)));
        QCOMPARE(off->geometry(), QRect(px(2280), px(240), px(2055), px(375)));
        QCOMPARE(on->text(), QStringLiteral("Turn ON"));
        QCOMPARE(off->text(), QStringLiteral("Turn OFF"));
    }

    void turnOnHasTheFocusAndTheWindowIsCentred()
    {
        QCOMPARE(window_->focusWidget(), window_->findChild<QWidget*>(QStringLiteral("Command1")));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(window_->geometry().center().x() - screen.center().x()) <= 1);
        qDebug() << window_->geometry() << window_->frameGeometry() << screen;
        QVERIFY(qAbs(window_->geometry().center().y() - screen.center().y()) <= 1);
    }

    void menuBarIsExact()
    {
        const QString spaces(43, QLatin1Char(' '));
        QCOMPARE(flatten(window_->menuBar()->actions()),
                 QStringLiteral("[file:File [exit:Exit]][settingsm:Settings [settings:Settings [settingsdir:MM2 "
                                "Directory][settingadelete:Auto Delete]]][helpm:Help [help:Help][about:About]]"
                                "[minimize:%1Minimize]")
                     .arg(spaces));
        for (QAction* action : window_->findChildren<QAction*>())
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->objectName()));
    }

    void buttonsSwitchTheSweeper()
    {
        Form1& form = app_->form1();
        QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        QVERIFY(form.Timer2.enabled());
        QVERIFY(form.Timer3.enabled());
        QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
        QVERIFY(!form.Timer2.enabled());
        QVERIFY(!form.Timer3.enabled());
        QVERIFY(form.Timer1.enabled());
    }

    void minimizeHidesTheWindow()
    {
        window_->findChild<QAction*>(QStringLiteral("minimize"))->trigger();
        QVERIFY(!window_->isVisible());
        QVERIFY(window_->windowState() & Qt::WindowMinimized);
        // The way back is the notification-area icon's double-click.
        window_->deliverMouseMove(515 * window_->twipsPerPixelX());
        QVERIFY(window_->isVisible());
        QVERIFY(!(window_->windowState() & Qt::WindowMinimized));
    }

    void fileExitRunsTheShutdownOnce()
    {
        window_->findChild<QAction*>(QStringLiteral("exit"))->trigger();
        window_->close(); // the close request that follows must not repeat the sequence
        QCOMPARE(platform_->process.endCount, 1);
        const auto deletes = std::count_if(platform_->tray.calls.begin(), platform_->tray.calls.end(),
                                           [](const testing::TrayCall& call) { return call.message == kNimDelete; });
        QCOMPARE(deletes, 1);
        QVERIFY(platform_->tray.icons.empty());
    }

    void closeButtonEndsTheProgram()
    {
        window_->close();
        QCOMPARE(platform_->process.endCount, 1);
        QVERIFY(platform_->tray.icons.empty());
    }

    void realMouseMovementNeverActsAsATrayEvent()
    {
        QWidget* client = window_->centralWidget();
        for (int x = 0; x < client->width(); x += 7) {
            QMouseEvent move(QEvent::MouseMove, QPointF(x, 5), client->mapToGlobal(QPointF(x, 5)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(client, &move);
            QCOMPARE(app_->form1().TrayMessage, x);
        }
        QVERIFY(!app_->form4().exists());
        QVERIFY(window_->isVisible());
    }

private:
    std::unique_ptr<testing::FakePlatform> platform_;
    qt::QtViewFactory views_;
    std::unique_ptr<Application> app_;
    qt::Form1Window* window_ = nullptr;
};

QTEST_MAIN(Form1WindowTest)
#include "form1_window_test.moc"
