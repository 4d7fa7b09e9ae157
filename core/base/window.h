#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/base/layout.h"
#include "core/base/menu.h"
#include "core/base/rich_text.h"
#include "core/base/tray_port.h"

namespace latchsweep {

// A control of a window, by its name in the window's layout. Each window names its controls as
// constants beside its layout, so that a misspelt one fails the build.
struct ControlId {
    std::string_view name;
    friend constexpr bool operator==(ControlId, ControlId) = default;
};

// One line of a directory list.
struct DirectoryEntry {
    std::string name;  // as shown: the root as written ("/", "C:\"), otherwise the directory's own name
    std::string path;  // the full path the entry stands for
    int depth = 0;     // indentation: 0 for a root
    bool open = false; // the current root, an ancestor or the current directory
};

// What a window tells its presenter. The window's own buttons, and Enter and Esc where its layout
// gives them a button (KeyRoles), click; a list opens an entry on a double-click or Enter.
class FormEvents {
public:
    virtual void onClick(ControlId /*button*/) {}
    virtual void onOpen(ControlId /*list*/, std::size_t /*entry*/) {}
    // The user changed a text box's text.
    virtual void onEdit(ControlId /*box*/) {}
    // The close box, the system menu's Close, Alt+F4, the end of the desktop session.
    virtual void onClose() = 0;
    // An item of the window's menu bar.
    virtual void onCommand(Command /*command*/) {}
    // A mouse move over the window's face, X in twips; to the window that owns the tray icon.
    virtual void onMouseMove(double /*xTwips*/) {}
    // A notification area appeared that knows none of the program's icons (the shell restarted).
    virtual void onNotificationAreaCreated() {}

protected:
    ~FormEvents() = default;
};

// The one view of every window: a front end draws the window its layout describes and sends its
// events to the presenter it was made for. Controls are named by their ids.
class WindowView {
public:
    virtual ~WindowView() = default; // the native window goes with its view

    // Shows the window modeless and without an owner; one already on screen comes to the front.
    virtual void show() = 0;
    [[nodiscard]] virtual bool isShown() const = 0;

    // A text box's or label's text; a box holds it unedited. A box's text may hold several lines,
    // each but the last ending in LF.
    virtual void setText(ControlId control, const std::string& text) = 0;
    [[nodiscard]] virtual std::string text(ControlId control) const = 0;
    // A rich-text box's text in runs of formats (a format's empty family or zero size being the box's own).
    virtual void setRuns(ControlId box, const std::vector<RtfRun>& runs) = 0;
    // A list's entries in order; the one at `current` is its value.
    virtual void setEntries(ControlId list, const std::vector<DirectoryEntry>& entries, std::size_t current) = 0;

    // The window's handle as the notification-icon record carries it.
    [[nodiscard]] virtual WindowHandle handle() const = 0;
    // The handle of one of the program's icons, for the window and the notification area.
    [[nodiscard]] virtual IconHandle icon(IconId icon) const = 0;
    // The window's own icon: at first its layout's.
    [[nodiscard]] virtual IconHandle windowIcon() const = 0;
    virtual void setWindowIcon(IconHandle icon) = 0;
    // Window state: minimised, or normal.
    virtual void setMinimized(bool minimized) = 0;
    // Visible on screen and on the task bar, or neither.
    virtual void setVisible(bool visible) = 0;
    [[nodiscard]] virtual double twipsPerPixelX() const = 0;
    // Pops the layout's pop-up menu up at the mouse position and returns once the user has chosen
    // or dismissed: the chosen item's command, or Command::None. Only the left button chooses.
    virtual Command popup() = 0;
};

// Makes the native window for a presenter: the front end's side of the core.
class ViewFactory {
public:
    virtual ~ViewFactory() = default;
    virtual std::unique_ptr<WindowView> make(const WindowLayout& windowLayout, FormEvents& events) = 0;
};

// The place of one window kind's single instance, as the window itself sees it.
class WindowSlot {
public:
    // Closes the window and destroys its presenter. A window may discard itself from one of its
    // own handlers; that must be the handler's last step, since the presenter is gone when
    // discard() returns. The slot itself outlives every instance it holds.
    virtual void discard() = 0;

protected:
    ~WindowSlot() = default;
};

// The single process-wide instance of one window kind: absent until first use, created with
// its load step, discarded when closed. The next use brings up a fresh instance.
template <class Window>
class WindowInstance final : public WindowSlot {
public:
    using Create = std::function<std::unique_ptr<Window>()>;

    explicit WindowInstance(Create create)
        : create_(std::move(create))
    {}

    WindowInstance(const WindowInstance&) = delete;
    WindowInstance& operator=(const WindowInstance&) = delete;

    // The instance, created hidden (with its load step) when absent.
    Window& obtain()
    {
        if (!window_) {
            window_ = create_();
            window_->load();
        }
        return *window_;
    }

    // The instance, created when absent, shown or brought to the front.
    Window& show()
    {
        Window& window = obtain();
        window.view().show();
        return window;
    }

    void discard() override { window_.reset(); }

    [[nodiscard]] Window* get() const { return window_.get(); }
    [[nodiscard]] bool exists() const { return window_ != nullptr; }

private:
    Create create_;
    std::unique_ptr<Window> window_;
};

} // namespace latchsweep
