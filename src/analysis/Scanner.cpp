// The scanner: one prepared line at a time, left to right, one step per
// character class. Context (script, style, comment, tag, table, font ...)
// carries over from line to line in ScanState.
#include <algorithm>
#include <array>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "analysis/AnalysisHost.h"
#include "analysis/ByteSearch.h"
#include "analysis/Scanner.h"
#include "analysis/WordChars.h"
#include "common/StrProc.h"
#include "common/Settings.h"

namespace zelk {

namespace {
constexpr std::size_t npos = std::string_view::npos;

inline char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
}  // namespace

void ScanState::Reset() {
    ScanLine.clear();
    ScanPos = 1;
    CurrentWord = {};
    TotalWords = 0;
    InTag = InScript = InStyle = InComment = InFontTag = false;
    InBold = InItalic = InTitle = InDescription = InExistingKeywords = false;
    TagNesting = HeadingBonus = TableDepth = DivDepth = SpanDepth = 0;
    FontSize = 3;
    FontDepth = 0;
    FontSizeStack.assign(17, 0);
}

std::size_t Scanner::NextOccurrence::Find(std::string_view text, std::size_t from) {
    if (valid_ && from >= from_ && (found_ == npos || found_ >= from)) return found_;
    valid_ = true;
    from_ = from;
    found_ = npos;
    const std::size_t m = pattern_.size();
    if (from >= text.size() || m > text.size() - from) return found_;
    if (!fold_) {
        if (m == 1) {
            const std::size_t k = from + FindByte(text.data() + from, text.size() - from, pattern_[0]);
            found_ = k < text.size() ? k : npos;
        } else {
            found_ = text.find(pattern_, from);
        }
        return found_;
    }
    // The patterns are lower-case ASCII; folding A-Z is all the general
    // lower-casing can change about a match with them.
    const char first = pattern_[0];
    const std::size_t last = text.size() - m;
    for (std::size_t i = from; i <= last; ++i) {
        if (FoldAscii(text[i]) != first) continue;
        std::size_t k = 1;
        while (k < m && FoldAscii(text[i + k]) == pattern_[k]) ++k;
        if (k == m) {
            found_ = i;
            break;
        }
    }
    return found_;
}

Scanner::Scanner(ScanState& state, const Settings& settings, AnalysisHost& host,
                 ReportLog& report, const bool& stop, WordSink sink)
    : s_(state), settings_(settings), host_(host), report_(report), stop_(stop),
      sink_(std::move(sink)) {}

void Scanner::SetLine(std::string line) { SwapLine(line); }

void Scanner::SwapLine(std::string& line) {
    s_.ScanLine.swap(line);
    s_.ScanPos = 1;
    nextGreater_.Forget();
    nextSemicolon_.Forget();
    nextBlank_.Forget();
    nextContentFolded_.Forget();
    nextContentExact_.Forget();
    nextSizeFolded_.Forget();
    sizeCharValid_ = false;
    restDescription_.Forget();
    restKeywords_.Forget();
    restFont_.Forget();
    restSize_.Forget();
}

bool Scanner::AtTag(int32_t pos, std::string_view tag) const {
    if (pos < 1) return false;
    const std::size_t i = static_cast<std::size_t>(pos) - 1;
    const std::string& line = s_.ScanLine;
    if (i >= line.size() || tag.size() > line.size() - i) return false;
    for (std::size_t k = 0; k < tag.size(); ++k)
        if (FoldAscii(line[i + k]) != tag[k]) return false;
    return true;
}

int32_t Scanner::NextGreater(int32_t pos) {
    const int32_t len = Length();
    if (pos > len) return len + 1;
    std::size_t p = nextGreater_.Find(s_.ScanLine, static_cast<std::size_t>(pos < 1 ? 1 : pos) - 1);
    return p == npos ? len + 1 : static_cast<int32_t>(p) + 1;
}

namespace {
// The word characters when no language adds any, as a table.
constexpr std::array<bool, 256> MakeLetters() {
    std::array<bool, 256> t{};
    for (int c = 0; c < 256; ++c) t[static_cast<std::size_t>(c)] = IsWordChar(static_cast<unsigned char>(c), false, "");
    return t;
}
constexpr auto kLetters = MakeLetters();

// Length of the run of letters at p, at most limit bytes.
inline std::size_t LetterRun(const unsigned char* p, std::size_t limit) {
    std::size_t k = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: A-Z and a-z are the bytes that OR 0x20 makes
    // a-z; the others are 192-255 but for 215 and 247 (negative as signed
    // bytes). A word ends at most words' first look, without a branch per
    // letter.
    const __m128i lowest = _mm_set1_epi8(static_cast<char>('a' - 1));
    const __m128i highest = _mm_set1_epi8(static_cast<char>('z' + 1));
    const __m128i from192 = _mm_set1_epi8(static_cast<char>(191));
    const __m128i zero = _mm_setzero_si128();
    while (k + 16 <= limit) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        const __m128i folded = _mm_or_si128(v, _mm_set1_epi8(0x20));
        const __m128i ascii = _mm_and_si128(_mm_cmpgt_epi8(folded, lowest), _mm_cmplt_epi8(folded, highest));
        const __m128i high = _mm_andnot_si128(
            _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(215))),
                         _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(247)))),
            _mm_and_si128(_mm_cmpgt_epi8(v, from192), _mm_cmplt_epi8(v, zero)));
        const unsigned others = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(ascii, high))) & 0xFFFFu;
        if (others != 0) return k + static_cast<std::size_t>(__builtin_ctz(others));
        k += 16;
    }
#endif
    while (k < limit && kLetters[p[k]]) ++k;
    return k;
}
}  // namespace

int32_t Scanner::WordLength(std::string_view text, int32_t start, bool digits,
                            std::string_view extra) {
    if (start < 1) return 0;
    const std::size_t base = static_cast<std::size_t>(start) - 1;
    if (base >= text.size()) return 0;
    const std::size_t limit = std::min(text.size() - base, static_cast<std::size_t>(kMaxWordLength));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data()) + base;
    if (!digits && extra.empty()) return static_cast<int32_t>(LetterRun(p, limit));
    std::size_t k = 0;
    while (k < limit && IsWordChar(p[k], digits, extra)) ++k;
    return static_cast<int32_t>(k);
}

bool Scanner::SkipToEndMarker(std::string_view marker) {
    long p = FindIgnoringCase(s_.ScanPos, s_.ScanLine, marker);
    if (p > 0) {
        s_.ScanPos = static_cast<int32_t>(p) + static_cast<int32_t>(marker.size());
        return true;
    }
    s_.ScanPos = Length() + 1;
    return false;
}

// The content of a table (div, span) whose weight is 0. Counts nested start
// and end tags and returns true just behind the end tag that closes the
// outermost one; false when the line ends first.
bool Scanner::SkipElementContent(std::string_view startTag, std::string_view endTag,
                                 int16_t& depth) {
    const int32_t len = Length();
    for (;;) {
        if (AtTag(s_.ScanPos, startTag)) {
            Increment16(depth);
            s_.ScanPos += static_cast<int32_t>(startTag.size());
        } else if (AtTag(s_.ScanPos, endTag)) {
            Decrement16(depth);
            s_.ScanPos += static_cast<int32_t>(endTag.size());
            if (depth == 0) return true;
        }
        ++s_.ScanPos;
        // A start tag that ends the line leaves ScanPos beyond the position
        // just past the end; that is the end of the line all the same.
        if (s_.ScanPos >= len + 1) return false;
    }
}

bool Scanner::TakeWord() {
    const std::string& line = s_.ScanLine;
    const std::size_t start = static_cast<std::size_t>(s_.ScanPos) - 1;
    const std::string_view extra = ExtraWordChars(settings_.Language);
    const std::size_t n =
        extra.empty()
            ? LetterRun(reinterpret_cast<const unsigned char*>(line.data()) + start,
                        std::min(line.size() - start, static_cast<std::size_t>(kMaxWordLength)))
            : static_cast<std::size_t>(WordLength(line, s_.ScanPos, false, extra));
    const auto len = static_cast<int32_t>(n);
    const unsigned char a = At(s_.ScanPos + len);
    if (a == '\'') {
        const unsigned char b = At(s_.ScanPos + len + 1);
        if (kLetters[b] && b != 's' && b != 'S' && At(s_.ScanPos + len + 2) == ' ') {
            // A contraction: the word, the apostrophe and the letter are dropped.
            s_.CurrentWord = {};
            s_.ScanPos += len + 3;
            return false;
        }
    }
    s_.CurrentWord = std::string_view(line.data() + start, n);
    if (sink_ && n >= sinkMin_ && n <= sinkMax_) sink_();
    s_.ScanPos += len;
    return true;
}

void Scanner::ScanCurrentLine() {
    ScanState& s = s_;
    const std::string& line = s.ScanLine;
    const int32_t len = Length();
    s.ScanPos = 1;
    for (;;) {
        if (s.ScanPos > len) return;
        host_.Yield();
        if (stop_) return;

        // Step over blanks; nothing but blanks left ends the line.
        {
            std::size_t i = static_cast<std::size_t>(s.ScanPos) - 1;
            while (i < line.size() && line[i] == ' ') ++i;
            if (i >= line.size()) return;
            s.ScanPos = static_cast<int32_t>(i) + 1;
        }

        // Text outside every tag, comment, script, style and skipped table,
        // not at a "<": none of the steps below can apply, which is most of
        // the steps of a page.
        const bool plainText = line[static_cast<std::size_t>(s.ScanPos) - 1] != '<' && !s.InTag &&
                               !s.InFontTag && !s.InComment && !s.InStyle && !s.InScript &&
                               !(s.TableDepth >= 1 && settings_.TableWeight == 0);
        if (!plainText) {
            // Inside a table of weight 0 that began on an earlier line.
            if (s.TableDepth >= 1 && settings_.TableWeight == 0) {
                if (!SkipElementContent("<table", "</table>", s.TableDepth)) return;
            }

            // The rest of a font start tag that did not end on its own line.
            if (s.InFontTag) {
                const int32_t g = NextGreater(s.ScanPos);
                s.ScanPos = g;
                if (g < len) {
                    Decrement16(s.TagNesting);
                    s.ScanPos = g + 1;
                }
                s.InFontTag = false;
                s.InTag = false;
            }

            // Table, div and span boundaries; the tags themselves are skipped below.
            // Every tag looked for starts with "<": most steps need one look,
            // and most tags are told apart by their second character.
            auto tagHere = [&](std::string_view tag) {
                return At(s.ScanPos) == '<' && FoldAscii(static_cast<char>(At(s.ScanPos + 1))) == tag[1] &&
                       AtTag(s.ScanPos, tag);
            };
            // A start tag deepens its element, or with a weight of 0 its
            // content is skipped; an end tag closes one. False when the line
            // ends inside skipped content.
            auto boundary = [&](std::string_view startTag, std::string_view endTag, int weight,
                                int16_t& depth) {
                if (tagHere(startTag)) {
                    if (weight >= 1)
                        Increment16(depth);
                    else if (!SkipElementContent(startTag, endTag, depth))
                        return false;
                } else if (tagHere(endTag)) {
                    if (weight >= 1 && depth > 0) --depth;
                }
                return true;
            };
            if (!boundary("<table", "</table>", settings_.TableWeight, s.TableDepth)) return;
            if (!boundary("<div", "</div>", settings_.DivWeight, s.DivDepth)) return;
            if (!boundary("<span", "</span>", settings_.SpanWeight, s.SpanDepth)) return;

            if (tagHere("<!--") || s.InComment) {
                const bool found = SkipToEndMarker("-->");
                s.InComment = !found;
                if (!found) return;
                continue;
            }
            if (tagHere("<style") || s.InStyle) {
                const bool found = SkipToEndMarker("</style>");
                s.InStyle = !found;
                if (!found) return;
                continue;
            }
            if (tagHere("<script") || s.InScript) {
                const bool found = SkipToEndMarker("</script>");
                s.InScript = !found;
                if (!found) return;
                continue;
            }
        }
        const unsigned char c = At(s.ScanPos);
        if (c == '<' || s.InTag) {
            s.InTag = true;
            HandleTag();
            continue;
        }
        if (c == '>') {
            s.InFontTag = s.InDescription = s.InExistingKeywords = false;
            ++s.ScanPos;
            if (s.TagNesting >= 1) --s.TagNesting;
            continue;
        }
        switch (c) {
            case 11: s.InBold = true; ++s.ScanPos; continue;
            case 12: s.InBold = false; ++s.ScanPos; continue;
            case 16: s.InItalic = true; ++s.ScanPos; continue;
            case 17: s.InItalic = false; ++s.ScanPos; continue;
            case 14: s.InTitle = true; ++s.ScanPos; continue;
            case 15: s.InTitle = false; ++s.ScanPos; continue;
            default: break;
        }
        if (c >= 1 && c <= 6) {
            s.HeadingBonus = static_cast<int16_t>(5 * c);
            ++s.ScanPos;
            continue;
        }
        if (c == '&') {
            // An entity the normalisation left alone: skipped up to its ";"
            // when that comes before the next blank.
            const std::size_t from = static_cast<std::size_t>(s.ScanPos) - 1;
            const std::size_t semi = nextSemicolon_.Find(line, from);
            const std::size_t blank = nextBlank_.Find(line, from);
            if (semi != npos && (blank == npos || semi < blank)) {
                s.ScanPos = static_cast<int32_t>(semi) + 2;
                continue;
            }
        }
        if (IsWordChar(c, false, "")) {
            if (!TakeWord()) continue;
            if (s.TotalWords < INT32_MAX) ++s.TotalWords;
            if (At(s.ScanPos) == 7) {
                s.HeadingBonus = 0;
                ++s.ScanPos;
            }
            continue;
        }
        ++s.ScanPos;
    }
}

}  // namespace zelk
