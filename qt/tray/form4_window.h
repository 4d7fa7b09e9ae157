#pragma once

#include <QMenu>
#include <QWidget>

#include "core/tray/form4.h"
#include "qt/app/menus.h"
#include "qt/app/window_adapter.h"

namespace latchsweep::qt {

// Form4 on Qt: a window that is never shown and owns the pop-up menu `Menu`, built from the
// core's menu data with every item's name as its object name.
class Form4Window : public QWidget {
public:
    Form4Window();
    ~Form4Window() override;

    // Pops the menu up at the pointer; the command chosen, or Command::None.
    Command trackPopup();

    [[nodiscard]] QMenu* menu() const { return menu_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenu* menu_;
};

// What the core holds of Form4: it only carries the menu and never comes on screen.
class Form4Adapter : public WindowAdapter<Form4Window, Form4View> {
public:
    using WindowAdapter::WindowAdapter;

    void show() override {}
    [[nodiscard]] bool isShown() const override { return false; }
    Command trackPopup() override { return window_ ? window_->trackPopup() : Command::None; }
};

} // namespace latchsweep::qt
