// The tag handler: skips the text of a tag, except that a description or
// keywords meta tag switches the scanner into that context and font tags
// change the font size the weighting reads.
//
// "The rest" of a tag is the line from ScanPos on, lower-cased, without
// blanks. It is never built: a text occurs in the rest exactly where it
// occurs in the line when blanks are skipped and A-Z folded, starting at or
// after ScanPos, and such searches, remembered from one tag to the next,
// read a long line a bounded number of times however many tags it holds.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "analysis/ByteSearch.h"
#include "analysis/Scanner.h"
#include "common/ReportLog.h"
#include "common/StrProc.h"
#include "common/Settings.h"

namespace zelk {

namespace {
constexpr std::size_t npos = std::string_view::npos;

bool IsFontSizeChar(unsigned char c) { return c == '-' || c == '+' || (c >= '0' && c <= '9'); }

inline char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
}  // namespace

std::size_t Scanner::FindIgnoringBlanks(std::string_view text, std::size_t from, std::string_view pattern,
                                        std::size_t anchor) {
    const std::size_t n = text.size();
    const std::size_t m = pattern.size();
    if (m == 0 || from >= n) return npos;
    const std::size_t k = anchor == npos ? 0 : anchor;
    const char* const t = text.data();
    // The k-th character of an occurrence that starts at or after from
    // stands at or after from + k. Occurrences starting further right have
    // their k-th character further right, so the first candidate that
    // matches on both sides is the first occurrence.
    for (std::size_t j = from + k; j < n; ++j) {
        if (anchor != npos) {
            j += FindByte(t + j, n - j, pattern[k]);
            if (j == n) return npos;
        } else if (Fold(t[j]) != pattern[0]) {
            continue;
        }
        // Leftwards to the start; it may not lie before from.
        std::size_t i = j;
        std::size_t p = k;
        bool match = true;
        while (p > 0) {
            if (i == from) {
                match = false;
                break;
            }
            --i;
            if (t[i] == ' ') continue;
            if (Fold(t[i]) != pattern[--p]) {
                match = false;
                break;
            }
        }
        if (!match) continue;
        // Rightwards to the end.
        std::size_t r = j + 1;
        p = k + 1;
        while (p < m && r < n) {
            if (t[r] == ' ') {
                ++r;
                continue;
            }
            if (Fold(t[r]) != pattern[p]) break;
            ++p;
            ++r;
        }
        if (p == m) return i;
        if (r >= n) return npos;  // the text ends inside a partial match: no later one is complete
    }
    return npos;
}

std::size_t Scanner::NextIgnoringBlanks::Find(std::string_view text, std::size_t from) {
    if (valid_ && from >= from_ && (found_ == npos || found_ >= from)) return found_;
    valid_ = true;
    from_ = from;
    found_ = FindIgnoringBlanks(text, from, pattern_, anchor_);
    return found_;
}

void Scanner::HandleTag() {
    ScanState& s = s_;
    const int32_t len = Length();
    for (;;) {
        if (s.ScanPos > len) return;
        const unsigned char c = At(s.ScanPos);
        if (c == '>') {
            Decrement16(s.TagNesting);
            ++s.ScanPos;
            if (s.TagNesting == 0) {
                s.InTag = false;
                return;
            }
            continue;
        }
        if (c == '<') {
            Increment16(s.TagNesting);
            int32_t p = s.ScanPos + 1;
            while (p <= len && At(p) == ' ') ++p;
            s.ScanPos = p;
            if (p > len) return;
            if (AtTag(p, "meta ")) {
                HandleMetaTag();
                s.InTag = false;
                return;
            }
            if (AtTag(p, "font")) {
                HandleFontTag();
                if (s.InTag) continue;
                return;
            }
            if (AtTag(p, "/font")) {
                HandleEndFontTag();
                Decrement16(s.TagNesting);
                s.InTag = false;
                return;
            }
            ++s.ScanPos;
            continue;
        }
        const int32_t g = NextGreater(s.ScanPos);
        s.ScanPos = g;
        if (g > len) return;
    }
}

void Scanner::HandleMetaTag() {
    ScanState& s = s_;
    s.InDescription = false;
    s.InExistingKeywords = false;
    s.ScanPos += 5;
    const std::string& line = s.ScanLine;
    const std::size_t from = static_cast<std::size_t>(s.ScanPos) - 1;
    if (restDescription_.Find(line, from) != npos) {
        const std::size_t p = nextContentFolded_.Find(line, from);
        if (p != npos) {
            s.InDescription = true;
            s.ScanPos = static_cast<int32_t>(p) + 1 + 7;
        }
    } else if (restKeywords_.Find(line, from) != npos && settings_.ExistingKeywordsWeight >= 1) {
        const std::size_t p = nextContentExact_.Find(line, from);
        if (p != npos) {
            s.InExistingKeywords = true;
            s.ScanPos = static_cast<int32_t>(p) + 1 + 7;
        }
    }
    if (!s.InDescription && !s.InExistingKeywords) {
        const int32_t g = NextGreater(s.ScanPos);
        s.ScanPos = g;
        if (g < Length()) {
            ++s.ScanPos;
            Decrement16(s.TagNesting);
        }
    }
}

std::size_t Scanner::NextFontSizeChar(std::size_t from) {
    if (sizeCharValid_ && from >= sizeCharFrom_ && (sizeCharFound_ == npos || sizeCharFound_ >= from))
        return sizeCharFound_;
    const std::string& line = s_.ScanLine;
    std::size_t i = from;
    while (i < line.size() && !IsFontSizeChar(static_cast<unsigned char>(line[i]))) ++i;
    sizeCharValid_ = true;
    sizeCharFrom_ = from;
    sizeCharFound_ = i < line.size() ? i : npos;
    return sizeCharFound_;
}

void Scanner::PushFontSize() {
    ScanState& s = s_;
    // The depth is a 16-bit counter: font tags nested deeper than it can
    // count are not pushed (their end tags then restore the outer sizes).
    if (s.FontDepth == INT16_MAX) return;
    if (static_cast<std::size_t>(s.FontDepth) >= s.FontSizeStack.size())
        s.FontSizeStack.resize(s.FontSizeStack.size() + 16, 0);
    s.FontSizeStack[static_cast<std::size_t>(s.FontDepth)] = s.FontSize;
    ++s.FontDepth;
}

void Scanner::HandleFontTag() {
    ScanState& s = s_;
    const int32_t len = Length();
    s.ScanPos += 4;
    s.InFontTag = true;
    PushFontSize();

    const std::size_t from = static_cast<std::size_t>(s.ScanPos) - 1;
    const std::size_t f = restFont_.Find(s.ScanLine, from);
    const std::size_t sz = restSize_.Find(s.ScanLine, from);
    // The size is read only when "size" comes before a later "font" on the
    // line (normally that of the end tag).
    if (sz != npos && f != npos && sz < f) {
        const std::size_t p = nextSizeFolded_.Find(s.ScanLine, static_cast<std::size_t>(s.ScanPos) - 1);
        // "size" written with blanks inside it is in the rest but not in the
        // line; the size is then not read.
        if (p != npos) {
            const int32_t afterSize = static_cast<int32_t>(p) + 1 + 4;
            const std::size_t found = NextFontSizeChar(static_cast<std::size_t>(afterSize) - 1);
            const int32_t q = found == npos ? len + 1 : static_cast<int32_t>(found) + 1;
            if (q > len) {
                // No sign or digit follows on the line: the position stays
                // just behind "size" and the tag goes on from there.
                s.ScanPos = afterSize;
            } else {
                s.ScanPos = q;
                const unsigned char c = At(q);
                const std::string_view line = s.ScanLine;
                long long v;
                if (c == '+')
                    v = s.FontSize + LeadingInteger(line.substr(static_cast<std::size_t>(q)));
                else if (c == '-')
                    v = s.FontSize - LeadingInteger(line.substr(static_cast<std::size_t>(q)));
                else
                    v = LeadingInteger(line.substr(static_cast<std::size_t>(q) - 1));
                s.FontSize = static_cast<int16_t>(std::clamp<long long>(v, 1, 7));
            }
        }
    }

    const int32_t g = NextGreater(s.ScanPos);
    s.ScanPos = g;
    if (g < len) {
        s.InFontTag = false;
        s.InTag = false;
        Decrement16(s.TagNesting);
        ++s.ScanPos;
    }
}

void Scanner::HandleEndFontTag() {
    ScanState& s = s_;
    if (s.FontDepth > 0) {
        --s.FontDepth;
        s.FontSize = s.FontSizeStack[static_cast<std::size_t>(s.FontDepth)];
    } else {
        report_.ReportLine("File contains an invalid end-font tag.", true);
    }
    s.ScanPos = NextGreater(s.ScanPos) + 1;
}

}  // namespace zelk
