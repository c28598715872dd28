#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/TempDirectory.h"
#include "core/common/WholeFile.h"

using namespace lt;
using lt::testing::TempDirectory;

namespace {

std::size_t entriesIn(const std::string& directory)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(directory))
        ++count;
    return count;
}

mode_t permissionsOf(const std::string& path)
{
    struct stat info { };
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

} // namespace

TEST(WholeFile, ReplacesContentAndKeepsThePermissionsOfTheOldFile)
{
    TempDirectory dir;
    dir.write("list.txt", "old content that is longer than the new one\r\n");
    ::chmod(dir.file("list.txt").c_str(), 0640);

    EXPECT_EQ(replaceFileContent(dir.file("list.txt"), "new\r\n"), FileWriteResult::Written);
    EXPECT_EQ(dir.read("list.txt"), "new\r\n");
    EXPECT_EQ(permissionsOf(dir.file("list.txt")), 0640u);
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "the temporary file is gone";

    // A new file is readable by others as any saved text file, not private as mkstemp makes it.
    const mode_t mask = ::umask(022);
    EXPECT_EQ(replaceFileContent(dir.file("new.txt"), ""), FileWriteResult::Written);
    ::umask(mask);
    EXPECT_EQ(permissionsOf(dir.file("new.txt")), 0644u);
    EXPECT_EQ(dir.read("new.txt"), "");
}

TEST(WholeFile, FailuresSayWhyAndLeaveNothingBehind)
{
    TempDirectory dir;
    std::string reason;
    EXPECT_EQ(replaceFileContent(dir.file("missing/list.txt"), "x", &reason),
        FileWriteResult::CannotCreate);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(replaceFileContent("", "x"), FileWriteResult::CannotCreate);
    EXPECT_EQ(replaceFileContent(dir.path() + "/", "x"), FileWriteResult::CannotCreate);

    // The rename fails when the target is a directory that holds files: the
    // written temporary file must be removed again and the target untouched.
    std::filesystem::create_directory(dir.file("taken"));
    dir.write("taken/keep.txt", "kept");
    reason.clear();
    EXPECT_EQ(replaceFileContent(dir.file("taken"), "x", &reason), FileWriteResult::WriteFailed);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(dir.read("taken/keep.txt"), "kept");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(WholeFile, WritesThroughASymlinkAndKeepsTheLink)
{
    TempDirectory dir;
    std::filesystem::create_directory(dir.file("real"));
    dir.write("real/LtrakW.ini", "old");
    // A relative link, and a link to that link: both reach the same file.
    std::filesystem::create_symlink("real/LtrakW.ini", dir.file("LtrakW.ini"));
    std::filesystem::create_symlink("LtrakW.ini", dir.file("second.ini"));

    EXPECT_EQ(replaceFileContent(dir.file("LtrakW.ini"), "new"), FileWriteResult::Written);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("LtrakW.ini")));
    EXPECT_EQ(dir.read("real/LtrakW.ini"), "new");
    EXPECT_EQ(replaceFileContent(dir.file("second.ini"), "newer"), FileWriteResult::Written);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("second.ini")));
    EXPECT_EQ(dir.read("real/LtrakW.ini"), "newer");
    EXPECT_EQ(entriesIn(dir.file("real")), 1u);

    // A link whose target does not exist yet makes the target.
    std::filesystem::create_symlink("real/later.ini", dir.file("later.ini"));
    EXPECT_EQ(replaceFileContent(dir.file("later.ini"), "made"), FileWriteResult::Written);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("later.ini")));
    EXPECT_EQ(dir.read("real/later.ini"), "made");

    // A loop of links is no file.
    std::filesystem::create_symlink("loop2", dir.file("loop1"));
    std::filesystem::create_symlink("loop1", dir.file("loop2"));
    EXPECT_NE(replaceFileContent(dir.file("loop1"), "x"), FileWriteResult::Written);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("loop1")));
}

TEST(WholeFile, ReadOnlyFileIsLeftAsTheUserMadeIt)
{
    TempDirectory dir;
    dir.write("LtrakW.ini", "kept");
    ::chmod(dir.file("LtrakW.ini").c_str(), 0444);
    std::string reason;
    EXPECT_EQ(
        replaceFileContent(dir.file("LtrakW.ini"), "new", &reason), FileWriteResult::ReadOnly);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(dir.read("LtrakW.ini"), "kept");
    EXPECT_EQ(permissionsOf(dir.file("LtrakW.ini")), 0444u);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

// A writer killed between making its temporary file and renaming it leaves
// the temporary behind; the next process that writes into that directory
// removes such leftovers of dead writers, and only those.
TEST(WholeFile, TemporariesOfKilledWritersAreRemovedByTheNextWriter)
{
    TempDirectory dir;
    const std::string big(4 * 1024 * 1024, 'x');
    for (int kill = 0; kill < 20; ++kill) {
        const pid_t writer = ::fork();
        if (writer == 0) {
            for (;;)
                replaceFileContent(dir.file("list.txt"), big);
        }
        ::usleep(20000 + 3000 * kill);
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
    }
    // Files of others and the temporaries of a live process stay.
    dir.write("notes.txt", "mine");
    const std::string liveTemporary =
        dir.file(".ltrakw-save-" + std::to_string(::getppid()) + "-abcdef");
    std::filesystem::copy_file(dir.file("notes.txt"), liveTemporary);

    EXPECT_EQ(replaceFileContent(dir.file("list.txt"), "last"), FileWriteResult::Written);
    EXPECT_EQ(dir.read("list.txt"), "last");
    EXPECT_TRUE(std::filesystem::exists(liveTemporary));
    EXPECT_EQ(entriesIn(dir.path()), 3u) << "list.txt, notes.txt and the live writer's file";
}

TEST(WholeFile, ReadsAtMostTheCapAndTellsAMissingFile)
{
    TempDirectory dir;
    const std::string big(200 * 1024 + 7, 'a'); // more than one read chunk
    dir.write("big.txt", big);
    std::string content = "stale";
    EXPECT_EQ(readFileHead(dir.file("big.txt"), big.size() + 100, content), FileReadResult::Read);
    EXPECT_EQ(content, big);
    EXPECT_EQ(readFileHead(dir.file("big.txt"), 70000, content), FileReadResult::Read);
    EXPECT_EQ(content, big.substr(0, 70000));

    EXPECT_EQ(readFileHead(dir.file("none.txt"), 10, content), FileReadResult::CannotOpen);
    EXPECT_TRUE(content.empty());
    EXPECT_EQ(readFileHead(dir.path(), 10, content), FileReadResult::ReadFailed)
        << "a directory is not a file";
}

TEST(WholeFile, DirectoryOfPath)
{
    EXPECT_EQ(directoryOfPath("/home/op/list.txt"), "/home/op");
    EXPECT_EQ(directoryOfPath("/list.txt"), "/");
    EXPECT_EQ(directoryOfPath("list.txt"), ".");
    EXPECT_EQ(directoryOfPath("a.dir/b"), "a.dir");
}
