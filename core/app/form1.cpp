#include "core/app/form1.h"

#include <array>

#include "core/app/application.h"
#include "core/base/product.h"
#include "core/sweep/sweeper.h"
#include "core/tray/callback.h"
#include "core/tray/form4.h"

namespace latchsweep {
namespace {

// The tray icon's tip is the program's title, as the main window's caption is.
constexpr std::string_view kTip = kAppTitle;

using namespace form1;

constexpr std::array kForm1Controls{
    ControlLayout{Frame1.name, ControlKind::Frame, {120, 0, 4455, 855}, "", {}, {}, 0},
    ControlLayout{Command1.name, ControlKind::Button, {120, 240, 2055, 375}, "Turn ON", Frame1.name, {}, 1},
    ControlLayout{Command2.name, ControlKind::Button, {2280, 240, 2055, 375}, "Turn OFF", Frame1.name, {}, 2},
};

// ImageList1: the animation's frames, in order.
constexpr std::array kImageList1{IconId::Frame1, IconId::Frame2};

constexpr std::array kFileItems{MenuItem{"exit", "Exit", Command::Exit}};
constexpr std::array kSettingsItems{
    MenuItem{"settingsdir", "MM2 Directory", Command::OpenGameDirectory},
    MenuItem{"settingadelete", "Auto Delete", Command::OpenAutoDelete},
};
constexpr std::array kSettingsTitleItems{MenuItem{"settings", "Settings", Command::None, kSettingsItems}};
constexpr std::array kHelpItems{
    MenuItem{"help", "Help", Command::OpenHelp},
    MenuItem{"about", "About", Command::OpenAbout},
};
// 43 spaces, then the word: the entry stands far to the right of "Help".
constexpr std::string_view kMinimizeCaption = "                                           Minimize";
static_assert(kMinimizeCaption.size() == 51);

constexpr std::array kMenuBar{
    MenuItem{"file", "File", Command::None, kFileItems},
    MenuItem{"settingsm", "Settings", Command::None, kSettingsTitleItems},
    MenuItem{"helpm", "Help", Command::None, kHelpItems},
    MenuItem{"minimize", kMinimizeCaption, Command::Minimize},
};

constexpr WindowLayout kForm1Layout{.name = "Form1",
                                    .caption = kAppTitle,
                                    .clientWidth = 4680,
                                    .clientHeight = 990,
                                    .controls = kForm1Controls,
                                    .placement = Placement::Centred,
                                    .icon = IconId::Magnet,
                                    .menuBar = kMenuBar,
                                    .ownsTrayIcon = true};

} // namespace

const WindowLayout& form1Layout() { return kForm1Layout; }

std::span<const MenuItem> mainMenuBar() { return kMenuBar; }

Form1::Form1(const WindowContext& context, Application& app)
    : Form(context, kForm1Layout),
      app_(app),
      // The animation and the refresher tick once a second; when within the second does not
      // matter, and sharing one wake-up halves what the program costs while it sits idle. The
      // sweep keeps the exact period the user chose.
      Timer1_(
          context.platform().timers, kTimer1Period, [this] { animationTick(); }, TimerAccuracy::WholeSeconds),
      Timer2_(context.platform().timers, kTimer2Period,
              [this] {
                  if (!app_.ended())
                      sweepOnce(app_.platform().files);
              }),
      Timer3_(
          context.platform().timers, kTimer3Period,
          [this] {
              if (!app_.ended())
                  app_.refreshDelay();
          },
          TimerAccuracy::WholeSeconds)
{}

void Form1::load()
{
    IconObject_ = view_->windowIcon();
    for (const IconId frame : kImageList1)
        ImageList1_.push_back(view_->icon(frame));
    app_.module1().AddTrayIcon(view_->handle(), static_cast<std::int32_t>(IconObject_), IconObject_, kTip);
    Timer1_.setEnabled(true);
}

void Form1::turnOn()
{
    if (app_.ended())
        return;
    Timer2_.setEnabled(true);
    Timer3_.setEnabled(true);
}

void Form1::turnOff()
{
    if (app_.ended())
        return;
    Timer2_.setEnabled(false);
    Timer3_.setEnabled(false);
}

void Form1::onClick(ControlId button)
{
    if (button == form1::Command1)
        turnOn();
    else if (button == form1::Command2)
        turnOff();
}

void Form1::onCommand(Command command) { app_.run(command); }

void Form1::onClose() { app_.exitProgram(); }

void Form1::onMouseMove(double xTwips)
{
    if (app_.ended())
        return;
    const auto code = decodeTrayMessage(xTwips, view_->twipsPerPixelX());
    if (!code)
        return;
    TrayMessage_ = *code;
    if (TrayMessage_ == kLeftButtonDoubleClick) {
        restore();
    } else if (TrayMessage_ == kRightButtonUp) {
        Form4& carrier = app_.form4().obtain();
        // The chosen command runs last: it may end the program or discard Form4.
        app_.run(carrier.popup());
    }
}

void Form1::restore()
{
    view_->setMinimized(false);
    view_->setVisible(true);
}

void Form1::onNotificationAreaCreated()
{
    if (app_.ended())
        return;
    app_.module1().AddTrayIcon(view_->handle(), static_cast<std::int32_t>(IconObject_), view_->windowIcon(), kTip);
}

void Form1::onNotificationAreaGone()
{
    if (app_.ended() || view_->isShown())
        return;
    view_->setMinimized(true);
    view_->setVisible(true);
}

void Form1::onHostPopupShown()
{
    if (!app_.ended())
        app_.form4().obtain();
}

void Form1::onHostPopupChosen(Command command)
{
    // A host may report the choice without having asked first: Form4 carries every command.
    onHostPopupShown();
    app_.run(command);
}

void Form1::animationTick()
{
    if (app_.ended())
        return;
    try {
        const int frame = animation_.step(ImageList1_.size());
        view_->setWindowIcon(ImageList1_[static_cast<std::size_t>(frame - 1)]);
        app_.module1().ModifyTrayIcon(view_->handle(), static_cast<std::int32_t>(IconObject_), view_->windowIcon(),
                                      kTip);
    } catch (const RuntimeError& error) {
        app_.fail(error.number(), error.what());
    }
}

} // namespace latchsweep
