// What the tool says when it is used the wrong way: one line on stderr that names the mistake and points
// to what is right, and a non-zero exit.
#include "app/ModelSchedule.h"
#include "tests/tools/ScheduleArchiveSuite.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

namespace fs = std::filesystem;
using testing::ToolRun;

class Messages : public testing::ScheduleArchiveSuite {
protected:
    Messages() { options.rowLimit = 1; }

    std::string texture = bin + ":" + std::to_string(ModelSchedule()[0].textureEntry);
    std::string model = bin + ":" + std::to_string(ModelSchedule()[0].modelEntry);
};

TEST_F(Messages, EachMistakeIsNamedInOneLineThatPointsTheRightWay) {
    const std::string out = (directory.path / "out").string();
    const struct {
        std::vector<std::string> arguments;
        std::string expected;
    } cases[] = {
        {{"lst", "x"}, "tavro: unknown command 'lst' (did you mean 'list'? see tavro --help)"},
        {{"g1t2dds", "x"}, "did you mean 'g1t-to-dds'?"},
        {{"extract"}, "archive is required (see tavro extract --help)"},
        {{"list", bin, "--colour"}, "--colour (see tavro list --help)"},
        {{"model-info", texture}, ": this entry is a G1T texture pack, not a G1M model"},
        {{"dds-info", model}, ": this entry is a G1M model, not a DDS image (tavro model-info reads it)"},
        {{"g1t-to-dds", model, "-o", out + ".dds"}, ": this entry is a G1M model, not a G1T texture pack"},
        {{"g1t-to-dds", texture, "-o", out + ".png"},
         "this command writes a DDS image: give the output a .dds name"},
        {{"g1t-to-dds", texture}, "needs the DDS file to write: -o OUT.dds"},
        {{"render", bin, "--row", "0", "-o", out + ".jpg"},
         "this command writes a PNG image: give the output a .png name"},
        {{"frame-info", texture, "--row", "0"}, "give ARCHIVE.bin and --row R (tavro rows shows"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        testing::ExpectOneLineRefusal(Run(c.arguments), c.expected);
        EXPECT_FALSE(fs::exists(out + ".dds") || fs::exists(out + ".png") || fs::exists(out + ".jpg"));
    }
    const ToolRun plainFile = Run({"model-info", (directory.path / "LINKDATA1.idx").string()});
    EXPECT_NE(plainFile.err.find("LINKDATA1.idx: not a valid G1M model"), std::string::npos) << plainFile.err;

    const ToolRun helper = testing::RunTool(TAVRO_SCHEDULE_ARCHIVE_PATH, {"--scale", "2"}, directory.path);
    EXPECT_EQ(helper.exitCode, 2);
    EXPECT_NE(helper.err.find("unknown option '--scale'"), std::string::npos) << helper.err;
    EXPECT_FALSE(fs::exists(directory.path / "--scale"));
}

TEST_F(Messages, FrameInfoPrintsTextWithoutJson) {
    const ToolRun text = Run({"frame-info", bin, "--row", "0", "--time-ms", "250"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out.rfind("row 0 at 250 ms, client 1280x960: 1 draw (", 0), 0u) << text.out;
    EXPECT_NE(text.out.find("\ndraw 0: 9 indices from 0, base vertex 0\n  world "), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("\n  projection "), std::string::npos) << text.out;
    const ToolRun json = Run({"frame-info", bin, "--row", "0", "--time-ms", "250", "--json"});
    EXPECT_EQ(json.out.rfind("{\"draws\": [", 0), 0u) << json.out;
}

} // namespace
} // namespace tavro
