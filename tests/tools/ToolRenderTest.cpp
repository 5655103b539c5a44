// tavro render and contact-sheet, run as the built program on a generated archive: the frame a schedule
// row shows, drawn headless and written as a PNG, is the same picture on every platform's backend.
#include "authoring/demo/ContactSheet.h"
#include "tests/tools/ScheduleArchiveSuite.h"

#include <gtest/gtest.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <array>
#include <fstream>
#include <memory>
#include <tuple>

namespace tavro {
namespace {

namespace fs = std::filesystem;

struct Picture {
    int width = 0, height = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> rgba{nullptr, stbi_image_free};

    std::array<int, 3> At(int x, int y) const {
        const stbi_uc* pixel = rgba.get() + (static_cast<std::size_t>(y) * width + x) * 4;
        return {pixel[0], pixel[1], pixel[2]};
    }
    int Alpha(int x, int y) const { return rgba.get()[(static_cast<std::size_t>(y) * width + x) * 4 + 3]; }
};

Picture ReadPng(const fs::path& path) {
    Picture picture;
    int channels = 0;
    picture.rgba.reset(stbi_load(path.string().c_str(), &picture.width, &picture.height, &channels, 4));
    return picture;
}

// Software rasterizers may round a channel differently; the colours below are far apart.
void ExpectNear(std::array<int, 3> actual, std::array<int, 3> expected) {
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_NEAR(actual[channel], expected[channel], 8) << "channel " << channel;
}

class ToolRenderTest : public testing::ScheduleArchiveSuite {
protected:
    ToolRenderTest() {
        options.textureSize = 1; // one texel: the square is one flat colour
        options.rowLimit = 1;
    }

    // The command on the archive, writing the output picture.
    testing::ToolRun Run(const std::string& command, const std::vector<std::string>& extra) {
        std::vector<std::string> arguments = {command, bin, "-o", output.string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return ScheduleArchiveSuite::Run(arguments);
    }
    testing::ToolRun Render(const std::vector<std::string>& extra) { return Run("render", extra); }
    testing::ToolRun Tool(const std::vector<std::string>& arguments) {
        return ScheduleArchiveSuite::Run(arguments);
    }
    // Row 0 rendered at 160 x 120 with the options, read back; no pixels when the run failed.
    Picture RenderRow0(std::vector<std::string> extra) {
        extra.insert(extra.begin(), {"--row", "0", "--size", "160x120"});
        const testing::ToolRun run = Render(extra);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return ReadPng(output);
    }

    fs::path output = directory.path / "frame.png";
};

// Row 0's texture is (255, 60, 60); the fitted square covers the middle of the picture.
TEST_F(ToolRenderTest, DrawsTheRowsFlatColouredSquareFacingTheCameraOnBlack) {
    const Picture picture = RenderRow0({});
    ASSERT_NE(picture.rgba, nullptr) << "not a PNG";
    ASSERT_EQ(picture.width, 160);
    ASSERT_EQ(picture.height, 120);
    for (const auto& [x, y] : {std::pair{80, 60}, std::pair{60, 40}, std::pair{100, 80}}) {
        SCOPED_TRACE(::testing::Message() << "square at (" << x << ", " << y << ")");
        ExpectNear(picture.At(x, y), {255, 60, 60});
    }
    for (const auto& [x, y] : {std::pair{2, 2}, std::pair{157, 2}, std::pair{2, 117}, std::pair{157, 117}}) {
        SCOPED_TRACE(::testing::Message() << "background at (" << x << ", " << y << ")");
        ExpectNear(picture.At(x, y), {0, 0, 0});
    }
}

TEST_F(ToolRenderTest, ViewOptionsMoveTheCameraAndColourTheBackground) {
    const Picture picture = RenderRow0({"--zoom", "5", "--background", "336699"});
    ASSERT_NE(picture.rgba, nullptr) << "not a PNG";
    // Five times as far, the square covers a fifth of what it did: its middle stays, its old corner
    // region shows the background.
    ExpectNear(picture.At(80, 60), {255, 60, 60});
    ExpectNear(picture.At(60, 40), {0x33, 0x66, 0x99});
    ExpectNear(picture.At(2, 2), {0x33, 0x66, 0x99});
}

TEST_F(ToolRenderTest, ATransparentBackgroundHasAlphaZeroAndTheModelIsOpaque) {
    const Picture picture = RenderRow0({"--background", "transparent"});
    ASSERT_NE(picture.rgba, nullptr) << "not a PNG";
    ExpectNear(picture.At(80, 60), {255, 60, 60});
    EXPECT_EQ(picture.Alpha(80, 60), 255);
    EXPECT_EQ(picture.Alpha(2, 2), 0);

    // In a contact sheet the tiles' background is transparent; the gaps and labels stay opaque.
    const testing::ToolRun sheetRun =
        Run("contact-sheet", {"--rows", "0", "--tile", "160x120", "--background", "transparent"});
    ASSERT_EQ(sheetRun.exitCode, 0) << sheetRun.err;
    const Picture sheet = ReadPng(output);
    ASSERT_NE(sheet.rgba, nullptr) << "not a PNG";
    const authoring::ContactSheetLayout layout = authoring::MakeContactSheetLayout(1, 160, 120);
    const int x = static_cast<int>(layout.TileX(0)), y = static_cast<int>(layout.TileY(0));
    EXPECT_EQ(sheet.Alpha(x + 80, y + 60), 255);
    EXPECT_EQ(sheet.Alpha(x + 2, y + 2), 0);
    EXPECT_EQ(sheet.Alpha(0, 0), 255);
}

TEST_F(ToolRenderTest, AnyModelIsDrawnWithAnyTextureFileOrEntryOrInWhite) {
    ASSERT_NE(RenderRow0({}).rgba, nullptr);
    const std::string rowFrame = testing::ReadFileText(output);
    ASSERT_FALSE(rowFrame.empty());
    const fs::path files = directory.path / "files";
    const std::string entry = archive.string() + ":";
    ASSERT_EQ(Tool({"extract", archive.string(), "97-98", "-o", files.string()}).exitCode, 0);
    ASSERT_EQ(Tool({"g1t-to-dds", (files / "97.g1t").string(), "-o", (files / "97.dds").string()}).exitCode,
              0);
    // Row 0 is model 98 with texture pack 97: named as entries or files, with the pack or its DDS image,
    // the same frame.
    for (const auto& [model, texture] : {std::pair{entry + "98", entry + "97"},
                                         std::pair{(files / "98.g1m").string(), (files / "97.g1t").string()},
                                         std::pair{entry + "98", (files / "97.dds").string()}}) {
        SCOPED_TRACE(model + " with " + texture);
        fs::remove(output);
        const testing::ToolRun run =
            Tool({"render", model, "--texture", texture, "--size", "160x120", "-o", output.string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(testing::ReadFileText(output) == rowFrame);
    }

    const testing::ToolRun white = Tool({"render", entry + "98", "--size", "160x120", "-o", output.string()});
    ASSERT_EQ(white.exitCode, 0) << white.err;
    const Picture picture = ReadPng(output);
    ASSERT_NE(picture.rgba, nullptr) << "not a PNG";
    ExpectNear(picture.At(80, 60), {255, 255, 255});
    ExpectNear(picture.At(2, 2), {0, 0, 0});

    // Hostile or mistaken inputs: one line naming the input, and no picture.
    const fs::path garbage = directory.path / "garbage.g1m";
    std::ofstream(garbage, std::ios::binary) << "G1M_ but nothing a model holds";
    const std::string image = testing::ReadFileText(files / "97.dds");
    const std::string cutImage = image.substr(0, image.size() - 2);
    std::ofstream(files / "cut.dds", std::ios::binary) << cutImage;
    fs::remove(output);
    for (const auto& [model, texture, named] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {garbage.string(), "", garbage.string()},
             {entry + "97", "", entry + "97"},
             {archive.string(), "", archive.string()},
             {entry + "98", entry + "98", entry + "98"},
             {entry + "98", (files / "cut.dds").string(), (files / "cut.dds").string()},
             {entry + "98", (files / "missing.g1t").string(), (files / "missing.g1t").string()},
             {entry + "98", entry + "5", entry + "5"}}) {
        SCOPED_TRACE(model + " with " + texture);
        std::vector<std::string> arguments = {"render", model, "-o", output.string()};
        if (!texture.empty()) {
            arguments.insert(arguments.end(), {"--texture", texture});
        }
        testing::ExpectOneLineRefusal(Tool(arguments), named + ": ");
        EXPECT_FALSE(fs::exists(output));
    }
    EXPECT_NE(Render({"--row", "0", "--texture", entry + "97"}).exitCode, 0)
        << "a row brings its own texture";
}

TEST_F(ToolRenderTest, BadArgumentsFailWithOneLineAndWriteNothing) {
    for (const std::vector<std::string>& wrong :
         std::vector<std::vector<std::string>>{{"--row", "332"},
                                               {"--row", "0", "--size", "0x10"},
                                               {"--row", "1"},
                                               {"--row", "0", "--background", "12345G"},
                                               {"--row", "0", "--pitch", "90"}}) {
        SCOPED_TRACE(wrong[1]);
        testing::ExpectOneLineRefusal(Render(wrong));
        EXPECT_FALSE(fs::exists(output));
    }
}

TEST_F(ToolRenderTest, ContactSheetTilesAreTheFramesRenderDrawsWithTheSameViewOptions) {
    const std::vector<std::string> view = {"--yaw", "30",          "--pitch", "-20",          "--zoom",
                                           "1.5",   "--wireframe", "--lit",   "--background", "336699"};
    for (const bool withView : {false, true}) {
        SCOPED_TRACE(withView ? "with the view options" : "without them");
        std::vector<std::string> sheetOptions = {"--rows", "0", "--tile", "160x120"};
        std::vector<std::string> renderOptions = {"--row", "0", "--size", "160x120", "--time-ms", "500"};
        if (withView) {
            sheetOptions.insert(sheetOptions.end(), view.begin(), view.end());
            renderOptions.insert(renderOptions.end(), view.begin(), view.end());
        }
        const testing::ToolRun sheetRun = Run("contact-sheet", sheetOptions);
        ASSERT_EQ(sheetRun.exitCode, 0) << sheetRun.err;
        const Picture sheet = ReadPng(output);
        ASSERT_NE(sheet.rgba, nullptr) << "not a PNG";
        const testing::ToolRun renderRun = Render(renderOptions);
        ASSERT_EQ(renderRun.exitCode, 0) << renderRun.err;
        const Picture frame = ReadPng(output);
        ASSERT_NE(frame.rgba, nullptr) << "not a PNG";

        const authoring::ContactSheetLayout layout = authoring::MakeContactSheetLayout(1, 160, 120);
        int different = 0;
        for (int y = 0; y < 120; ++y) {
            for (int x = 0; x < 160; ++x) {
                different += sheet.At(static_cast<int>(layout.TileX(0)) + x,
                                      static_cast<int>(layout.TileY(0)) + y) != frame.At(x, y);
            }
        }
        EXPECT_EQ(different, 0);
        ExpectNear(frame.At(2, 2), withView ? std::array{0x33, 0x66, 0x99} : std::array{0, 0, 0});
    }
    fs::remove(output);
    testing::ExpectOneLineRefusal(Run("contact-sheet", {"--rows", "0", "--background", "blue"}));
    EXPECT_FALSE(fs::exists(output));
}

} // namespace
} // namespace tavro
