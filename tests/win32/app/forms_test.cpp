// Every window the core describes, drawn by the one Win32 form from its layout on the real
// Windows API: what it shows, what each kind of control makes of its traits, and every event
// on its way to the presenter. Then the running program through those windows.

#include <windows.h>
#include <gtest/gtest.h>
#include <oleacc.h>
#include <richedit.h>

#include <array>
#include <cctype>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/about/frm_about.h"
#include "core/about/frm_help.h"
#include "core/app/form1.h"
#include "core/settings/form2.h"
#include "core/settings/form3.h"
#include "core/sweep/data_files.h"
#include "core/tray/form4.h"
#include "tests/win32/support/win32_test_support.h"
#include "win32/app/icons.h"
#include "win32/app/native_form.h"
#include "win32/app/win32_program.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;
using Events = std::vector<std::string>;

std::array<const WindowLayout*, 6> everyWindow()
{
    return {&form1Layout(), &form2Layout(), &form3Layout(), &form4Layout(), &frmHelpLayout(), &frmAboutLayout()};
}

std::string event(std::string_view kind, std::string_view subject = {}, const std::string& value = {})
{
    return std::string(kind) + " " + std::string(subject) + " " + value;
}

// What a window tells its presenter, one line an event.
class Recorder final : public FormEvents {
public:
    void onClick(ControlId button) override { events_.push_back(event("click", button.name)); }
    void onOpen(ControlId list, std::size_t entry) override
    {
        events_.push_back(event("open", list.name, std::to_string(entry)));
    }
    void onEdit(ControlId box) override { events_.push_back(event("edit", box.name)); }
    void onClose() override { events_.push_back(event("close")); }
    void onCommand(Command command) override
    {
        events_.push_back(event("command", {}, std::to_string(static_cast<int>(command))));
    }
    void onMouseMove(double xTwips) override { events_.push_back(event("move", {}, std::to_string(xTwips))); }
    void onNotificationAreaCreated() override { events_.push_back(event("area")); }
    Events take() { return std::exchange(events_, {}); } // those since the last call

private:
    Events events_;
};

// A key pressed on the control with the focus, through the message loop's keyboard handling.
void press(WPARAM key, UINT message = WM_KEYDOWN)
{
    PostMessageW(GetFocus(), message, key, 0);
    pumpPending();
}

// Replaces a box's text as typing does.
void typeInto(HWND box, const wchar_t* text)
{
    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

// The name the system's accessibility layer (oleacc) announces for a window, as a screen reader
// asks it; nothing when it gives no object.
std::optional<std::string> announced(HWND window)
{
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        !object)
        return std::nullopt;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string result;
    if (object->get_accName(self, &name) == S_OK && name) {
        result = toUtf8(std::wstring_view(name, SysStringLen(name)));
        SysFreeString(name);
    }
    object->Release();
    return result;
}

// The label the system's text-box proxy names a box by: the first static control created before it.
HWND labelBefore(HWND box)
{
    wchar_t className[32] = {};
    for (HWND before = GetWindow(box, GW_HWNDPREV); before; before = GetWindow(before, GW_HWNDPREV))
        if (GetClassNameW(before, className, 32) && lstrcmpiW(className, L"Static") == 0)
            return before;
    return nullptr;
}

// Answers the next pop-up menu of this process with keys, as a user at the keyboard would.
class MenuAnswerer {
public:
    explicit MenuAnswerer(std::vector<WPARAM> keys)
        : thread_([this, keys] {
              for (int waited = 0; waited < 250 && !menu_; ++waited, Sleep(20))
                  if (const auto menus = visibleWindowsOfClass("#32768"); !menus.empty())
                      menu_ = menus.front();
              for (const WPARAM key : keys) {
                  if (!menu_)
                      return;
                  Sleep(100);
                  PostMessageW(menu_, WM_KEYDOWN, key, 0);
              }
          })
    {}
    ~MenuAnswerer() { thread_.join(); }
    [[nodiscard]] bool sawMenu() const { return menu_ != nullptr; }

private:
    std::atomic<HWND> menu_{nullptr};
    std::thread thread_;
};

class FormTest : public ::testing::Test {
protected:
    FormTest()
    {
        initControlLibraries();
        SetCursorPos(0, 0); // no real mouse-move of its own over a window
    }

    // The window of that layout, shown, its events recorded; the window before it is gone.
    NativeForm& showWindow(const WindowLayout& windowLayout)
    {
        view_.reset();
        view_ = factory_.make(windowLayout, events);
        view_->show();
        pumpFor(100ms);
        events.take(); // what showing the window may report is not what a test looks for
        return static_cast<NativeForm&>(*view_);
    }

    Recorder events;

private:
    Win32ViewFactory factory_;
    std::unique_ptr<WindowView> view_;
};

TEST_F(FormTest, EveryWindowIsDrawnAsItsLayoutDescribes)
{
    CoInitialize(nullptr);
    for (const WindowLayout* layout : everyWindow()) {
        SCOPED_TRACE(std::string(layout->name));
        NativeForm& form = showWindow(*layout);
        HWND window = form.hwnd();
        EXPECT_EQ(windowText(window), layout->caption);
        const auto smallIcon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
        EXPECT_EQ(toIconHandle(smallIcon), form.icon(layout->icon));
        EXPECT_EQ(form.windowIcon(), form.icon(layout->icon));
        ASSERT_EQ(form.popupMenu() != nullptr, layout->popup != nullptr);
        if (layout->popup)
            expectMenuMatches(form.popupMenu(), layout->popup->children, "pop-up");
        if (layout->frame == WindowFrame::None) {
            EXPECT_FALSE(form.isShown());
            continue;
        }
        expectWindowAsLaidOut(window, form.controls(), *layout);
        const bool dialog = layout->frame == WindowFrame::Dialog;
        HWND owner = GetWindow(window, GW_OWNER);
        EXPECT_EQ(owner && !IsWindowVisible(owner), dialog) << "a task-bar button of its own unless a dialog";
        EXPECT_EQ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME) != 0, dialog);
        if (layout->menuBar.empty())
            EXPECT_EQ(GetMenu(window), nullptr);
        else
            expectMenuMatches(GetMenu(window), layout->menuBar, "bar");

        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        RECT outer{};
        GetWindowRect(window, &outer);
        if (layout->placement == Placement::FixedClient) {
            EXPECT_EQ(origin.x, px(layout->clientLeft));
            EXPECT_EQ(origin.y, px(layout->clientTop));
        } else if (layout->placement == Placement::Centred) {
            EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
            EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
        }

        // Activation reaches a new window asynchronously, and Wine may first hand it to its own
        // tray window: then the window is activated as a click would, and the focus is the same.
        HWND first = form.controls()[initialFocus(*layout)];
        if (!pumpUntil([&] { return GetFocus() == first; }, 5s))
            SetForegroundWindow(window);
        EXPECT_TRUE(pumpUntil([&] { return GetFocus() == first; }, 5s));

        // A window is announced by its title and a captioned control by its caption. Windows'
        // text-box proxy names a box by the label created just before it; Wine's oleacc names a
        // box by its content, so there the order of creation is what is checked.
        EXPECT_EQ(announced(window), layout->caption);
        for (const ControlLayout& control : layout->controls) {
            HWND native = form.controls()[control.name];
            ASSERT_TRUE(announced(native)) << control.name;
            if (control.labelledBy.empty()) {
                EXPECT_EQ(announced(native), accessibleName(*layout, control)) << control.name;
            } else if (control.kind == ControlKind::RichText) {
                EXPECT_EQ(labelBefore(native), form.controls()[control.labelledBy]) << control.name;
            }
        }
    }
    CoUninitialize();
}

TEST_F(FormTest, EveryControlShowsItsTraitsAndFollowsTheScreensDensity)
{
    HDC dc = CreateCompatibleDC(nullptr);
    for (const WindowLayout* layout : everyWindow()) {
        SCOPED_TRACE(std::string(layout->name));
        NativeForm& form = showWindow(*layout);
        if (layout->frame == WindowFrame::None)
            continue;
        for (const ControlLayout& control : layout->controls) {
            SCOPED_TRACE(std::string(control.name));
            HWND native = form.controls()[control.name];
            const auto style = static_cast<DWORD>(GetWindowLongPtrW(native, GWL_STYLE));
            const bool edged = (GetWindowLongPtrW(native, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
            const ControlTraits& traits = control.traits;
            if (control.kind == ControlKind::RichText) {
                EXPECT_EQ((style & ES_MULTILINE) != 0, traits.multiLine);
                EXPECT_EQ((style & ES_READONLY) != 0, traits.readOnly);
                EXPECT_EQ(edged, traits.border != Border::None);
                // A rich-text box shows its scroll bar only while its text needs one.
                EXPECT_EQ((style & ES_AUTOVSCROLL) != 0, traits.multiLine && traits.border != Border::None);
                // The box answers with the background it had.
                const auto background = static_cast<COLORREF>(SendMessageW(native, EM_SETBKGNDCOLOR, 0, 0));
                EXPECT_EQ(background, GetSysColor(traits.onButtonFace ? COLOR_BTNFACE : COLOR_WINDOW));
            } else if (control.kind == ControlKind::Button) {
                EXPECT_EQ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON, control.name == layout->keys.defaultButton);
            } else if (control.kind == ControlKind::Label) {
                // Black on a desktop whose text is not, or the desktop's colour.
                const int element = COLOR_WINDOWTEXT;
                const COLORREF desktop = GetSysColor(element);
                const COLORREF navy = RGB(0, 0, 128);
                SetSysColors(1, &element, &navy);
                SendMessageW(form.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(native));
                SetSysColors(1, &element, &desktop);
                EXPECT_EQ(GetTextColor(dc), traits.black ? RGB(0, 0, 0) : navy);
            } else if (control.kind == ControlKind::Picture) {
                EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(native, STM_GETICON, 0, 0)),
                          IconPair(traits.picture).bigIcon());
            } else if (control.kind == ControlKind::DirectoryList) {
                EXPECT_TRUE(edged && (style & LBS_OWNERDRAWFIXED)) << "an indented tree in a box";
            }
        }

        // Each etched line is a band of its width from its top row down, drawn in order: a band's
        // last row is its own colour (a later, narrower band covers only the top of an earlier).
        RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        pumpFor(100ms);
        HDC window = GetDC(form.hwnd());
        for (const EtchedLine& line : layout->lines)
            EXPECT_EQ(GetPixel(window, px((line.x1 + line.x2) / 2), px(line.y) + line.widthPixels - 1),
                      RGB((line.rgb >> 16) & 0xFF, (line.rgb >> 8) & 0xFF, line.rgb & 0xFF))
                << line.index;
        ReleaseDC(form.hwnd(), window);

        // Moved to a denser screen, the window takes the suggested place and its layout scales.
        RECT suggested{};
        GetWindowRect(form.hwnd(), &suggested);
        OffsetRect(&suggested, 40, 30);
        constexpr int kDpi = 144; // 10 twips per pixel
        SendMessageW(form.hwnd(), WM_DPICHANGED, MAKEWPARAM(kDpi, kDpi), reinterpret_cast<LPARAM>(&suggested));
        RECT now{};
        GetWindowRect(form.hwnd(), &now);
        EXPECT_EQ(now.left, suggested.left);
        EXPECT_EQ(now.top, suggested.top);
        RECT client{};
        GetClientRect(form.hwnd(), &client);
        EXPECT_EQ(client.right, twipsToPixels(layout->clientWidth, 10.0));
        EXPECT_EQ(client.bottom, twipsToPixels(layout->clientHeight, 10.0));
        EXPECT_EQ(form.twipsPerPixelX(), 10.0);
        for (const ControlLayout& control : layout->controls) {
            HWND native = form.controls()[control.name];
            RECT place{};
            GetWindowRect(native, &place);
            EXPECT_EQ(place.bottom - place.top, twipsToPixels(control.rect.height, 10.0)) << control.name;
            if (control.kind == ControlKind::Label && control.font.points > 0) {
                LOGFONTW font{};
                GetObjectW(reinterpret_cast<HFONT>(SendMessageW(native, WM_GETFONT, 0, 0)), sizeof(font), &font);
                EXPECT_EQ(font.lfHeight, -std::lround(control.font.points * kDpi / 72.0)) << control.name;
            }
        }
        if (layout->ownsTrayIcon) {
            SendMessageW(form.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(311, 20));
            EXPECT_EQ(events.take(), Events{event("move", {}, std::to_string(3110.0))});
        }
    }
    DeleteDC(dc);
}

// Each of a window's menu items, chosen, reaches the presenter as its command.
void chooseEveryItem(HWND window, HMENU menu, std::span<const MenuItem> items, Recorder& events)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int position = static_cast<int>(i);
        if (!items[i].children.empty()) {
            chooseEveryItem(window, GetSubMenu(menu, position), items[i].children, events);
            continue;
        }
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetMenuItemID(menu, position), 0), 0);
        EXPECT_EQ(events.take(), Events{event("command", {}, std::to_string(static_cast<int>(items[i].command)))})
            << items[i].caption;
    }
}

TEST_F(FormTest, EveryEventOfEveryWindowReachesItsPresenter)
{
    for (const WindowLayout* layout : everyWindow()) {
        SCOPED_TRACE(std::string(layout->name));
        NativeForm& form = showWindow(*layout);
        HWND window = form.hwnd();
        const Controls& controls = form.controls();

        // Enter presses the default button, or the button with the focus; Esc the cancel button.
        const std::string_view focused = initialFocus(*layout);
        for (const auto& [key, button] : {std::pair{VK_RETURN, buttonForEnter(*layout, focused)},
                                          std::pair{VK_ESCAPE, layout->keys.cancelButton}}) {
            SetFocus(controls[focused]);
            press(static_cast<WPARAM>(key));
            EXPECT_EQ(events.take(), button.empty() ? Events{} : Events{event("click", button)}) << key;
        }

        for (const ControlLayout& control : layout->controls) {
            SCOPED_TRACE(std::string(control.name));
            HWND native = controls[control.name];
            const ControlId id{control.name};
            if (control.kind == ControlKind::Button) {
                SendMessageW(native, BM_CLICK, 0, 0);
                EXPECT_EQ(events.take(), Events{event("click", control.name)});
                if (const auto marker = control.text.find('&'); marker != std::string_view::npos) {
                    press(static_cast<WPARAM>(std::tolower(static_cast<unsigned char>(control.text[marker + 1]))),
                          WM_SYSCHAR);
                    EXPECT_EQ(events.take(), Events{event("click", control.name)}) << "Alt and its access key";
                }
            } else if (control.kind == ControlKind::RichText) {
                // What the window itself puts in a box is no edit; what the user types is.
                const std::string name = "\u0418\u0433\u0440\u044b 250";
                form.setText(id, name);
                EXPECT_EQ(form.text(id), name);
                if (!control.traits.readOnly) {
                    typeInto(native, L"777");
                    EXPECT_EQ(form.text(id), "777");
                }
                EXPECT_EQ(events.take(), control.traits.readOnly ? Events{} : Events{event("edit", control.name)});
                RtfFormat strong;
                strong.bold = true;
                form.setRuns(id, {{"Bold", strong}, {" \u041f\u0440\u0438\u0432\u0435\u0442", {}}});
                EXPECT_EQ(form.text(id).substr(0, 17), "Bold \u041f\u0440\u0438\u0432\u0435\u0442");
                for (const auto& [start, bold] : {std::pair{0, true}, std::pair{6, false}}) {
                    CHARFORMAT2W format{};
                    format.cbSize = sizeof(format);
                    SendMessageW(native, EM_SETSEL, static_cast<WPARAM>(start), start + 1);
                    SendMessageW(native, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
                    EXPECT_EQ((format.dwEffects & CFE_BOLD) != 0, bold) << start;
                }
                EXPECT_EQ(events.take(), Events{});
            } else if (control.kind == ControlKind::DirectoryList) {
                form.setEntries(id, {{"C:\\", "C:\\", 0, true}, {"Games", "C:\\Games", 1, false}}, 0);
                EXPECT_EQ(SendMessageW(native, LB_GETCOUNT, 0, 0), 2);
                EXPECT_EQ(SendMessageW(native, LB_GETCURSEL, 0, 0), 0);
                // Highlighting alone opens nothing; a double-click or Enter opens.
                SendMessageW(native, LB_SETCURSEL, 1, 0);
                SendMessageW(window, WM_COMMAND, MAKEWPARAM(controls.id(control.name), LBN_DBLCLK),
                             reinterpret_cast<LPARAM>(native));
                SetFocus(native);
                press(VK_RETURN);
                EXPECT_EQ(events.take(), Events(2, event("open", control.name, "1")));
            }
        }

        if (HMENU bar = GetMenu(window))
            chooseEveryItem(window, bar, layout->menuBar, events);
        if (layout->popup) {
            // Up from nothing selected lands on the last entry; Enter chooses it.
            const MenuAnswerer answer({VK_UP, VK_RETURN});
            EXPECT_EQ(form.popup(), layout->popup->children.back().command);
            const MenuAnswerer dismiss({VK_ESCAPE});
            EXPECT_EQ(form.popup(), Command::None);
        }

        SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(311, 20));
        SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        SendMessageW(window, WM_ENDSESSION, TRUE, 0);
        const Events trayOwners{event("move", {}, std::to_string(311 * screenTwipsPerPixel())), event("area"),
                                event("close")};
        EXPECT_EQ(events.take(), layout->ownsTrayIcon ? trayOwners : Events{});
        SendMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(events.take(), Events{event("close")});
    }
}

// The running program through its windows.
class ProgramFormsTest : public ProgramTest {
protected:
    static NativeForm& view(Form& presenter) { return static_cast<NativeForm&>(presenter.view()); }
};

TEST_F(ProgramFormsTest, TheMainWindowHidesToTheTrayAndComesBackByTheIconsDoubleClickOrItsMenu)
{
    HWND main = view(app().form1()).hwnd();
    const auto iconId = static_cast<WPARAM>(app().form1().IconObject());
    ASSERT_TRUE(app().module1().iconShown()) << "Minimize hides only while the tray icon is there";
    app().run(Command::Minimize);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(IsIconic(main));
    // Real movement over the window decodes to small values; a press on the icon does nothing.
    for (const LPARAM move : {MAKELPARAM(311, 20), LPARAM{WM_LBUTTONDOWN}, LPARAM{WM_RBUTTONDOWN}})
        SendMessageW(main, WM_MOUSEMOVE, iconId, move);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_FALSE(app().form4().exists());
    // The shell's callback: wParam the icon's id, lParam the mouse message, posted.
    PostMessageW(main, WM_MOUSEMOVE, iconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(main) != 0; }, 2s));
    EXPECT_FALSE(IsIconic(main));

    app().run(Command::Minimize);
    {
        // The last entry of the pop-up, "Show Main Window".
        const MenuAnswerer answer({VK_UP, VK_RETURN});
        SendMessageW(main, WM_MOUSEMOVE, iconId, WM_RBUTTONUP);
        EXPECT_TRUE(answer.sawMenu());
    }
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(IsIconic(main));
    EXPECT_FALSE(app().form4().exists()) << "Show Main Window discards the pop-up's carrier";
}

TEST_F(ProgramFormsTest, AnimationStepsTheIconsTheShellsRestartAddsTheIconAgainAndCloseEndsOnce)
{
    Form1& form1 = app().form1();
    HWND main = view(form1).hwnd();
    ASSERT_EQ(form1.ImageList1().size(), 2u);
    const auto smallIcon = [&] {
        return toIconHandle(reinterpret_cast<HICON>(SendMessageW(main, WM_GETICON, ICON_SMALL, 0)));
    };
    EXPECT_EQ(smallIcon(), form1.IconObject());
    for (const IconHandle frame : {form1.ImageList1()[0], form1.ImageList1()[1], form1.ImageList1()[0]})
        EXPECT_TRUE(pumpUntil([&] { return smallIcon() == frame; }, 3s));
    // Each modify went through, under the id of the start-up icon.
    EXPECT_TRUE(app().module1().iconShown());
    EXPECT_EQ(app().module1().iconData().uID, static_cast<std::int32_t>(form1.IconObject()));

    NOTIFYICONDATAA native = toNative(app().module1().iconData());
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &native)); // the shell restarted and lost every icon
    SendMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    native = toNative(app().module1().iconData());
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &native));

    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.process.endCount, 1);
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &native)) << "the icon is still in the notification area";
    EXPECT_TRUE(IsWindow(main)) << "the process end takes the window, not the request";
    app().run(Command::Exit);
    EXPECT_EQ(program.process.endCount, 1);
}

// The refresher reads the box of a window it brings into being hidden, as loaded and as typed;
// the menu then shows that same window.
TEST_F(ProgramFormsTest, TheRefresherReadsAHiddenDelayBoxAsLoadedOrTypedAndTheMenuShowsThatWindow)
{
    writeFile(scratch / std::string(kAutoDeleteFile), "4321\r\n");
    app().refreshDelay();
    NativeForm& form3 = view(*app().form3().get());
    EXPECT_FALSE(form3.isShown());
    EXPECT_EQ(app().form1().Timer2().interval(), 4321);
    typeInto(form3.controls()[form3::text1.name], L"777");
    app().refreshDelay();
    EXPECT_EQ(app().form1().Timer2().interval(), 777);
    app().run(Command::OpenAutoDelete);
    EXPECT_EQ(&view(*app().form3().get()), &form3);
    EXPECT_TRUE(form3.isShown());
    EXPECT_EQ(form3.text(form3::text1), "777");
}

// A folder the ANSI code page cannot spell, through the window's own controls: listed and opened
// by its name, saved with the confirmation over the window, and shown again. The bytes it is
// saved in are the text rule's (the core's tests) in the system's conversion (the platform tests).
TEST_F(ProgramFormsTest, AFolderOutsideTheAnsiCodePageIsListedOpenedSavedAndShownByItsName)
{
    const std::string base = toUtf8(scratch.path().wstring());
    const std::string games = base + "\\\u0418\u0433\u0440\u044b";
    ASSERT_TRUE(CreateDirectoryW(fromUtf8(games).c_str(), nullptr));
    app().run(Command::OpenGameDirectory);
    NativeForm& form2 = view(*app().form2().get());
    HWND list = form2.controls()[form2::MM2Dir.name];
    const std::wstring name = fromUtf8("\u0418\u0433\u0440\u044b");
    const LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(name.c_str()));
    ASSERT_GE(index, 0) << "listed by its name";
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(form2.hwnd(), WM_COMMAND, MAKEWPARAM(form2.controls().id(form2::MM2Dir.name), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(app().form2().get()->MM2Dir().path(), games);
    HWND window = form2.hwnd();
    {
        BoxAnswerer boxes;
        SendMessageW(form2.controls()[form2::Command1.name], BM_CLICK, 0, 0);
        ASSERT_EQ(boxes.answered().size(), 1u);
        EXPECT_EQ(boxes.answered()[0].owner, window); // placed over the window that asks
        EXPECT_EQ(boxes.answered()[0].othersTakingInput, 0);
    }
    EXPECT_FALSE(IsWindow(window));
    app().run(Command::OpenGameDirectory);
    EXPECT_EQ(view(*app().form2().get()).text(form2::curmm2dir), games + "\\MM2.LOCK");
}

} // namespace
} // namespace latchsweep::win32
