#include "qt/tray/qt_tray_port.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>

#include "core/tray/callback.h"
#include "qt/app/icons.h"
#include "qt/app/qt_platform.h"
#include "qt/tray/desktop_area.h"

namespace latchsweep::qt {

std::optional<std::int32_t> trayActivationCode(QSystemTrayIcon::ActivationReason reason, Qt::MouseButtons held)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return kLeftButtonDoubleClick;
    case QSystemTrayIcon::Trigger:
        // A host that never reports double-clicks sends its primary activation instead; the
        // program's one action on the left button is the double-click's.
        return (held & Qt::LeftButton) ? kLeftButtonDown : kLeftButtonDoubleClick;
    case QSystemTrayIcon::Context:
        // A press over our own icon window: the release is still to come and carries the 517.
        return (held & Qt::RightButton) ? kRightButtonDown : kRightButtonUp;
    case QSystemTrayIcon::MiddleClick:
        return kMiddleButtonDown;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return std::nullopt;
}

QtTrayPort::QtTrayPort(AreaProbe areaAvailable, std::optional<Popups> popups)
    : areaAvailable_(std::move(areaAvailable)),
      popups_(popups.value_or(Popups::AtThePointer))
{
    if (!areaAvailable_) {
        // Qt's first look fixes its backend for the whole run; the same question right after it
        // tells which one it chose.
        areaSeen_ = QSystemTrayIcon::isSystemTrayAvailable();
        if (!popups)
            popups_ = statusNotifierHostRegistered() ? Popups::DrawnByHost : Popups::AtThePointer;
        auto* watcher = new NotificationAreaWatcher(this);
        connect(watcher, &NotificationAreaWatcher::changed, this, &QtTrayPort::checkArea);
        // On XEmbed trays the selection's owner is asked for directly: Qt's own record of the
        // tray may not have caught up yet when the desktop reports the change.
        areaAvailable_ = [this, watcher] {
            if (popups_ == Popups::AtThePointer)
                if (const std::optional<bool> owned = watcher->selectionOwned())
                    return *owned;
            return QSystemTrayIcon::isSystemTrayAvailable();
        };
    } else {
        areaSeen_ = areaAvailable_();
    }
    // Qt docks an existing QSystemTrayIcon again by itself when a tray host comes back, but has
    // nothing to dock for an add that failed: the program is told (areaCreated_), and adds it again.
}

QtTrayPort::~QtTrayPort()
{
    if (rightPressed_)
        QCoreApplication::instance()->removeEventFilter(this);
}

void QtTrayPort::checkArea()
{
    const bool there = areaAvailable_();
    if (there == areaSeen_)
        return;
    areaSeen_ = there;
    if (const auto& handler = there ? areaCreated_ : areaGone_)
        handler();
}

void QtTrayPort::setHostMenu(WindowHandle window, QMenu* menu)
{
    hostMenus_[window] = menu;
    if (popups_ != Popups::DrawnByHost)
        return;
    for (auto& [key, entry] : icons_.icons) {
        if (key.first != window || entry.icon->contextMenu() == menu)
            continue;
        // A host reads the menu's address when the icon registers: register it again.
        entry.icon->hide();
        entry.icon->setContextMenu(menu);
        entry.icon->show();
    }
}

QSystemTrayIcon* QtTrayPort::icon(WindowHandle window, std::int32_t id) const
{
    const auto found = icons_.icons.find({window, id});
    return found == icons_.icons.end() ? nullptr : found->second.icon;
}

void QtTrayPort::apply(Entry& entry, const NotifyIconData& record)
{
    if (record.uFlags & kNifIcon)
        entry.icon->setIcon(IconTable::instance().icon(record.hIcon));
    // The tip as the platform shows it: the field's text up to its zero byte, never past the field.
    const QString tip = toQString({record.szTip.data(), qstrnlen(record.szTip.data(), record.szTip.size())});
    // The animation modifies the icon every second with the same tip: nothing to redo for it.
    if ((record.uFlags & kNifTip) && tip != entry.icon->toolTip())
        entry.icon->setToolTip(tip);
    // The window's mouse-move decoding understands only the mouse-move message.
    if (record.uFlags & kNifMessage)
        entry.callback = record.uCallbackMessage == static_cast<std::uint32_t>(kMouseMove);
}

bool QtTrayPort::notify(std::uint32_t message, const NotifyIconData& record)
{
    const auto make = [this](const NotifyIconData& added) {
        const Key key{added.hWnd, added.uID};
        Entry entry{new QSystemTrayIcon(this)};
        apply(entry, added);
        if (const auto menu = hostMenus_.find(key.first); popups_ == Popups::DrawnByHost && menu != hostMenus_.end())
            entry.icon->setContextMenu(menu->second);
        connect(entry.icon, &QSystemTrayIcon::activated, this,
                [this, key](QSystemTrayIcon::ActivationReason reason) { onActivated(key, reason); });
        entry.icon->show();
        areaSeen_ = true;
        return entry;
    };
    const auto drop = [this](const Key& key, const Entry& entry) {
        if (rightPressed_ == key)
            rightPressed_.reset();
        // Deleted later: the delete may come from a handler of this very icon's signal.
        entry.icon->disconnect(this);
        entry.icon->hide();
        entry.icon->deleteLater();
    };
    return icons_.notify(
        message, record, areaAvailable_(), make,
        [this](Entry& entry, const NotifyIconData& modified) { apply(entry, modified); }, drop);
}

void QtTrayPort::onActivated(const Key& key, QSystemTrayIcon::ActivationReason reason)
{
    const std::optional<std::int32_t> code = trayActivationCode(reason, QGuiApplication::mouseButtons());
    if (!code)
        return;
    if (*code == kRightButtonDown && !rightPressed_) {
        rightPressed_ = key;
        QCoreApplication::instance()->installEventFilter(this);
    }
    post(key, *code);
}

bool QtTrayPort::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && rightPressed_) {
        const auto* release = static_cast<QMouseEvent*>(event);
        if (release->button() == Qt::RightButton) {
            const Key key = *rightPressed_;
            rightPressed_.reset();
            QCoreApplication::instance()->removeEventFilter(this);
            // The platform reports the release only when it happens over the icon.
            if (const QSystemTrayIcon* icon = this->icon(key.first, key.second)) {
                const QRect area = icon->geometry();
                if (area.isEmpty() || area.contains(release->globalPosition().toPoint()))
                    post(key, kRightButtonUp);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void QtTrayPort::post(const Key& key, std::int32_t code)
{
    const auto found = icons_.icons.find(key);
    if (found == icons_.icons.end() || !found->second.callback)
        return;
    // Posted, as the platform posts the callback message to the window's queue: the window acts
    // on it after the tray's own mouse handling has finished.
    QMetaObject::invokeMethod(
        this,
        [this, window = key.first, code] {
            if (const auto target = callbacks_.find(window); target != callbacks_.end() && target->second)
                target->second(code);
        },
        Qt::QueuedConnection);
}

} // namespace latchsweep::qt
