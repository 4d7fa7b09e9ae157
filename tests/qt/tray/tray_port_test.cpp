#include <QLoggingCategory>
#include <QPointer>
#include <QWidget>
#include <QtTest>
#include <vector>

#include "app/icons.h"
#include "tray/callback.h"
#include "tray/module1.h"
#include "tray/qt_tray_port.h"

using namespace latchsweep;
using qt::QtTrayPort;

namespace {

constexpr WindowHandle kWindow = 0x4A0001;
constexpr std::int32_t kId = 0x00010001;

NotifyIconData record(WindowHandle window, std::int32_t id, IconHandle icon, std::string_view tip)
{
    NotifyIconData data;
    data.cbSize = Module1::kRecordSize;
    data.hWnd = window;
    data.uID = id;
    data.uFlags = Module1::kFlags;
    data.uCallbackMessage = Module1::kCallbackMessage;
    data.hIcon = icon;
    data.szTip = shapeTip(tip);
    return data;
}

// Stands in for the XEmbed tray's icon window: it reports the activation from inside its own
// press handler, as Qt's does, so the button is held while the port hears of it.
class IconWindow : public QWidget {
public:
    explicit IconWindow(QSystemTrayIcon* icon) : icon_(icon) { resize(22, 22); }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            emit icon_->activated(QSystemTrayIcon::Trigger);
        else if (event->button() == Qt::RightButton)
            emit icon_->activated(QSystemTrayIcon::Context);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            emit icon_->activated(QSystemTrayIcon::DoubleClick);
    }

private:
    QSystemTrayIcon* icon_;
};

} // namespace

class TrayPortTest : public QObject {
    Q_OBJECT

    bool area_ = true;
    std::unique_ptr<QtTrayPort> port_;
    std::vector<std::int32_t> codes_;
    IconHandle design_ = 0;
    IconHandle frame_ = 0;

    void settle() { QCoreApplication::processEvents(); }

private slots:
    void initTestCase()
    {
        // Qt's own tray code asks the offscreen platform for an X11 signal it does not have.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.core.qobject.connect.warning=false"));
        design_ = qt::IconTable::instance().add(qt::applicationIcon());
        frame_ = qt::IconTable::instance().add(qt::animationFrames().at(1));
    }

    void init()
    {
        area_ = true;
        codes_.clear();
        port_ = std::make_unique<QtTrayPort>([this] { return area_; });
        port_->setCallback(kWindow, [this](std::int32_t code) { codes_.push_back(code); });
    }

    void cleanup() { port_.reset(); }

    void onePairOneIcon()
    {
        QVERIFY(port_->notify(kNimAdd, record(kWindow, kId, design_, "Latchsweep")));
        QVERIFY(!port_->notify(kNimAdd, record(kWindow, kId, frame_, "Again")));
        QCOMPARE(port_->iconCount(), 1u);
        QSystemTrayIcon* icon = port_->icon(kWindow, kId);
        QVERIFY(icon && icon->isVisible());
        QCOMPARE(icon->toolTip(), QStringLiteral("Latchsweep"));

        // Another id or another window is another icon.
        QVERIFY(port_->notify(kNimAdd, record(kWindow, kId + 1, design_, "Second")));
        QVERIFY(port_->notify(kNimAdd, record(kWindow + 1, kId, design_, "Third")));
        QCOMPARE(port_->iconCount(), 3u);
        QCOMPARE(port_->icon(kWindow, kId), icon);
    }

    void modifyReplacesIconAndTipOfARegisteredPairOnly()
    {
        QVERIFY(!port_->notify(kNimModify, record(kWindow, kId, frame_, "Nobody")));
        QCOMPARE(port_->iconCount(), 0u);

        QVERIFY(port_->notify(kNimAdd, record(kWindow, kId, design_, "Latchsweep")));
        QSystemTrayIcon* icon = port_->icon(kWindow, kId);
        QCOMPARE(icon->icon().cacheKey(), qt::IconTable::instance().icon(design_).cacheKey());

        QVERIFY(port_->notify(kNimModify, record(kWindow, kId, frame_, "Changed")));
        QCOMPARE(port_->icon(kWindow, kId), icon);
        QCOMPARE(icon->icon().cacheKey(), qt::IconTable::instance().icon(frame_).cacheKey());
        QCOMPARE(icon->toolTip(), QStringLiteral("Changed"));

        QVERIFY(!port_->notify(kNimModify, record(kWindow + 1, kId, design_, "Other window")));
        QVERIFY(!port_->notify(kNimModify, record(kWindow, kId + 1, design_, "Other id")));
        QCOMPARE(icon->toolTip(), QStringLiteral("Changed"));

        // Only the parts the flags name are replaced.
        NotifyIconData tipOnly = record(kWindow, kId, design_, "Tip only");
        tipOnly.uFlags = 4;
        QVERIFY(port_->notify(kNimModify, tipOnly));
        QCOMPARE(icon->toolTip(), QStringLiteral("Tip only"));
        QCOMPARE(icon->icon().cacheKey(), qt::IconTable::instance().icon(frame_).cacheKey());
    }

    void deleteRemovesARegisteredPairOnly()
    {
        QVERIFY(!port_->notify(kNimDelete, record(kWindow, kId, 0, "")));
        QVERIFY(port_->notify(kNimAdd, record(kWindow, kId, design_, "Latchsweep")));
        QPointer<QSystemTrayIcon> icon = port_->icon(kWindow, kId);

        QVERIFY(!port_->notify(kNimDelete, record(kWindow + 1, kId, 0, "")));
        QVERIFY(port_->icon(kWindow, kId));

        QVERIFY(port_->notify(kNimDelete, record(kWindow, kId, 0, "")));
        QVERIFY(!port_->icon(kWindow, kId));
        QVERIFY(icon && !icon->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!icon);

        QVERIFY(!port_->notify(kNimDelete, record(kWindow, kId, 0, "")));
        QVERIFY(!port_->notify(kNimModify, record(kWindow, kId, design_, "Back?")));
        QCOMPARE(port_->iconCount(), 0u);
    }

    void theTipIsTheFieldUpToItsZeroByte()
    {
        QVERIFY(port_->notify(kNimAdd, record(kWindow, kId, design_, "Latchsweep")));
        QCOMPARE(port_->icon(kWindow, kId)->toolTip(), QStringLiteral("Latchsweep")); // no trailing spaces

        // A field without a zero byte is never read past its 64 bytes.
        NotifyIconData full = record(kWindow, kId, design_, "");
        full.szTip.fill('a');
        QVERIFY(port_->notify(kNimModify, full));
        QCOMPARE(port_->icon(kWindow, kId)->toolTip(), QString(64, QLatin1Char('a')));
    }

    void availableTellsWhetherAnAreaIsThere()
    {
        area_ = false;
        QVERIFY(!port_->available());
        QVERIFY(!port_->notify(kNimAdd, record(kWindow, kId, design_, "Latchsweep")));
        QCOMPARE(port_->iconCount(), 0u);
        area_ = true;
        QVERIFY(port_->available());
        QVERIFY(port_->notify(kNimAdd, record(kWindow, kId, design_, "Latchsweep")));
    }

    void anAppearingAreaIsReportedOncePerAppearance()
    {
        area_ = false;
        port_ = std::make_unique<QtTrayPort>([this] { return area_; });
        int created = 0;
        port_->setAreaCreatedHandler([&created] { ++created; });
        port_->checkArea();
        QCOMPARE(created, 0);
        area_ = true;
        port_->checkArea();
        port_->checkArea();
        QCOMPARE(created, 1);
        area_ = false;
        port_->checkArea();
        area_ = true;
        port_->checkArea();
        QCOMPARE(created, 2);

        // The port looks by itself, too.
        area_ = false;
        port_->checkArea();
        area_ = true;
        QTRY_COMPARE_WITH_TIMEOUT(created, 3, 3 * QtTrayPort::kAreaPollMs);
    }

    void activationCodes_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("code"); // 0: nothing
        // XEmbed: our own icon window reports presses, with the button held.
        QTest::newRow("xembed left press") << int(QSystemTrayIcon::Trigger) << int(Qt::LeftButton) << 513;
        QTest::newRow("xembed double-click") << int(QSystemTrayIcon::DoubleClick) << int(Qt::LeftButton) << 515;
        QTest::newRow("xembed right press") << int(QSystemTrayIcon::Context) << int(Qt::RightButton) << 516;
        QTest::newRow("xembed middle press") << int(QSystemTrayIcon::MiddleClick) << int(Qt::MiddleButton) << 519;
        // StatusNotifierItem: the host clicked; nothing is held here, and no double-click comes.
        QTest::newRow("sni activate") << int(QSystemTrayIcon::Trigger) << 0 << 515;
        QTest::newRow("sni context menu") << int(QSystemTrayIcon::Context) << 0 << 517;
        QTest::newRow("sni secondary") << int(QSystemTrayIcon::MiddleClick) << 0 << 519;
        QTest::newRow("unknown") << int(QSystemTrayIcon::Unknown) << 0 << 0;
    }

    void activationCodes()
    {
        QFETCH(int, reason);
        QFETCH(int, held);
        QFETCH(int, code);
        const auto decoded = qt::trayActivationCode(static_cast<QSystemTrayIcon::ActivationReason>(reason),
                                                    Qt::MouseButtons(held));
        QCOMPARE(decoded.value_or(0), code);
    }

    void activationsArePostedToTheIconsWindow()
    {
        std::vector<std::int32_t> other;
        port_->setCallback(kWindow + 1, [&other](std::int32_t code) { other.push_back(code); });
        QVERIFY(port_->notify(kNimAdd, record(kWindow, kId, design_, "Latchsweep")));
        QSystemTrayIcon* icon = port_->icon(kWindow, kId);

        emit icon->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(codes_.empty()); // posted, not delivered inside the tray's own handler
        settle();
        emit icon->activated(QSystemTrayIcon::Context);
        emit icon->activated(QSystemTrayIcon::Trigger);
        settle();
        QCOMPARE(codes_, (std::vector<std::int32_t>{515, 517, 515}));
        QVERIFY(other.empty());
    }

    void noCallbackWithoutTheMouseMoveMessage()
    {
        NotifyIconData silent = record(kWindow, kId, design_, "Latchsweep");
        silent.uFlags = 6; // icon and tip, no message
        QVERIFY(port_->notify(kNimAdd, silent));
        emit port_->icon(kWindow, kId)->activated(QSystemTrayIcon::DoubleClick);

        NotifyIconData otherMessage = record(kWindow, kId + 1, design_, "Latchsweep");
        otherMessage.uCallbackMessage = 0x8001;
        QVERIFY(port_->notify(kNimAdd, otherMessage));
        emit port_->icon(kWindow, kId + 1)->activated(QSystemTrayIcon::DoubleClick);
        settle();
        QVERIFY(codes_.empty());
    }

    void rightButtonUpComesWithTheReleaseNotThePress()
    {
        QVERIFY(port_->notify(kNimAdd, record(kWindow, kId, design_, "Latchsweep")));
        IconWindow window(port_->icon(kWindow, kId));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QTest::mousePress(&window, Qt::RightButton, {}, QPoint(10, 10));
        settle();
        QCOMPARE(codes_, (std::vector<std::int32_t>{516}));
        QTest::mouseRelease(&window, Qt::RightButton, {}, QPoint(10, 10));
        settle();
        QCOMPARE(codes_, (std::vector<std::int32_t>{516, 517}));

        // The next release of the right button, with no press over the icon, is nobody's.
        QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&window, Qt::RightButton, {}, QPoint(10, 10));
        settle();
        QCOMPARE(codes_, (std::vector<std::int32_t>{516, 517, 513}));

        QTest::mouseDClick(&window, Qt::LeftButton, {}, QPoint(10, 10));
        settle();
        QCOMPARE(codes_.back(), 515);
    }

    void anIconDeletedFromItsOwnCallbackIsSafe()
    {
        QVERIFY(port_->notify(kNimAdd, record(kWindow, kId, design_, "Latchsweep")));
        std::vector<bool> deleted;
        port_->setCallback(kWindow, [this, &deleted](std::int32_t) {
            deleted.push_back(port_->notify(kNimDelete, record(kWindow, kId, 0, "")));
        });
        QPointer<QSystemTrayIcon> icon = port_->icon(kWindow, kId);
        emit icon->activated(QSystemTrayIcon::Context);
        emit icon->activated(QSystemTrayIcon::DoubleClick); // already queued when the icon goes
        settle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!icon);
        QCOMPARE(deleted, (std::vector<bool>{true, false}));
        QCOMPARE(port_->iconCount(), 0u);
    }
};

QTEST_MAIN(TrayPortTest)
#include "tray_port_test.moc"
