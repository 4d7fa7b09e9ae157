#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "posix_file_system.h"
#include "sweep/data_files.h"
#include "sweep/sweeper.h"

namespace latchsweep {
namespace {

namespace fs = std::filesystem;

// A scratch directory that is also the working directory, as the program's files are opened
// by bare name.
class PosixFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "latchsweep-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        previous_ = fs::current_path();
        fs::current_path(dir_);
    }
    void TearDown() override
    {
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }
    static void write(const fs::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    PosixFileSystem files_;
    fs::path dir_;
    fs::path previous_;
};

TEST_F(PosixFiles, RemovesOneRegularFile)
{
    write("MM2.LOCK", "");
    EXPECT_TRUE(files_.removeFile("MM2.LOCK"));
    EXPECT_FALSE(fs::exists("MM2.LOCK"));
    EXPECT_FALSE(files_.removeFile("MM2.LOCK"));
}

TEST_F(PosixFiles, RemovesALinkButNeverItsTarget)
{
    write("target", "keep");
    fs::create_symlink("target", "link");
    EXPECT_TRUE(files_.removeFile("link"));
    EXPECT_FALSE(fs::is_symlink("link"));
    EXPECT_EQ(read("target"), "keep");
}

TEST_F(PosixFiles, NeverRemovesDirectoriesOrPipes)
{
    fs::create_directory("empty");
    fs::create_directory("full");
    write("full/x", "");
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    EXPECT_FALSE(files_.removeFile("empty"));
    EXPECT_FALSE(files_.removeFile("full"));
    EXPECT_FALSE(files_.removeFile("pipe"));
    EXPECT_TRUE(fs::is_directory("empty"));
    EXPECT_TRUE(fs::exists("full/x"));
    EXPECT_TRUE(fs::exists("pipe"));
}

TEST_F(PosixFiles, PatternsAreLiteralNames)
{
    write("a.LOCK", "");
    write("b.LOCK", "");
    EXPECT_FALSE(files_.removeFile("*.LOCK"));
    EXPECT_FALSE(files_.removeFile("?.LOCK"));
    EXPECT_TRUE(fs::exists("a.LOCK") && fs::exists("b.LOCK"));
    write("*.LOCK", "");
    EXPECT_TRUE(files_.removeFile("*.LOCK"));
    EXPECT_TRUE(fs::exists("a.LOCK") && fs::exists("b.LOCK"));
}

TEST_F(PosixFiles, RemovesAFileThatIsHeldOpen)
{
    write("MM2.LOCK", "busy");
    std::ifstream held("MM2.LOCK");
    EXPECT_TRUE(files_.removeFile("MM2.LOCK"));
}

TEST_F(PosixFiles, ReadsARegularFileUpToTheBound)
{
    write("Directory.txt", "0123456789");
    EXPECT_EQ(files_.readHead("Directory.txt", 4), "0123");
    EXPECT_EQ(files_.readHead("Directory.txt", 100), "0123456789");
    EXPECT_EQ(files_.readHead("missing.txt", 100), std::nullopt);
}

TEST_F(PosixFiles, ReadingNeverStallsOnAPipeNorReadsADirectory)
{
    ASSERT_EQ(::mkfifo("Directory.txt", 0600), 0);
    EXPECT_EQ(files_.readHead("Directory.txt", 100), std::nullopt);
    fs::create_directory("dir");
    EXPECT_EQ(files_.readHead("dir", 100), std::nullopt);
}

TEST_F(PosixFiles, AHugeListIsReadOnlyToTheBound)
{
    {
        std::ofstream huge("Directory.txt", std::ios::binary);
        huge.seekp(std::streamoff{512} * 1024 * 1024);
        huge << 'x';
    }
    EXPECT_EQ(readFirstLine(files_, kDirectoryFile), std::nullopt);
}

TEST_F(PosixFiles, ReplaceWritesTheWholeFileAndLeavesNoTemporary)
{
    write("AutoDelete.txt", "old content that is longer\r\n");
    const WriteStatus status = files_.replaceFile("AutoDelete.txt", "250\r\n");
    EXPECT_TRUE(status.ok) << status.reason;
    EXPECT_EQ(read("AutoDelete.txt"), "250\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 1);
}

TEST_F(PosixFiles, AFailedReplaceSaysWhyAndKeepsTheOldContent)
{
    const WriteStatus missingDir = files_.replaceFile("no/such/dir/AutoDelete.txt", "1\r\n");
    EXPECT_FALSE(missingDir.ok);
    EXPECT_FALSE(missingDir.reason.empty());

    fs::create_directory("AutoDelete.txt"); // a name that cannot be replaced by a file
    write("AutoDelete.txt/inside", "kept");
    const WriteStatus overDirectory = files_.replaceFile("AutoDelete.txt", "1\r\n");
    EXPECT_FALSE(overDirectory.ok);
    EXPECT_EQ(read("AutoDelete.txt/inside"), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 1);
}

TEST_F(PosixFiles, ListsSubdirectoriesIncludingLinkedOnes)
{
    fs::create_directory("Games");
    fs::create_directory("Tools");
    write("file.txt", "");
    fs::create_directory_symlink("Games", "Linked");
    fs::create_symlink("file.txt", "filelink");
    auto names = files_.subdirectories(dir_.string());
    ASSERT_TRUE(names);
    std::sort(names->begin(), names->end());
    EXPECT_EQ(*names, (std::vector<std::string>{"Games", "Linked", "Tools"}));
    EXPECT_EQ(files_.subdirectories((dir_ / "file.txt").string()), std::nullopt);
    EXPECT_EQ(files_.currentDirectory(), fs::current_path().string());
}

TEST_F(PosixFiles, TheSweepDeletesTheNamedLockFileOnly)
{
    fs::create_directory("MM2");
    write("MM2/MM2.LOCK", "");
    write("MM2/other", "");
    write("Directory.txt", (dir_ / "MM2" / "MM2.LOCK").string() + "\r\n");
    EXPECT_TRUE(sweepOnce(files_));
    EXPECT_FALSE(fs::exists("MM2/MM2.LOCK"));
    EXPECT_TRUE(fs::exists("MM2/other"));
    write("Directory.txt", "MM2\r\n"); // a directory is never deleted
    EXPECT_FALSE(sweepOnce(files_));
    EXPECT_TRUE(fs::is_directory("MM2"));
}

} // namespace
} // namespace latchsweep
