// The tag handler: skips the text of a tag, except that a description or
// keywords meta tag switches the scanner into that context and font tags
// change the font size the weighting reads.
//
// "The rest" of a tag is the line from ScanPos on, lower-cased, without
// blanks. Rather than building it for every meta or font tag (quadratic on a
// document that is one long line), the blank-removed line is built once per
// line, and every question about the rest becomes a question about a suffix
// of it: whether a text occurs in it at all (its last occurrence lies in the
// suffix) or where it occurs first (a cached forward search).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>

#include "analysis/Scanner.h"
#include "common/ReportLog.h"
#include "common/StrProc.h"
#include "common/Settings.h"

namespace zelk {

namespace {
constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kNameDescription = "name=\"description\"";
constexpr std::string_view kNameKeywords = "name=\"keywords\"";

bool IsFontSizeChar(unsigned char c) { return c == '-' || c == '+' || (c >= '0' && c <= '9'); }

// Number of blanks in [p, end), eight bytes at a time: a blank gives a zero
// byte in the XOR, and the exact zero-byte test marks each one.
std::size_t CountBlanks(const char* p, const char* end) {
    constexpr uint64_t kSevens = 0x7F7F7F7F7F7F7F7Full;
    constexpr uint64_t kBlanks = 0x2020202020202020ull;
    std::size_t n = 0;
    for (; end - p >= 8; p += 8) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        const uint64_t x = v ^ kBlanks;
        const uint64_t nonzero = ((x & kSevens) + kSevens) | x;
        // One high bit per blank; summed by a multiplication, which needs no
        // population-count instruction from the target.
        const uint64_t marks = (~nonzero & ~kSevens) >> 7;
        n += static_cast<std::size_t>((marks * 0x0101010101010101ull) >> 56);
    }
    for (; p < end; ++p) n += *p == ' ';
    return n;
}

// Index of the last occurrence of pattern in text, or npos. The meta tags
// usually stand near the start of a document, so on a document that is one
// long line the search crosses almost all of it: it skips ahead by up to
// the pattern's length instead of trying every position.
std::size_t LastOccurrence(std::string_view text, std::string_view pattern) {
    if (pattern.empty() || pattern.size() > text.size()) return pattern.empty() ? text.size() : npos;
    const std::boyer_moore_horspool_searcher searcher(pattern.rbegin(), pattern.rend());
    const auto found = std::search(text.rbegin(), text.rend(), searcher);
    if (found == text.rend()) return npos;
    return static_cast<std::size_t>(text.rend() - found) - pattern.size();
}
}  // namespace

void Scanner::BuildBlankless() {
    if (blanklessBuilt_) return;
    blanklessBuilt_ = true;
    // Only A-Z need folding: every text searched for here is lower-case
    // ASCII, and no other byte lower-cases into ASCII.
    blankless_.resize(s_.ScanLine.size());
    char* out = blankless_.data();
    for (char c : s_.ScanLine) {
        *out = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        out += c != ' ';
    }
    blankless_.resize(static_cast<std::size_t>(out - blankless_.data()));
    std::size_t p = LastOccurrence(blankless_, kNameDescription);
    lastDescription_ = p == npos ? 0 : p + 1;
    p = LastOccurrence(blankless_, kNameKeywords);
    lastKeywords_ = p == npos ? 0 : p + 1;
    restFont_.Forget();
    restSize_.Forget();
}

std::size_t Scanner::BlanklessIndex(int32_t pos) {
    const int32_t end = Length() + 1;
    if (pos > end) pos = end;
    if (pos < 1) pos = 1;
    if (pos < countedTo_) {
        countedTo_ = 1;
        blanksBefore_ = 0;
    }
    const char* line = s_.ScanLine.data();
    blanksBefore_ += CountBlanks(line + countedTo_ - 1, line + pos - 1);
    countedTo_ = pos;
    return static_cast<std::size_t>(pos - 1) - blanksBefore_;
}

bool Scanner::RestContains(std::size_t lastOccurrence, int32_t pos) {
    return lastOccurrence != 0 && lastOccurrence - 1 >= BlanklessIndex(pos);
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
    BuildBlankless();
    const std::string& line = s.ScanLine;
    const std::size_t from = static_cast<std::size_t>(s.ScanPos) - 1;
    if (RestContains(lastDescription_, s.ScanPos)) {
        const std::size_t p = nextContentFolded_.Find(line, from);
        if (p != npos) {
            s.InDescription = true;
            s.ScanPos = static_cast<int32_t>(p) + 1 + 7;
        }
    } else if (RestContains(lastKeywords_, s.ScanPos) && settings_.ExistingKeywordsWeight >= 1) {
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

    BuildBlankless();
    const std::size_t k = BlanklessIndex(s.ScanPos);
    const std::size_t f = restFont_.Find(blankless_, k);
    const std::size_t sz = restSize_.Find(blankless_, k);
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
