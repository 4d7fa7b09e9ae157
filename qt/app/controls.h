#pragma once

#include <QHash>
#include <QString>
#include <QWidget>
#include <functional>
#include <string_view>

#include "core/base/layout.h"

namespace latchsweep::qt {

// The screen's horizontal twips per pixel (15 at 96 dpi).
double screenTwipsPerPixel();

QRect toPixels(const TwipsRect& rect, double twipsPerPixel);

// Creates the controls of a window from its layout: each an object named after the control,
// placed in its container (the client area or its frame) at its converted position, in tab
// order, named for assistive technology as the core names it (accessibleName()), a box tied to
// the label that names it. Front-end code looks controls up by name and connects them.
QHash<QString, QWidget*> buildControls(QWidget* client, const WindowLayout& windowLayout, double twipsPerPixel);

// Runs a press of the window's button of that name (its presenter's pressButton()).
using ButtonPress = std::function<void(std::string_view button)>;

// What the core decides about a window's buttons and keys, applied to the controls of
// buildControls(): every button's click goes to `press`, as do Enter and Esc where the layout
// gives them a button (buttonForEnter(), KeyRoles); the default button is drawn as such; the
// focus starts where initialFocus() says. A control that replaces one of buildControls()
// must be in `controls` by then.
void connectButtons(QWidget* window, const QHash<QString, QWidget*>& controls, const WindowLayout& windowLayout,
                    const ButtonPress& press);

// Moves a window, before it is first shown or once its frame is known, to where its layout's
// placement puts it on the primary screen (firstPlace()).
void placeOnFirstShowing(QWidget* window, const WindowLayout& windowLayout, double twipsPerPixel);

// Fixes the window's client area at the layout's size.
void fixClientSize(QWidget* window, QWidget* client, const WindowLayout& windowLayout, double twipsPerPixel);

// The two steps of fixClientSize. Fitting the window measures its menu bar, and the first text
// measured in a process loads the font configuration, which takes milliseconds.
void fixClientAreaSize(QWidget* client, const WindowLayout& windowLayout, double twipsPerPixel);
void fitWindowToClient(QWidget* window);

template <class Widget>
Widget* control(const QHash<QString, QWidget*>& controls, const char* name)
{
    return qobject_cast<Widget*>(controls.value(QString::fromLatin1(name)));
}

} // namespace latchsweep::qt
