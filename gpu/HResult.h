#pragma once
// HRESULT-style results shared by the graphics layer and the texture loader: negative means failure.
// The values are the ones Windows defines, so a Direct3D backend passes its results through unchanged.
#include <cstdint>

namespace tavro {

using HRESULT = std::int32_t;

constexpr HRESULT kS_OK = 0;
constexpr HRESULT kS_FALSE = 1;
constexpr HRESULT kE_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT kE_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT kE_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT kE_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT kE_INVALIDARG = static_cast<HRESULT>(0x80070057u);
// The graphics layer's "this driver or feature is not available here".
constexpr HRESULT kDXGI_ERROR_UNSUPPORTED = static_cast<HRESULT>(0x887A0004u);
// The graphics layer's "this call is not allowed in the object's present state".
constexpr HRESULT kDXGI_ERROR_INVALID_CALL = static_cast<HRESULT>(0x887A0001u);

// HRESULT_FROM_WIN32 for a Win32 error code.
constexpr HRESULT HResultFromWin32(std::uint32_t error) {
    return error == 0 ? kS_OK : static_cast<HRESULT>((error & 0x0000FFFFu) | 0x80070000u);
}

// Win32 error codes the texture loader reports through HResultFromWin32.
constexpr std::uint32_t kERROR_INVALID_DATA = 13;
constexpr std::uint32_t kERROR_HANDLE_EOF = 38;
constexpr std::uint32_t kERROR_NOT_SUPPORTED = 50;

constexpr bool Succeeded(HRESULT hr) {
    return hr >= 0;
}
constexpr bool Failed(HRESULT hr) {
    return hr < 0;
}

} // namespace tavro
