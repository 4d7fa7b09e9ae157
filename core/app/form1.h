#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/base/layout.h"
#include "core/base/menu.h"
#include "core/base/presenter.h"
#include "core/base/timer.h"
#include "core/base/tray_port.h"
#include "core/base/window.h"
#include "core/tray/animation.h"

namespace latchsweep {

class Application;

namespace form1 {
inline constexpr ControlId Frame1{"Frame1"};
inline constexpr ControlId Command1{"Command1"};
inline constexpr ControlId Command2{"Command2"};
} // namespace form1

// The main window: the start-up object, the switch of the sweeper, the three timers, the
// animation and the tray callback.
class Form1 : public Form {
public:
    static constexpr std::int32_t kTimer1Period = 1000;
    static constexpr std::int32_t kTimer2Period = 6000;
    static constexpr std::int32_t kTimer3Period = 1000;

    Form1(const WindowContext& context, Application& app);

    // Captures the design-time icon as IconObject, registers the tray icon under its handle,
    // starts the animation.
    void load() override;

    void turnOn();  // Command1
    void turnOff(); // Command2

    // Events of the window.
    void onClick(ControlId button) override;
    void onCommand(Command command) override;
    // Every close request ends the program: it is never refused nor turned into hiding.
    void onClose() override;
    void onMouseMove(double xTwips) override;
    // A notification area appeared (a tray host starting, the shell's "TaskbarCreated" after a
    // restart): it knows no icon of ours, so the icon is added again under the same id.
    void onNotificationAreaCreated() override;

    // Normal state, then visible: the way back from Minimize.
    void restore();
    // The notification area went away. A window hidden by Minimize could no longer be brought
    // back, so it returns minimised on the task bar, as Minimize leaves it without an area.
    void onNotificationAreaGone();
    // A notification area that draws the pop-up itself (a StatusNotifierItem host) asks for
    // Form4's menu, and later reports the item chosen in it: the same Form4, the same commands.
    void onHostPopupShown();
    void onHostPopupChosen(Command command);

    // The refresher's delay (Application::refreshDelay) becomes the sweep's period.
    void setScanDelay(std::int32_t periodMs) { Timer2_.setInterval(periodMs); }

    // The window's state, read by the application and the tests; only its own events change it.
    [[nodiscard]] const Timer& Timer1() const { return Timer1_; } // animation
    [[nodiscard]] const Timer& Timer2() const { return Timer2_; } // sweep
    [[nodiscard]] const Timer& Timer3() const { return Timer3_; } // scan-delay refresh
    [[nodiscard]] IconHandle IconObject() const { return IconObject_; }
    [[nodiscard]] std::int32_t TrayMessage() const { return TrayMessage_; }
    [[nodiscard]] const std::vector<IconHandle>& ImageList1() const { return ImageList1_; }

private:
    void animationTick();

    Application& app_;
    Timer Timer1_;
    Timer Timer2_;
    Timer Timer3_;
    IconHandle IconObject_ = 0;
    std::int32_t TrayMessage_ = 0;
    std::vector<IconHandle> ImageList1_;
    Animation animation_;
};

// The main window's description; its caption is the program's title (base/product.h).
const WindowLayout& form1Layout();

// The main window's menu bar, titles in order; Minimize is a command on the bar itself.
std::span<const MenuItem> mainMenuBar();

} // namespace latchsweep
