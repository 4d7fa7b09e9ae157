// What a screen reader hears of each window, asked of the system's own accessibility layer
// (oleacc) as a screen reader asks it: every window's and control's name, compared
// with the names the core gives them.

#include <windows.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <tuple>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/app/form1.h"
#include "core/settings/form2.h"
#include "core/settings/form3.h"
#include "tests/win32/support/win32_test_support.h"
#include "win32/about/about_views.h"
#include "win32/app/form1_window.h"
#include "win32/settings/settings_views.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;

struct Announced {
    bool answered = false; // whether oleacc gave an object for the window
    std::string name;
};

Announced announced(HWND window)
{
    Announced result;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        !object)
        return result;
    result.answered = true;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (object->get_accName(self, &name) == S_OK && name) {
        const int length = static_cast<int>(SysStringLen(name));
        result.name.resize(
            static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, name, length, nullptr, 0, nullptr, nullptr)));
        WideCharToMultiByte(CP_UTF8, 0, name, length, result.name.data(), static_cast<int>(result.name.size()), nullptr,
                            nullptr);
        SysFreeString(name);
    }
    object->Release();
    return result;
}

// The label the system's text-box proxy names a box by: the first static control created before it.
HWND labelBefore(HWND box)
{
    char className[32] = {};
    for (HWND before = GetWindow(box, GW_HWNDPREV); before; before = GetWindow(before, GW_HWNDPREV))
        if (GetClassNameA(before, className, sizeof className) && lstrcmpiA(className, "Static") == 0)
            return before;
    return nullptr;
}

class AccessibilityTest : public ProgramTest {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        ProgramTest::SetUp();
    }
    void TearDown() override { CoUninitialize(); }
};

// A window is announced by its title and a captioned control by its caption, its access-key
// marker dropped. A box is named by the label created just before it, which is where Windows'
// text-box proxy looks; Wine's oleacc has no such proxy (it names a box by its content), so the
// order of creation is what is checked.
TEST_F(AccessibilityTest, EveryWindowAndControlIsAnnouncedByTheCoresName)
{
    app().run(Command::OpenGameDirectory);
    app().run(Command::OpenAutoDelete);
    app().run(Command::OpenHelp);
    app().run(Command::OpenAbout);
    const auto& form1 = static_cast<Form1Window&>(app().form1().view());
    const auto& form2 = static_cast<Form2Window&>(app().form2().get()->view());
    const auto& form3 = static_cast<Form3Window&>(app().form3().get()->view());
    const auto& help = static_cast<HelpWindow&>(app().help().get()->view());
    const auto& about = static_cast<AboutWindow&>(app().about().get()->view());
    const std::tuple<HWND, const Controls&, const WindowLayout&> windows[] = {
        {form1.hwnd(), form1.controls(), form1Layout()},    {form2.hwnd(), form2.controls(), form2Layout()},
        {form3.hwnd(), form3.controls(), form3Layout()},    {help.hwnd(), help.controls(), frmHelpLayout()},
        {about.hwnd(), about.controls(), frmAboutLayout()},
    };
    for (const auto& [window, controls, layout] : windows) {
        SCOPED_TRACE(std::string(layout.name));
        const Announced title = announced(window);
        ASSERT_TRUE(title.answered);
        EXPECT_EQ(title.name, layout.caption);
        for (const ControlLayout& control : layout.controls) {
            SCOPED_TRACE(std::string(control.name));
            const Announced heard = announced(controls[control.name]);
            ASSERT_TRUE(heard.answered);
            if (control.labelledBy.empty()) {
                EXPECT_EQ(heard.name, accessibleName(layout, control));
            } else if (control.kind == ControlKind::RichText) {
                EXPECT_EQ(labelBefore(controls[control.name]), controls[control.labelledBy]);
            }
        }
    }
}

} // namespace
} // namespace latchsweep::win32
