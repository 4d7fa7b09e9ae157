#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/base/window.h"
#include "win32/app/controls.h"
#include "win32/app/handles.h"
#include "win32/app/icons.h"
#include "win32/app/menus.h"
#include "win32/app/native_window.h"

namespace latchsweep::win32 {

// Any window of the program, drawn from its layout: its frame, menu bar, controls, icon, etched
// lines and pop-up menu. Every event goes straight to the presenter it was made for.
class NativeForm : public NativeWindow, public WindowView {
public:
    // `owner` owns a window of WindowFrame::Dialog, which so gets no task-bar button.
    NativeForm(const WindowLayout& windowLayout, FormEvents& events, HWND owner);

    void show() override;
    [[nodiscard]] bool isShown() const override { return IsWindowVisible(hwnd()) != 0; }
    void setText(ControlId control, const std::string& text) override;
    [[nodiscard]] std::string text(ControlId control) const override { return windowText(controls_[control.name]); }
    void setRuns(ControlId box, const std::vector<RtfRun>& runs) override;
    void setEntries(ControlId list, const std::vector<DirectoryEntry>& entries, std::size_t current) override;
    [[nodiscard]] WindowHandle handle() const override { return toWindowHandle(hwnd()); }
    [[nodiscard]] IconHandle icon(IconId icon) const override { return toIconHandle(IconPair(icon).smallIcon()); }
    [[nodiscard]] IconHandle windowIcon() const override { return toIconHandle(current_); }
    void setWindowIcon(IconHandle icon) override;
    void setMinimized(bool minimized) override;
    void setVisible(bool visible) override;
    [[nodiscard]] double twipsPerPixelX() const override { return controls_.twipsPerPixel(); }
    Command popup() override;

    [[nodiscard]] const Controls& controls() const { return controls_; }
    [[nodiscard]] HMENU popupMenu() const { return popup_.get(); }

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void onCommand(WPARAM wParam, LPARAM lParam);
    void open(const ControlLayout& list);
    void drawEntry(const DRAWITEMSTRUCT& item) const;
    void paintLines();

    const WindowLayout& layout_;
    FormEvents& events_;
    MenuCommands menuCommands_;
    OwnedMenu popup_;
    Controls controls_;
    std::map<HWND, std::vector<DirectoryEntry>> entries_; // by list
    HICON current_ = nullptr;                             // the window's icon as the tray gets it (the small image)
    Owned<HBRUSH, DeleteObject> classicFace_;             // the fixed face of a window that keeps it
    UINT taskbarCreated_ = 0;
    bool placed_ = false;
    bool minimized_ = false;
    bool settingText_ = false; // a box's change is the window's own, not the user's edit
    // The control that had the focus when the window was last deactivated, so that activation
    // gives it back as dialogs do (a plain window would otherwise keep the focus itself).
    HWND lastFocus_ = nullptr;
};

// Makes the windows, and is itself a top-level window that is never shown: it owns the windows
// that have no task bar button (an owned window never gets one), while they stay free of every
// window the user sees.
class Win32ViewFactory : public ViewFactory, private NativeWindow {
public:
    Win32ViewFactory();

    std::unique_ptr<WindowView> make(const WindowLayout& windowLayout, FormEvents& events) override
    {
        return std::make_unique<NativeForm>(windowLayout, events, hwnd());
    }
};

} // namespace latchsweep::win32
