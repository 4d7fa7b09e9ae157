#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/form1.h"
#include "core/base/product.h"
#include "core/settings/form2.h"
#include "core/settings/setting_file.h"
#include "core/sweep/data_files.h"
#include "tests/support/fake_views.h"

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
    testing::FakeView& view() { return *program.views.newest["Form2"]; }
    bool isOpen() { return program.app.form2().exists(); }
    std::string& saved() { return files.files[std::string(kDirectoryFile)]; }
};

TEST_F(GameDirectoryWindow, OpensAtTheWorkingDirectoryAndOpeningEntriesChangesTheValue)
{
    Form2& window = open();
    EXPECT_TRUE(view().visible);
    EXPECT_EQ(window.MM2Dir().path(), "/games/mm2");
    EXPECT_EQ(view().names(), (Names{"/", "games", "mm2", "cars"}));
    EXPECT_EQ(view().current, 2u);
    EXPECT_EQ(view().shownText(form2::curmm2dir), Form2::kNoDirectory);
    window.onOpen(form2::MM2Dir, 3); // cars
    EXPECT_EQ(window.MM2Dir().path(), "/games/mm2/cars");
    EXPECT_EQ(view().names(), (Names{"/", "games", "mm2", "cars"}));
    EXPECT_EQ(view().current, 3u);
    window.onOpen(form2::MM2Dir, 1);
    const int listings = view().listings;
    window.onOpen(form2::MM2Dir, 99);
    EXPECT_EQ(view().listings, listings);
    EXPECT_EQ(window.MM2Dir().path(), "/games");
}

TEST_F(GameDirectoryWindow, ShowsTheWholeStoredFileUpToItsFirst64KiBLineByLineWithoutTheFinalLineBreak)
{
    const std::pair<std::string, std::string> cases[] = {{"/games/mm2/MM2.LOCK\r\n", "/games/mm2/MM2.LOCK"},
                                                         {"first\r\nsecond\r\nthird", "first\nsecond\nthird"},
                                                         {"a\rb\n\rc\r\r\n", "a\nb\n\nc\n"},
                                                         {"first\nsecond\n", "first\nsecond"},
                                                         {"", ""},
                                                         {"\x00\x01\xff\xfe binary"s, "\x00\x01\xff\xfe binary"s},
                                                         {std::string(10'000'000, 'x'), std::string(65536, 'x')}};
    for (const auto& [content, shown] : cases) {
        saved() = content;
        open();
        EXPECT_EQ(view().shownText(form2::curmm2dir), shown) << content.substr(0, 20);
        program.app.form2().get()->onClose();
    }
}

TEST_F(GameDirectoryWindow, SaveStoresTheLockFilePathShowsItConfirmsAndClosesEvenAtARoot)
{
    Form2& window = open();
    window.onOpen(form2::MM2Dir, 3);
    const WindowView* shownOwner = &view();
    std::string shownDuringBox;
    program.platform.messages.whileShown = [&] { shownDuringBox = view().shownText(form2::curmm2dir); };
    window.save();
    EXPECT_EQ(saved(), "/games/mm2/cars/MM2.LOCK\r\n");
    EXPECT_EQ(shownDuringBox, "/games/mm2/cars/MM2.LOCK");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, Form2::kSaved);
    EXPECT_EQ(messages[0].title, Form2::kSavedTitle);
    EXPECT_EQ(messages[0].owner, shownOwner); // the window whose Save asked, not the main window
    EXPECT_FALSE(isOpen());

    program.platform.messages.whileShown = nullptr;
    open().save(); // a fresh window starts at the working directory again; the file keeps one line
    EXPECT_EQ(saved(), "/games/mm2/MM2.LOCK\r\n");

    Form2& atRoot = open(); // the separator is added even after a root
    atRoot.onOpen(form2::MM2Dir, 0);
    atRoot.save();
    EXPECT_EQ(saved(), "//MM2.LOCK\r\n");

    files.sep = '\\';
    files.cwd = "C:\\Games\\MM2";
    files.directories = {"C:\\", "C:\\Games", "C:\\Games\\MM2"};
    open().save();
    EXPECT_EQ(saved(), "C:\\Games\\MM2\\MM2.LOCK\r\n");
    Form2& again = open();
    again.onOpen(form2::MM2Dir, 0);
    again.save();
    EXPECT_EQ(saved(), "C:\\\\MM2.LOCK\r\n");
}

TEST_F(GameDirectoryWindow, AFailedSaveSaysWhyKeepsTheWindowAndTheOldFile)
{
    saved() = "/old/MM2.LOCK\r\n";
    Form2& window = open();
    window.onOpen(form2::MM2Dir, 3);
    files.failWritesWith = "Read-only file system";
    window.save();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, saveFailedMessage(kDirectoryFile, "Read-only file system"));
    EXPECT_EQ(messages[0].title, kAppTitle);
    EXPECT_EQ(messages[0].owner, &view());
    ASSERT_TRUE(isOpen());
    EXPECT_EQ(window.MM2Dir().path(), "/games/mm2/cars");
    EXPECT_EQ(view().shownText(form2::curmm2dir), "/old/MM2.LOCK");
    EXPECT_EQ(saved(), "/old/MM2.LOCK\r\n");

    files.failWritesWith.clear();
    window.save(); // the same window, its choice kept, now succeeds
    EXPECT_EQ(saved(), "/games/mm2/cars/MM2.LOCK\r\n");
    EXPECT_EQ(messages.back().title, Form2::kSavedTitle);
    EXPECT_FALSE(isOpen());
}

TEST_F(GameDirectoryWindow, InAFolderWindowsVirtualizesASaveTheSystemRefusesIsMadeInTheStoreAndShownAgain)
{
    files.sep = '\\';
    files.cwd = "C:\\Program Files (x86)\\MM2";
    files.directories = {"C:\\", "C:\\Program Files (x86)", files.cwd};
    files.store = {{"C:\\Program Files (x86)"}, "C:\\Users\\Player\\AppData\\Local\\VirtualStore"};
    files.deniedDirectories = {files.cwd};
    saved() = "C:\\Old\\MM2.LOCK\r\n";
    const std::string line = "C:\\Program Files (x86)\\MM2\\MM2.LOCK";
    open().save();
    EXPECT_EQ(messages.back().text, Form2::kSaved);
    EXPECT_FALSE(isOpen());
    EXPECT_EQ(files.files[files.store.root + "\\Program Files (x86)\\MM2\\Directory.txt"], line + "\r\n");
    open();
    EXPECT_EQ(view().shownText(form2::curmm2dir), line);
}

TEST(SaveFailedMessage, NamesTheFileAndTheSystemsReason)
{
    EXPECT_EQ(saveFailedMessage("Directory.txt", "Read-only file system"),
              "Could not save Directory.txt: Read-only file system");
    EXPECT_EQ(saveFailedMessage("AutoDelete.txt", ""), "Could not save AutoDelete.txt.");
}

TEST_F(GameDirectoryWindow, OnWindowsANameOutsideTheCodePageIsSavedAsUtf8AndShownAndAMalformedOneIsRefused)
{
    files.decoding = testing::windows1252System();
    files.sep = '\\';
    const std::string games = "C:\\\u0418\u0433\u0440\u044b";
    files.cwd = games;
    files.directories = {"C:\\", games, "C:\\Caf\xE9"};
    open().save();
    EXPECT_EQ(saved(), std::string(kUtf8Mark) + games + "\\MM2.LOCK\r\n");
    open();
    EXPECT_EQ(view().shownText(form2::curmm2dir), games + "\\MM2.LOCK");
    program.app.form2().get()->onClose();

    // A name that is not UTF-8 is not written as some other name.
    files.cwd = "C:\\Caf\xE9";
    messages.clear();
    open().save();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, saveFailedMessage(kDirectoryFile, kNotText));
    EXPECT_EQ(saved(), std::string(kUtf8Mark) + games + "\\MM2.LOCK\r\n");
    EXPECT_TRUE(isOpen());
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

TEST_F(GameDirectoryWindow, TheCloseBoxDiscardsWithoutSavingAndAfterTheEndNothingActs)
{
    open().onOpen(form2::MM2Dir, 1);
    program.app.form2().get()->onClose();
    EXPECT_FALSE(isOpen());
    Form2& window = open();
    program.app.exitProgram();
    window.save();
    window.onOpen(form2::MM2Dir, 0);
    window.onClose();
    EXPECT_TRUE(isOpen());
    EXPECT_EQ(window.MM2Dir().path(), "/games/mm2");
    EXPECT_FALSE(files.files.contains(std::string(kDirectoryFile)));
    EXPECT_TRUE(messages.empty());
}

} // namespace
} // namespace latchsweep
