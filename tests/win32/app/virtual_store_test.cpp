// Where Windows' file virtualization puts the game's files: the folders the system reports, and
// settings the original program saved there. The end-to-end run sweeps the lock file's copies.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/sweep/sweeper.h"
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

// A game folder under Program Files, its lock file where the game, virtualized, left it.
class VirtualizedGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(files.virtualStore().folders.empty());
        game = std::filesystem::path(files.virtualStore().folders.front()) / "Latchsweep test game";
        copy = std::filesystem::path(files.virtualStore().root) / game.relative_path();
        std::filesystem::create_directories(game);
        std::filesystem::create_directories(copy);
        writeFile(scratch / "Directory.txt", (game / "MM2.LOCK").string() + "\r\n");
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(game, ignored);
        std::filesystem::remove_all(copy, ignored);
    }

    Win32FileSystem files;
    ScratchDirectory scratch;
    WorkingDirectory cwd{scratch.path()};
    std::filesystem::path game;
    std::filesystem::path copy;
};

TEST_F(VirtualizedGame, SettingsTheOriginalProgramSavedInTheStoreAreRead)
{
    // Started in the game's folder, whose Directory.txt the original program, virtualized, wrote
    // into the store.
    const WorkingDirectory inGame(game);
    writeFile((copy / "Directory.txt").string(), (game / "MM2.LOCK").string() + "\r\n");
    writeFile((game / "MM2.LOCK").string(), "");
    EXPECT_TRUE(sweepOnce(files));
    EXPECT_FALSE(exists((game / "MM2.LOCK").string()));
}

} // namespace
} // namespace latchsweep::win32
