// tavro make-demo, contact-sheet and render --rows, run as the built program on a small demo archive.
#include "app/ModelSchedule.h"
#include "archive/BinArchive.h"
#include "authoring/demo/ContactSheet.h"
#include "tests/tools/DemoArchiveSuite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tavro::authoring {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileText;
using testing::ToolRun;

class DemoToolTest : public testing::DemoArchiveSuite {
protected:
    // Ends the data file just before row 202's texture: rows 202 and 203 can no longer be drawn.
    static void CutBeforeRow202sTexture(const fs::path& archive) {
        CKOEIFile_BIN_OROCHIZ reader;
        ASSERT_TRUE(reader.Open(archive.wstring().c_str(), 0));
        const std::uint64_t cut = reader.GetEntryOffset(ModelSchedule()[202].textureEntry);
        reader.Close();
        fs::resize_file(archive, cut);
    }
    // The last line written to stderr (on a terminal progress lines would end in carriage returns).
    static std::string LastLine(const std::string& text) {
        const std::size_t end = text.find_last_not_of('\n');
        const std::size_t start = text.find_last_of("\r\n", end);
        return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
    }
};

TEST_F(DemoToolTest, ProgressGoesToAFileAsWholeLines) {
    EXPECT_EQ(makeDemoLog->find('\r'), std::string::npos) << *makeDemoLog;
    EXPECT_NE(makeDemoLog->find("make-demo: 8/332 rows\nmake-demo: 16/332 rows\n"), std::string::npos)
        << *makeDemoLog;
}

TEST_F(DemoToolTest, ContactSheetHasOneTilePerRowAndMarksRowsThatFail) {
    const fs::path archive = Archive();
    const fs::path sheet = folder->path / "sheet.png";
    const std::vector<std::string> sheetOfFour = {"contact-sheet", archive.string(), "-o",     sheet.string(),
                                                  "--rows",        "200-203",        "--tile", "64x48"};
    const ToolRun good = Run(sheetOfFour);
    ASSERT_EQ(good.exitCode, 0) << good.err;
    const ContactSheetLayout layout = MakeContactSheetLayout(4, 64, 48);
    EXPECT_EQ(testing::PngSize(sheet), std::pair(layout.SheetWidth(), layout.SheetHeight()));

    ASSERT_NO_FATAL_FAILURE(CutBeforeRow202sTexture(archive));
    const ToolRun damaged = Run(sheetOfFour);
    EXPECT_NE(damaged.exitCode, 0);
    EXPECT_NE(LastLine(damaged.err).find("2 of 4 rows"), std::string::npos) << damaged.err;
    EXPECT_EQ(testing::PngSize(sheet).first, layout.SheetWidth()) << "the sheet is still written";
}

TEST_F(DemoToolTest, RenderRowsWritesWhatEachRowsOwnRenderWritesOrNothing) {
    const fs::path archive = Archive();
    const auto render = [&](const std::string& rowOption, const std::string& rows, const fs::path& out) {
        return Run({"render", archive.string(), "--size", "64x48", "--time-ms", "700", rowOption, rows, "-o",
                    out.string()});
    };
    const fs::path rows = folder->path / "rows" / "made";
    const ToolRun many = render("--rows", "198-201", rows);
    ASSERT_EQ(many.exitCode, 0) << many.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(rows), fs::directory_iterator()), 4);
    for (const std::string row : {"198", "199", "200", "201"}) {
        SCOPED_TRACE(row);
        const fs::path single = folder->path / ("row-" + row + ".png");
        ASSERT_EQ(render("--row", row, single).exitCode, 0);
        EXPECT_TRUE(ReadFileText(single) == ReadFileText(rows / ("row-" + row + ".png")));
    }

    // A row that cannot be drawn fails the run: no file and no folder is left.
    ASSERT_NO_FATAL_FAILURE(CutBeforeRow202sTexture(archive));
    const ToolRun damaged = render("--rows", "200-203", folder->path / "cut" / "rows");
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_EQ(damaged.err.find('\n'), damaged.err.size() - 1) << damaged.err;
    EXPECT_NE(damaged.err.find("202"), std::string::npos) << damaged.err;
    EXPECT_FALSE(fs::exists(folder->path / "cut"));
}

TEST_F(DemoToolTest, BadArgumentsFailWithOneLine) {
    const std::string archive = Archive().string();
    const fs::path blocker = folder->path / "a-file";
    std::ofstream(blocker) << "x";
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"contact-sheet", archive, "-o", "x.png", "--tile", "10x10"},
                                               {"contact-sheet", archive, "-o", "x.png", "--rows", "5-2"},
                                               {"contact-sheet", archive, "-o", "x.png", "--rows", "0-332"},
                                               {"contact-sheet", "missing.bin", "-o", "x.png"},
                                               {"make-demo", (blocker / "demo").string()}}) {
        SCOPED_TRACE(arguments.back());
        testing::ExpectOneLineRefusal(Run(arguments));
    }
    EXPECT_FALSE(fs::exists(blocker / "demo"));

    // A sheet too large for the PNG encoder is refused before any row is drawn.
    const ToolRun huge =
        Run({"contact-sheet", archive, "-o", (folder->path / "huge.png").string(), "--tile", "2048x2048"});
    EXPECT_EQ(huge.exitCode, 1);
    EXPECT_EQ(huge.err.rfind("tavro: the contact sheet: an image of 43184 x 33800 pixels is too large", 0),
              0u)
        << huge.err;
    EXPECT_FALSE(fs::exists(folder->path / "huge.png"));

    // An index name taken by a folder stops make-demo before anything is written.
    fs::create_directories(folder->path / "blocked" / "LINKDATA1.idx");
    const ToolRun taken = Run({"make-demo", (folder->path / "blocked").string(), "--scale", "0.01"});
    EXPECT_NE(taken.err.find("LINKDATA1.idx: is a folder"), std::string::npos) << taken.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder->path / "blocked"), fs::directory_iterator()), 1);

    // Windows has no device that refuses writes like /dev/full.
#ifndef _WIN32
    const ToolRun full = Run({"contact-sheet", archive, "-o", "/dev/full", "--rows", "0"});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(LastLine(full.err), "tavro: /dev/full: writing failed (No space left on device)");
#endif
}

} // namespace
} // namespace tavro::authoring
