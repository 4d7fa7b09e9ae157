#pragma once

// The one place the version lives: the Windows version record and the Qt application read it, and
// CMake reads the version and the release date from here for the packages, the manual page and
// the software-centre metadata. Plain macros, so that resource compilers can read this file too.

#define LATCHSWEEP_VERSION_MAJOR 1
#define LATCHSWEEP_VERSION_MINOR 0
#define LATCHSWEEP_VERSION_PATCH 0
#define LATCHSWEEP_VERSION_BUILD 0
#define LATCHSWEEP_VERSION_QUAD 1, 0, 0, 0
#define LATCHSWEEP_VERSION_STRING "1.0.0.0"
#define LATCHSWEEP_VERSION_TEXT "1.00"
#define LATCHSWEEP_PRODUCT_NAME "Latchsweep"
#define LATCHSWEEP_RELEASE_DATE "2026-12-07"
