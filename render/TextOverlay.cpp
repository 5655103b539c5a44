#include "render/TextOverlay.h"

#include "render/BitmapFont.h"
#include "render/Camera.h"
#include "render/ShaderSources.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace tavro {
namespace {

// The font texture: 16 × 8 cells of 6 × 8 texels, each glyph at its cell's top-left with a blank
// column and row beside it, so filtering never reaches a neighbour. The last cell is solid (the panel).
// Unlit texels hold the panel's colour, which the pixel shader shows around each glyph.
constexpr std::uint32_t kCellWidth = font::kGlyphWidth + 1;
constexpr std::uint32_t kCellHeight = font::kGlyphHeight + 1;
constexpr std::uint32_t kColumns = 16;
constexpr std::uint32_t kRows = 8;
constexpr std::uint32_t kAtlasWidth = kColumns * kCellWidth;
constexpr std::uint32_t kAtlasHeight = kRows * kCellHeight;
constexpr std::uint32_t kSolidCell = kColumns * kRows - 1;
// Cells 0-94 hold ' ' to '~'; then the extra characters.
constexpr char32_t kExtraCharacters[] = {U'\u00B0', U'\u00B7', U'\u2014'};

constexpr std::uint32_t kMaxQuads = 16384 / 4; // 16-bit indices
constexpr std::array<float, 4> kPanelColour = {0.08f, 0.08f, 0.1f, 1.0f};
// Glyphs lie in front of their panel, and both in front of the cleared depth of 1.
constexpr float kPanelDepth = 0.5f;
constexpr float kGlyphDepth = 0.25f;

struct OverlayVertex {
    float x, y, z;
    float u, v;
    float r, g, b, a;
};

constexpr gpu::InputElementDesc kOverlayElements[] = {
    {"POSITION", 0, gpu::Format::R32G32B32_Float, 0, 0, gpu::InputClassification::PerVertexData, 0},
    {"TEXCOORD", 0, gpu::Format::R32G32_Float, 0, 12, gpu::InputClassification::PerVertexData, 0},
    {"COLOR", 0, gpu::Format::R32G32B32A32_Float, 0, 20, gpu::InputClassification::PerVertexData, 0},
};

// The cell of a character, or -1 when the font has no glyph for it.
int CellOf(char32_t character) {
    if (character >= U' ' && character <= U'~') {
        return static_cast<int>(character - U' ');
    }
    for (std::size_t i = 0; i < std::size(kExtraCharacters); ++i) {
        if (kExtraCharacters[i] == character) {
            return static_cast<int>(95 + i);
        }
    }
    return -1;
}

std::vector<std::uint8_t> BuildAtlas() {
    std::vector<std::uint8_t> rgba(std::size_t{kAtlasWidth} * kAtlasHeight * 4, 0);
    for (std::size_t texel = 0; texel < rgba.size(); texel += 4) {
        for (std::size_t channel = 0; channel < 3; ++channel) {
            rgba[texel + channel] = static_cast<std::uint8_t>(std::lround(kPanelColour[channel] * 255.0f));
        }
    }
    const auto light = [&](std::uint32_t x, std::uint32_t y) {
        std::memset(&rgba[(std::size_t{y} * kAtlasWidth + x) * 4], 0xFF, 4);
    };
    for (std::uint32_t cell = 0; cell < kSolidCell; ++cell) {
        const char32_t character = cell < 95                                 ? U' ' + cell
                                   : cell - 95 < std::size(kExtraCharacters) ? kExtraCharacters[cell - 95]
                                                                             : 0;
        const font::GlyphRows* glyph = character != 0 ? font::FindGlyph(character) : nullptr;
        if (glyph == nullptr) {
            continue;
        }
        const std::uint32_t left = (cell % kColumns) * kCellWidth;
        const std::uint32_t top = (cell / kColumns) * kCellHeight;
        for (std::uint32_t row = 0; row < font::kGlyphHeight; ++row) {
            for (std::uint32_t column = 0; column < font::kGlyphWidth; ++column) {
                if (((*glyph)[row] >> (font::kGlyphWidth - 1 - column)) & 1) {
                    light(left + column, top + row);
                }
            }
        }
    }
    for (std::uint32_t y = 0; y < kCellHeight; ++y) {
        for (std::uint32_t x = 0; x < kCellWidth; ++x) {
            light((kSolidCell % kColumns) * kCellWidth + x, (kSolidCell / kColumns) * kCellHeight + y);
        }
    }
    return rgba;
}

// Quads in clip space from pixel rectangles of the client area.
class QuadWriter {
public:
    QuadWriter(ClientSize client, std::vector<OverlayVertex>& vertices)
        : client_(client), vertices_(vertices) {}

    // The pixel rectangle [x0, x1) × [y0, y1) at depth z showing the texels [u0, u1) × [v0, v1) of the
    // atlas.
    void Add(float x0, float y0, float x1, float y1, float z, float u0, float v0, float u1, float v1,
             const std::array<float, 4>& c) {
        if (vertices_.size() / 4 >= kMaxQuads) {
            return;
        }
        const float left = -1.0f + 2.0f * x0 / static_cast<float>(client_.width);
        const float right = -1.0f + 2.0f * x1 / static_cast<float>(client_.width);
        const float top = 1.0f - 2.0f * y0 / static_cast<float>(client_.height);
        const float bottom = 1.0f - 2.0f * y1 / static_cast<float>(client_.height);
        const float su = 1.0f / kAtlasWidth;
        const float sv = 1.0f / kAtlasHeight;
        vertices_.push_back({left, top, z, u0 * su, v0 * sv, c[0], c[1], c[2], c[3]});
        vertices_.push_back({right, top, z, u1 * su, v0 * sv, c[0], c[1], c[2], c[3]});
        vertices_.push_back({left, bottom, z, u0 * su, v1 * sv, c[0], c[1], c[2], c[3]});
        vertices_.push_back({right, bottom, z, u1 * su, v1 * sv, c[0], c[1], c[2], c[3]});
    }

private:
    ClientSize client_;
    std::vector<OverlayVertex>& vertices_;
};

void LayOutBlock(const TextBlock& block, ClientSize client, QuadWriter& quads) {
    std::vector<std::u32string> lines;
    std::size_t widest = 0;
    for (const std::string& line : block.lines) {
        lines.push_back(font::DecodeUtf8(line));
        widest = std::max(widest, lines.back().size());
    }
    const float advance = static_cast<float>(font::kAdvance * kTextScale);
    const float width = static_cast<float>(widest) * advance + 2.0f * kTextMargin;
    const float height = static_cast<float>(lines.size() * kTextLineHeight) + 2.0f * kTextMargin;
    float left = kTextMargin;
    float top = kTextMargin;
    if (block.placement == TextPlacement::Centre) {
        left = std::max(0.0f, std::floor((static_cast<float>(client.width) - width) / 2.0f));
        top = std::max(0.0f, std::floor((static_cast<float>(client.height) - height) / 2.0f));
    } else if (block.placement == TextPlacement::BottomLeft) {
        top = std::max(0.0f, static_cast<float>(client.height) - height - kTextMargin);
    }
    const float solidU = (kSolidCell % kColumns) * kCellWidth + kCellWidth / 2.0f;
    const float solidV = (kSolidCell / kColumns) * kCellHeight + kCellHeight / 2.0f;
    quads.Add(left, top, left + width, top + height, kPanelDepth, solidU, solidV, solidU, solidV,
              kPanelColour);
    for (std::size_t row = 0; row < lines.size(); ++row) {
        const float y = top + kTextMargin + static_cast<float>(row * kTextLineHeight);
        for (std::size_t i = 0; i < lines[row].size(); ++i) {
            const int cell = CellOf(lines[row][i]);
            if (cell <= 0) {
                continue; // a blank or a character without a glyph
            }
            const float x = left + kTextMargin + static_cast<float>(i) * advance;
            const float u = static_cast<float>((cell % kColumns) * kCellWidth);
            const float v = static_cast<float>((cell / kColumns) * kCellHeight);
            quads.Add(x, y, x + font::kGlyphWidth * kTextScale, y + font::kGlyphHeight * kTextScale,
                      kGlyphDepth, u, v, u + font::kGlyphWidth, v + font::kGlyphHeight, block.colour);
        }
    }
}

} // namespace

bool CTextOverlay::CreateObjects(RendererState& state) {
    gpu::IDevice& device = *state.device.Get();
    const std::vector<std::uint8_t> atlas = BuildAtlas();
    gpu::Texture2DDesc textureDesc{};
    textureDesc.width = kAtlasWidth;
    textureDesc.height = kAtlasHeight;
    textureDesc.mipLevels = 1;
    textureDesc.arraySize = 1;
    textureDesc.format = gpu::Format::R8G8B8A8_UNorm;
    textureDesc.sampleDesc = {1, 0};
    textureDesc.usage = gpu::Usage::Immutable;
    textureDesc.bindFlags = gpu::kBindShaderResource;
    const gpu::SubresourceData texels{atlas.data(), kAtlasWidth * 4, 0};
    gpu::Ref<gpu::ITexture2D> texture;
    if (Failed(device.CreateTexture2D(&textureDesc, &texels, texture.Put())) ||
        Failed(device.CreateShaderResourceView(texture.Get(), nullptr, fontView_.Put()))) {
        return false;
    }
    const gpu::ShaderLanguage language = device.GetShaderLanguage();
    const std::span<const std::byte> vertexCode = OverlayVertexShader(language);
    const std::span<const std::byte> pixelCode = OverlayPixelShader(language);
    if (Failed(device.CreateVertexShader(vertexCode.data(), vertexCode.size(), vertexShader_.Put())) ||
        Failed(device.CreatePixelShader(pixelCode.data(), pixelCode.size(), pixelShader_.Put())) ||
        Failed(device.CreateInputLayout(kOverlayElements,
                                        static_cast<std::uint32_t>(std::size(kOverlayElements)),
                                        vertexCode.data(), vertexCode.size(), inputLayout_.Put()))) {
        return false;
    }
    gpu::BufferDesc vertexDesc{};
    vertexDesc.byteWidth = kMaxQuads * 4 * sizeof(OverlayVertex);
    vertexDesc.usage = gpu::Usage::Default;
    vertexDesc.bindFlags = gpu::kBindVertexBuffer;
    std::vector<std::uint16_t> indices;
    indices.reserve(kMaxQuads * 6);
    for (std::uint32_t quad = 0; quad < kMaxQuads; ++quad) {
        const auto first = static_cast<std::uint16_t>(quad * 4);
        // Clockwise on screen, the front face of the fixed pipeline.
        for (std::uint16_t corner : {0, 1, 2, 1, 3, 2}) {
            indices.push_back(static_cast<std::uint16_t>(first + corner));
        }
    }
    gpu::BufferDesc indexDesc{};
    indexDesc.byteWidth = static_cast<std::uint32_t>(indices.size() * sizeof(std::uint16_t));
    indexDesc.usage = gpu::Usage::Immutable;
    indexDesc.bindFlags = gpu::kBindIndexBuffer;
    const gpu::SubresourceData indexData{indices.data(), 0, 0};
    return Succeeded(device.CreateBuffer(&vertexDesc, nullptr, vertexBuffer_.Put())) &&
           Succeeded(device.CreateBuffer(&indexDesc, &indexData, indexBuffer_.Put()));
}

bool CTextOverlay::Draw(RendererState& state, ClientSize client) try {
    if (blocks_.empty() || client.width == 0 || client.height == 0 || !state.device) {
        return false;
    }
    if (!indexBuffer_ && !CreateObjects(state)) {
        Release();
        return false;
    }
    std::vector<OverlayVertex> vertices;
    QuadWriter quads(client, vertices);
    for (const TextBlock& block : blocks_) {
        LayOutBlock(block, client, quads);
    }
    gpu::IDeviceContext& context = *state.context.Get();
    const gpu::Box range{0, 0, 0, static_cast<std::uint32_t>(vertices.size() * sizeof(OverlayVertex)), 1, 1};
    context.UpdateSubresource(vertexBuffer_.Get(), 0, &range, vertices.data(), 0, 0);
    // The text lies in front of everything drawn so far: the depth buffer is cleared to 1 under it.
    context.ClearDepthStencilView(state.depthStencilView.Get(), gpu::kClearDepth, kClearDepthValue, 0);
    gpu::IBuffer* const vertexBuffers[] = {vertexBuffer_.Get()};
    const std::uint32_t strides[] = {sizeof(OverlayVertex)};
    const std::uint32_t offsets[] = {0};
    context.IASetVertexBuffers(0, 1, vertexBuffers, strides, offsets);
    context.IASetIndexBuffer(indexBuffer_.Get(), gpu::Format::R16_UInt, 0);
    context.IASetInputLayout(inputLayout_.Get());
    context.IASetPrimitiveTopology(gpu::PrimitiveTopology::TriangleList);
    context.VSSetShader(vertexShader_.Get());
    context.PSSetShader(pixelShader_.Get());
    gpu::IShaderResourceView* const views[] = {fontView_.Get()};
    context.PSSetShaderResources(0, 1, views);
    context.DrawIndexed(static_cast<std::uint32_t>(vertices.size() / 4 * 6), 0, 0);
    BindModelPipeline(state);
    return true;
} catch (const std::bad_alloc&) {
    return false;
}

void CTextOverlay::Release() {
    indexBuffer_.Reset();
    vertexBuffer_.Reset();
    inputLayout_.Reset();
    pixelShader_.Reset();
    vertexShader_.Reset();
    fontView_.Reset();
}

} // namespace tavro
