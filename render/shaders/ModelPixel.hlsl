// Pixel shader of every model: the diffuse texture's colour and alpha as sampled, without lighting.
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
    return txDiffuse.Sample(samLinear, input.Tex);
}
