#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"
#include "settings/directory_list.h"

namespace latchsweep {
namespace {

using Names = std::vector<std::string>;

Names namesOf(const DirectoryList& list)
{
    Names names;
    for (const auto& entry : list.entries())
        names.push_back(entry.name);
    return names;
}

Names pathsOf(const DirectoryList& list)
{
    Names paths;
    for (const auto& entry : list.entries())
        paths.push_back(entry.path);
    return paths;
}

TEST(SplitPath, PosixRootAndNames)
{
    const auto root = splitPath("/", '/');
    EXPECT_EQ(root.root, "/");
    EXPECT_TRUE(root.names.empty());
    const auto deep = splitPath("/games//mm2/", '/');
    EXPECT_EQ(deep.root, "/");
    EXPECT_EQ(deep.names, (Names{"games", "mm2"}));
    // A backslash is an ordinary character of a POSIX name.
    EXPECT_EQ(splitPath("/a\\b", '/').names, (Names{"a\\b"}));
    EXPECT_EQ(splitPath(".", '/').root, ".");
}

TEST(SplitPath, WindowsDrivesNetworkSharesAndBothSlashes)
{
    const auto drive = splitPath("C:\\Games\\MM2", '\\');
    EXPECT_EQ(drive.root, "C:\\");
    EXPECT_EQ(drive.names, (Names{"Games", "MM2"}));
    EXPECT_EQ(splitPath("C:\\", '\\').root, "C:\\");
    EXPECT_TRUE(splitPath("C:\\", '\\').names.empty());
    EXPECT_EQ(splitPath("d:", '\\').root, "d:\\");
    EXPECT_EQ(splitPath("C:/Games/MM2", '\\').names, (Names{"Games", "MM2"}));
    const auto share = splitPath("\\\\server\\games\\MM2", '\\');
    EXPECT_EQ(share.root, "\\\\server\\games\\");
    EXPECT_EQ(share.names, (Names{"MM2"}));
    EXPECT_EQ(splitPath("\\Games", '\\').root, "\\");
}

TEST(JoinPath, AddsOneSeparatorExceptAfterARoot)
{
    EXPECT_EQ(joinPath("/", "games", '/'), "/games");
    EXPECT_EQ(joinPath("/games", "mm2", '/'), "/games/mm2");
    EXPECT_EQ(joinPath("C:\\", "Games", '\\'), "C:\\Games");
    EXPECT_EQ(joinPath("C:\\Games", "MM2", '\\'), "C:\\Games\\MM2");
}

struct PosixTree : ::testing::Test {
    testing::FakeFileSystem files;
    void SetUp() override
    {
        files.directories = {"/", "/games", "/games/mm2", "/games/mm2/Cars", "/games/mm2/audio", "/games/mm2/Zeta",
                             "/games/mm2/b", "/games/Other", "/home"};
    }
};

TEST_F(PosixTree, ListsAncestorsThenCurrentThenSortedChildren)
{
    const DirectoryList list(files, "/games/mm2");
    EXPECT_EQ(list.path(), "/games/mm2");
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "mm2", "audio", "b", "Cars", "Zeta"}));
    EXPECT_EQ(list.currentIndex(), 2u);
    EXPECT_EQ(list.entries()[3].path, "/games/mm2/audio");
    const std::vector<int> depths{0, 1, 2, 3, 3, 3, 3};
    for (std::size_t i = 0; i < depths.size(); ++i) {
        EXPECT_EQ(list.entries()[i].depth, depths[i]) << i;
        EXPECT_EQ(list.entries()[i].open, i <= 2) << i;
    }
}

TEST_F(PosixTree, OpeningMovesTheValueUpAndDown)
{
    DirectoryList list(files, "/games/mm2");
    ASSERT_TRUE(list.open(5)); // Cars
    EXPECT_EQ(list.path(), "/games/mm2/Cars");
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "mm2", "Cars"}));
    ASSERT_TRUE(list.open(1)); // games
    EXPECT_EQ(list.path(), "/games");
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "mm2", "Other"}));
    ASSERT_TRUE(list.open(0));
    EXPECT_EQ(list.path(), "/");
    EXPECT_EQ(pathsOf(list), (Names{"/", "/games", "/home"}));
    EXPECT_EQ(list.currentIndex(), 0u);
}

TEST_F(PosixTree, OpeningTheCurrentEntryListsAfreshAndAnIndexPastTheEndChangesNothing)
{
    DirectoryList list(files, "/games");
    files.directories.insert("/games/new");
    EXPECT_EQ(namesOf(list).size(), 4u);
    ASSERT_TRUE(list.open(list.currentIndex()));
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "mm2", "new", "Other"}));
    EXPECT_FALSE(list.open(list.entries().size()));
    EXPECT_EQ(list.path(), "/games");
}

TEST_F(PosixTree, AnUnreadableDirectoryIsListedAndOpensEmpty)
{
    files.directories.insert("/games/locked");
    DirectoryList list(files, "/games");
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "locked", "mm2", "Other"}));
    files.directories.erase("/games/locked"); // cannot be read any more
    ASSERT_TRUE(list.open(2));
    EXPECT_EQ(list.path(), "/games/locked");
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "locked"}));
}

TEST_F(PosixTree, AnUnreadableStartIsStillTheValue)
{
    const DirectoryList list(files, "/nowhere/at/all");
    EXPECT_EQ(list.path(), "/nowhere/at/all");
    EXPECT_EQ(namesOf(list), (Names{"/", "nowhere", "at", "all"}));
}

TEST_F(PosixTree, ALinkedDirectoryIsEnteredUnderItsOwnName)
{
    // /games/mm2/link points back to /games: the path stays as the user walked it.
    files.directories.insert("/games/mm2/link");
    files.directories.insert("/games/mm2/link/mm2");
    DirectoryList list(files, "/games/mm2");
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "mm2", "audio", "b", "Cars", "link", "Zeta"}));
    ASSERT_TRUE(list.open(6));
    ASSERT_TRUE(list.open(list.currentIndex() + 1));
    EXPECT_EQ(list.path(), "/games/mm2/link/mm2");
    ASSERT_TRUE(list.open(2));
    EXPECT_EQ(list.path(), "/games/mm2");
}

TEST_F(PosixTree, NamesThatCannotBeSubdirectoriesAreLeftOut)
{
    class OddListing : public testing::FakeFileSystem {
    public:
        std::optional<std::vector<std::string>> subdirectories(const std::string&) override
        {
            return std::vector<std::string>{".", "..", "", "a/b", std::string("nul\0x", 5), "ok"};
        }
    } odd;
    const DirectoryList list(odd, "/games");
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "ok"}));
}

TEST(WindowsTree, PathsUseTheBackslashAndTheDriveRoot)
{
    testing::FakeFileSystem files;
    files.sep = '\\';
    files.directories = {"C:\\", "C:\\Games", "C:\\Games\\MM2", "C:\\Games\\MM2\\Cars", "C:\\Windows"};
    DirectoryList list(files, "C:\\Games\\MM2");
    EXPECT_EQ(namesOf(list), (Names{"C:\\", "Games", "MM2", "Cars"}));
    EXPECT_EQ(pathsOf(list), (Names{"C:\\", "C:\\Games", "C:\\Games\\MM2", "C:\\Games\\MM2\\Cars"}));
    ASSERT_TRUE(list.open(0));
    EXPECT_EQ(list.path(), "C:\\");
    EXPECT_EQ(pathsOf(list), (Names{"C:\\", "C:\\Games", "C:\\Windows"}));
}

TEST(WindowsTree, ASlashedOrTrailingStartIsTakenTheWindowsWay)
{
    testing::FakeFileSystem files;
    files.sep = '\\';
    files.directories = {"C:\\", "C:\\Games", "C:\\Games\\MM2"};
    const DirectoryList list(files, "C:/Games/");
    EXPECT_EQ(list.path(), "C:\\Games");
    EXPECT_EQ(namesOf(list), (Names{"C:\\", "Games", "MM2"}));
}

} // namespace
} // namespace latchsweep
