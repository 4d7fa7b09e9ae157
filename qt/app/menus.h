#pragma once

#include <QMenu>
#include <functional>
#include <span>

#include "core/base/menu.h"

namespace latchsweep::qt {

// Adds the core's menu items to `menu`, a QMenu or a row of a menu bar: a title as a submenu of
// its children, every other item as an action that carries its command. Every item's name is
// its object's name, and every caption its accessible name. `filter`, if given, watches each
// submenu's events.
void addMenuItems(QWidget* menu, std::span<const MenuItem> items, QObject* filter = nullptr);

// A menu tree from the core's menu data, as addMenuItems() builds it.
QMenu* buildMenu(const MenuItem& item, QWidget* parent, QObject* filter = nullptr);

// The command an action of addMenuItems() carries; Command::None for any other.
Command menuCommand(const QAction* action);

// Runs `run` with its command whenever an action under `root` that carries one is triggered,
// in the action's own context: a menu bar that gives an entry up to another row cuts the
// entry's connections to the bar.
void onMenuCommands(QObject* root, const std::function<void(Command)>& run);

} // namespace latchsweep::qt
