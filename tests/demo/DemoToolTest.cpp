// tavro make-demo, contact-sheet and render --rows, run as the built program on a small demo archive.
#include "app/ModelSchedule.h"
#include "archive/BinArchive.h"
#include "authoring/demo/ContactSheet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace tavro::authoring {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int exitCode = -1;
    std::string err;
};

std::uint32_t BigEndian32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DemoToolTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new fs::path(fs::temp_directory_path() / ("tavro-demo-tool-" + std::to_string(::getpid())));
        fs::remove_all(*folder);
        fs::create_directories(*folder);
        const RunResult demo = Run("make-demo '" + (*folder / "demo").string() + "' --scale 0.01");
        made = demo.exitCode == 0;
        madeLog = new std::string(demo.err);
    }
    static void TearDownTestSuite() {
        fs::remove_all(*folder);
        delete folder;
        delete madeLog;
    }

    static RunResult Run(const std::string& arguments) {
        const fs::path err = *folder / "stderr.txt";
        const std::string command =
            std::string("'") + TAVRO_TOOL_PATH + "' " + arguments + " >/dev/null 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(err)};
    }
    // The last line written to stderr (on a terminal progress lines would end in carriage returns).
    static std::string LastLine(const std::string& text) {
        const std::size_t end = text.find_last_not_of('\n');
        const std::size_t start = text.find_last_of("\r\n", end);
        return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
    }

    static fs::path* folder;
    static bool made;
    static std::string* madeLog; // make-demo's stderr, which went to a file
};

fs::path* DemoToolTest::folder = nullptr;
bool DemoToolTest::made = false;
std::string* DemoToolTest::madeLog = nullptr;

TEST_F(DemoToolTest, ProgressGoesToAFileAsWholeLines) {
    ASSERT_TRUE(made);
    EXPECT_EQ(madeLog->find('\r'), std::string::npos) << *madeLog;
    EXPECT_NE(madeLog->find("make-demo: 8/332 rows\nmake-demo: 16/332 rows\n"), std::string::npos)
        << *madeLog;
}

TEST_F(DemoToolTest, ContactSheetHasOneTilePerRowAndMarksRowsThatFail) {
    ASSERT_TRUE(made);
    const fs::path archive = *folder / "demo" / "LINKDATA1.bin";
    const fs::path sheet = *folder / "sheet.png";
    const RunResult good = Run("contact-sheet '" + archive.string() + "' -o '" + sheet.string() +
                               "' --rows 200-203 --tile 64x48");
    ASSERT_EQ(good.exitCode, 0) << good.err;
    const ContactSheetLayout layout = MakeContactSheetLayout(4, 64, 48);
    const std::string png = ReadText(sheet);
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(BigEndian32(png, 16), layout.SheetWidth());
    EXPECT_EQ(BigEndian32(png, 20), layout.SheetHeight());

    // Cut the data file just before row 202's texture: rows 202 and 203 can no longer be drawn.
    CKOEIFile_BIN_OROCHIZ reader;
    ASSERT_TRUE(reader.Open(archive.wstring().c_str(), 0));
    const std::uint64_t cut = reader.GetEntryOffset(ModelSchedule()[202].textureEntry);
    reader.Close();
    fs::resize_file(archive, cut);
    const RunResult damaged = Run("contact-sheet '" + archive.string() + "' -o '" + sheet.string() +
                                  "' --rows 200-203 --tile 64x48");
    EXPECT_NE(damaged.exitCode, 0);
    EXPECT_NE(LastLine(damaged.err).find("2 of 4 rows"), std::string::npos) << damaged.err;
    EXPECT_EQ(BigEndian32(ReadText(sheet), 16), layout.SheetWidth()) << "the sheet is still written";
}

TEST_F(DemoToolTest, RenderRowsWritesWhatEachRowsOwnRenderWritesOrNothing) {
    ASSERT_TRUE(made);
    const fs::path archive = *folder / "demo" / "LINKDATA1.bin";
    const std::string common = "render '" + archive.string() + "' --size 64x48 --time-ms 700 ";
    const fs::path rows = *folder / "rows" / "made";
    const RunResult many = Run(common + "--rows 198-201 -o '" + rows.string() + "'");
    ASSERT_EQ(many.exitCode, 0) << many.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(rows), fs::directory_iterator()), 4);
    for (const std::string row : {"198", "199", "200", "201"}) {
        SCOPED_TRACE(row);
        const fs::path single = *folder / ("row-" + row + ".png");
        ASSERT_EQ(Run(common + "--row " + row + " -o '" + single.string() + "'").exitCode, 0);
        EXPECT_TRUE(ReadText(single) == ReadText(rows / ("row-" + row + ".png")));
    }

    // Row 202 cannot be drawn once the data file ends before its texture: no file and no folder is left.
    CKOEIFile_BIN_OROCHIZ reader;
    ASSERT_TRUE(reader.Open(archive.wstring().c_str(), 0));
    const std::uint64_t cut = reader.GetEntryOffset(ModelSchedule()[202].textureEntry);
    reader.Close();
    fs::resize_file(archive, cut);
    const RunResult damaged = Run(common + "--rows 200-203 -o '" + (*folder / "cut" / "rows").string() + "'");
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_EQ(damaged.err.find('\n'), damaged.err.size() - 1) << damaged.err;
    EXPECT_NE(damaged.err.find("202"), std::string::npos) << damaged.err;
    EXPECT_FALSE(fs::exists(*folder / "cut"));
}

TEST_F(DemoToolTest, BadArgumentsFailWithOneLine) {
    const std::string archive = "'" + (*folder / "demo" / "LINKDATA1.bin").string() + "'";
    const fs::path blocker = *folder / "a-file";
    std::ofstream(blocker) << "x";
    for (const std::string& arguments :
         std::vector<std::string>{"contact-sheet " + archive + " -o x.png --tile 10x10",
                                  "contact-sheet " + archive + " -o x.png --rows 5-2",
                                  "contact-sheet " + archive + " -o x.png --rows 0-332",
                                  std::string("contact-sheet missing.bin -o x.png"),
                                  "make-demo '" + (blocker / "demo").string() + "'"}) {
        SCOPED_TRACE(arguments);
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }
    EXPECT_FALSE(fs::exists(blocker / "demo"));

    // A sheet too large for the PNG encoder is refused before any row is drawn.
    const RunResult huge =
        Run("contact-sheet " + archive + " -o '" + (*folder / "huge.png").string() + "' --tile 2048x2048");
    EXPECT_EQ(huge.exitCode, 1);
    EXPECT_EQ(huge.err.rfind("tavro: the contact sheet: an image of 43184 x 33800 pixels is too large", 0),
              0u)
        << huge.err;
    EXPECT_FALSE(fs::exists(*folder / "huge.png"));

    // An index name taken by a folder stops make-demo before anything is written.
    fs::create_directories(*folder / "blocked" / "LINKDATA1.idx");
    const RunResult taken = Run("make-demo '" + (*folder / "blocked").string() + "' --scale 0.01");
    EXPECT_NE(taken.err.find("LINKDATA1.idx: is a folder"), std::string::npos) << taken.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(*folder / "blocked"), fs::directory_iterator()), 1);

    const RunResult full = Run("contact-sheet " + archive + " -o /dev/full --rows 0");
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(LastLine(full.err), "tavro: /dev/full: writing failed (No space left on device)");
}

} // namespace
} // namespace tavro::authoring
