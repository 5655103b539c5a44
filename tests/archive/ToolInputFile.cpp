// The tool's input files: "FILE" or "ARCHIVE.bin:INDEX".
#include "authoring/ArchiveWriter.h"
#include "tests/archive/ArchiveTestSupport.h"
#include "tools/InputFile.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tavro {
namespace {

namespace fs = std::filesystem;
using testing::PatternBytes;

class ToolInputFile : public ::testing::Test {
protected:
    void SetUp() override {
        authoring::CArchiveWriter writer;
        ASSERT_TRUE(writer.Create(archive));
        ASSERT_TRUE(writer.AddEmpty());
        ASSERT_TRUE(writer.AddCompressed(entry));
        for (int i = 2; i < 652; ++i) {
            ASSERT_TRUE(writer.AddEmpty());
        }
        ASSERT_TRUE(writer.Finish());
    }

    void WriteFile(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    testing::TempDirectory directory;
    fs::path archive = directory.path / "pack.bin";
    std::vector<std::uint8_t> entry = PatternBytes(3000, 4, true);
};

TEST_F(ToolInputFile, ReadsEntriesAndPlainFilesIncludingNamesWithColons) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(tools::ReadInput(archive.string() + ":1", bytes, error)) << error;
    EXPECT_EQ(bytes, entry);

    // A plain name may hold ':'; it is an entry only when the part before names an existing file.
    const fs::path colonName = directory.path / "model:7";
    WriteFile(colonName, "abc");
    ASSERT_TRUE(tools::ReadInput(colonName.string(), bytes, error)) << error;
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'a', 'b', 'c'}));
    const fs::path notDigits = archive.string() + ":1x";
    WriteFile(notDigits, "xyz");
    ASSERT_TRUE(tools::ReadInput(notDigits.string(), bytes, error)) << error;
    EXPECT_EQ(bytes.size(), 3u);
}

TEST_F(ToolInputFile, RefusalsNameTheInput) {
    struct Case {
        std::string input;
        std::string expected;
    };
    const Case cases[] = {
        {archive.string() + ":0", ":0: the entry is empty"},
        {archive.string() + ":652", ":652: no such entry"},
        {archive.string() + ":99999999999", "the entry index is too large"},
        {(directory.path / "absent.g1m").string(), "absent.g1m: no such file"},
        {directory.path.string(), "cannot be opened as a regular file"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes{1};
        std::string error;
        EXPECT_FALSE(tools::ReadInput(c.input, bytes, error)) << c.input;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

} // namespace
} // namespace tavro
