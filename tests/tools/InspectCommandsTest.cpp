// tavro list, rows and extract, run as the built program on generated archives.
#include "app/ModelSchedule.h"
#include "archive/BinArchive.h"
#include "tests/tools/ScheduleArchiveSuite.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavro {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::ToolRun;

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// An archive whose rows 0 and 1 have content, compressed; row 1's model is bytes no reader accepts.
class InspectCommands : public testing::ScheduleArchiveSuite {
protected:
    InspectCommands() {
        options.rowLimit = 2;
        options.compressed = true;
        options.brokenModelEntries = {row1.modelEntry};
    }

    std::string Entry(std::uint32_t index) const { return "{\"index\": " + std::to_string(index) + ", "; }

    ModelScheduleRow row0 = ModelSchedule()[0];
    ModelScheduleRow row1 = ModelSchedule()[1];
};

TEST_F(InspectCommands, ListShowsEachEntrysTypeAndFilters) {
    const ToolRun json = Run({"list", bin, "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.err, "");
    EXPECT_EQ(CountOf(json.out, "\"index\""), 4251u);
    for (const auto& [index, type] : {std::pair{row0.textureEntry, "G1T"}, std::pair{row0.modelEntry, "G1M"},
                                      std::pair{row1.modelEntry, "other"}, std::pair{0u, "empty"}}) {
        const std::size_t at = json.out.find(Entry(index));
        ASSERT_NE(at, std::string::npos) << index;
        const std::string object = json.out.substr(at, json.out.find('}', at) - at);
        EXPECT_NE(object.find(std::string("\"type\": \"") + type + "\""), std::string::npos) << object;
    }

    const ToolRun packs = Run({"list", bin, "--json", "--type", "g1t"});
    EXPECT_EQ(CountOf(packs.out, "\"index\""), 2u) << packs.out;
    EXPECT_EQ(CountOf(packs.out, "\"type\": \"G1T\""), 2u);
    EXPECT_NE(packs.out.find("\"count\": 4251"), std::string::npos) << "the count stays the archive's";

    const ToolRun table = Run({"list", bin, "--non-empty"});
    ASSERT_EQ(table.exitCode, 0) << table.err;
    EXPECT_NE(table.out.find("4251 entries, 4 shown"), std::string::npos) << table.out;
    EXPECT_EQ(CountOf(table.out, "\n"), 2u + 4u);
    EXPECT_NE(table.out.find(" B "), std::string::npos) << "sizes are shown with their unit";

    const ToolRun wrongType = Run({"list", bin, "--type", "png"});
    EXPECT_NE(wrongType.exitCode, 0);
    EXPECT_NE(wrongType.err.find("--type must be g1m, g1t, dds, empty, other or unreadable"),
              std::string::npos);
}

TEST_F(InspectCommands, ListWarnsOnceWhenTheDataFileIsShorterThanItsIndex) {
    const std::uint32_t last =
        std::max({row0.textureEntry, row0.modelEntry, row1.textureEntry, row1.modelEntry});
    CKOEIFile_BIN_OROCHIZ reader;
    ASSERT_TRUE(reader.Open(archive.wstring().c_str(), 0));
    const std::uint64_t cut = reader.GetEntryOffset(last) + 1;
    reader.Close();
    fs::resize_file(archive, cut);

    const ToolRun result = Run({"list", bin, "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(CountOf(result.err, "\n"), 1u) << result.err;
    EXPECT_NE(result.err.find("warning: " + archive.string() + " is " + std::to_string(cut) +
                              " bytes, shorter than its index says: entry " + std::to_string(last) +
                              " is the first that lies past its end"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.out.find(Entry(last)), std::string::npos);
    EXPECT_NE(result.out.find("\"type\": \"unreadable\""), std::string::npos);
}

TEST_F(InspectCommands, RowsShowEachRowsEntriesAndWhetherItBuilds) {
    const ToolRun json = Run({"rows", bin, "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.out.rfind("{\"count\": 4251, \"viewerOpens\": true, \"rows\": [", 0), 0u) << json.out;
    EXPECT_EQ(CountOf(json.out, "\"row\""), 332u);
    EXPECT_EQ(CountOf(json.out, "\"builds\": true"), 1u);
    const std::string firstRow =
        "{\"row\": 0, \"texture\": {\"index\": " + std::to_string(row0.textureEntry) +
        ", \"exists\": true, \"storedSize\": ";
    EXPECT_NE(json.out.find(firstRow), std::string::npos) << json.out.substr(0, 400);
    EXPECT_NE(json.out.find("\"compressed\": true}, \"builds\": true}"), std::string::npos);

    const ToolRun table = Run({"rows", bin});
    ASSERT_EQ(table.exitCode, 0) << table.err;
    EXPECT_EQ(table.out.rfind(archive.string() + ": 4251 entries; 1 of 332 rows build\n", 0), 0u)
        << table.out;

    // An archive of another entry count: the rows past its end are missing, and the viewer opens none.
    apptest::ScheduleArchiveOptions small;
    small.entryCount = 652;
    const fs::path other = directory.path / "small.bin";
    ASSERT_EQ(apptest::WriteScheduleArchive(other, small), "");
    const ToolRun smallRows = Run({"rows", other.string(), "--json"});
    ASSERT_EQ(smallRows.exitCode, 0) << smallRows.err;
    EXPECT_NE(smallRows.out.find("\"viewerOpens\": false"), std::string::npos);
    EXPECT_NE(smallRows.out.find("\"exists\": false"), std::string::npos);
    EXPECT_NE(Run({"rows", other.string()}).out.find("the viewer shows none of them"), std::string::npos);
}

TEST_F(InspectCommands, ExtractNamesFilesByTypeAndTakesRangesAndAll) {
    const fs::path folder = directory.path / "out";
    const std::uint32_t first = row0.textureEntry;
    const std::uint32_t last = std::max({row0.modelEntry, row1.textureEntry, row1.modelEntry});
    const ToolRun range =
        Run({"extract", bin, std::to_string(first) + "-" + std::to_string(last), "-o", folder.string()});
    ASSERT_EQ(range.exitCode, 0) << range.err;
    EXPECT_TRUE(fs::exists(folder / (std::to_string(row0.textureEntry) + ".g1t")));
    EXPECT_TRUE(fs::exists(folder / (std::to_string(row0.modelEntry) + ".g1m")));
    EXPECT_TRUE(fs::exists(folder / (std::to_string(row1.modelEntry) + ".bin"))) << "other kinds are .bin";
    EXPECT_NE(range.err.find("wrote 4 files to " + folder.string() + " (" +
                             std::to_string(last - first + 1 - 4) + " empty entries passed over)"),
              std::string::npos)
        << range.err;

    const fs::path everything = directory.path / "all";
    ASSERT_EQ(Run({"extract", bin, "--all", "-o", everything.string()}).exitCode, 0);
    std::vector<std::string> names;
    for (const fs::directory_entry& file : fs::directory_iterator(everything)) {
        names.push_back(file.path().filename().string());
        EXPECT_EQ(ReadFileBytes(file.path()), ReadFileBytes(folder / file.path().filename()));
    }
    EXPECT_EQ(names.size(), 4u);

    // A named empty entry, or a range past the end, fails before any file is written.
    const fs::path refused = directory.path / "refused";
    for (const std::vector<std::string>& entries : std::vector<std::vector<std::string>>{
             {std::to_string(first), "0"}, {std::to_string(first) + "-4251"}, {"--all", "5"}, {"9-3"}}) {
        SCOPED_TRACE(entries[0]);
        std::vector<std::string> arguments = {"extract", bin, "-o", refused.string()};
        arguments.insert(arguments.end(), entries.begin(), entries.end());
        const ToolRun result = Run(arguments);
        EXPECT_NE(result.exitCode, 0);
        EXPECT_EQ(CountOf(result.err, "\n"), 1u) << result.err;
        EXPECT_TRUE(!fs::exists(refused) || fs::is_empty(refused));
    }
}

} // namespace
} // namespace tavro
