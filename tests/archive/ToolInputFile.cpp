// The tool's input files: "FILE" or "ARCHIVE.bin:INDEX".
#include "authoring/ArchiveWriter.h"
#include "tests/archive/ArchiveTestSupport.h"
#include "tools/InputFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

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

std::vector<std::uint8_t> Copy(const tools::InputBytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST_F(ToolInputFile, ReadsEntriesAndPlainFilesIncludingNamesWithColons) {
    tools::InputBytes bytes;
    std::string error;
    ASSERT_TRUE(tools::ReadInput(archive.string() + ":1", bytes, error)) << error;
    EXPECT_EQ(Copy(bytes), entry);

    // A plain name may hold ':'; it is an entry only when the part before names an existing file.
    const fs::path colonName = directory.path / "model:7";
    WriteFile(colonName, "abc");
    ASSERT_TRUE(tools::ReadInput(colonName.string(), bytes, error)) << error;
    EXPECT_EQ(Copy(bytes), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
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
        {archive.string() + ":-1", ":-1: '-1' is not a valid entry index"},
        {archive.string() + ":abc", ":abc: 'abc' is not a valid entry index"},
        {archive.string() + ":0x62", ":0x62: '0x62' is not a valid entry index"},
        {(directory.path / "absent.g1m").string(), "absent.g1m: no such file"},
        {directory.path.string(), ": is a folder, not a file"},
        {"/dev/null", "/dev/null: is a character device, not a regular file"},
        {"/dev/null:1", "/dev/null: is a character device, not a regular file"},
    };
    for (const Case& c : cases) {
        tools::InputBytes bytes;
        std::string error;
        EXPECT_FALSE(tools::ReadInput(c.input, bytes, error)) << c.input;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST_F(ToolInputFile, AnArchivePairOfTheWrongKindIsNamedWithoutOpeningIt) {
    // A FIFO would block the open until a writer came; it must be refused before.
    const fs::path fifoBin = directory.path / "pipe.bin";
    ASSERT_EQ(::mkfifo(fifoBin.c_str(), 0600), 0);
    fs::copy_file(directory.path / "pack.idx", directory.path / "pipe.idx");
    const fs::path folderIdx = directory.path / "folder.bin";
    fs::copy_file(archive, folderIdx);
    fs::create_directory(directory.path / "folder.idx");
    const fs::path fifoIdx = directory.path / "fifo.bin";
    fs::copy_file(archive, fifoIdx);
    ASSERT_EQ(::mkfifo((directory.path / "fifo.idx").c_str(), 0600), 0);
    // A folder whose name is not UTF-8 holding a sound pair.
    const fs::path latin1 = directory.path / "caf\xe9";
    fs::create_directory(latin1);
    fs::copy_file(archive, latin1 / "pack.bin");
    fs::copy_file(directory.path / "pack.idx", latin1 / "pack.idx");
    const struct {
        std::string input;
        std::string expected;
    } cases[] = {
        {fifoBin.string() + ":1", "pipe.bin: is a FIFO (named pipe), not a regular file"},
        {folderIdx.string() + ":1", "folder.idx: the archive's index is a folder, not a file"},
        {fifoIdx.string() + ":1", "fifo.idx: the archive's index is a FIFO (named pipe), not a regular file"},
        {(latin1 / "pack.bin").string() + ":1", "the name is not valid UTF-8"},
    };
    for (const auto& c : cases) {
        tools::InputBytes bytes;
        std::string error;
        EXPECT_FALSE(tools::ReadInput(c.input, bytes, error)) << c.input;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
}

} // namespace
} // namespace tavro
