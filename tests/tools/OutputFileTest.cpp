// The tool's output files: complete or absent, a file replaced in one move with nothing left beside it,
// a folder never replaced, UTF-8 names kept, never written through a planted link or renamed over a
// device, and every failed write reported.
#include "tools/OutputFile.h"
#include "tests/TempDirectory.h"
#include "tests/ToolProcess.h"
#include "tools/OutputFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#ifndef _WIN32
#include <sys/stat.h>
#include <thread>
#endif

namespace tavro {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileText;

class OutputFileTest : public ::testing::Test {
protected:
    bool Write(const fs::path& path, const std::string& text) { return Write(path.string(), text); }
    bool Write(const std::string& path, const std::string& text) {
        return tools::WriteOutputFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                                      error);
    }

    std::size_t CountEntries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(directory.path), fs::directory_iterator()));
    }

    testing::TempDirectory directory;
    std::string error;
};

TEST_F(OutputFileTest, ReplacesAFileWholeNeverAFolderAndLeavesNothingOnFailure) {
    const fs::path target = directory.path / "out.dds";
    ASSERT_TRUE(Write(target, "first")) << error;
    ASSERT_TRUE(Write(target, "second\n")) << error;
    EXPECT_EQ(ReadFileText(target), "second\n"); // binary: no carriage return added

    EXPECT_FALSE(Write(directory.path / "no" / "such" / "out.dds", "x"));
    EXPECT_NE(error.find("out.dds: the folder"), std::string::npos) << error;
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
    fs::create_directory(directory.path / "taken");
    EXPECT_FALSE(Write(directory.path / "taken", "x"));
    EXPECT_NE(error.find("taken: is a folder"), std::string::npos) << error;
    EXPECT_FALSE(Write(directory.path.string() + "/", "x"));

    // A folder that takes the target's place after it was opened is not replaced either.
    const fs::path later = directory.path / "later.png";
    {
        tools::OutputFile file;
        ASSERT_TRUE(file.Open(later.string(), error)) << error;
        ASSERT_TRUE(file.Write(std::vector<std::uint8_t>(4, 'z'), error));
        fs::create_directory(later);
        EXPECT_FALSE(file.Commit(error));
        EXPECT_NE(error.find("cannot put the file in place"), std::string::npos) << error;
    }
    EXPECT_TRUE(fs::is_directory(later));

    // Dropped before its commit, a finished file leaves the target as it was.
    {
        tools::OutputFile file;
        ASSERT_TRUE(file.Open(target.string(), error));
        ASSERT_TRUE(file.Write(std::vector<std::uint8_t>(10, 'z'), error));
        ASSERT_TRUE(file.Finish(error));
    }
    EXPECT_EQ(ReadFileText(target), "second\n");
    EXPECT_EQ(CountEntries(), 3u); // out.dds, taken and later.png: no temporary is left
}

TEST_F(OutputFileTest, AUtf8NameReachesTheFileSystemAsTheSameName) {
    const std::string name = "r\xC3\xBCstung-\xE6\xA8\xA1\xE5\x9E\x8B.png"; // rüstung-模型.png
    ASSERT_TRUE(Write((directory.path / fs::u8path(name)).string(), "png")) << error;
    EXPECT_EQ(ReadFileText(directory.path / fs::u8path(name)), "png");
    EXPECT_EQ(CountEntries(), 1u);
}

TEST_F(OutputFileTest, AFolderIsMadeWithItsParentsAndOnlyWhatWasMadeIsRemoved) {
    fs::create_directory(directory.path / "kept");
    tools::OutputFolder folder;
    ASSERT_TRUE(folder.Create((directory.path / "kept" / "a" / "b").string() + "/", error)) << error;
    EXPECT_TRUE(fs::is_directory(directory.path / "kept" / "a" / "b"));
    folder.RemoveCreated();
    EXPECT_FALSE(fs::exists(directory.path / "kept" / "a"));
    EXPECT_TRUE(fs::is_directory(directory.path / "kept"));

    std::ofstream(directory.path / "file") << "x";
    tools::OutputFolder blocked;
    EXPECT_FALSE(blocked.Create((directory.path / "file" / "sub").string(), error));
    EXPECT_NE(error.find("sub: cannot create the folder"), std::string::npos) << error;
}

#ifdef _WIN32
TEST_F(OutputFileTest, ADeviceIsWrittenDirectly) {
    ASSERT_TRUE(Write(std::string("NUL"), "nothing")) << error;
    EXPECT_EQ(CountEntries(), 0u);
}
#else
// Modes, symbolic links (which need privileges to make on Windows), devices, FIFOs and kernel file
// systems are POSIX matters.
TEST_F(OutputFileTest, KeepsTheModeOfTheFileItReplacesAndReplacesALinkInsteadOfFollowingIt) {
    const fs::path target = directory.path / "out.dds";
    ASSERT_TRUE(Write(target, "first")) << error;
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(Write(target, "second")) << error;
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const fs::path elsewhere = directory.path / "elsewhere.txt";
    std::ofstream(elsewhere) << "keep";
    const fs::path link = directory.path / "out.png";
    fs::create_symlink(elsewhere, link);
    ASSERT_TRUE(Write(link, "new")) << error;
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileText(link), "new");
    EXPECT_EQ(ReadFileText(elsewhere), "keep");
}

TEST_F(OutputFileTest, DevicesAndPipesAreWrittenDirectlyAndTheirFailuresReported) {
    ASSERT_TRUE(Write(std::string("/dev/null"), "discarded")) << error;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_FALSE(Write(std::string("/dev/full"), "no room"));
    EXPECT_NE(error.find("/dev/full: writing failed (No space left on device)"), std::string::npos) << error;

    const fs::path fifo = directory.path / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFileText(fifo); });
    EXPECT_TRUE(Write(fifo, "through the pipe")) << error;
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A folder that takes no new files (a kernel file system) is named, not reported as a missing file.
    EXPECT_FALSE(Write(std::string("/proc/version"), "x"));
    EXPECT_NE(error.find("/proc/version: "), std::string::npos) << error;
    EXPECT_NE(error.find("'/proc'"), std::string::npos) << error;
}
#endif

} // namespace
} // namespace tavro
