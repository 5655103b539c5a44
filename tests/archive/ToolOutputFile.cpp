// The tool's output files: complete or absent, never written through a planted link or renamed over a
// device, and every failed write reported.
#include "tests/TempDirectory.h"
#include "tools/OutputFile.h"
#include "tools/OutputFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace tavro {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ToolOutputFile : public ::testing::Test {
protected:
    bool Write(const fs::path& path, const std::string& text) {
        return tools::WriteOutputFile(path.string(), reinterpret_cast<const std::uint8_t*>(text.data()),
                                      text.size(), error);
    }

    std::size_t CountEntries() const {
        std::size_t count = 0;
        for ([[maybe_unused]] const auto& item : fs::directory_iterator(directory.path)) {
            ++count;
        }
        return count;
    }

    testing::TempDirectory directory;
    std::string error;
};

TEST_F(ToolOutputFile, ReplacesAFileWholeKeepingItsModeAndLeavesNothingOnFailure) {
    const fs::path target = directory.path / "out.dds";
    ASSERT_TRUE(Write(target, "first")) << error;
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(Write(target, "second")) << error;
    EXPECT_EQ(ReadText(target), "second");
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    EXPECT_FALSE(Write(directory.path / "no/such/dir/out.dds", "x"));
    EXPECT_NE(error.find("out.dds: the folder"), std::string::npos) << error;
    fs::create_directory(directory.path / "taken");
    EXPECT_FALSE(Write(directory.path / "taken", "x"));
    EXPECT_NE(error.find("taken: is a folder"), std::string::npos) << error;
    EXPECT_FALSE(Write(directory.path.string() + "/", "x"));
    EXPECT_EQ(CountEntries(), 2u); // out.dds and taken: no temporary is left

    // Dropped before its commit, a finished file leaves the target as it was.
    {
        tools::OutputFile file;
        ASSERT_TRUE(file.Open(target.string(), error));
        ASSERT_TRUE(file.Write(std::vector<std::uint8_t>(10, 'z'), error));
        ASSERT_TRUE(file.Finish(error));
    }
    EXPECT_EQ(ReadText(target), "second");
    EXPECT_EQ(CountEntries(), 2u);
}

TEST_F(ToolOutputFile, ALinkIsReplacedNotFollowed) {
    const fs::path elsewhere = directory.path / "elsewhere.txt";
    std::ofstream(elsewhere) << "keep";
    const fs::path link = directory.path / "out.png";
    fs::create_symlink(elsewhere, link);
    ASSERT_TRUE(Write(link, "new")) << error;
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_EQ(ReadText(link), "new");
    EXPECT_EQ(ReadText(elsewhere), "keep");
}

TEST_F(ToolOutputFile, DevicesAndPipesAreWrittenDirectlyAndTheirFailuresReported) {
    ASSERT_TRUE(Write("/dev/null", "discarded")) << error;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_FALSE(Write("/dev/full", "no room"));
    EXPECT_NE(error.find("/dev/full: writing failed (No space left on device)"), std::string::npos) << error;

    const fs::path fifo = directory.path / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadText(fifo); });
    EXPECT_TRUE(Write(fifo, "through the pipe")) << error;
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A folder that takes no new files (a kernel file system) is named, not reported as a missing file.
    EXPECT_FALSE(Write("/proc/version", "x"));
    EXPECT_NE(error.find("/proc/version: "), std::string::npos) << error;
    EXPECT_NE(error.find("'/proc'"), std::string::npos) << error;
}

TEST_F(ToolOutputFile, AFolderIsMadeWithItsParentsAndOnlyWhatWasMadeIsRemoved) {
    fs::create_directory(directory.path / "kept");
    tools::OutputFolder folder;
    ASSERT_TRUE(folder.Create((directory.path / "kept/a/b/").string(), error)) << error;
    EXPECT_TRUE(fs::is_directory(directory.path / "kept/a/b"));
    folder.RemoveCreated();
    EXPECT_FALSE(fs::exists(directory.path / "kept/a"));
    EXPECT_TRUE(fs::is_directory(directory.path / "kept"));

    std::ofstream(directory.path / "file") << "x";
    tools::OutputFolder blocked;
    EXPECT_FALSE(blocked.Create((directory.path / "file/sub").string(), error));
    EXPECT_NE(error.find("file/sub: cannot create the folder"), std::string::npos) << error;
}

} // namespace
} // namespace tavro
