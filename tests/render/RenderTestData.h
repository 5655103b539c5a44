#pragma once
// Models, textures and a recording renderer for the renderer's tests and benchmarks, all generated
// with the authoring writers.
#include "gpu/recording/RecordingFactory.h"
#include "render/RendererState.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tavro::rendertest {

// The colours of the quadrant texture, RGBA: its top-left, top-right, bottom-left and bottom-right
// quarters as stored (u to the right, v down).
constexpr std::uint8_t kTopLeft[4] = {255, 0, 0, 255};
constexpr std::uint8_t kTopRight[4] = {0, 255, 0, 255};
constexpr std::uint8_t kBottomLeft[4] = {0, 0, 255, 255};
constexpr std::uint8_t kBottomRight[4] = {255, 255, 255, 255};

// A G1T pack of one size x size texture in the given G1T format, split into the four quadrant colours.
std::vector<std::uint8_t> MakeQuadrantG1T(std::uint8_t format, std::uint32_t size = 16);

// A G1M model of the square x in [-1, 1], y in [0, 2] at z = 0, visible from both sides (one strip per
// winding, cut by 0xFFFF), with u = (x + 1) / 2 and v = (2 - y) / 2. Its bounding box has extent 2, so
// the fit scales it by 3 into [-3, 3] x [-3, 3]. Each submesh draws both strips; the first has no joint
// map (identity matrix), every further one is moved by a root bone at (k, 2k, 3k) for submesh k.
std::vector<std::uint8_t> MakeQuadG1M(std::uint32_t submeshCount = 1);

// Builds the model from the two files' bytes.
bool CreateModel(CRenderModel& model, const std::vector<std::uint8_t>& g1m,
                 const std::vector<std::uint8_t>& g1t);

// Any non-null window handle: the recording backend does not look at it.
gpu::WindowHandle FakeWindow();

// A renderer over the recording backend, with a tick counter and client size the test sets.
struct RecordingRenderer {
    gpu::recording::Recorder recorder;
    gpu::recording::RecordingFactory factory{recorder};
    std::uint32_t tick = 0;
    ClientSize clientSize{1280, 960};
    // Destroyed before the recorder it records into, or earlier by DestroyState.
    std::unique_ptr<RendererState> state = std::make_unique<RendererState>();

    RenderHost Host();
    bool Init() { return InitDevice(*state, factory, FakeWindow(), Host()); }
    void DestroyState() { state.reset(); }
    // Builds a model from the two files' bytes and makes it current when the build succeeds.
    bool LoadModel(const std::vector<std::uint8_t>& g1m, const std::vector<std::uint8_t>& g1t);
};

} // namespace tavro::rendertest
