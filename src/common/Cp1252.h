// The one Windows-1252 table of the program. Documents and data files are
// handled as bytes; text crosses to UTF-8 (terminal, widgets) only here.
#pragma once

#include <string>
#include <string_view>

namespace zelk {

// Unicode code point of a Windows-1252 byte. The five bytes the code page
// leaves undefined map to the C1 control of the same value, so every byte
// survives a round trip.
char32_t Cp1252ToUnicode(unsigned char b);
// Windows-1252 byte of a code point, or -1 when the code page has none.
int UnicodeToCp1252(char32_t cp);

std::string Cp1252ToUtf8(std::string_view bytes);
// Characters the code page cannot hold become '?'; malformed UTF-8 bytes too.
std::string Utf8ToCp1252(std::string_view utf8);

// CR LF (and a lone CR) to LF, for terminal output.
std::string ToUnixLineEnds(std::string_view s);

}  // namespace zelk
