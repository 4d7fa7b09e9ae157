#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/app/form1.h"
#include "core/settings/form2.h"
#include "core/settings/form3.h"

namespace latchsweep {
namespace {

const ControlLayout* controlNamed(const WindowLayout& window, std::string_view name)
{
    for (const ControlLayout& control : window.controls)
        if (control.name == name)
            return &control;
    return nullptr;
}

// Both front ends build every window from these layouts and their tests compare against them, so
// what the data must hold is checked once, here: a control that names a missing frame, lies
// outside what contains it or shares a tab stop would be drawn wrong on both platforms alike.
TEST(Layouts, EveryControlHasAUniqueNameATabStopOfItsOwnAndLiesWithinItsContainer)
{
    for (const WindowLayout* window :
         {&form1Layout(), &form2Layout(), &form3Layout(), &frmHelpLayout(), &frmAboutLayout()}) {
        SCOPED_TRACE(std::string(window->name));
        std::set<std::string_view> names;
        std::set<int> tabStops;
        for (const ControlLayout& control : window->controls) {
            SCOPED_TRACE(std::string(control.name));
            EXPECT_TRUE(names.insert(control.name).second) << "name used twice";
            if (control.tabIndex >= 0) {
                EXPECT_TRUE(tabStops.insert(control.tabIndex).second) << "tab index used twice";
            }
            int width = window->clientWidth;
            int height = window->clientHeight;
            if (!control.parent.empty()) {
                const ControlLayout* frame = controlNamed(*window, control.parent);
                ASSERT_NE(frame, nullptr) << "no container " << control.parent;
                EXPECT_EQ(frame->kind, ControlKind::Frame);
                width = frame->rect.width;
                height = frame->rect.height;
            }
            EXPECT_GE(control.rect.left, 0);
            EXPECT_GE(control.rect.top, 0);
            EXPECT_GT(control.rect.width, 0);
            EXPECT_GT(control.rect.height, 0);
            EXPECT_LE(control.rect.left + control.rect.width, width);
            EXPECT_LE(control.rect.top + control.rect.height, height);
        }
    }
}

// The arrow keys on the main window's bar, drawn as its front ends wrap it: a step past a row's end
// goes on in the next row, past the bar's end round to its start, and rows of any length (one
// left empty by a narrow window) are only a drawing.
TEST(MenuBarKeys, StepAlongTheRowsAsAlongOneBarAndComeRoundAtItsEnds)
{
    const std::size_t entries = mainMenuBar().size();
    const std::size_t wrapped[] = {entries - 1, 1};
    EXPECT_EQ(stepAlongBar(wrapped, {0, entries - 2}, +1), (BarPlace{1, 0}));
    EXPECT_EQ(stepAlongBar(wrapped, {1, 0}, -1), (BarPlace{0, entries - 2}));
    EXPECT_EQ(stepAlongBar(wrapped, {1, 0}, +1), (BarPlace{0, 0}));
    EXPECT_EQ(stepAlongBar(wrapped, {0, 0}, -1), (BarPlace{1, 0}));
    EXPECT_EQ(stepAlongBar(wrapped, {0, 1}, +1), (BarPlace{0, 2}));

    const std::size_t uneven[] = {2, 0, 3};
    EXPECT_EQ(stepAlongBar(uneven, {0, 1}, +1), (BarPlace{2, 0}));
    EXPECT_EQ(stepAlongBar(uneven, {2, 0}, -1), (BarPlace{0, 1}));
    EXPECT_EQ(stepAlongBar(uneven, {2, 2}, +1), (BarPlace{0, 0}));
    const std::size_t oneRow[] = {entries};
    EXPECT_EQ(stepAlongBar(oneRow, {0, 0}, -1), (BarPlace{0, entries - 1}));
    const std::size_t none[] = {0};
    EXPECT_EQ(stepAlongBar(none, {0, 0}, +1), (BarPlace{0, 0}));
}

// Assistive technology names a control from this data on both platforms: a label that names
// nothing in its window, or a control a user can reach with no name, is silent on both alike.
TEST(Layouts, EveryControlAUserCanReachHasANameFromItsCaptionOrItsLabel)
{
    for (const WindowLayout* window :
         {&form1Layout(), &form2Layout(), &form3Layout(), &frmHelpLayout(), &frmAboutLayout()}) {
        SCOPED_TRACE(std::string(window->name));
        for (const ControlLayout& control : window->controls) {
            SCOPED_TRACE(std::string(control.name));
            if (!control.labelledBy.empty() && control.labelledBy != window->name) {
                const ControlLayout* label = controlNamed(*window, control.labelledBy);
                ASSERT_NE(label, nullptr) << "no label " << control.labelledBy;
                EXPECT_EQ(label->kind, ControlKind::Label);
            }
            const bool reachable = control.kind != ControlKind::Frame && control.kind != ControlKind::Line;
            EXPECT_EQ(accessibleName(*window, control).empty(), !reachable && control.text.empty());
        }
    }
    const ControlLayout& sysInfo = *controlNamed(frmAboutLayout(), "cmdSysInfo");
    const std::string spoken = accessibleName(frmAboutLayout(), sysInfo);
    EXPECT_EQ(spoken.size() + 1, sysInfo.text.size()) << "the access-key marker is not spoken";
    EXPECT_EQ(spoken.find('&'), std::string::npos);
    EXPECT_EQ(withoutAccessKey("Save && Close&"), "Save & Close");
}

// How the keyboard works each window, decided here for both front ends: where the focus starts
// and goes, and which buttons Enter and Esc press.
TEST(Layouts, TheKeysPressOnlyButtonsOfTheirWindowAndTheFocusStartsWhereDesigned)
{
    const auto check = [](const WindowLayout& window, std::string_view focus) {
        SCOPED_TRACE(std::string(window.name));
        for (const std::string_view key : {window.keys.defaultButton, window.keys.cancelButton})
            EXPECT_TRUE(key.empty() || controlNamed(window, key)->kind == ControlKind::Button) << key;
        EXPECT_EQ(initialFocus(window), focus);
    };
    check(form1Layout(), "Command1");
    check(form2Layout(), "MM2Dir");
    check(form3Layout(), "Command1");
    check(frmHelpLayout(), "OKButton");
    check(frmAboutLayout(), "cmdOK");

    // Frames first, beneath what they hold; then by tab index; those without one last. Only
    // buttons, boxes and lists take the focus.
    static constexpr ControlLayout kControls[] = {
        {"caption", ControlKind::Label, {}, "", {}, {}, -1}, {"second", ControlKind::Button, {}, "", {}, {}, 2},
        {"outline", ControlKind::Frame, {}, "", {}, {}, 5},  {"first", ControlKind::RichText, {}, "", {}, {}, 1},
        {"label", ControlKind::Label, {}, "", {}, {}, 0},    {"list", ControlKind::DirectoryList, {}, "", {}, {}, 3},
        {"loose", ControlKind::Button, {}, "", {}, {}, -1},
    };
    const WindowLayout kWindow{"window", "", 100, 100, kControls};
    EXPECT_EQ(creationOrder(kWindow), (std::vector<std::size_t>{2, 4, 3, 1, 5, 0, 6}));
    EXPECT_EQ(focusOrder(kWindow), (std::vector<std::size_t>{3, 1, 5}));
    EXPECT_EQ(initialFocus(kWindow), "first");

    // Enter: the default button wherever the focus is, or else the button with the focus.
    EXPECT_EQ(buttonForEnter(frmAboutLayout(), "cmdSysInfo"), "cmdOK");
    EXPECT_EQ(buttonForEnter(frmHelpLayout(), "CancelButton"), "CancelButton");
    EXPECT_EQ(buttonForEnter(frmHelpLayout(), "helptxt"), "");
    EXPECT_EQ(buttonForEnter(form2Layout(), "MM2Dir"), "");
}

} // namespace
} // namespace latchsweep
