// load-soak ARCHIVE.bin LOADS: the model cycler's loads one after another, each followed by one frame,
// on OpenGL through a headless EGL context, as the viewer does every four seconds. Prints the resident
// memory after each full cycle of the schedule and, at the end, its spread over the cycles after the
// first, so a script can tell that memory stays flat; LeakSanitizer builds report any leak at exit.
// Each reading is taken after malloc_trim: the renderer raises the allocator's trim threshold, so
// without it the free memory the allocator keeps (which steps up whenever fragmentation moves the
// heap's top) would read as growth. The untrimmed figure is printed beside it.
// Exits 1 when a load does not show its row's model.
#include "app/ModelCycler.h"
#include "app/ModelSchedule.h"
#include "file/WidePath.h"
#include "gpu/opengl/AllocatorTuning.h"
#include "gpu/opengl/EglHeadlessContext.h"
#include "gpu/opengl/OpenGLFactory.h"
#include "render/RendererState.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

// Resident set size in KiB, from /proc/self/status.
long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// Bytes of the C heap in use (small blocks and mapped ones): what a leak would grow, as opposed to free
// memory the allocator keeps (the renderer raises its trim threshold, so freed memory stays resident).
long HeapInUseKiB() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

} // namespace

int main(int argc, char** argv) {
    using namespace tavro;
    if (argc != 3) {
        std::fprintf(stderr, "usage: load-soak ARCHIVE.bin LOADS\n");
        return 2;
    }
    const long loads = std::strtol(argv[2], nullptr, 10);
    gpu::opengl::TuneAllocatorForSoftwareRendering();
    gpu::opengl::EglHeadlessContext context; // outlives every graphics object made on it
    gpu::opengl::OpenGLFactory factory;
    std::uint32_t tick = 0;
    RendererState renderer;
    if (!InitDevice(renderer, factory, static_cast<gpu::opengl::IGLContext*>(&context),
                    RenderHost{[&tick] { return tick; },
                               [] {
                                   return ClientSize{640, 480};
                               }})) {
        std::fprintf(stderr, "load-soak: the OpenGL device cannot be set up\n");
        return 1;
    }
    CModelCycler cycler(renderer, Utf8ToWide(argv[1]));
    std::vector<long> cycleResident;
    for (long load = 0; load < loads; ++load) {
        const std::uint32_t row = cycler.GetCounter();
        if (!cycler.LoadNextModel() || cycler.GetStatus().outcome != LoadOutcome::Shown) {
            std::fprintf(stderr, "load-soak: load %ld (row %u) did not show its model: %s\n", load, row,
                         cycler.GetStatus().failure.c_str());
            return 1;
        }
        tick += 4000;
        RenderCurrentModel(renderer);
        if ((load + 1) % kModelScheduleRowCount == 0 || load + 1 == loads) {
            const long untrimmed = ResidentKiB();
            malloc_trim(0);
            cycleResident.push_back(ResidentKiB());
            std::printf("after %ld loads: resident %ld KiB (%ld KiB before trimming), heap in use %ld KiB\n",
                        load + 1, cycleResident.back(), untrimmed, HeapInUseKiB());
        }
    }
    if (cycleResident.size() > 1) {
        const auto [low, high] = std::minmax_element(cycleResident.begin() + 1, cycleResident.end());
        std::printf("resident after the first cycle: min %ld KiB, max %ld KiB, spread %ld KiB\n", *low, *high,
                    *high - *low);
    }
    return 0;
}
