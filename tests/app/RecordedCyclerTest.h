#pragma once
// A model cycler over LINKDATA1.bin in a folder of its own, loading into a renderer on the recording
// backend, and the headless platform a viewer around them runs on.
#include "app/ModelCycler.h"
#include "app/RenderingViewer.h"
#include "gpu/recording/RecordingFactory.h"
#include "platform/headless/HeadlessPlatform.h"
#include "render/RenderModel.h"
#include "render/RendererState.h"
#include "tests/TempDirectory.h"
#include "tests/app/ScheduleArchive.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavro::apptest {

class RecordedCyclerTest : public ::testing::Test {
protected:
    void WriteArchive(const ScheduleArchiveOptions& options = {}) {
        ASSERT_EQ(WriteScheduleArchive(archive, options), "");
    }
    int CurrentRow() const { return RowShown(state); }

    testing::TempDirectory folder;
    std::filesystem::path archive = folder.path / "LINKDATA1.bin";
    platform::CHeadlessPlatform platform;
    gpu::recording::Recorder recorder;
    gpu::recording::RecordingFactory factory{recorder};
    RendererState state;
    CModelCycler cycler{state, archive.wstring()};
    int gpuWindow = 0;
    CRenderingViewer renderer{state, factory, &gpuWindow, cycler};
};

} // namespace tavro::apptest
