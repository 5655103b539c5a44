// tavro export and tavro texture, run as the built program on a small demo archive.
#include "app/ModelSchedule.h"
#include "tests/tools/DemoArchiveSuite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tavro {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileText;
using testing::ToolRun;

// The files in a folder, by name.
std::vector<std::string> FileNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ExportCommands : public testing::DemoArchiveSuite {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DemoArchiveSuite::SetUp());
        out = folder->path / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(out);
    }

    std::string Entry(std::uint32_t entry) const { return archive + ":" + std::to_string(entry); }
    std::string Out(const std::string& name) const { return (out / name).string(); }

    std::string archive = Archive().string();
    fs::path out;
};

TEST_F(ExportCommands, RowsAreWrittenOneFileEachWithASummary) {
    const ToolRun result = Run({"export", archive, "--rows", "3-7", "--threads", "2", "-o", Out("rows")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(FileNames(out / "rows"), (std::vector<std::string>{"row-003.glb", "row-004.glb", "row-005.glb",
                                                                 "row-006.glb", "row-007.glb"}));
    EXPECT_EQ(result.out.rfind("export: 5 rows written, 0 failed, ", 0), 0u) << result.out;
    EXPECT_NE(result.err.find("export: 5/5 rows"), std::string::npos);
}

TEST_F(ExportCommands, AFailedRowIsNamedLeavesNoFileAndFailsTheRun) {
    // A folder where row 1's file belongs makes that row's write fail.
    fs::create_directories(out / "rows" / "row-001.glb");
    const ToolRun result = Run({"export", archive, "--rows", "0-2", "-o", Out("rows")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("row-001.glb"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("tavro: 1 of 3 rows could not be exported"), std::string::npos) << result.err;
    EXPECT_EQ(result.out.rfind("export: 2 rows written, 1 failed, ", 0), 0u) << result.out;
    EXPECT_EQ(FileNames(out / "rows"),
              (std::vector<std::string>{"row-000.glb", "row-001.glb", "row-002.glb"}));
    EXPECT_TRUE(fs::is_directory(out / "rows" / "row-001.glb"));
}

TEST_F(ExportCommands, SingleExportsWriteTheChosenForm) {
    const ModelScheduleRow& row = ModelSchedule()[4];
    ASSERT_EQ(Run({"export", archive, "--row", "4", "-o", Out("row.gltf")}).exitCode, 0);
    ASSERT_EQ(
        Run({"export", Entry(row.modelEntry), "--texture", Entry(row.textureEntry), "-o", Out("pair.glb")})
            .exitCode,
        0);
    ASSERT_EQ(Run({"export", Entry(row.modelEntry), "-o", Out("bare.GLB")}).exitCode, 0);
    EXPECT_EQ(FileNames(out),
              (std::vector<std::string>{"bare.GLB", "pair.glb", "row.bin", "row.gltf", "row.png"}));
    // The row and its entries given by hand are the same scene.
    ASSERT_EQ(Run({"export", archive, "--row", "4", "-o", Out("row.glb")}).exitCode, 0);
    EXPECT_EQ(ReadFileText(out / "row.glb"), ReadFileText(out / "pair.glb"));
}

TEST_F(ExportCommands, RefusalsAreOneLineAndLeaveNoFile) {
    const ModelScheduleRow& row = ModelSchedule()[0];
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::string model = Entry(row.modelEntry);
    const std::string texture = Entry(row.textureEntry);
    const Case cases[] = {
        {{"export", model, "-o", Out("model.obj")},
         "the output's name must end in .glb (binary) or .gltf (JSON)"},
        {{"export", archive, "--row", "332", "-o", Out("a.glb")}, "--row must be from 0 to 331, not 332"},
        {{"export", archive, "--rows", "9-2", "-o", Out("rows")}, "--rows must be all, A or A-B"},
        {{"export", model, "--texture", model, "-o", Out("a.glb")},
         ":" + std::to_string(row.modelEntry) + ": neither a G1T texture pack nor a DDS image"},
        {{"export", texture, "-o", Out("a.glb")}, "not a G1M model that can be read"},
        {{"texture", model, "-o", Out("t.png")}, "neither a G1T texture pack nor a DDS image"},
        {{"texture", texture, "--mip", "1", "-o", Out("t.png")},
         "mip level 1 is out of range: the texture has 1 mip level (0 to 0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        testing::ExpectOneLineRefusal(Run(c.arguments), c.message);
        EXPECT_TRUE(FileNames(out).empty());
    }
}

TEST_F(ExportCommands, TextureWritesThePackAsPng) {
    const ToolRun result = Run({"texture", Entry(ModelSchedule()[2].textureEntry), "-o", Out("t.png")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(testing::PngSize(out / "t.png"), std::pair(0u, 0u));
}

} // namespace
} // namespace tavro
