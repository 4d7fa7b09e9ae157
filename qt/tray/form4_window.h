#pragma once

#include <QMenu>
#include <QWidget>

#include "tray/form4.h"

namespace latchsweep::qt {

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
    QMenu* addMenu(const MenuItem& item, QWidget* parent);

    QMenu* menu_;
};

} // namespace latchsweep::qt
