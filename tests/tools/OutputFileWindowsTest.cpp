// The tool's output files on Windows: a file is replaced in one move and nothing is left beside it, a
// folder is never replaced, UTF-8 names reach the file system as the same wide names, and a device is
// written directly.
#include "file/WidePath.h"
#include "tests/TempDirectory.h"
#include "tools/OutputFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tavro {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class OutputFileWindows : public ::testing::Test {
protected:
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

TEST_F(OutputFileWindows, ReplacesAFileAndNeverAFolder) {
    const std::string target = directory.path.string() + "\\out.png";
    ASSERT_TRUE(Write(target, "first")) << error;
    ASSERT_TRUE(Write(target, "second\n")) << error;
    EXPECT_EQ(ReadText(target), "second\n"); // binary: no carriage return added

    fs::create_directory(directory.path / "taken");
    EXPECT_FALSE(Write((directory.path / "taken").string(), "x"));
    EXPECT_NE(error.find("taken: is a folder"), std::string::npos) << error;
    EXPECT_FALSE(Write(directory.path.string() + "\\no\\such\\out.png", "x"));
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;

    // A folder that takes the target's place after it was opened is not replaced either.
    const std::string later = directory.path.string() + "\\later.png";
    {
        tools::OutputFile file;
        ASSERT_TRUE(file.Open(later, error)) << error;
        ASSERT_TRUE(file.Write(std::vector<std::uint8_t>(4, 'z'), error));
        fs::create_directory(later);
        EXPECT_FALSE(file.Commit(error));
        EXPECT_NE(error.find("cannot put the file in place"), std::string::npos) << error;
    }
    EXPECT_TRUE(fs::is_directory(later));
    EXPECT_EQ(CountEntries(), 3u); // out.png, taken and later: no temporary is left
}

TEST_F(OutputFileWindows, AUtf8NameIsTheSameWideName) {
    const std::string name = "r\xC3\xBCstung-\xE6\xA8\xA1\xE5\x9E\x8B.png"; // rüstung-模型.png
    ASSERT_TRUE(Write(directory.path.string() + "\\" + name, "png")) << error;
    EXPECT_EQ(ReadText(directory.path / Utf8ToWide(name)), "png");
    EXPECT_EQ(CountEntries(), 1u);
}

TEST_F(OutputFileWindows, ADeviceIsWrittenDirectly) {
    ASSERT_TRUE(Write("NUL", "nothing")) << error;
    EXPECT_EQ(CountEntries(), 0u);
}

} // namespace
} // namespace tavro
