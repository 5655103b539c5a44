// Vertex shader of the lit look: positions as ModelVertex.hlsl places them, and the normal carried
// into view space through World and View, for the headlight of ModelPixelLit.hlsl.
cbuffer ConstantBuffer : register(b0)
{
    matrix World;
    matrix View;
    matrix Projection;
};

struct VertexInput
{
    float4 Pos : POSITION;
    float3 Norm : NORMAL;
    float2 Tex : TEXCOORD0;
};

struct PixelInput
{
    float4 Pos : SV_POSITION;
    float3 Norm : NORMAL;
    float2 Tex : TEXCOORD0;
};

PixelInput main(VertexInput input)
{
    PixelInput output;
    output.Pos = mul(input.Pos, World);
    output.Pos = mul(output.Pos, View);
    output.Pos = mul(output.Pos, Projection);
    output.Norm = mul(mul(float4(input.Norm, 0.0f), World), View).xyz;
    output.Tex = input.Tex;
    return output;
}
