// Where Windows' file virtualization puts the game's files: the folders the system reports. What
// the core makes of them is the core's tests'; the end-to-end run sweeps the lock file's copies.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/win32/support/win32_test_support.h"

namespace latchsweep::win32 {
namespace {

using namespace testing;

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool reports(const VirtualStore& store, const std::string& folder)
{
    return std::ranges::any_of(store.folders, [&](const std::string& reported) {
        return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, reported.c_str(), -1, folder.c_str(), -1) ==
               CSTR_EQUAL;
    });
}

TEST(VirtualStoreTest, TheSystemNamesEachVirtualizedFolderAndTheUsersStore)
{
    const Win32FileSystem files;
    const VirtualStore& store = files.virtualStore();
    EXPECT_EQ(store.root, environment("LOCALAPPDATA") + "\\VirtualStore");
    for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "SystemRoot", "ProgramData"}) {
        if (!environment(name).empty()) {
            EXPECT_TRUE(reports(store, environment(name))) << name << " = " << environment(name);
        }
    }
    EXPECT_GE(store.folders.size(), 3u);
}

} // namespace
} // namespace latchsweep::win32
