#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/application.h"
#include "core/app/form1.h"
#include "core/base/window.h"
#include "tests/support/fake_platform.h"

namespace latchsweep::testing {

// A window as the core describes it, recording what its presenter shows in it; a test acts as
// the user through type(), click(), open() and the events.
class FakeView : public WindowView {
public:
    static constexpr WindowHandle kHandle = 0x000A0042;

    FakeView(const WindowLayout& layout, FormEvents& presenter)
        : windowLayout(layout),
          events(presenter),
          windowIcon_(iconOf(layout.icon))
    {
        for (const ControlLayout& control : layout.controls)
            texts[std::string(control.name)] = std::string(control.text);
    }

    // Each of the program's icons has a handle of its own.
    static constexpr IconHandle iconOf(IconId id) { return 0x2C0100 + static_cast<IconHandle>(id); }

    void show() override
    {
        ++showCount;
        visible = true;
    }
    [[nodiscard]] bool isShown() const override { return visible; }
    void setText(ControlId control, const std::string& text) override { texts[std::string(control.name)] = text; }
    [[nodiscard]] std::string text(ControlId control) const override { return texts.at(std::string(control.name)); }
    void setRuns(ControlId control, const std::vector<RtfRun>& value) override
    {
        runs[std::string(control.name)] = value;
        texts[std::string(control.name)].clear();
    }
    void setEntries(ControlId, const std::vector<DirectoryEntry>& list, std::size_t currentIndex) override
    {
        entries = list;
        current = currentIndex;
        ++listings;
    }
    [[nodiscard]] WindowHandle handle() const override { return kHandle; }
    [[nodiscard]] IconHandle icon(IconId id) const override { return iconOf(id); }
    [[nodiscard]] IconHandle windowIcon() const override { return windowIcon_; }
    void setWindowIcon(IconHandle value) override { windowIcon_ = value; }
    void setMinimized(bool value) override { minimized = value; }
    void setVisible(bool value) override { visible = value; }
    [[nodiscard]] double twipsPerPixelX() const override { return twipsPerPixel; }
    Command popup() override
    {
        ++popups;
        if (whilePopped)
            whilePopped();
        return choice;
    }

    // The user types into a box.
    void type(ControlId box, const std::string& text)
    {
        texts[std::string(box.name)] = text;
        events.onEdit(box);
    }
    [[nodiscard]] const std::string& shownText(ControlId control) const { return texts.at(std::string(control.name)); }
    // The list's shown names in order, for exact comparisons.
    [[nodiscard]] std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const auto& entry : entries)
            result.push_back(entry.name);
        return result;
    }

    const WindowLayout& windowLayout;
    FormEvents& events;
    std::map<std::string, std::string, std::less<>> texts; // each control's, as the presenter set it
    std::map<std::string, std::vector<RtfRun>, std::less<>> runs;
    std::vector<DirectoryEntry> entries;
    std::size_t current = 0;
    int listings = 0;
    int showCount = 0;
    bool visible = false;
    bool minimized = false;
    double twipsPerPixel = 15.0;
    int popups = 0;
    Command choice = Command::None;    // what the user picks from the next pop-up
    std::function<void()> whilePopped; // runs while the menu is up, as events would in its loop

private:
    IconHandle windowIcon_;
};

// Makes fake views and keeps a pointer to the newest of each window; a pointer goes stale when
// its window is discarded, so tests check the instance exists before using it.
class FakeViews : public ViewFactory {
public:
    std::map<std::string, FakeView*, std::less<>> newest;
    int created = 0;

    std::unique_ptr<WindowView> make(const WindowLayout& windowLayout, FormEvents& events) override
    {
        ++created;
        auto view = std::make_unique<FakeView>(windowLayout, events);
        newest[std::string(windowLayout.name)] = view.get();
        return view;
    }
    [[nodiscard]] FakeView& of(std::string_view window) const { return *newest.find(window)->second; }
};

// A started program on fakes: the usual fixture of core tests.
struct FakeProgram {
    FakePlatform platform;
    FakeViews views;
    Application app{platform.ports, views};

    FakeProgram() { app.start(); }
    Form1& form1() { return app.form1(); }
    FakeView& form1View() { return views.of("Form1"); }
};

} // namespace latchsweep::testing
