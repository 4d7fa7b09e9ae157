#pragma once

#include <QHash>
#include <QString>
#include <QWidget>
#include <cstddef>
#include <vector>

#include "core/base/window.h"

namespace latchsweep::qt {

// The screen's horizontal twips per pixel (15 at 96 dpi).
double screenTwipsPerPixel();

QRect toPixels(const TwipsRect& rect, double twipsPerPixel);

// Where a window's controls send their events: its presenter, until the view is gone and the
// window only waits for its deletion.
struct EventTarget {
    FormEvents* events = nullptr;

    template <class Handler>
    void operator()(Handler handler) const
    {
        if (events)
            handler(*events);
    }
};

// Creates the controls of a window from its layout: one widget of each kind, each an object named
// after the control, placed in its container (the client area or its frame) at its converted
// position, in its font, with its traits, in tab order, named for assistive technology as the core
// names it (accessibleName()), a box tied to the label that names it. Every button's click, a
// list's opening and a box's edit go to `target`, as do Enter and Esc where the layout gives them
// a button (buttonForEnter(), KeyRoles); the default button is drawn as such and the focus starts
// where initialFocus() says. `target` lives as long as the window.
QHash<QString, QWidget*> buildControls(QWidget* client, const WindowLayout& windowLayout, double twipsPerPixel,
                                       const EventTarget& target);

// What a control shows, by its kind: a label's, button's or frame's caption, a box's text.
void setControlText(QWidget* control, const QString& text);
QString controlText(const QWidget* control);
// A rich-text box's text in runs of formats.
void setControlRuns(QWidget* box, const std::vector<RtfRun>& runs);
// A directory list's entries; the one at `current` is highlighted.
void setControlEntries(QWidget* list, const std::vector<DirectoryEntry>& entries, std::size_t current);

// Moves a window, before it is first shown or once its frame is known, to where its layout's
// placement puts it on the primary screen (firstPlace()).
void placeOnFirstShowing(QWidget* window, const WindowLayout& windowLayout, double twipsPerPixel);

} // namespace latchsweep::qt
