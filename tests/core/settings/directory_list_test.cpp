#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/settings/directory_list.h"
#include "tests/support/fake_platform.h"

namespace latchsweep {
namespace {

using Names = std::vector<std::string>;

Names namesOf(const DirectoryList& list, std::string DirectoryEntry::*field = &DirectoryEntry::name)
{
    Names names;
    for (const auto& entry : list.entries())
        names.push_back(entry.*field);
    return names;
}

Names pathsOf(const DirectoryList& list) { return namesOf(list, &DirectoryEntry::path); }

TEST(SplitPath, PosixAndWindowsRootsAndNames)
{
    const std::tuple<std::string, char, std::string, Names> cases[] = {
        {"/", '/', "/", {}},
        {"/games//mm2/", '/', "/", {"games", "mm2"}},
        {"/a\\b", '/', "/", {"a\\b"}},
        {".", '/', ".", {}},
        {"C:\\Games\\MM2", '\\', "C:\\", {"Games", "MM2"}},
        {"C:\\", '\\', "C:\\", {}},
        {"d:", '\\', "d:\\", {}},
        {"C:/Games/MM2", '\\', "C:\\", {"Games", "MM2"}},
        {"\\\\server\\games\\MM2", '\\', "\\\\server\\games\\", {"MM2"}},
        {"\\Games", '\\', "\\", {"Games"}}};
    for (const auto& [path, separator, root, names] : cases) {
        const PathParts parts = splitPath(path, separator);
        EXPECT_EQ(parts.root, root) << path;
        EXPECT_EQ(parts.names, names) << path;
    }
    EXPECT_EQ(joinPath("/", "games", '/'), "/games"); // one separator, none added after a root
    EXPECT_EQ(joinPath("/games", "mm2", '/'), "/games/mm2");
    EXPECT_EQ(joinPath("C:\\", "Games", '\\'), "C:\\Games");
    EXPECT_EQ(joinPath("C:\\Games", "MM2", '\\'), "C:\\Games\\MM2");
}

struct PosixTree : ::testing::Test {
    testing::FakeFileSystem files;
    void SetUp() override
    {
        files.directories = {"/",
                             "/games",
                             "/games/mm2",
                             "/games/mm2/Cars",
                             "/games/mm2/audio",
                             "/games/mm2/Zeta",
                             "/games/mm2/b",
                             "/games/Other",
                             "/home"};
    }
};

TEST_F(PosixTree, ListsAncestorsThenCurrentThenChildrenSortedIgnoringCase)
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

TEST_F(PosixTree, OpeningMovesTheValueUpAndDownAndTheCurrentEntryListsAfresh)
{
    DirectoryList list(files, "/games/mm2");
    ASSERT_TRUE(list.open(5)); // Cars
    EXPECT_EQ(list.path(), "/games/mm2/Cars");
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "mm2", "Cars"}));
    ASSERT_TRUE(list.open(1)); // games
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "mm2", "Other"}));
    files.directories.insert("/games/new");
    ASSERT_TRUE(list.open(list.currentIndex()));
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "mm2", "new", "Other"}));
    EXPECT_FALSE(list.open(list.entries().size()));
    EXPECT_EQ(list.path(), "/games");
    ASSERT_TRUE(list.open(0));
    EXPECT_EQ(list.path(), "/");
    EXPECT_EQ(pathsOf(list), (Names{"/", "/games", "/home"}));
    EXPECT_EQ(list.currentIndex(), 0u);
}

TEST_F(PosixTree, UnreadableLinkedAndOddlyNamedDirectories)
{
    files.directories.insert("/games/locked");
    DirectoryList list(files, "/games");
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "locked", "mm2", "Other"}));
    files.directories.erase("/games/locked"); // cannot be read any more: still the value, with no children
    ASSERT_TRUE(list.open(2));
    EXPECT_EQ(list.path(), "/games/locked");
    EXPECT_EQ(namesOf(list), (Names{"/", "games", "locked"}));
    const DirectoryList nowhere(files, "/nowhere/at/all");
    EXPECT_EQ(namesOf(nowhere), (Names{"/", "nowhere", "at", "all"}));

    // /games/mm2/link points back to /games: the path stays as the user walked it.
    files.directories.insert("/games/mm2/link");
    files.directories.insert("/games/mm2/link/mm2");
    DirectoryList linked(files, "/games/mm2/link");
    ASSERT_TRUE(linked.open(linked.currentIndex() + 1));
    EXPECT_EQ(linked.path(), "/games/mm2/link/mm2");

    class OddListing : public testing::FakeFileSystem {
    public:
        std::optional<std::vector<std::string>> subdirectories(const std::string&) override
        {
            return std::vector<std::string>{".", "..", "", "a/b", std::string("nul\0x", 5), "ok"};
        }
    } odd;
    EXPECT_EQ(namesOf(DirectoryList(odd, "/games")), (Names{"/", "games", "ok"}));
}

TEST(WindowsTree, PathsUseTheBackslashAndTheDriveRootAndASlashedStartIsTakenTheWindowsWay)
{
    testing::FakeFileSystem files;
    files.sep = '\\';
    files.directories = {"C:\\", "C:\\Games", "C:\\Games\\MM2", "C:\\Games\\MM2\\Cars", "C:\\Windows"};
    DirectoryList list(files, "C:\\Games\\MM2");
    EXPECT_EQ(namesOf(list), (Names{"C:\\", "Games", "MM2", "Cars"}));
    EXPECT_EQ(pathsOf(list), (Names{"C:\\", "C:\\Games", "C:\\Games\\MM2", "C:\\Games\\MM2\\Cars"}));
    ASSERT_TRUE(list.open(0));
    EXPECT_EQ(pathsOf(list), (Names{"C:\\", "C:\\Games", "C:\\Windows"}));
    const DirectoryList slashed(files, "C:/Games/");
    EXPECT_EQ(slashed.path(), "C:\\Games");
    EXPECT_EQ(namesOf(slashed), (Names{"C:\\", "Games", "MM2"}));
}

TEST(WindowsTree, EveryDriveStandsAtTheTopInLetterOrderAndOpeningOneMakesItsRootTheValue)
{
    testing::FakeFileSystem files;
    files.sep = '\\';
    files.driveRoots = {"A:\\", "C:\\", "D:\\", "Z:\\"}; // A: has no medium: it cannot be read
    files.directories = {"C:\\", "C:\\Games", "D:\\", "D:\\Games", "Z:\\", "z:\\tmp", "z:\\tmp\\x"};
    DirectoryList list(files, "z:\\tmp");
    EXPECT_EQ(namesOf(list), (Names{"A:\\", "C:\\", "D:\\", "z:\\", "tmp", "x"}));
    EXPECT_EQ(list.currentIndex(), 4u);
    EXPECT_FALSE(list.entries()[2].open);
    EXPECT_EQ(list.entries()[2].depth, 0);

    ASSERT_TRUE(list.open(2));
    EXPECT_EQ(list.path(), "D:\\");
    EXPECT_EQ(namesOf(list), (Names{"A:\\", "C:\\", "D:\\", "Games", "Z:\\"}));
    EXPECT_EQ(list.currentIndex(), 2u);
    ASSERT_TRUE(list.open(3));
    EXPECT_EQ(list.path(), "D:\\Games");
    EXPECT_EQ(list.currentIndex(), 3u);

    const auto before = list.entries().size();
    EXPECT_FALSE(list.open(0)); // no medium: the list stays where it was
    EXPECT_EQ(list.path(), "D:\\Games");
    EXPECT_EQ(list.entries().size(), before);
    ASSERT_TRUE(list.open(2)); // the current drive's root, as any ancestor
    EXPECT_EQ(list.path(), "D:\\");

    // A working directory on a network share: the share first, then the drives.
    files.directories.insert("\\\\server\\games\\");
    const DirectoryList share(files, "\\\\server\\games");
    EXPECT_EQ(namesOf(share), (Names{"\\\\server\\games\\", "A:\\", "C:\\", "D:\\", "Z:\\"}));
    EXPECT_EQ(share.currentIndex(), 0u);
}

} // namespace
} // namespace latchsweep
