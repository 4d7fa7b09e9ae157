#pragma once

#include <QMenu>
#include <QWidget>

#include "core/tray/form4.h"

namespace latchsweep::qt {

// A menu tree from the core's menu data: every item's name as its object name, every command in
// its action's data. `filter`, if given, watches each menu's events.
QMenu* buildMenu(const MenuItem& item, QWidget* parent, QObject* filter = nullptr);

// The command an action of buildMenu() carries; Command::None for any other.
Command menuCommand(const QAction* action);

// Form4 on Qt: a window that is never shown and owns the pop-up menu `Menu`, built from the
// core's menu data with every item's name as its object name.
class Form4Window : public QWidget, public Form4View {
public:
    Form4Window();
    ~Form4Window() override;

    // WindowView: Form4 only carries the menu and never comes on screen.
    void show() override {}
    [[nodiscard]] bool isShown() const override { return false; }

    // Form4View
    Command trackPopup() override;

    [[nodiscard]] QMenu* menu() const { return menu_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenu* menu_;
};

} // namespace latchsweep::qt
