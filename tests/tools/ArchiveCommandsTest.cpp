// tavro list and tavro extract, run as the built program on an archive made by the archive writer: a
// stored, a compressed, an empty and a damaged entry.
#include "authoring/ArchiveWriter.h"
#include "authoring/DDSWriter.h"
#include "tests/ToolProcess.h"
#include "tests/archive/ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tavro {
namespace {

namespace fs = std::filesystem;
using testing::PatternBytes;
using testing::ReadFileBytes;

class ArchiveCommands : public ::testing::Test {
protected:
    void SetUp() override {
        authoring::CArchiveWriter writer;
        ASSERT_TRUE(writer.Create(archive));
        ASSERT_TRUE(writer.AddStored(stored));
        ASSERT_TRUE(writer.AddCompressed(compressed));
        ASSERT_TRUE(writer.AddEmpty());
        std::vector<std::uint8_t> damaged = PatternBytes(100, 3, false);
        ASSERT_TRUE(writer.AddPrecompressed(damaged, 5000));
        for (int i = 4; i < 652; ++i) {
            ASSERT_TRUE(writer.AddEmpty());
        }
        ASSERT_TRUE(writer.Finish()) << writer.GetError();
    }

    testing::ToolRun Run(const std::vector<std::string>& arguments) {
        return testing::RunTool(arguments, directory.path);
    }

    testing::TempDirectory directory;
    fs::path archive = directory.path / "demo.bin";
    std::string bin = archive.string();
    std::vector<std::uint8_t> stored = PatternBytes(5000, 1, false);
    std::vector<std::uint8_t> compressed = PatternBytes(700000, 2, true);
};

TEST_F(ArchiveCommands, VersionIsTheProjectVersion) {
    const testing::ToolRun version = Run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "tavro " TAVRO_VERSION "\n");
}

TEST_F(ArchiveCommands, ListGivesEachEntrysPlaceSizesAndKind) {
    const testing::ToolRun json = Run({"list", bin, "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.out.rfind("{\"count\": 652, \"entries\": [", 0), 0u);
    EXPECT_NE(
        json.out.find(
            "{\"index\": 0, \"offset\": 0, \"storedSize\": 5000, \"size\": 5000, \"compressed\": false, "
            "\"type\": \"other\"}"),
        std::string::npos);
    EXPECT_NE(json.out.find("{\"index\": 1, \"offset\": 6144, "), std::string::npos);
    EXPECT_NE(json.out.find("\"size\": 700000, \"compressed\": true, \"type\": \"other\"}"),
              std::string::npos);
    EXPECT_NE(json.out.find("\"size\": 5000, \"compressed\": true, \"type\": \"unreadable\"}"),
              std::string::npos);
}

TEST_F(ArchiveCommands, ExtractWritesDecodedEntries) {
    const fs::path single = directory.path / "one.dat";
    ASSERT_EQ(Run({"extract", bin, "1", "-o", single.string()}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(single), compressed);
    const fs::path folder = directory.path / "many";
    const testing::ToolRun many = Run({"extract", bin, "0", "1", "-o", folder.string()});
    ASSERT_EQ(many.exitCode, 0) << many.err;
    EXPECT_EQ(ReadFileBytes(folder / "0.bin"), stored);
    EXPECT_EQ(ReadFileBytes(folder / "1.bin"), compressed);
}

TEST_F(ArchiveCommands, FailuresSayWhatIsWrongAndLeaveNothing) {
    struct Case {
        std::vector<std::string> arguments;
        std::string expected; // part of the one line on stderr
    };
    const std::string folder = (directory.path / "out").string();
    const Case cases[] = {
        {{"list", (directory.path / "missing.bin").string()}, "no such file"},
        {{"list", bin, "--reader", "sm5"}, "not one the sm5 reader knows"},
        {{"list", bin, "--reader", "zip"}, "--reader must be orochiz or sm5"},
        {{"extract", bin, "0", "652", "-o", folder}, ":652: no such entry"},
        {{"extract", bin, "0", "2", "-o", folder}, ":2: the entry is empty"},
        {{"extract", bin, "0", "3", "-o", folder}, ":3: the entry cannot be extracted"},
        {{"extract", bin, "x", "-o", folder}, "'x' is not an entry index"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        testing::ExpectOneLineRefusal(Run(c.arguments), c.expected);
        EXPECT_FALSE(fs::exists(fs::path(folder) / "0.bin"));
    }
    fs::remove(directory.path / "demo.idx");
    const testing::ToolRun noIndex = Run({"extract", bin, "0", "-o", (directory.path / "x.dat").string()});
    EXPECT_NE(noIndex.err.find("demo.idx: the archive's index file is missing"), std::string::npos)
        << noIndex.err;
    EXPECT_FALSE(fs::exists(directory.path / "x.dat"));
}

TEST_F(ArchiveCommands, AFailedExtractLeavesWhatWasThereBefore) {
    const fs::path folder = directory.path / "pre";
    fs::create_directory(folder);
    std::ofstream(folder / "0.bin") << "old";
    const testing::ToolRun late = Run({"extract", bin, "0", "1", "652", "-o", folder.string()});
    EXPECT_NE(late.err.find(":652: no such entry"), std::string::npos) << late.err;
    EXPECT_EQ(testing::ReadFileText(folder / "0.bin"), "old");
    EXPECT_FALSE(fs::exists(folder / "1.bin"));

    const testing::ToolRun fresh =
        Run({"extract", bin, "0", "3", "-o", (directory.path / "new" / "sub").string()});
    EXPECT_NE(fresh.exitCode, 0);
    EXPECT_FALSE(fs::exists(directory.path / "new")) << "the folders this run made are removed";
}

// Windows has no device that refuses writes like /dev/full.
#ifndef _WIN32
TEST_F(ArchiveCommands, AFailedWriteToAFileOrToStandardOutputFailsTheCommand) {
    const testing::ToolRun full = Run({"extract", bin, "0", "-o", "/dev/full"});
    EXPECT_NE(full.err.find("/dev/full: writing failed"), std::string::npos) << full.err;

    authoring::DDSHeaderFields header;
    header.pixelFormat = {32, 0x40, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000};
    const std::vector<std::uint8_t> dds = authoring::WriteDDS(header, std::vector<std::uint8_t>(4, 1));
    const fs::path image = directory.path / "one.dds";
    std::ofstream(image, std::ios::binary)
        .write(reinterpret_cast<const char*>(dds.data()), static_cast<std::streamsize>(dds.size()));
    ASSERT_EQ(Run({"dds-info", image.string()}).exitCode, 0);
    const testing::ToolRun toFull =
        testing::RunTool(TAVRO_TOOL_PATH, {"dds-info", image.string()}, directory.path, "/dev/full");
    EXPECT_EQ(toFull.exitCode, 1);
    EXPECT_EQ(toFull.err, "tavro: cannot write to standard output\n");
}
#endif

} // namespace
} // namespace tavro
