// UTF-8 clean-up of one line of a UTF-8 document into Windows-1252 bytes.
// The in-place forms only ever shorten the line, except for the em dash,
// which grows it by one byte each.
#pragma once

#include <string>
#include <string_view>

namespace zelk {

std::string Utf8ToLatin1(std::string_view line);
std::string Utf8PunctuationToAscii(std::string_view line);
void Utf8ToLatin1InPlace(std::string& line);
void Utf8PunctuationToAsciiInPlace(std::string& line);

}  // namespace zelk
