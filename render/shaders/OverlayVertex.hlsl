// Vertex shader of the text overlay: positions arrive in clip space already; the glyph texture
// coordinate and the colour pass unchanged.
struct VertexInput
{
    float3 Pos : POSITION;
    float2 Tex : TEXCOORD0;
    float4 Color : COLOR0;
};

struct PixelInput
{
    float4 Pos : SV_POSITION;
    float2 Tex : TEXCOORD0;
    float4 Color : COLOR0;
};

PixelInput main(VertexInput input)
{
    PixelInput output;
    output.Pos = float4(input.Pos, 1.0f);
    output.Tex = input.Tex;
    output.Color = input.Color;
    return output;
}
