#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>

#include "core/base/tray_icons.h"
#include "core/base/tray_port.h"

namespace latchsweep::qt {

// The mouse message code the platform would report for a tray activation, or nothing.
// `held` is what this process sees of the mouse buttons at that moment: the XEmbed tray reports
// the press of a button over our own icon window (so the button is held), a StatusNotifierItem
// host reports activations over D-Bus after its own click (nothing held here).
std::optional<std::int32_t> trayActivationCode(QSystemTrayIcon::ActivationReason reason, Qt::MouseButtons held);

// The notification area on Qt: one QSystemTrayIcon per (hWnd, uID), kept by the record's rules
// (TrayIcons). Mouse activity over an icon is posted to its window's callback as the platform's
// mouse message code.
class QtTrayPort : public QObject, public TrayPort {
    Q_OBJECT
public:
    using AreaProbe = std::function<bool()>;
    using Callback = std::function<void(std::int32_t code)>;

    // Who draws the pop-up: this program at the pointer (XEmbed trays), or the tray host itself
    // from a menu it is handed (StatusNotifierItem hosts, which ask for the menu instead of
    // reporting a right click).
    enum class Popups { AtThePointer, DrawnByHost };

    // `areaAvailable` tells whether a notification area is there; by default the desktop's,
    // watched for through its own signals. `popups` defaults to what Qt chooses on this desktop.
    explicit QtTrayPort(AreaProbe areaAvailable = {}, std::optional<Popups> popups = {});
    ~QtTrayPort() override;

    bool notify(std::uint32_t message, const NotifyIconData& record) override;
    [[nodiscard]] bool available() const override { return areaAvailable_(); }

    // Where the callbacks of the icons of `window` go.
    void setCallback(WindowHandle window, Callback callback) { callbacks_[window] = std::move(callback); }
    // Runs each time a notification area appears where there was none: a tray host starting
    // after the program, or again after it went away.
    void setAreaCreatedHandler(std::function<void()> handler) { areaCreated_ = std::move(handler); }
    // Runs each time the notification area goes away.
    void setAreaGoneHandler(std::function<void()> handler) { areaGone_ = std::move(handler); }
    // The menu a tray host draws for the icons of `window`, where hosts draw it (Popups::DrawnByHost);
    // the port only hands it over.
    void setHostMenu(WindowHandle window, QMenu* menu);
    [[nodiscard]] Popups popups() const { return popups_; }

    // Looks for a notification area now; the desktop's signals make the port look by itself.
    void checkArea();

    [[nodiscard]] QSystemTrayIcon* icon(WindowHandle window, std::int32_t id) const;
    [[nodiscard]] std::size_t iconCount() const { return icons_.icons.size(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Key = std::pair<WindowHandle, std::int32_t>;
    struct Entry {
        QSystemTrayIcon* icon = nullptr;
        bool callback = false; // the record asked for the callback message
    };

    void apply(Entry& entry, const NotifyIconData& record);
    void onActivated(const Key& key, QSystemTrayIcon::ActivationReason reason);
    void post(const Key& key, std::int32_t code);

    AreaProbe areaAvailable_;
    Popups popups_;
    TrayIcons<Entry> icons_;
    std::map<WindowHandle, Callback> callbacks_;
    std::map<WindowHandle, QPointer<QMenu>> hostMenus_;
    std::function<void()> areaCreated_;
    std::function<void()> areaGone_;
    bool areaSeen_ = false;
    std::optional<Key> rightPressed_; // the icon under a right button that is still down
};

} // namespace latchsweep::qt
