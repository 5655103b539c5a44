// Descriptor checks every non-Direct3D backend runs: what is refused, and how whole-resource views resolve.
#include "gpu/Validation.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavro::gpu {
namespace {

Texture1DDesc Tex1D(std::uint32_t width, std::uint32_t mips, std::uint32_t array) {
    return {width, mips, array, Format::R8G8B8A8_UNorm, Usage::Default, kBindShaderResource, 0, 0};
}

Texture3DDesc Tex3D(std::uint32_t w, std::uint32_t h, std::uint32_t d) {
    return {w, h, d, 1, Format::R8G8B8A8_UNorm, Usage::Default, kBindShaderResource, 0, 0};
}

SamplerDesc LinearWrap() {
    return {Filter::MinMagMipLinear,
            TextureAddressMode::Wrap,
            TextureAddressMode::Wrap,
            TextureAddressMode::Wrap,
            0.0f,
            0,
            ComparisonFunc::Never,
            {0, 0, 0, 0},
            0.0f,
            kFloat32Max};
}

TEST(Validation, TextureSizeLimitsAndMipChains) {
    const auto check1D = [](const Texture1DDesc& desc, Texture1DDesc* out) {
        return ValidateTexture1DDesc(&desc, nullptr, out).Ok();
    };
    const auto check3D = [](const Texture3DDesc& desc) {
        Texture3DDesc out{};
        return ValidateTexture3DDesc(&desc, nullptr, &out).Ok();
    };
    Texture1DDesc out1{};
    EXPECT_TRUE(check1D(Tex1D(16384, 0, 2048), &out1));
    EXPECT_EQ(out1.mipLevels, 15u);
    EXPECT_FALSE(check1D(Tex1D(16385, 1, 1), &out1));
    EXPECT_FALSE(check1D(Tex1D(8, 1, 2049), &out1));
    EXPECT_FALSE(check1D(Tex1D(8, 5, 1), &out1));
    EXPECT_TRUE(check3D(Tex3D(2048, 1, 2048)));
    EXPECT_FALSE(check3D(Tex3D(2049, 1, 1)));
    EXPECT_FALSE(check3D(Tex3D(4, 4, 0)));

    EXPECT_EQ(FullMipCount(1, 1, 1), 1u);
    EXPECT_EQ(FullMipCount(5, 3, 1), 3u);
    EXPECT_EQ(FullMipCount(1, 1, 1024), 11u);

    // Every subresource of the initial data must point somewhere.
    const std::uint8_t texels[64] = {};
    const std::vector<SubresourceData> partial = {{texels, 8, 0}, {nullptr, 4, 0}};
    const Texture1DDesc twoLevels = Tex1D(2, 2, 1);
    EXPECT_FALSE(ValidateTexture1DDesc(&twoLevels, partial.data(), &out1).Ok());
}

TEST(Validation, SamplerAndInputLayoutRefusals) {
    const SamplerDesc linearWrap = LinearWrap();
    EXPECT_TRUE(ValidateSamplerDesc(&linearWrap).Ok());
    std::vector<SamplerDesc> refused(5, LinearWrap());
    refused[0].filter = static_cast<Filter>(0x2);
    refused[1].addressU = static_cast<TextureAddressMode>(0);
    refused[2].maxAnisotropy = 17;
    refused[3].comparisonFunc = static_cast<ComparisonFunc>(9);
    refused[4].minLod = 2.0f;
    refused[4].maxLod = 1.0f;
    for (const SamplerDesc& desc : refused)
        EXPECT_EQ(ValidateSamplerDesc(&desc).result, kE_INVALIDARG);

    const char shader[] = "x";
    const InputElementDesc good{
        "POSITION", 0, Format::R32G32B32_Float, 0, 0, InputClassification::PerVertexData, 0};
    EXPECT_TRUE(ValidateInputLayout(&good, 1, shader, 1).Ok());
    EXPECT_FALSE(ValidateInputLayout(&good, 0, shader, 1).Ok());
    EXPECT_FALSE(ValidateInputLayout(&good, 1, nullptr, 0).Ok());
    std::vector<InputElementDesc> bad(4, good);
    bad[0].semanticName = "";
    bad[1].format = Format::Unknown;
    bad[2].inputSlot = kMaxVertexBufferSlots;
    bad[3].instanceDataStepRate = 1;
    for (const InputElementDesc& element : bad)
        EXPECT_FALSE(ValidateInputLayout(&element, 1, shader, 1).Ok()) << element.semanticName;
}

TEST(Validation, TargetViewsOfTheBackBufferAndDepthBuffer) {
    const Texture2DDesc colour{
        64, 48, 1, 1, Format::R8G8B8A8_UNorm, {1, 0}, Usage::Default, kBindRenderTarget, 0, 0};
    const Texture2DDesc depth{
        64, 48, 1, 1, Format::D24_UNorm_S8_UInt, {1, 0}, Usage::Default, kBindDepthStencil, 0, 0};
    RenderTargetViewDesc rtv{};
    ASSERT_TRUE(ResolveRenderTargetView(DescribeResource(colour), nullptr, &rtv).Ok());
    EXPECT_EQ(rtv.viewDimension, RtvDimension::Texture2D);
    EXPECT_EQ(rtv.format, Format::R8G8B8A8_UNorm);
    EXPECT_FALSE(ResolveRenderTargetView(DescribeResource(depth), nullptr, &rtv).Ok())
        << "not bound as target";

    DepthStencilViewDesc dsv{};
    dsv.format = Format::D24_UNorm_S8_UInt;
    dsv.viewDimension = DsvDimension::Texture2D;
    EXPECT_TRUE(ResolveDepthStencilView(DescribeResource(depth), &dsv, &dsv).Ok());
    dsv.texture2D.mipSlice = 1;
    EXPECT_FALSE(ResolveDepthStencilView(DescribeResource(depth), &dsv, &dsv).Ok());
    dsv = {};
    dsv.format = Format::D32_Float;
    dsv.viewDimension = DsvDimension::Texture2D;
    EXPECT_FALSE(ResolveDepthStencilView(DescribeResource(depth), &dsv, &dsv).Ok()) << "format differs";
    ShaderResourceViewDesc srv{};
    EXPECT_FALSE(ResolveShaderResourceView(DescribeResource(depth), nullptr, &srv).Ok());
}

TEST(Validation, BufferUpdatesStayInsideTheBuffer) {
    const BufferDesc vertices{96, Usage::Default, kBindVertexBuffer, 0, 0, 0};
    const ResourceInfo info = DescribeResource(vertices);
    const std::uint8_t bytes[96] = {};
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    ASSERT_TRUE(ResolveBufferUpdate(info, 0, nullptr, bytes, &begin, &end).Ok());
    EXPECT_EQ(end - begin, 96u);
    const Box inside{32, 0, 0, 64, 1, 1};
    ASSERT_TRUE(ResolveBufferUpdate(info, 0, &inside, bytes, &begin, &end).Ok());
    EXPECT_EQ(begin, 32u);
    EXPECT_EQ(end, 64u);
    for (const Box& box : {Box{64, 0, 0, 97, 1, 1}, Box{40, 0, 0, 40, 1, 1}, Box{50, 0, 0, 10, 1, 1}})
        EXPECT_FALSE(ResolveBufferUpdate(info, 0, &box, bytes, &begin, &end).Ok());
    EXPECT_FALSE(ResolveBufferUpdate(info, 1, nullptr, bytes, &begin, &end).Ok());
    const BufferDesc immutable{96, Usage::Immutable, kBindVertexBuffer, 0, 0, 0};
    EXPECT_FALSE(ResolveBufferUpdate(DescribeResource(immutable), 0, nullptr, bytes, &begin, &end).Ok());
    const Texture2DDesc texture{
        4, 4, 1, 1, Format::R8G8B8A8_UNorm, {1, 0}, Usage::Default, kBindShaderResource, 0, 0};
    EXPECT_FALSE(ResolveBufferUpdate(DescribeResource(texture), 0, nullptr, bytes, &begin, &end).Ok());
}

} // namespace
} // namespace tavro::gpu
