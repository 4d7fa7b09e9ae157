#pragma once

#include <memory>
#include <string_view>

#include "core/base/menu.h"
#include "core/base/ports.h"
#include "core/base/window.h"
#include "core/base/window_context.h"
#include "core/tray/module1.h"

namespace latchsweep {

class Form1;
class Form2;
class Form3;
class Form4;
class frmHelp;
class frmAbout;

// The running program: its platform, the tray record and the single instance of every window.
// It is the one part of the core that knows every window: the other presenters see only their
// WindowContext, and what links two windows lives here.
class Application {
public:
    Application(Platform& platform, ViewFactory& views);
    ~Application();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Creates the main window, runs its load step and shows it centred. The sweeper is off.
    void start();

    // Menu commands of the main window and of the pop-up, and the buttons' counterparts.
    void run(Command command);

    // Every way out: remove the tray icon by the id registered at start-up, then end at once.
    void exitProgram();

    // An error no handler catches: report its number and description, then end.
    void fail(int number, std::string_view description);

    // One tick of the delay refresher (Form1's Timer3): the text of Form3's delay box, Form3
    // brought into being hidden when absent, becomes Timer2's period; a text that is no delay
    // (sweep/delay.h) or a period the timer refuses leaves the period alone.
    void refreshDelay();

    // Whether the program has ended; only test doubles of ProcessControl let events arrive
    // afterwards, and every handler ignores them.
    [[nodiscard]] bool ended() const { return ended_; }

    Platform& platform() { return platform_; }
    Module1& module1() { return module1_; }
    Form1& form1() { return *form1_.get(); }
    WindowInstance<Form2>& form2() { return form2_; }
    WindowInstance<Form3>& form3() { return form3_; }
    WindowInstance<Form4>& form4() { return form4_; }
    WindowInstance<frmHelp>& help() { return help_; }
    WindowInstance<frmAbout>& about() { return about_; }

private:
    // The single instance of a window, made with the context of its own slot.
    template <class Window, class... Extra>
    WindowInstance<Window> instance(WindowInstance<Window> Application::*slot, Extra&... extra);

    Platform& platform_;
    ViewFactory& views_;
    Module1 module1_;
    WindowInstance<Form1> form1_;
    WindowInstance<Form2> form2_;
    WindowInstance<Form3> form3_;
    WindowInstance<Form4> form4_;
    WindowInstance<frmHelp> help_;
    WindowInstance<frmAbout> about_;
    bool ended_ = false;
};

} // namespace latchsweep
