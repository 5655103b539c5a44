// Pixel shader of the lit look: the diffuse texture darkened where the surface turns away from a
// light at the camera (a headlight). Either side of a surface is lit alike, since a model's normals
// may point either way; a zero normal is taken as facing the light. Arithmetic only: the build-time
// compiler under Wine lacks clip, discard and the conditional operator.
Texture2D txDiffuse : register(t0);
SamplerState samLinear : register(s0);

struct PixelInput
{
    float4 Pos : SV_POSITION;
    float3 Norm : NORMAL;
    float2 Tex : TEXCOORD0;
};

float4 main(PixelInput input) : SV_Target
{
    float4 colour = txDiffuse.Sample(samLinear, input.Tex);
    float size = length(input.Norm);
    float missing = 1.0f - saturate(size * 1000000.0f); // 1 for a zero normal
    float facing = saturate(abs(input.Norm.z) / max(size, 0.000001f) + missing);
    float shade = 0.25f + 0.75f * facing;
    return float4(colour.rgb * shade, colour.a);
}
