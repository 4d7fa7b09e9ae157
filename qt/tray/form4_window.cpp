#include "qt/tray/form4_window.h"

#include <QCursor>
#include <QMouseEvent>

#include "qt/app/qt_platform.h"

namespace latchsweep::qt {

Form4Window::Form4Window()
{
    const WindowLayout& layout = form4Layout();
    setObjectName(toQString(layout.name));
    setWindowTitle(toQString(layout.caption));
    menu_ = buildMenu(form4Menu(), this, this);
}

Form4Window::~Form4Window() = default;

Command Form4Window::trackPopup()
{
    // At the pointer, left edge aligned with it; the chosen command runs once the menu is gone.
    return menuCommand(menu_->exec(QCursor::pos()));
}

bool Form4Window::eventFilter(QObject* watched, QEvent* event)
{
    // Only the left button chooses an item. A right click outside still dismisses the menu.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* menu = qobject_cast<QMenu*>(watched);
        if (menu && mouse->button() == Qt::RightButton && menu->rect().contains(mouse->position().toPoint()))
            return true;
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace latchsweep::qt
