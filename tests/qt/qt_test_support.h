#pragma once

// Helpers shared by the Qt front-end tests.

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "core/app/application.h"
#include "core/app/form1.h"
#include "qt/app/controls.h"
#include "qt/app/form_window.h"
#include "qt/app/menus.h"
#include "qt/app/qt_platform.h"
#include "qt/app/qt_program.h"
#include "qt/tray/qt_tray_port.h"
#include "tests/support/fake_platform.h"

namespace latchsweep::qt::testing {

using qt::toQString;

inline int px(int twips) { return twipsToPixels(twips, screenTwipsPerPixel()); }
inline QRect pxRect(const TwipsRect& rect) { return {px(rect.left), px(rect.top), px(rect.width), px(rect.height)}; }

// Deletes the windows the core has discarded.
inline void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

inline void closePopups()
{
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

// Qt's own tray code asks the offscreen platform for an X11 signal it does not have.
inline void quietTrayWarnings()
{
    QLoggingCategory::setFilterRules(QStringLiteral("qt.core.qobject.connect.warning=false"));
}

template <class Widget = QWidget>
Widget* child(const QWidget* window, const char* name)
{
    return window->findChild<Widget*>(QString::fromLatin1(name));
}

// The window on screen behind a presenter's view.
inline QMainWindow& widgetOf(Form& form) { return *dynamic_cast<FormWindow&>(form.view()).widget(); }

// The actions of a menu (its separators aside) against the core's menu data, in order: each
// item's name as the object name of its action or submenu, its caption, no shortcut, its
// command, and its submenu.
inline void checkMenu(const QList<QAction*>& actions, std::span<const MenuItem> items,
                      const QString& where = QStringLiteral("menu"))
{
    QList<QAction*> entries;
    for (QAction* action : actions)
        if (!action->isSeparator())
            entries << action;
    QVERIFY2(entries.size() == qsizetype(items.size()), qPrintable(where));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        const QAction* action = entries[qsizetype(i)];
        const QMenu* submenu = action->menu();
        const QString path = where + QStringLiteral(" > ") + toQString(item.name);
        QVERIFY2((submenu != nullptr) == !item.children.empty(), qPrintable(path));
        QCOMPARE(submenu ? submenu->objectName() : action->objectName(), toQString(item.name));
        QCOMPARE(action->text(), toQString(item.caption));
        QVERIFY2(action->shortcut().isEmpty() && action->isEnabled() && !action->isCheckable(), qPrintable(path));
        QVERIFY2(menuCommand(action) == item.command, qPrintable(path));
        if (submenu)
            checkMenu(submenu->actions(), item.children, path);
    }
}

// The program with the real Qt windows on fake ports but for the Qt notification-area adapter,
// which looks for an area with the given probe, or on the desktop.
struct TrayProgram {
    latchsweep::testing::FakePlatform fakes;
    QtTrayPort tray;
    Platform ports{fakes.clock, fakes.files, fakes.messages, fakes.process, tray, fakes.registry, &fakes.launcher};
    QtViewFactory views;
    Application app{ports, views};
    std::unique_ptr<QMenu> hostMenu;

    explicit TrayProgram(QtTrayPort::AreaProbe area = {}, std::optional<QtTrayPort::Popups> popups = {})
        : tray(std::move(area), popups)
    {
        app.start();
        hostMenu = connectTray(tray, app);
    }
    QMainWindow& window() { return widgetOf(app.form1()); }
    QSystemTrayIcon* icon() { return tray.icon(app.form1().view().handle(), std::int32_t(app.form1().IconObject())); }
    // The tip the core put in the icon's record, up to its zero byte.
    QString tip()
    {
        const auto& field = app.module1().iconData().szTip;
        const auto end = std::find(field.begin(), field.end(), '\0');
        return toQString(std::string_view(field.data(), static_cast<std::size_t>(end - field.begin())));
    }
    bool restored() { return window().isVisible() && !(window().windowState() & Qt::WindowMinimized); }
};

} // namespace latchsweep::qt::testing
