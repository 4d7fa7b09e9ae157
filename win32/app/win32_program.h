#pragma once

#include <windows.h>

#include "core/app/application.h"
#include "win32/about/win32_system_ports.h"
#include "win32/app/native_form.h"
#include "win32/app/win32_file_system.h"
#include "win32/app/win32_platform.h"
#include "win32/tray/notification_area.h"

namespace latchsweep::win32 {

// Registers the common controls (version 6, by the manifest) and the rich-edit box.
void initControlLibraries();

// The program on the Windows API: the platform's ports, the views and the core application.
class Win32Program {
public:
    void start() { app_.start(); }
    Application& app() { return app_; }

private:
    Win32TimerFactory timers_;
    Win32FileSystem files_;
    Win32MessageBoxes messages_;
    Win32ProcessControl process_;
    Win32TrayPort tray_;
    Win32Registry registry_;
    Win32Launcher launcher_;
    Platform platform_{timers_, files_, messages_, process_, tray_, registry_, &launcher_};
    Win32ViewFactory views_;
    Application app_{platform_, views_};
};

} // namespace latchsweep::win32
