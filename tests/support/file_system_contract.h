#pragma once

// What every file-system port promises the core, run against each implementation. A test
// program instantiates the suite with a traits type:
//   static std::unique_ptr<FileSystem> make();
//   static void makeReadOnly(const std::filesystem::path& file);  // as the platform marks it
//   static bool readOnlyHolds();  // false where the test's user may write any file (root)
//   static void setByUser(const std::filesystem::path& file);  // what a user sets and a save keeps
//   static bool setByUserHolds(const std::filesystem::path& file);
//   struct Processes { ProcessId self, running, ended; };  // running for the object's life
// Each suite runs twice: with full paths, and as the program calls the port, with bare names in
// the working directory (BareNames<Traits>).
// What only one platform has (links and modes, hidden files and devices) stays in its own tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/base/ports.h"
#include "core/base/replacement_names.h"

namespace latchsweep {

// The port as the program calls it: files by their bare names in the working directory.
template <class Traits>
struct BareNames : Traits {
    static constexpr bool kBareNames = true;
};

template <class Traits>
class FileSystemContract : public ::testing::Test {
protected:
    static constexpr bool kBareNames = requires { Traits::kBareNames; };

    void SetUp() override
    {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = std::filesystem::temp_directory_path() / ("latchsweep contract " + std::to_string(stamp));
        std::filesystem::create_directories(dir_);
        previous_ = std::filesystem::current_path();
        if (kBareNames)
            std::filesystem::current_path(dir_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(dir_, ignored);
    }

    [[nodiscard]] std::string at(const std::string& name) const { return kBareNames ? name : (dir_ / name).string(); }
    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    [[nodiscard]] std::string read(const std::string& name) const
    {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    [[nodiscard]] std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

    std::unique_ptr<FileSystem> files = Traits::make();
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

TYPED_TEST_SUITE_P(FileSystemContract);

TYPED_TEST_P(FileSystemContract, ReadsAFileUpToTheBoundAndNothingOfWhatIsNoFile)
{
    std::string big;
    while (big.size() < 20000)
        big += std::to_string(big.size()) + ' ';
    this->write("help.txt", big);
    this->write("empty.txt", "");
    EXPECT_EQ(this->files->readHead(this->at("help.txt"), 4), big.substr(0, 4));
    EXPECT_EQ(this->files->readHead(this->at("help.txt"), 4097), big.substr(0, 4097));
    EXPECT_EQ(this->files->readHead(this->at("help.txt"), 64 * 1024), big);
    EXPECT_EQ(this->files->readHead(this->at("empty.txt"), 100), "");
    std::filesystem::create_directory(this->dir_ / "MM2");
    EXPECT_EQ(this->files->readHead(this->at("missing.txt"), 100), std::nullopt);
    EXPECT_EQ(this->files->readHead(this->at("MM2"), 100), std::nullopt);
}

TYPED_TEST_P(FileSystemContract, RemovesExactlyOneFileNeverADirectoryNorWhatAPatternMatches)
{
    for (const char* name : {"MM2.LOCK", "a.LOCK", "b.LOCK"})
        this->write(name, "x");
    std::filesystem::create_directory(this->dir_ / "MM2 dir");
    EXPECT_TRUE(this->files->removeFile(this->at("MM2.LOCK")));
    for (const char* name : {"MM2.LOCK", "*.LOCK", "?.LOCK", "MM2 dir"})
        EXPECT_FALSE(this->files->removeFile(this->at(name))) << name;
    EXPECT_FALSE(this->files->removeFile(""));
    EXPECT_EQ(this->names(), (std::vector<std::string>{"MM2 dir", "a.LOCK", "b.LOCK"}));
}

TYPED_TEST_P(FileSystemContract, ReplacesTheWholeFileAndLeavesNothingElseBehind)
{
    this->write("Directory.txt", "an old, longer first line\r\nand a second\r\n");
    const WriteStatus status = this->files->replaceFile(this->at("Directory.txt"), "MM2.LOCK\r\n");
    EXPECT_TRUE(status.ok) << status.reason;
    EXPECT_TRUE(this->files->replaceFile(this->at("AutoDelete.txt"), "10000\r\n").ok);
    EXPECT_EQ(this->read("Directory.txt"), "MM2.LOCK\r\n");
    EXPECT_EQ(this->read("AutoDelete.txt"), "10000\r\n");
    // Nowhere to write: a missing directory, a directory under the name. The reason is told.
    std::filesystem::create_directory(this->dir_ / "help.txt");
    for (const std::string& path : {this->at("missing") + "/AutoDelete.txt", this->at("help.txt")}) {
        const WriteStatus failed = this->files->replaceFile(path, "x\r\n");
        EXPECT_FALSE(failed.ok) << path;
        EXPECT_FALSE(failed.reason.empty()) << path;
    }
    EXPECT_EQ(this->names(), (std::vector<std::string>{"AutoDelete.txt", "Directory.txt", "help.txt"}));
    // Saved again, as a player corrects a setting.
    ASSERT_TRUE(this->files->replaceFile(this->at("AutoDelete.txt"), "250\r\n").ok);
    EXPECT_EQ(this->read("AutoDelete.txt"), "250\r\n");
}

TYPED_TEST_P(FileSystemContract, MakesMissingDirectoriesAndTellsWhereNoneCanBe)
{
    const std::string nested = this->at("VirtualStore") + "/Program Files (x86)/MM2";
    EXPECT_TRUE(this->files->createDirectories(nested));
    EXPECT_TRUE(this->files->createDirectories(nested)); // there already
    EXPECT_TRUE(std::filesystem::is_directory(this->dir_ / "VirtualStore/Program Files (x86)/MM2"));
    EXPECT_TRUE(this->files->replaceFile(nested + "/AutoDelete.txt", "1\r\n").ok);
    this->write("file", "");
    EXPECT_FALSE(this->files->createDirectories(this->at("file") + "/below"));
}

TYPED_TEST_P(FileSystemContract, RefusesAReadOnlyFileWithTheSystemsReasonAndKeepsIt)
{
    this->write("Directory.txt", "old\r\n");
    TypeParam::makeReadOnly(this->dir_ / "Directory.txt");
    if (!TypeParam::readOnlyHolds())
        GTEST_SKIP() << "this user may write any file";
    const WriteStatus failed = this->files->replaceFile(this->at("Directory.txt"), "new\r\n");
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.reason.empty());
    EXPECT_TRUE(failed.accessDenied);
    EXPECT_EQ(this->read("Directory.txt"), "old\r\n");
    EXPECT_EQ(this->names(), (std::vector<std::string>{"Directory.txt"}));
}

TYPED_TEST_P(FileSystemContract, ASaveKeepsWhatTheUserSetOnTheOldFileAndANewFileIsAsAnyOther)
{
    this->write("Directory.txt", "old\r\n");
    TypeParam::setByUser(this->dir_ / "Directory.txt");
    ASSERT_TRUE(TypeParam::setByUserHolds(this->dir_ / "Directory.txt"));
    ASSERT_TRUE(this->files->replaceFile(this->at("Directory.txt"), "new\r\n").ok);
    EXPECT_EQ(this->read("Directory.txt"), "new\r\n");
    EXPECT_TRUE(TypeParam::setByUserHolds(this->dir_ / "Directory.txt"));
    // The temporary's own name or settings never reach a file the save creates.
    ASSERT_TRUE(this->files->replaceFile(this->at("AutoDelete.txt"), "10000\r\n").ok);
    EXPECT_FALSE(TypeParam::setByUserHolds(this->dir_ / "AutoDelete.txt"));
    EXPECT_TRUE(this->files->isNormalFile(this->at("AutoDelete.txt")));
    EXPECT_EQ(this->names(), (std::vector<std::string>{"AutoDelete.txt", "Directory.txt"}));
}

TYPED_TEST_P(FileSystemContract, ASaveClearsWhatKilledSavesLeftUnlessTheirProcessStillRuns)
{
    const typename TypeParam::Processes processes;
    const std::string target = "AutoDelete.txt";
    this->write(target, "1\r\n");
    std::vector<std::string> kept = {target};
    std::vector<std::string> stale;
    for (const ProcessId gone : {processes.ended, processes.self})
        stale.push_back(temporaryName(target, gone, 0));
    // A save under way in another instance, and another file's leftover.
    kept.push_back(temporaryName(target, processes.running, 0));
    kept.push_back(temporaryName("Directory.txt", processes.ended, 0));
    for (const auto& name : kept)
        if (name != target)
            this->write(name, "other");
    for (const auto& name : stale)
        this->write(name, "half");
    ASSERT_TRUE(this->files->replaceFile(this->at(target), "2\r\n").ok);
    EXPECT_EQ(this->read(target), "2\r\n");
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(this->names(), kept);
}

TYPED_TEST_P(FileSystemContract, ListsSubdirectoriesByNameAndTellsNormalFiles)
{
    std::filesystem::create_directory(this->dir_ / "Midtown Madness 2");
    std::filesystem::create_directory(this->dir_ / "Other");
    this->write("MM2.LOCK", "");
    auto listed = this->files->subdirectories(this->dir_.string());
    ASSERT_TRUE(listed.has_value());
    std::sort(listed->begin(), listed->end());
    EXPECT_EQ(*listed, (std::vector<std::string>{"Midtown Madness 2", "Other"}));
    EXPECT_EQ(this->files->subdirectories(this->at("missing")), std::nullopt);
    EXPECT_TRUE(this->files->isNormalFile(this->at("MM2.LOCK")));
    for (const char* name : {"Other", "missing"})
        EXPECT_FALSE(this->files->isNormalFile(this->at(name))) << name;
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemContract, ReadsAFileUpToTheBoundAndNothingOfWhatIsNoFile,
                            RemovesExactlyOneFileNeverADirectoryNorWhatAPatternMatches,
                            ReplacesTheWholeFileAndLeavesNothingElseBehind,
                            RefusesAReadOnlyFileWithTheSystemsReasonAndKeepsIt,
                            MakesMissingDirectoriesAndTellsWhereNoneCanBe,
                            ASaveKeepsWhatTheUserSetOnTheOldFileAndANewFileIsAsAnyOther,
                            ASaveClearsWhatKilledSavesLeftUnlessTheirProcessStillRuns,
                            ListsSubdirectoriesByNameAndTellsNormalFiles);

} // namespace latchsweep
