#include "core/base/product.h"
#include "core/tray/callback.h"
#include "core/tray/module1.h"
#include "qt/app/icons.h"
#include "tests/qt/qt_test_support.h"
#include "tests/support/tray_port_contract.h"

using namespace latchsweep;
using namespace latchsweep::qt::testing;
using qt::QtTrayPort;
using Codes = std::vector<std::int32_t>;

namespace {

constexpr WindowHandle kWindow = 0x4A0001;
constexpr std::int32_t kId = 0x00010001;

NotifyIconData record(WindowHandle window, std::int32_t id, IconHandle icon = 0, std::string_view tip = "")
{
    return iconRecord(window, id, icon, tip);
}

// Stands in for the XEmbed tray's icon window: it reports the activation from inside its own
// press handler, as Qt's does, so the button is held while the port hears of it.
class IconWindow : public QWidget {
public:
    explicit IconWindow(QSystemTrayIcon* icon)
        : icon_(icon)
    {
        resize(22, 22);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::MiddleButton)
            emit icon_->activated(event->button() == Qt::LeftButton ? QSystemTrayIcon::Trigger
                                                                    : QSystemTrayIcon::Context);
    }
    void mouseDoubleClickEvent(QMouseEvent*) override { emit icon_->activated(QSystemTrayIcon::DoubleClick); }

private:
    QSystemTrayIcon* icon_;
};

} // namespace

class TrayPortTest : public QObject {
    Q_OBJECT

    bool area_ = true;
    std::unique_ptr<QtTrayPort> port_;
    Codes codes_;
    IconHandle design_ = 0;
    IconHandle frame_ = 0;
    bool add(std::int32_t id = kId, WindowHandle window = kWindow)
    {
        return port_->notify(kNimAdd, record(window, id, design_, kAppTitle));
    }
    static qint64 iconKey(IconHandle icon) { return qt::IconTable::instance().icon(icon).cacheKey(); }
    static void settle() { QCoreApplication::processEvents(); }

private slots:
    void initTestCase()
    {
        quietTrayWarnings();
        design_ = qt::IconTable::instance().handle(IconId::Magnet);
        frame_ = qt::IconTable::instance().handle(IconId::Frame2);
    }

    void init()
    {
        area_ = true;
        codes_.clear();
        port_ = std::make_unique<QtTrayPort>([this] { return area_; });
        port_->setCallback(kWindow, [this](std::int32_t code) { codes_.push_back(code); });
    }

    void cleanup() { port_.reset(); }

    void keepsTheRecordsRulesOfPairs()
    {
        const std::vector<std::string> violations = trayPortContractViolations(*port_, kWindow, kWindow + 1, frame_);
        QVERIFY2(violations.empty(), violations.empty() ? "" : violations.front().c_str());
        QCOMPARE(port_->iconCount(), 0u);
        // Each pair is its own QSystemTrayIcon.
        QVERIFY(add(kId) && add(kId + 1));
        QVERIFY(port_->icon(kWindow, kId) && port_->icon(kWindow, kId + 1) &&
                port_->icon(kWindow, kId) != port_->icon(kWindow, kId + 1));
    }

    void addAndModifyApplyWhatTheFlagsName()
    {
        QVERIFY(add());
        QSystemTrayIcon* icon = port_->icon(kWindow, kId);
        QVERIFY(icon->isVisible());
        QCOMPARE(icon->toolTip(), toQString(kAppTitle));
        QCOMPARE(icon->icon().cacheKey(), iconKey(design_));
        QVERIFY(port_->notify(kNimModify, record(kWindow, kId, frame_, "Changed")));
        QCOMPARE(port_->icon(kWindow, kId), icon);
        QCOMPARE(icon->icon().cacheKey(), iconKey(frame_));
        QCOMPARE(icon->toolTip(), QStringLiteral("Changed"));
        NotifyIconData tipOnly = record(kWindow, kId, design_, "Tip only");
        tipOnly.uFlags = kNifTip;
        QVERIFY(port_->notify(kNimModify, tipOnly));
        QCOMPARE(icon->toolTip(), QStringLiteral("Tip only"));
        QCOMPARE(icon->icon().cacheKey(), iconKey(frame_));
        NotifyIconData full = record(kWindow, kId, design_); // no zero byte: never read past the field
        full.szTip.fill('a');
        QVERIFY(port_->notify(kNimModify, full));
        QCOMPARE(icon->toolTip(), QString(64, QLatin1Char('a')));
    }

    void aDeletedIconGoesEvenFromItsOwnCallback()
    {
        QVERIFY(add());
        std::vector<bool> deleted;
        port_->setCallback(kWindow, [this, &deleted](std::int32_t) {
            deleted.push_back(port_->notify(kNimDelete, record(kWindow, kId)));
        });
        QPointer<QSystemTrayIcon> icon = port_->icon(kWindow, kId);
        emit icon->activated(QSystemTrayIcon::Context);
        emit icon->activated(QSystemTrayIcon::DoubleClick); // already queued when the icon goes
        settle();
        QCOMPARE(deleted, (std::vector<bool>{true, false}));
        QVERIFY(icon && !icon->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!icon);
        QCOMPARE(port_->iconCount(), 0u);
    }

    void anAreaIsNeededAndEachAppearanceAndDepartureIsReportedOnce()
    {
        area_ = false;
        QVERIFY(!port_->available());
        QVERIFY(!add());
        QCOMPARE(port_->iconCount(), 0u);
        int created = 0;
        int gone = 0;
        port_ = std::make_unique<QtTrayPort>([this] { return area_; });
        port_->setAreaCreatedHandler([&created] { ++created; });
        port_->setAreaGoneHandler([&gone] { ++gone; });
        for (const bool there : {false, true, true, false, false, true}) {
            area_ = there;
            port_->checkArea();
        }
        QCOMPARE(created, 2);
        QCOMPARE(gone, 1);
        QVERIFY(port_->available() && add());
    }

    void activationCodes_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("code"); // 0: nothing
        QTest::newRow("xembed left press") << int(QSystemTrayIcon::Trigger) << int(Qt::LeftButton) << 513;
        QTest::newRow("xembed double-click") << int(QSystemTrayIcon::DoubleClick) << int(Qt::LeftButton) << 515;
        QTest::newRow("xembed right press") << int(QSystemTrayIcon::Context) << int(Qt::RightButton) << 516;
        QTest::newRow("xembed middle press") << int(QSystemTrayIcon::MiddleClick) << int(Qt::MiddleButton) << 519;
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
        const auto decoded = qt::trayActivationCode(QSystemTrayIcon::ActivationReason(reason), Qt::MouseButtons(held));
        QCOMPARE(decoded.value_or(0), code);
    }

    void activationsArePostedToTheIconsWindowWhenItAskedForMouseMoves()
    {
        Codes other;
        port_->setCallback(kWindow + 1, [&other](std::int32_t code) { other.push_back(code); });
        QVERIFY(add());
        QSystemTrayIcon* icon = port_->icon(kWindow, kId);
        emit icon->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(codes_.empty()); // posted, not delivered inside the tray's own handler
        settle();
        emit icon->activated(QSystemTrayIcon::Context);
        emit icon->activated(QSystemTrayIcon::Trigger);
        settle();
        QCOMPARE(codes_, (Codes{515, 517, 515}));
        QVERIFY(other.empty());
        NotifyIconData noMessage = record(kWindow, kId + 1, design_);
        noMessage.uFlags = Module1::kFlags & ~kNifMessage;
        NotifyIconData otherMessage = record(kWindow, kId + 2, design_);
        otherMessage.uCallbackMessage = 0x8001;
        for (const NotifyIconData& data : {noMessage, otherMessage}) {
            QVERIFY(port_->notify(kNimAdd, data));
            emit port_->icon(kWindow, data.uID)->activated(QSystemTrayIcon::DoubleClick);
        }
        settle();
        QCOMPARE(codes_.size(), std::size_t(3));
    }

    void rightButtonUpComesWithTheReleaseNotThePress()
    {
        QVERIFY(add());
        IconWindow window(port_->icon(kWindow, kId));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint at(10, 10);
        QTest::mousePress(&window, Qt::RightButton, {}, at);
        settle();
        QCOMPARE(codes_, (Codes{516}));
        QTest::mouseRelease(&window, Qt::RightButton, {}, at);
        settle();
        QCOMPARE(codes_, (Codes{516, 517}));
        // The next release of the right button, with no press over the icon, is nobody's.
        QTest::mousePress(&window, Qt::LeftButton, {}, at);
        QTest::mouseRelease(&window, Qt::LeftButton, {}, at);
        QTest::mouseRelease(&window, Qt::RightButton, {}, at);
        settle();
        QCOMPARE(codes_, (Codes{516, 517, 513}));
        QTest::mouseDClick(&window, Qt::LeftButton, {}, at);
        settle();
        QCOMPARE(codes_.back(), 515);
    }
};

QTEST_MAIN(TrayPortTest)
#include "tray_port_test.moc"
