#pragma once
// Menu and button texts mark their keyboard mnemonic with '&' ("E&xit"); "&&" stands for '&' itself.
#include <cstddef>
#include <string>

namespace tavro::platform {

struct MnemonicText {
    std::string display;        // the text as shown, without the markers
    std::size_t underlined = 0; // byte offset in display of the underlined letter, if any
    char letter = 0;            // that letter in lower case, or 0 when the text has no mnemonic
};

MnemonicText ParseMnemonic(const std::string& text);

} // namespace tavro::platform
