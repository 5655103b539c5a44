#include "platform/Mnemonic.h"

#include <cctype>

namespace tavro::platform {

MnemonicText ParseMnemonic(const std::string& text) {
    MnemonicText result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&' || i + 1 == text.size()) {
            result.display += text[i];
            continue;
        }
        ++i; // the character after the marker
        if (text[i] != '&' && result.letter == 0) {
            result.underlined = result.display.size();
            result.letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        }
        result.display += text[i];
    }
    return result;
}

} // namespace tavro::platform
