#include "qt/app/menus.h"

#include "qt/app/qt_platform.h"

namespace latchsweep::qt {

void addMenuItems(QWidget* menu, std::span<const MenuItem> items, QObject* filter)
{
    for (const MenuItem& item : items) {
        if (!item.children.empty()) {
            menu->addAction(buildMenu(item, menu, filter)->menuAction());
            continue;
        }
        auto* action = new QAction(toQString(item.caption), menu);
        action->setObjectName(toQString(item.name));
        action->setData(static_cast<int>(item.command));
        menu->addAction(action);
    }
}

QMenu* buildMenu(const MenuItem& item, QWidget* parent, QObject* filter)
{
    auto* menu = new QMenu(toQString(item.caption), parent);
    menu->setObjectName(toQString(item.name));
    menu->setAccessibleName(menu->title()); // Qt names a menu by its window title, which no menu shows
    if (filter)
        menu->installEventFilter(filter);
    addMenuItems(menu, item.children, filter);
    return menu;
}

Command menuCommand(const QAction* action)
{
    return action && action->data().isValid() ? static_cast<Command>(action->data().toInt()) : Command::None;
}

void onMenuCommands(QObject* root, const std::function<void(Command)>& run)
{
    for (QAction* action : root->findChildren<QAction*>()) {
        const Command command = menuCommand(action);
        if (command != Command::None)
            QObject::connect(action, &QAction::triggered, action, [run, command] { run(command); });
    }
}

} // namespace latchsweep::qt
