#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <cstdint>
#include <optional>

namespace latchsweep::qt {

// Tells when a notification area may have come or gone, from the desktop's own signals rather
// than by looking again and again: on X11 the selection _NET_SYSTEM_TRAY_S<screen> losing its
// owner (XFixes reports the owner's window destroyed and its client gone) and a new tray's
// MANAGER announcement, reported once Qt's own tray tracking has handled it, so that an icon
// added then is docked once; on the session bus the name of the StatusNotifierWatcher and the
// hosts it registers. Where neither exists (another platform, no bus) it stays silent.
class NotificationAreaWatcher : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // The native event filter is removed from the application with the watcher.
    explicit NotificationAreaWatcher(QObject* parent = nullptr);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // Whether the X selection has an owner now, asked of the server; nothing off X11.
    [[nodiscard]] std::optional<bool> selectionOwned() const;

signals:
    void changed();

private:
    void watchSelection();
    void watchBus();

    std::uint8_t selectionNotify_ = 0; // the XFixes event code; 0 while not watching
    std::uint32_t selection_ = 0;      // the atom _NET_SYSTEM_TRAY_S<screen>
    std::uint32_t manager_ = 0;        // the atom MANAGER
};

// Whether the session bus has a StatusNotifierWatcher with a host registered: what Qt asks once,
// at the first tray icon of the process, to show its icons over D-Bus instead of XEmbed. Such a
// host draws the pop-up itself from the menu it is given.
bool statusNotifierHostRegistered();

} // namespace latchsweep::qt
