#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form1.h"
#include "fake_views.h"
#include "settings/form2.h"
#include "settings/setting_file.h"

namespace latchsweep {
namespace {

using namespace std::string_literals;
using Names = std::vector<std::string>;
using testing::FakeProgram;

struct GameDirectoryWindow : ::testing::Test {
    FakeProgram program;
    testing::FakeFileSystem& files = program.platform.files;
    std::vector<testing::ShownMessage>& messages = program.platform.messages.shown;

    void SetUp() override
    {
        files.cwd = "/games/mm2";
        files.directories = {"/", "/games", "/games/mm2", "/games/mm2/cars", "/games/Other"};
    }
    Form2& open()
    {
        program.form1().onCommand(Command::OpenGameDirectory);
        return *program.app.form2().get();
    }
    testing::FakeForm2View& view() { return *program.views.form2View; }
    bool isOpen() { return program.app.form2().exists(); }
};

TEST_F(GameDirectoryWindow, OpensAtTheWorkingDirectoryWithNoDirectorySet)
{
    const Form2& window = open();
    EXPECT_TRUE(view().shown);
    EXPECT_EQ(window.MM2Dir().path(), "/games/mm2");
    EXPECT_EQ(view().names(), (Names{"/", "games", "mm2", "cars"}));
    EXPECT_EQ(view().current, 2u);
    EXPECT_EQ(view().curmm2dir, "No MM2 Directory Currently Set!");
}

TEST_F(GameDirectoryWindow, ShowsTheWholeStoredFile)
{
    const std::vector<std::string> contents = {
        "/games/mm2/MM2.LOCK\r\n",
        "first\r\nsecond\r\nthird",
        "",
        "\x00\x01\xff\xfe binary"s,
        "\xc3\x28 not UTF-8",
    };
    for (const auto& content : contents) {
        SCOPED_TRACE(content);
        files.files["Directory.txt"] = content;
        open();
        EXPECT_EQ(view().curmm2dir, content);
        program.app.form2().get()->onClose();
    }
}

TEST_F(GameDirectoryWindow, AHugeStoredFileShowsItsFirst64KiB)
{
    files.files["Directory.txt"] = std::string(10'000'000, 'x');
    open();
    EXPECT_EQ(view().curmm2dir.size(), kSettingsReadLimit);
    EXPECT_EQ(kSettingsReadLimit, 64u * 1024);
}

TEST_F(GameDirectoryWindow, OpeningEntriesChangesTheValue)
{
    Form2& window = open();
    window.openDirectory(3); // cars
    EXPECT_EQ(window.MM2Dir().path(), "/games/mm2/cars");
    EXPECT_EQ(view().names(), (Names{"/", "games", "mm2", "cars"}));
    EXPECT_EQ(view().current, 3u);
    window.openDirectory(1);
    EXPECT_EQ(window.MM2Dir().path(), "/games");
    const int listings = view().listings;
    window.openDirectory(99);
    EXPECT_EQ(view().listings, listings);
    EXPECT_EQ(window.MM2Dir().path(), "/games");
}

TEST_F(GameDirectoryWindow, SaveStoresTheLockFilePathShowsItThenConfirmsAndCloses)
{
    Form2& window = open();
    window.openDirectory(3);
    std::string shownDuringBox;
    program.platform.messages.whileShown = [&] { shownDuringBox = view().curmm2dir; };
    window.save();
    EXPECT_EQ(files.files["Directory.txt"], "/games/mm2/cars/MM2.LOCK\r\n");
    EXPECT_EQ(shownDuringBox, "/games/mm2/cars/MM2.LOCK\r\n");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Midtown Madness 2 Directory Saved");
    EXPECT_EQ(messages[0].title, "Success");
    EXPECT_FALSE(isOpen());

    program.platform.messages.whileShown = nullptr;
    open();
    EXPECT_EQ(view().curmm2dir, "/games/mm2/cars/MM2.LOCK\r\n");
    EXPECT_EQ(view().names()[2], "mm2"); // a fresh window starts at the working directory again
}

TEST_F(GameDirectoryWindow, SavingTwiceLeavesOneLine)
{
    open().save();
    open().save();
    EXPECT_EQ(files.files["Directory.txt"], "/games/mm2/MM2.LOCK\r\n");
}

TEST_F(GameDirectoryWindow, AtARootTheSeparatorIsDoubled)
{
    Form2& window = open();
    window.openDirectory(0);
    window.save();
    EXPECT_EQ(files.files["Directory.txt"], "//MM2.LOCK\r\n");
}

TEST_F(GameDirectoryWindow, OnWindowsTheLineUsesBackslashes)
{
    files.sep = '\\';
    files.cwd = "C:\\Games\\MM2";
    files.directories = {"C:\\", "C:\\Games", "C:\\Games\\MM2"};
    Form2& window = open();
    window.save();
    EXPECT_EQ(files.files["Directory.txt"], "C:\\Games\\MM2\\MM2.LOCK\r\n");
    EXPECT_EQ(files.files["Directory.txt"].size(), 21u + 2u);
    Form2& again = open();
    again.openDirectory(0);
    again.save();
    EXPECT_EQ(files.files["Directory.txt"], "C:\\\\MM2.LOCK\r\n");
}

TEST_F(GameDirectoryWindow, AFailedSaveSaysWhyKeepsTheWindowAndTheOldFile)
{
    files.files["Directory.txt"] = "/old/MM2.LOCK\r\n";
    Form2& window = open();
    window.openDirectory(3);
    files.failWritesWith = "Read-only file system";
    window.save();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Could not save Directory.txt: Read-only file system");
    EXPECT_EQ(messages[0].title, "Latchsweep");
    ASSERT_TRUE(isOpen());
    EXPECT_EQ(window.MM2Dir().path(), "/games/mm2/cars");
    EXPECT_EQ(view().curmm2dir, "/old/MM2.LOCK\r\n");
    EXPECT_EQ(files.files["Directory.txt"], "/old/MM2.LOCK\r\n");

    files.failWritesWith.clear();
    window.save(); // the same window, its choice kept, now succeeds
    EXPECT_EQ(files.files["Directory.txt"], "/games/mm2/cars/MM2.LOCK\r\n");
    EXPECT_EQ(messages.back().title, "Success");
    EXPECT_FALSE(isOpen());
}

TEST_F(GameDirectoryWindow, TheCloseBoxDiscardsWithoutSaving)
{
    Form2& window = open();
    window.openDirectory(1);
    window.onClose();
    EXPECT_FALSE(isOpen());
    EXPECT_FALSE(files.files.contains("Directory.txt"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(GameDirectoryWindow, AWindowDiscardedWhileTheBoxIsUpIsLeftAlone)
{
    Form2& window = open();
    int created = 0;
    program.platform.messages.whileShown = [&] {
        program.app.form2().get()->onClose();
        program.form1().onCommand(Command::OpenGameDirectory); // a new window in its place
        created = program.views.created;
    };
    window.save();
    EXPECT_TRUE(isOpen());
    EXPECT_EQ(program.views.created, created);
}

TEST_F(GameDirectoryWindow, EventsAfterTheEndAreIgnored)
{
    Form2& window = open();
    program.app.exitProgram();
    window.save();
    window.openDirectory(0);
    window.onClose();
    EXPECT_TRUE(isOpen());
    EXPECT_FALSE(files.files.contains("Directory.txt"));
    EXPECT_EQ(window.MM2Dir().path(), "/games/mm2");
}

} // namespace
} // namespace latchsweep
