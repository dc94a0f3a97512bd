#include "common/StrProc.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace zelk {

namespace {


// "ABC...ZŠŒŸÀ...Þ" of the capitals set, as a byte membership table.
constexpr std::array<bool, 256> MakeCapitalsTable() {
    std::array<bool, 256> t{};
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = true;
    t[0x8A] = t[0x8C] = t[0x9F] = true;
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) t[c] = true;
    return t;
}
constexpr auto kCapitals = MakeCapitalsTable();

inline unsigned char U(char c) { return static_cast<unsigned char>(c); }

}  // namespace

std::string LowerCaseAccented(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = LowerChar(c);
    return r;
}

bool EndsWith(std::string_view s, std::string_view ending, bool exact) {
    if (s.size() < ending.size()) return false;
    std::string_view tail = s.substr(s.size() - ending.size());
    if (exact) return tail == ending;
    for (size_t i = 0; i < tail.size(); ++i)
        if (LowerChar(tail[i]) != LowerChar(ending[i])) return false;
    return true;
}

std::string ReplaceEnding(std::string_view s, std::string_view oldEnding,
                          std::string_view newEnding, bool exact) {
    if (!EndsWith(s, oldEnding, exact)) return std::string(s);
    std::string r(s.substr(0, s.size() - oldEnding.size()));
    r += newEnding;
    return r;
}

std::string LeftPart(std::string_view s, long n) {
    if (n <= 0) return {};
    if (static_cast<size_t>(n) >= s.size()) return std::string(s);
    return std::string(s.substr(0, static_cast<size_t>(n)));
}

long FindFirstOf(std::string_view s, long start, std::string_view set, long& foundIndex) {
    foundIndex = 0;
    if (s.empty() || set.empty()) return 0;
    if (start < 1) start = 1;
    for (size_t i = static_cast<size_t>(start - 1); i < s.size(); ++i) {
        size_t k = set.find(s[i]);
        if (k != std::string_view::npos) {
            foundIndex = static_cast<long>(k) + 1;
            return static_cast<long>(i) + 1;
        }
    }
    return 0;
}

long FindFirstNotOf(std::string_view s, long start, std::string_view set) {
    if (s.empty()) return 0;
    if (set.empty()) return 1;
    if (start < 1) start = 1;
    for (size_t i = static_cast<size_t>(start - 1); i < s.size(); ++i)
        if (set.find(s[i]) == std::string_view::npos) return static_cast<long>(i) + 1;
    return 0;
}

bool IsAllCapitals(std::string_view s) {
    for (char c : s)
        if (!kCapitals[U(c)]) return false;
    return true;
}

long FindIgnoringCase(long start, std::string_view s, std::string_view part) {
    if (start < 1) start = 1;
    if (part.empty()) return static_cast<size_t>(start) <= s.size() + 1 ? start : 0;
    if (part.size() > s.size()) return 0;
    const char first = LowerChar(part[0]);
    for (size_t i = static_cast<size_t>(start - 1); i + part.size() <= s.size(); ++i) {
        if (LowerChar(s[i]) != first) continue;
        size_t k = 1;
        while (k < part.size() && LowerChar(s[i + k]) == LowerChar(part[k])) ++k;
        if (k == part.size()) return static_cast<long>(i) + 1;
    }
    return 0;
}

long InStr(long start, std::string_view s, std::string_view part) {
    if (start < 1) start = 1;
    if (static_cast<size_t>(start) > s.size() + 1) return 0;
    if (part.empty()) return start;
    size_t p = s.find(part, static_cast<size_t>(start - 1));
    return p == std::string_view::npos ? 0 : static_cast<long>(p) + 1;
}

long InStrRev(std::string_view s, std::string_view part, long start) {
    if (part.empty()) return start < 1 ? static_cast<long>(s.size()) : start;
    size_t from = std::string_view::npos;
    if (start >= 1) from = static_cast<size_t>(start - 1);
    size_t p = s.rfind(part, from);
    return p == std::string_view::npos ? 0 : static_cast<long>(p) + 1;
}

std::string Mid(std::string_view s, long start, long len) {
    if (start < 1) start = 1;
    if (static_cast<size_t>(start) > s.size()) return {};
    std::string_view r = s.substr(static_cast<size_t>(start - 1));
    if (len >= 0 && static_cast<size_t>(len) < r.size()) r = r.substr(0, static_cast<size_t>(len));
    return std::string(r);
}

std::string Left(std::string_view s, long n) { return LeftPart(s, n); }

std::string Right(std::string_view s, long n) {
    if (n <= 0) return {};
    if (static_cast<size_t>(n) >= s.size()) return std::string(s);
    return std::string(s.substr(s.size() - static_cast<size_t>(n)));
}

std::string Trim(std::string_view s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

std::string RTrim(std::string_view s) {
    size_t e = s.find_last_not_of(' ');
    return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

std::string Replace(std::string_view s, std::string_view find, std::string_view repl) {
    if (find.empty()) return std::string(s);
    std::string r;
    r.reserve(s.size());
    size_t pos = 0;
    while (true) {
        size_t p = s.find(find, pos);
        if (p == std::string_view::npos) break;
        r.append(s.substr(pos, p - pos));
        r.append(repl);
        pos = p + find.size();
    }
    r.append(s.substr(pos));
    return r;
}

std::string S(long long n) {
    std::string r = std::to_string(n);
    if (n >= 0) r.insert(r.begin(), ' ');
    return r;
}

std::string Dec(long long n) { return std::to_string(n); }

double Val(std::string_view s) {
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
    };
    skipBlanks();
    std::string num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) num += s[i++];
    bool digits = false;
    while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == ' ')) {
        if (s[i] != ' ') { num += s[i]; digits = true; }
        ++i;
    }
    if (i < s.size() && s[i] == '.') {
        num += s[i++];
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) { num += s[i++]; digits = true; }
    }
    if (!digits) return 0.0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        std::string ex = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ex += s[j++];
        bool expDigits = false;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) { ex += s[j++]; expDigits = true; }
        if (expDigits) num += ex;
    }
    double v = std::strtod(num.c_str(), nullptr);
    if (!std::isfinite(v)) v = v > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
    return v;
}

long long RoundHalfEven(double v) {
    if (!std::isfinite(v)) return 0;
    constexpr double lim = 9.0e18;
    if (v > lim) v = lim;
    if (v < -lim) v = -lim;
    return static_cast<long long>(std::nearbyint(v));  // default rounding mode: to nearest, ties to even
}

long long LeadingInteger(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    constexpr long long kLimit = std::numeric_limits<long long>::max() / 10 - 1;
    long long v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (v < kLimit) v = v * 10 + (s[i] - '0');
    }
    return negative ? -v : v;
}

int16_t ValToInt16(std::string_view s) {
    long long v = LeadingInteger(s);
    if (v > 32767) v = 32767;
    if (v < -32768) v = -32768;
    return static_cast<int16_t>(v);
}

std::string GroupDigits(long long n) {
    std::string d = std::to_string(n < 0 ? -n : n);
    std::string r;
    int count = 0;
    for (size_t i = d.size(); i-- > 0;) {
        r.insert(r.begin(), d[i]);
        if (++count % 3 == 0 && i > 0) r.insert(r.begin(), ',');
    }
    return n < 0 ? "-" + r : r;
}

}  // namespace zelk
