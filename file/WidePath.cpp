#include "file/WidePath.h"

#include <cstdint>

namespace tavro {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one code point at text[index], moving index past it; malformed input yields U+FFFD and
// consumes one byte so that decoding always advances.
char32_t DecodeUtf8(std::string_view text, std::size_t& index) {
    const auto lead = static_cast<unsigned char>(text[index]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++index;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        ++index;
        return kReplacement;
    }
    if (text.size() - index < length) {
        ++index;
        return kReplacement;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[index + i]);
        if (!IsContinuation(byte)) {
            ++index;
            return kReplacement;
        }
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++index;
        return kReplacement;
    }
    index += length;
    return value;
}

void AppendWide(std::wstring& out, char32_t value) {
    if constexpr (sizeof(wchar_t) >= 4) {
        out.push_back(static_cast<wchar_t>(value));
    } else if (value >= 0x10000) {
        value -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (value >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (value & 0x3FF)));
    } else {
        out.push_back(static_cast<wchar_t>(value));
    }
}

// Decodes one code point of a wide string, joining UTF-16 surrogate pairs where wchar_t has 16 bits.
char32_t DecodeWide(std::wstring_view text, std::size_t& index) {
    auto value = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[index++]));
    if constexpr (sizeof(wchar_t) < 4) {
        if (value >= 0xD800 && value <= 0xDBFF && index < text.size()) {
            const auto low = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[index]));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ++index;
                return 0x10000 + ((value - 0xD800) << 10) + (low - 0xDC00);
            }
        }
    }
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return kReplacement;
    }
    return value;
}

void AppendUtf8(std::string& out, char32_t value) {
    if (value < 0x80) {
        out.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (value >> 6)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (value >> 12)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (value >> 18)));
        out.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
}

} // namespace

std::wstring Utf8ToWide(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t index = 0; index < text.size();) {
        AppendWide(out, DecodeUtf8(text, index));
    }
    return out;
}

std::string WideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t index = 0; index < text.size();) {
        AppendUtf8(out, DecodeWide(text, index));
    }
    return out;
}

} // namespace tavro
