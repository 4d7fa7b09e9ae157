#pragma once

// The program's name as the user sees it: the main window's caption, the tray icon's tip and the
// title of every message box the program shows on its own behalf. It is the product name of the
// version record (resources/version.h, plain macros that no toolkit is needed to read), so that
// the name is written once for the core, both front ends and the packages.

#include <string_view>

#include "resources/version.h"

namespace latchsweep {

inline constexpr std::string_view kAppTitle = LATCHSWEEP_PRODUCT_NAME;

} // namespace latchsweep
