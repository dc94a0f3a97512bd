// Which bytes make up a word: letters A-Z a-z and the Latin-1 letters
// 192-214, 216-246, 248-255 (not the multiplication and division signs),
// digits only when asked for, and any byte of extra.
#pragma once

#include <string_view>

namespace zelk {

constexpr bool IsWordChar(unsigned char c, bool digits, std::string_view extra) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    if (c >= 192 && c != 215 && c != 247) return true;
    if (digits && c >= '0' && c <= '9') return true;
    return !extra.empty() && extra.find(static_cast<char>(c)) != std::string_view::npos;
}

// Extra word characters of a language: hyphen and apostrophe for French (1).
constexpr std::string_view ExtraWordChars(int language) { return language == 1 ? "-'" : ""; }

}  // namespace zelk
