#include <gtest/gtest.h>

#include "core/base/virtual_store.h"
#include "core/settings/form3.h"
#include "core/settings/setting_file.h"
#include "core/sweep/data_files.h"
#include "core/sweep/sweeper.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_views.h"

namespace latchsweep {
namespace {

const VirtualStore kStore{{"C:\\Program Files", "C:\\Program Files (x86)", "C:\\Windows", "C:\\ProgramData"},
                          "C:\\Users\\Player\\AppData\\Local\\VirtualStore"};
constexpr std::string_view kCwd = "C:\\Users\\Player";

TEST(VirtualStoreCopy, MapsPathsBelowEachVirtualizedFolderWithoutTheirDrive)
{
    const std::string root = kStore.root;
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"C:\\Program Files\\MM2\\MM2.LOCK", root + "\\Program Files\\MM2\\MM2.LOCK"},
        {"C:\\Program Files (x86)\\Microsoft Games\\Midtown Madness 2\\MM2.LOCK",
         root + "\\Program Files (x86)\\Microsoft Games\\Midtown Madness 2\\MM2.LOCK"},
        {"C:\\Windows\\MM2\\MM2.LOCK", root + "\\Windows\\MM2\\MM2.LOCK"},
        {"C:\\ProgramData\\MM2.LOCK", root + "\\ProgramData\\MM2.LOCK"},
        // Case, forward slashes, doubled separators, "." and "..", the long form: as the system reads them.
        {"c:\\PROGRAM FILES (X86)\\mm2\\MM2.LOCK", root + "\\PROGRAM FILES (X86)\\mm2\\MM2.LOCK"},
        {"C:/Program Files/MM2//MM2.LOCK", root + "\\Program Files\\MM2\\MM2.LOCK"},
        {"C:\\Games\\..\\Program Files\\.\\MM2\\MM2.LOCK", root + "\\Program Files\\MM2\\MM2.LOCK"},
        {"\\\\?\\C:\\Program Files\\MM2\\MM2.LOCK", root + "\\Program Files\\MM2\\MM2.LOCK"},
        {"C:\\Program Files\\\xd0\x98\xd0\xb3\xd1\x80\xd1\x8b\\MM2.LOCK",
         root + "\\Program Files\\\xd0\x98\xd0\xb3\xd1\x80\xd1\x8b\\MM2.LOCK"},
        // Outside: another folder, one that only starts like a virtualized one, the folder itself,
        // another drive, a share, a device, a drive-relative name, nothing at all.
        {"C:\\Games\\MM2\\MM2.LOCK", std::nullopt},
        {"C:\\Program Files Extra\\MM2\\MM2.LOCK", std::nullopt},
        {"C:\\Program Files (x86)", std::nullopt},
        {"C:\\Program Files\\..\\MM2.LOCK", std::nullopt},
        {"D:\\Program Files\\MM2\\MM2.LOCK", std::nullopt},
        {"\\\\server\\share\\Program Files\\MM2\\MM2.LOCK", std::nullopt},
        {"\\\\.\\C:\\Program Files\\MM2\\MM2.LOCK", std::nullopt},
        {"C:Program Files\\MM2\\MM2.LOCK", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [path, copy] : cases)
        EXPECT_EQ(virtualStoreCopy(path, kCwd, kStore), copy) << path;
}

TEST(VirtualStoreCopy, TakesRelativePathsFromTheWorkingDirectoryAndMapsNothingWhereNothingIsVirtualized)
{
    const std::string root = kStore.root;
    EXPECT_EQ(virtualStoreCopy("Directory.txt", "C:\\Program Files\\MM2", kStore),
              root + "\\Program Files\\MM2\\Directory.txt");
    EXPECT_EQ(virtualStoreCopy("..\\MM2.LOCK", "C:\\Program Files\\MM2", kStore), root + "\\Program Files\\MM2.LOCK");
    EXPECT_EQ(virtualStoreCopy("\\Windows\\MM2.LOCK", "C:\\Users\\Player", kStore), root + "\\Windows\\MM2.LOCK");
    EXPECT_EQ(virtualStoreCopy("MM2.LOCK", kCwd, kStore), std::nullopt);
    EXPECT_EQ(virtualStoreCopy("MM2.LOCK", "\\\\server\\share\\Program Files", kStore), std::nullopt);
    // POSIX paths, and a system that reports no folders or no store.
    EXPECT_EQ(virtualStoreCopy("/opt/Program Files/MM2.LOCK", "/home/player", kStore), std::nullopt);
    EXPECT_EQ(virtualStoreCopy("C:\\Program Files\\MM2.LOCK", kCwd, {}), std::nullopt);
    EXPECT_EQ(virtualStoreCopy("C:\\Program Files\\MM2.LOCK", kCwd, {kStore.folders, ""}), std::nullopt);
    EXPECT_EQ(virtualStoreCopy("C:\\MM2.LOCK", kCwd, {{"C:\\"}, kStore.root}), std::nullopt);
}

struct VirtualizedSweep : ::testing::Test {
    VirtualizedSweep()
    {
        files.sep = '\\';
        files.cwd = std::string(kCwd);
        files.store = kStore;
    }
    testing::FakeFileSystem files;
    const std::string lock = "C:\\Program Files (x86)\\MM2\\MM2.LOCK";
    const std::string copy = kStore.root + "\\Program Files (x86)\\MM2\\MM2.LOCK";
};

TEST_F(VirtualizedSweep, DeletesTheCopyTheGameSeesTheOriginalOrBoth)
{
    files.files = {{"Directory.txt", lock + "\r\n"}, {copy, ""}};
    EXPECT_TRUE(sweepOnce(files));
    files.files.insert({{lock, ""}, {copy, ""}});
    EXPECT_TRUE(sweepOnce(files));
    files.files[lock] = "";
    EXPECT_TRUE(sweepOnce(files));
    EXPECT_EQ(files.removed, (std::vector<std::string>{copy, lock, copy, lock}));
    EXPECT_FALSE(sweepOnce(files)); // neither there: as quiet as ever

    // Outside the virtualized folders a file at the store's shape of the path is not the game's.
    const std::string outside = kStore.root + "\\Games\\MM2\\MM2.LOCK";
    files.files = {{"Directory.txt", "C:\\Games\\MM2\\MM2.LOCK\r\n"}, {outside, ""}};
    files.removeAttempts.clear();
    EXPECT_FALSE(sweepOnce(files));
    EXPECT_TRUE(files.files.contains(outside));
    EXPECT_EQ(files.removeAttempts, (std::vector<std::string>{"C:\\Games\\MM2\\MM2.LOCK"}));
}

TEST_F(VirtualizedSweep, SettingsAreReadFromTheStoreWhereTheCopyIsElseFromTheFolder)
{
    files.cwd = "C:\\Program Files (x86)\\MM2";
    const std::string store = kStore.root + "\\Program Files (x86)\\MM2\\";
    files.files = {{store + "Directory.txt", lock + "\r\n"}, {store + "AutoDelete.txt", "500\r\n"}, {lock, ""}};
    files.files["Directory.txt"] = "C:\\Games\\MM2.LOCK\r\n"; // older: the copy is what the original program saw
    EXPECT_TRUE(sweepOnce(files));
    EXPECT_EQ(files.removed, (std::vector<std::string>{lock}));
    EXPECT_EQ(readSettingFile(files, kAutoDeleteFile), "500\r\n");
    files.files.erase(store + "AutoDelete.txt");
    files.files["AutoDelete.txt"] = "2000\r\n";
    EXPECT_EQ(readSettingFile(files, kAutoDeleteFile), "2000\r\n");
}

TEST_F(VirtualizedSweep, ASaveRefusedForAccessInAVirtualizedFolderIsMadeInTheStoreAndOthersAreNot)
{
    testing::FakeMessageBoxes messages;
    struct : FormEvents {
        void onClose() override {}
    } events;
    const testing::FakeView window(form3Layout(), events);
    files.cwd = "C:\\Program Files (x86)\\MM2";
    files.deniedDirectories = {files.cwd};
    const std::string stored = kStore.root + "\\Program Files (x86)\\MM2\\AutoDelete.txt";
    for (const char* line : {"111", "222"}) {
        EXPECT_TRUE(writeSettingLine(files, messages, window, kAutoDeleteFile, line));
        EXPECT_EQ(files.files[stored], line + std::string("\r\n"));
    }
    EXPECT_TRUE(files.directories.contains(kStore.root + "\\Program Files (x86)\\MM2"));
    EXPECT_FALSE(files.files.contains("AutoDelete.txt"));
    EXPECT_TRUE(messages.shown.empty());

    // Where the folder may be written, a save goes where reading finds the file: the copy once
    // there is one.
    files.deniedDirectories.clear();
    EXPECT_TRUE(writeSettingLine(files, messages, window, kAutoDeleteFile, "333"));
    EXPECT_EQ(files.files[stored], "333\r\n");
    EXPECT_FALSE(files.files.contains("AutoDelete.txt"));

    // Outside the virtualized folders, and for any other failure, the refusal is told.
    files.cwd = "C:\\Games";
    files.deniedDirectories = {files.cwd};
    EXPECT_FALSE(writeSettingLine(files, messages, window, kAutoDeleteFile, "444"));
    files.cwd = "C:\\Program Files (x86)\\Other";
    files.failWritesWith = "The disk is full.";
    EXPECT_FALSE(writeSettingLine(files, messages, window, kAutoDeleteFile, "555"));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, saveFailedMessage(kAutoDeleteFile, "Access is denied."));
    EXPECT_EQ(messages.shown[1].text, saveFailedMessage(kAutoDeleteFile, "The disk is full."));
}

} // namespace
} // namespace latchsweep
