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

// Creates the controls of a window from its layout, each an object named after the control, in
// its container, font and tab order, named as accessibleName() names it, a box tied to the label
// that names it. Clicks, a list's opening and a box's edit go to `target`, which lives as long as
// the window; the focus starts at initialFocus().
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
