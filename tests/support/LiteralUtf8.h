// The UTF-8 clean-up of a line exactly as the rule reads, kept as the
// reference the fast passes are compared with.
#pragma once

#include <string>
#include <utility>

#include "common/StrProc.h"

namespace zelk::testing {

// The clean-up exactly as the rule reads: a search loop over the line that
// replaces every pair of the found kind all over the line.
inline std::string LiteralUtf8ToLatin1(std::string s) {
    auto pass = [&](char lead, auto action) {
        long p = InStr(1, s, std::string(1, lead));
        while (p > 0 && p < static_cast<long>(s.size())) {
            const unsigned char x = static_cast<unsigned char>(s[static_cast<std::size_t>(p)]);
            action(x);
            p = InStr(p + 1, s, std::string(1, lead));
        }
    };
    pass('\xC2', [&](unsigned char x) {
        const std::string pair = std::string("\xC2") + static_cast<char>(x);
        if (x >= 0x80 && x <= 0x9F) s = Replace(s, pair, "");
        else if (x >= 0xA0 && x <= 0xBF) s = Replace(s, pair, std::string(1, static_cast<char>(x)));
    });
    pass('\xC3', [&](unsigned char x) {
        const std::string pair = std::string("\xC3") + static_cast<char>(x);
        if (x >= 0x80 && x <= 0xBF) s = Replace(s, pair, std::string(1, static_cast<char>(x + 64)));
    });
    return Replace(s, "\xC4\x8D", "c");
}

inline std::string LiteralPunctuation(const std::string& line) {
    long p = InStr(1, line, "\xE2\x80");
    if (p == 0) return line;
    const std::string third = Mid(line, p + 2, 1);
    const int x = third.empty() ? -1 : static_cast<unsigned char>(third[0]);
    const bool known = (x >= 0x90 && x <= 0x9F) || x == 0xA2 || x == 0xA6 || x == 0xB9 || x == 0xBA;
    if (!known) return Left(line, p - 1) + Mid(line, p + 3);
    std::string s = line;
    const std::pair<int, std::string> table[] = {
        {0x90, "-"}, {0x91, "-"}, {0x92, "-"}, {0x93, "-"}, {0x94, " -- "}, {0x95, "--"},
        {0x96, "|"}, {0x97, "\x89"}, {0x98, "'"}, {0x99, "'"}, {0x9A, "'"}, {0x9B, "'"},
        {0x9C, "\""}, {0x9D, "\""}, {0x9E, "\""}, {0x9F, "\""}, {0xA2, " . "}, {0xA6, "..."},
        {0xB9, "<"}, {0xBA, ">"}};
    for (const auto& [b, rep] : table)
        s = Replace(s, std::string("\xE2\x80") + static_cast<char>(b), rep);
    return s;
}


}  // namespace zelk::testing
