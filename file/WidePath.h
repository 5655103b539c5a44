#pragma once
// Conversion between UTF-8 text and the wide-character paths of the file interface. Invalid input
// sequences become U+FFFD; wide strings are UTF-32 where wchar_t has 32 bits and UTF-16 elsewhere.
#include <string>
#include <string_view>

namespace tavro {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

} // namespace tavro
