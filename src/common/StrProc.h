// Text procedures shared by every part of zelk. Text is single-byte
// Windows-1252: one character per byte, compared ordinally. The search and
// cut procedures (InStr, Mid, ...) count positions from 1 and answer 0 for
// "not found": the analysis rules are written in terms of such positions
// ("the character after the tag", "before the first quote"), and keeping
// them 1-based leaves no off-by-one translation between rule and code.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelk {

namespace detail {
constexpr std::array<unsigned char, 256> MakeLowerTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c + 32);
    t[0x8A] = 0x9A;  // Š
    t[0x8C] = 0x9C;  // Œ
    t[0x8E] = 0x9E;  // Ž
    t[0x9F] = 0xFF;  // Ÿ
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) t[c] = static_cast<unsigned char>(c + 0x20);
    return t;
}
inline constexpr auto kLowerTable = MakeLowerTable();
}  // namespace detail

// Case folding of one Windows-1252 byte: A-Z, the accented capitals, Š Œ Ž Ÿ.
// Inline: the case-ignoring searches over whole pages call it per byte.
inline char LowerChar(char c) {
    return static_cast<char>(detail::kLowerTable[static_cast<unsigned char>(c)]);
}
std::string LowerCaseAccented(std::string_view s);
// Eight bytes (loaded from memory as one integer) with A-Z made a-z and
// every other byte left as it is: for comparisons with lower-case ASCII
// texts, which no other byte can fold into.
inline uint64_t FoldAsciiLetters8(uint64_t v) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    const uint64_t low7 = v & (kOnes * 0x7F);
    const uint64_t fromA = low7 + kOnes * (0x80 - 'A');     // high bit: byte >= 'A'
    const uint64_t pastZ = low7 + kOnes * (0x80 - 'Z' - 1);  // high bit: byte > 'Z'
    return v | ((fromA & ~pastZ & ~v & (kOnes * 0x80)) >> 2);
}

bool EndsWith(std::string_view s, std::string_view ending, bool exact);
std::string ReplaceEnding(std::string_view s, std::string_view oldEnding,
                          std::string_view newEnding, bool exact);
std::string LeftPart(std::string_view s, long n);
long FindFirstOf(std::string_view s, long start, std::string_view set, long& foundIndex);
long FindFirstNotOf(std::string_view s, long start, std::string_view set);
bool IsAllCapitals(std::string_view s);
// 1-based position of part in s at or after start, both folded; 0 when absent.
long FindIgnoringCase(long start, std::string_view s, std::string_view part);

// --- Search and cut (1-based positions, 0 = not found) ---
long InStr(long start, std::string_view s, std::string_view part);
inline long InStr(std::string_view s, std::string_view part) { return InStr(1, s, part); }
// Last occurrence of part that starts at or before start (start < 1: anywhere).
long InStrRev(std::string_view s, std::string_view part, long start = -1);
// Characters from 1-based start, at most len of them (len < 0: to the end).
std::string Mid(std::string_view s, long start, long len = -1);
std::string Left(std::string_view s, long n);
std::string Right(std::string_view s, long n);
// Leading and trailing blanks. Spaces only: tabs and line ends count as text
// and are kept, since the texts that get trimmed (typed file names, tag
// texts, settings lines) only ever carry the blanks a user typed around them.
std::string Trim(std::string_view s);
std::string RTrim(std::string_view s);
// Every non-overlapping occurrence, left to right, in one pass.
std::string Replace(std::string_view s, std::string_view find, std::string_view repl);

// --- Numbers in texts ---
// Decimal with one leading blank when not negative, "-" when negative: " 5", "-3".
std::string S(long long n);
// Plain decimal: "5", "-3".
std::string Dec(long long n);
// Leading numeric part of a text (blanks skipped, optional sign, digits,
// decimal point, exponent); 0 when the text does not begin with a number.
double Val(std::string_view s);
// Round to the nearest integer, halves to the even neighbour.
long long RoundHalfEven(double v);
// The leading decimal number of a text as it stands: an optional sign, then
// digits; no blanks before or inside it, no fraction, no exponent (" 40" and
// "+ 2" give 0, "6 0" gives 6, "1e1" gives 1). 0 when there is none; held
// inside the range of long long.
long long LeadingInteger(std::string_view s);
// LeadingInteger held inside the 16-bit range (the limit boxes).
int16_t ValToInt16(std::string_view s);
// Digit-grouped decimal ("40,961").
std::string GroupDigits(long long n);

// Line end used by every text the program shows or writes.
inline constexpr std::string_view CRLF = "\r\n";

}  // namespace zelk
