// Pixel shader of the text overlay: the vertex colour where the glyph texture is lit (alpha of one half
// or more), else the texel's own colour, which is the panel's that every glyph lies on; so neither
// blending nor discarding is needed (the build-time compiler under Wine has neither clip nor discard).
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
    float4 texel = txDiffuse.Sample(samLinear, input.Tex);
    float lit = saturate((texel.a - 0.5f) * 1024.0f);
    return float4(texel.rgb, 1.0f) * (1.0f - lit) + input.Color * lit;
}
