// Markup normalisation run on every prepared document line before scanning:
// bare formatting tags become one-byte markup codes and the entities of
// Latin-1 letters become the letters. Each routine is one linear pass.
#pragma once

#include <string>
#include <string_view>

namespace zelk {

// Markup codes the scanner switches its context on.
namespace markup {
inline constexpr char BoldOn = 11, BoldOff = 12, ItalicOn = 16, ItalicOff = 17;
inline constexpr char TitleOn = 14, TitleOff = 15, HeadingEnd = 7;
// Heading start of h1 ... h6 is 6 ... 1.
}  // namespace markup

void NormaliseMarkup(std::string& line);
void DecodeEntities(std::string& line);

// The entity table: each entity immediately followed by its replacement
// byte, entries separated by one blank.
const std::string& EntityTable();

}  // namespace zelk
