// tavro-viewer [ARCHIVE.bin] [--row R] [--paused] [--frame-log FILE]: shows the models of an archive, one
// every 4 s; without arguments those of LINKDATA1.bin in the working directory. --help and --version print
// their text and exit. A wrong argument is one line on stderr and exit code 2; otherwise the exit code is the
// quit message's.
#include "app/FrameLog.h"
#include "app/ModelCycler.h"
#include "app/RenderingViewer.h"
#include "app/Viewer.h"
#include "app/ViewerArguments.h"
#include "app/ViewerInfoArguments.h"
#include "app/ViewerSession.h"
#include "gpu/opengl/AllocatorTuning.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "platform/sdl/SdlGLContext.h"
#include "platform/sdl/SdlPlatform.h"
#include "render/RendererState.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    const std::vector<std::string> commandLine(argv + std::min(argc, 1), argv + argc);
    if (const std::optional<std::string> info = tavro::ViewerInfoText("tavro-viewer", commandLine)) {
        return std::fputs(info->c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
    }
    std::string error;
    std::optional<tavro::ViewerArguments> arguments = tavro::ParseViewerArguments(commandLine, error);
    if (!arguments) {
        std::fprintf(stderr, "tavro-viewer: %s (%s)\n", error.c_str(), tavro::kViewerUsage);
        return 2;
    }
    tavro::CFrameLog frameLog; // outlives the renderer, whose frames it logs
    if (arguments->frameLog && !frameLog.Open(std::filesystem::u8path(*arguments->frameLog), error)) {
        std::fprintf(stderr, "tavro-viewer: %s\n", error.c_str());
        return 2;
    }
    tavro::gpu::opengl::TuneAllocatorForSoftwareRendering();
    // Destroyed in reverse order: the renderer's objects go while the window's context still exists.
    tavro::platform::CSdlPlatform platform;
    tavro::platform::CSdlGLContext context(platform);
    tavro::gpu::opengl::OpenGLFactory factory;
    tavro::RendererState renderer;
    tavro::CModelCycler cycler(renderer);
    tavro::CRenderingViewer viewer(renderer, factory, static_cast<tavro::gpu::opengl::IGLContext*>(&context),
                                   cycler);
    tavro::StartUserRun(cycler, *arguments);
    if (arguments->frameLog) {
        viewer.LogFrames(&frameLog);
    }
    tavro::CViewerSession session(platform, viewer, cycler, renderer, std::move(*arguments));
    return tavro::RunViewer(platform, session, &session);
}
