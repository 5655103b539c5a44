#pragma once
// The two shaders every model is drawn with, in the language a device accepts. The GLSL sources are
// render/shaders/*.glsl, embedded at build time; their HLSL twins (render/shaders/*.hlsl) say the same
// thing and are compiled to DXBC containers by the Windows build, which is the only build that can
// hand a device DXBC.
#include "gpu/Device.h"

#include <cstddef>
#include <span>

namespace tavro {

// The shader bytes for the language, not null-terminated; empty when this build carries no shader in
// that language (a device then refuses the empty shader and set-up fails cleanly).
std::span<const std::byte> ModelVertexShader(gpu::ShaderLanguage language);
std::span<const std::byte> ModelPixelShader(gpu::ShaderLanguage language);
// The lit look's two shaders (render/shaders/Model*Lit): the same inputs, a headlight from the normals.
std::span<const std::byte> ModelLitVertexShader(gpu::ShaderLanguage language);
std::span<const std::byte> ModelLitPixelShader(gpu::ShaderLanguage language);
// The text overlay's two shaders (render/shaders/Overlay*).
std::span<const std::byte> OverlayVertexShader(gpu::ShaderLanguage language);
std::span<const std::byte> OverlayPixelShader(gpu::ShaderLanguage language);

} // namespace tavro
