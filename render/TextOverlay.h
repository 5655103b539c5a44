#pragma once
// Text drawn over the frame through the graphics layer with our own bitmap font, so every backend shows
// the same: blocks of lines on an opaque dark panel, placed at a corner or in the middle of the client
// area. Its device objects are made on first use, so a run that never shows text makes none of them.
#include "gpu/Ref.h"
#include "render/RendererState.h"

#include <array>
#include <string>
#include <vector>

namespace tavro {

enum class TextPlacement { TopLeft, Centre, BottomLeft };

struct TextBlock {
    std::vector<std::string> lines; // UTF-8
    TextPlacement placement = TextPlacement::TopLeft;
    std::array<float, 4> colour = {1.0f, 1.0f, 1.0f, 1.0f};
};

// Font pixels per glyph pixel, and the pixel rows between lines and around a panel.
constexpr std::uint32_t kTextScale = 2;
constexpr std::uint32_t kTextLineHeight = 9 * kTextScale;
constexpr std::uint32_t kTextMargin = 8;

class CTextOverlay final : public IFrameOverlay {
public:
    // The blocks drawn from the next frame on; none draws nothing.
    void SetBlocks(std::vector<TextBlock> blocks) { blocks_ = std::move(blocks); }
    bool IsEmpty() const { return blocks_.empty(); }

    // Draws the blocks with the device of state (see IFrameOverlay). False, drawing nothing, when there
    // are none or the overlay's objects cannot be made; a later frame tries to make them again.
    bool Draw(RendererState& state, ClientSize client) override;

    // Releases the device objects (before the device goes).
    void Release();

private:
    bool CreateObjects(RendererState& state);

    std::vector<TextBlock> blocks_;
    gpu::Ref<gpu::IShaderResourceView> fontView_;
    gpu::Ref<gpu::IVertexShader> vertexShader_;
    gpu::Ref<gpu::IPixelShader> pixelShader_;
    gpu::Ref<gpu::IInputLayout> inputLayout_;
    gpu::Ref<gpu::IBuffer> vertexBuffer_;
    gpu::Ref<gpu::IBuffer> indexBuffer_;
};

} // namespace tavro
