// tavro export and tavro texture, run as the built program on a small demo archive.
#include "app/ModelSchedule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace tavro {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The files in a folder, by name.
std::vector<std::string> FileNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ExportToolTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder =
            new fs::path(fs::temp_directory_path() / ("tavro-export-tool-" + std::to_string(::getpid())));
        fs::remove_all(*folder);
        fs::create_directories(*folder);
        archive = new std::string((*folder / "demo" / "LINKDATA1.bin").string());
        made = Run("make-demo '" + (*folder / "demo").string() + "' --scale 0.01").exitCode == 0;
    }
    static void TearDownTestSuite() {
        fs::remove_all(*folder);
        delete folder;
        delete archive;
    }
    void SetUp() override {
        ASSERT_TRUE(made);
        out = *folder / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(out);
    }

    static RunResult Run(const std::string& arguments) {
        const fs::path outText = *folder / "stdout.txt";
        const fs::path errText = *folder / "stderr.txt";
        const std::string command = std::string("'") + TAVRO_TOOL_PATH + "' " + arguments + " >'" +
                                    outText.string() + "' 2>'" + errText.string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(outText), ReadText(errText)};
    }
    static std::string Entry(std::uint32_t entry) {
        return "'" + *archive + ":" + std::to_string(entry) + "'";
    }
    std::string Out(const std::string& name) const { return "'" + (out / name).string() + "'"; }

    static fs::path* folder;
    static std::string* archive;
    static bool made;
    fs::path out;
};

fs::path* ExportToolTest::folder = nullptr;
std::string* ExportToolTest::archive = nullptr;
bool ExportToolTest::made = false;

TEST_F(ExportToolTest, RowsAreWrittenOneFileEachWithASummary) {
    const RunResult result = Run("export '" + *archive + "' --rows 3-7 --threads 2 -o " + Out("rows"));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(FileNames(out / "rows"), (std::vector<std::string>{"row-003.glb", "row-004.glb", "row-005.glb",
                                                                 "row-006.glb", "row-007.glb"}));
    EXPECT_EQ(result.out.rfind("export: 5 rows written, 0 failed, ", 0), 0u) << result.out;
    EXPECT_NE(result.err.find("export: 5/5 rows"), std::string::npos);
}

TEST_F(ExportToolTest, AFailedRowIsNamedLeavesNoFileAndFailsTheRun) {
    // A folder where row 1's file belongs makes that row's write fail.
    fs::create_directories(out / "rows" / "row-001.glb");
    const RunResult result = Run("export '" + *archive + "' --rows 0-2 -o " + Out("rows"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("row-001.glb"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("tavro: 1 of 3 rows could not be exported"), std::string::npos) << result.err;
    EXPECT_EQ(result.out.rfind("export: 2 rows written, 1 failed, ", 0), 0u) << result.out;
    EXPECT_EQ(FileNames(out / "rows"),
              (std::vector<std::string>{"row-000.glb", "row-001.glb", "row-002.glb"}));
    EXPECT_TRUE(fs::is_directory(out / "rows" / "row-001.glb"));
}

TEST_F(ExportToolTest, SingleExportsWriteTheChosenForm) {
    const ModelScheduleRow& row = ModelSchedule()[4];
    ASSERT_EQ(Run("export '" + *archive + "' --row 4 -o " + Out("row.gltf")).exitCode, 0);
    ASSERT_EQ(Run("export " + Entry(row.modelEntry) + " --texture " + Entry(row.textureEntry) + " -o " +
                  Out("pair.glb"))
                  .exitCode,
              0);
    ASSERT_EQ(Run("export " + Entry(row.modelEntry) + " -o " + Out("bare.GLB")).exitCode, 0);
    EXPECT_EQ(FileNames(out),
              (std::vector<std::string>{"bare.GLB", "pair.glb", "row.bin", "row.gltf", "row.png"}));
    // The row and its entries given by hand are the same scene.
    ASSERT_EQ(Run("export '" + *archive + "' --row 4 -o " + Out("row.glb")).exitCode, 0);
    EXPECT_EQ(ReadText(out / "row.glb"), ReadText(out / "pair.glb"));
}

TEST_F(ExportToolTest, RefusalsAreOneLineAndLeaveNoFile) {
    const ModelScheduleRow& row = ModelSchedule()[0];
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"export " + Entry(row.modelEntry) + " -o " + Out("model.obj"),
         "the output's name must end in .glb (binary) or .gltf (JSON)"},
        {"export '" + *archive + "' --row 332 -o " + Out("a.glb"), "--row must be from 0 to 331, not 332"},
        {"export '" + *archive + "' --rows 9-2 -o " + Out("rows"), "--rows must be all, A or A-B"},
        {"export " + Entry(row.modelEntry) + " --texture " + Entry(row.modelEntry) + " -o " + Out("a.glb"),
         ":" + std::to_string(row.modelEntry) + ": neither a G1T texture pack nor a DDS image"},
        {"export " + Entry(row.textureEntry) + " -o " + Out("a.glb"), "not a G1M model that can be read"},
        {"texture " + Entry(row.modelEntry) + " -o " + Out("t.png"),
         "neither a G1T texture pack nor a DDS image"},
        {"texture " + Entry(row.textureEntry) + " --mip 1 -o " + Out("t.png"),
         "mip level 1 is out of range: the texture has 1 mip level (0 to 0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const RunResult result = Run(c.arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_TRUE(FileNames(out).empty());
    }
}

TEST_F(ExportToolTest, TextureWritesThePackAsPng) {
    const RunResult result = Run("texture " + Entry(ModelSchedule()[2].textureEntry) + " -o " + Out("t.png"));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadText(out / "t.png").substr(1, 3), "PNG");
}

} // namespace
} // namespace tavro
