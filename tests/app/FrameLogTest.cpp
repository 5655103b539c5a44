// The frame-time log: its header once per file, one line per presented frame, and the switch flag.
#include "app/FrameLog.h"
#include "app/ModelCycler.h"
#include "gpu/recording/RecordingFactory.h"
#include "render/RendererState.h"
#include "tests/TempDirectory.h"
#include "tests/app/ScheduleArchive.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tavro {
namespace {

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The fields of a CSV line.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, ',');) {
        fields.push_back(field);
    }
    if (!line.empty() && line.back() == ',') {
        fields.emplace_back();
    }
    return fields;
}

TEST(FrameLogTest, AppendsOneLinePerFrameUnderOneHeaderAndFlagsSwitches) {
    testing::TempDirectory folder;
    const std::filesystem::path archive = folder.path / "LINKDATA1.bin";
    ASSERT_EQ(apptest::WriteScheduleArchive(archive), "");
    const std::filesystem::path logPath = folder.path / "frames.csv";
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        gpu::recording::Recorder recorder;
        gpu::recording::RecordingFactory factory(recorder);
        CFrameLog log;
        std::string error;
        ASSERT_TRUE(log.Open(logPath, error)) << error;
        RendererState state;
        int window = 0;
        ASSERT_TRUE(InitDevice(state, factory, &window,
                               RenderHost{[] { return 0u; },
                                          [] {
                                              return ClientSize{64, 48};
                                          }}));
        CModelCycler cycler(state, archive.wstring());
        log.Attach(state, cycler);
        ASSERT_TRUE(cycler.LoadNextModel());
        RenderCurrentModel(state);
        RenderCurrentModel(state);
        ASSERT_TRUE(cycler.LoadNextModel());
        RenderCurrentModel(state);
    }
    const std::vector<std::string> lines = ReadLines(logPath);
    ASSERT_EQ(lines.size(), 7u); // the header once, then three frames per run
    EXPECT_EQ(lines[0], "frame,row,switched,main_ms,frame_ms");
    const char* const expected[][3] = {{"0", "0", "1"}, {"1", "0", "0"}, {"2", "1", "1"}};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        const std::vector<std::string> fields = Fields(lines[i]);
        ASSERT_EQ(fields.size(), 5u);
        const auto& [frame, row, switched] = expected[(i - 1) % 3];
        EXPECT_EQ(fields[0], frame);
        EXPECT_EQ(fields[1], row);
        EXPECT_EQ(fields[2], switched);
        EXPECT_GE(std::stod(fields[3]), 0.0);
        EXPECT_EQ(fields[4].empty(), fields[0] == "0"); // the first frame has no previous present
    }
}

TEST(FrameLogTest, UnwritablePathIsOneLine) {
    testing::TempDirectory folder;
    CFrameLog log;
    std::string error;
    EXPECT_FALSE(log.Open(folder.path / "missing" / "frames.csv", error));
    EXPECT_NE(error.find("--frame-log"), std::string::npos);
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

} // namespace
} // namespace tavro
