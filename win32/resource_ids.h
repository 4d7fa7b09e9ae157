#pragma once

// Resource identifiers shared by latchsweep.rc and the code that loads the resources. Plain
// macros, so that windres and rc.exe read this file as well as the compilers.

// The first icon is the one the desktop shows for the executable: the design-time magnet.
#define IDI_LATCHSWEEP 1
#define IDI_FRAME1 2
#define IDI_FRAME2 3
#define IDI_BINOCULARS 4
#define IDI_WASTEBIN 5
#define IDI_QUESTION_MARK 6
#define IDI_INFO_SIGN 7
#define IDI_PRODUCT 8
