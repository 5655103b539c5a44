// Vertex shader of every model: positions through World, View and Projection as row vectors; the
// texture coordinate passes unchanged. NORMAL is part of the input signature but is not read.
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
    output.Norm = float3(0.0f, 0.0f, 0.0f);
    output.Tex = input.Tex;
    return output;
}
