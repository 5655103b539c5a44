// Pixel shader of the text overlay: the colour where the glyph texture is lit (alpha of one half or
// more), nothing elsewhere, so no blending is needed.
Texture2D txDiffuse : register(t0);
SamplerState samLinear : register(s0);

struct PixelInput
{
    float4 Pos : SV_POSITION;
    float2 Tex : TEXCOORD0;
    float4 Color : COLOR0;
};

float4 main(PixelInput input) : SV_Target
{
    clip(txDiffuse.Sample(samLinear, input.Tex).a - 0.5f);
    return input.Color;
}
