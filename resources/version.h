#pragma once

// The one place the version lives: the Windows version record and the Qt application read it, and
// CMake reads the four numbers and the release date from here for the manifest, the packages, the
// manual page and the software-centre metadata. Plain macros, so that resource compilers (which
// run the C preprocessor) can read this file too. Each fact is written once; every other form of
// the version is made from the four numbers below.

#define LATCHSWEEP_VERSION_MAJOR 1
#define LATCHSWEEP_VERSION_MINOR 0
#define LATCHSWEEP_VERSION_PATCH 0
#define LATCHSWEEP_VERSION_BUILD 0
#define LATCHSWEEP_PRODUCT_NAME "Latchsweep"
#define LATCHSWEEP_RELEASE_DATE "2026-12-07"

#define LATCHSWEEP_STRINGIZE_(x) #x
#define LATCHSWEEP_STRINGIZE(x) LATCHSWEEP_STRINGIZE_(x)
#define LATCHSWEEP_DOTTED_(major, minor, patch, build) major.minor.patch.build
#define LATCHSWEEP_DOTTED(major, minor, patch, build) LATCHSWEEP_DOTTED_(major, minor, patch, build)

// The version record's numbers: FILEVERSION 1, 0, 0, 0.
#define LATCHSWEEP_VERSION_QUAD                                                                                        \
    LATCHSWEEP_VERSION_MAJOR, LATCHSWEEP_VERSION_MINOR, LATCHSWEEP_VERSION_PATCH, LATCHSWEEP_VERSION_BUILD

// The four numbers dotted: "1.0.0.0".
#define LATCHSWEEP_VERSION_STRING                                                                                      \
    LATCHSWEEP_STRINGIZE(LATCHSWEEP_DOTTED(LATCHSWEEP_VERSION_MAJOR, LATCHSWEEP_VERSION_MINOR,                         \
                                           LATCHSWEEP_VERSION_PATCH, LATCHSWEEP_VERSION_BUILD))

// The version as the program shows it: the major number, a dot and the minor number in two
// digits, "1.00". One string literal, so that it can stand wherever a literal may (QStringLiteral,
// a VALUE of the version record).
#if LATCHSWEEP_VERSION_MINOR < 0 || LATCHSWEEP_VERSION_MINOR > 99
#error "the minor version is shown in two digits: 0 to 99"
#elif LATCHSWEEP_VERSION_MINOR < 10
#define LATCHSWEEP_VERSION_TEXT_(major, minor) major.0##minor
#else
#define LATCHSWEEP_VERSION_TEXT_(major, minor) major.minor
#endif
#define LATCHSWEEP_VERSION_TEXT_EXPANDED_(major, minor) LATCHSWEEP_VERSION_TEXT_(major, minor)
#define LATCHSWEEP_VERSION_TEXT                                                                                        \
    LATCHSWEEP_STRINGIZE(LATCHSWEEP_VERSION_TEXT_EXPANDED_(LATCHSWEEP_VERSION_MAJOR, LATCHSWEEP_VERSION_MINOR))
