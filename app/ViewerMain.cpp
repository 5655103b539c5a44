// tavro-viewer: shows the models of LINKDATA1.bin in the working directory, one every 4 s. It takes no
// arguments and writes nothing; its exit code is the quit message's.
#include "app/ModelCycler.h"
#include "app/RenderingViewer.h"
#include "app/Viewer.h"
#include "gpu/opengl/AllocatorTuning.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "platform/sdl/SdlGLContext.h"
#include "platform/sdl/SdlPlatform.h"
#include "render/RendererState.h"

int main() {
    tavro::gpu::opengl::TuneAllocatorForSoftwareRendering();
    // Destroyed in reverse order: the renderer's objects go while the window's context still exists.
    tavro::platform::CSdlPlatform platform;
    tavro::platform::CSdlGLContext context(platform);
    tavro::gpu::opengl::OpenGLFactory factory;
    tavro::RendererState renderer;
    tavro::CModelCycler cycler(renderer);
    tavro::CRenderingViewer viewer(renderer, factory, static_cast<tavro::gpu::opengl::IGLContext*>(&context),
                                   cycler);
    return tavro::RunViewer(platform, viewer);
}
