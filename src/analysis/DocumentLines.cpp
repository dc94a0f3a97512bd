#include "analysis/DocumentLines.h"

#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "analysis/Markup.h"
#include "analysis/TextFile.h"
#include "analysis/Utf8Cleanup.h"

namespace zelk {

namespace {
// Buffers larger than this are given back after the document that needed
// them; smaller ones stay for the next document.
constexpr std::size_t kKeptCapacity = std::size_t{4} << 20;

// Every LF made a blank; in a Unix-type file they are every sixty bytes or
// so, too close for a search per LF to pay.
void BlankLineFeeds(char* p, std::size_t n) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i blank = _mm_set1_epi8(' ');
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i isLf = _mm_cmpeq_epi8(v, lf);
        if (_mm_movemask_epi8(isLf) == 0) continue;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i),
                         _mm_or_si128(_mm_and_si128(isLf, blank), _mm_andnot_si128(isLf, v)));
    }
#endif
    for (; i < n; ++i)
        if (p[i] == '\n') p[i] = ' ';
}

// Any byte of 128 or more: without one, a line holds no UTF-8 sequence for
// the clean-up steps to turn into single bytes.
bool HasHighByte(const char* p, std::size_t n) {
    std::size_t i = 0;
    uint64_t any = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t v;
        std::memcpy(&v, p + i, 8);
        any |= v;
    }
    for (; i < n; ++i) any |= static_cast<unsigned char>(p[i]);
    return (any & 0x8080808080808080ull) != 0;
}
}  // namespace

bool DocumentLines::Load(FileSystem& fs, const std::string& path, int& err) {
    doc_.assign(1, ' ');
    pos_ = 0;
    if (fs.ReadFile(path, doc_, 1, SIZE_MAX, err)) {
        src_ = std::string_view(doc_).substr(1);
        own_ = true;
        return true;
    }
    doc_.resize(1);
    src_ = {};
    own_ = false;
    return false;
}

void DocumentLines::View(std::string_view bytes) {
    src_ = bytes;
    own_ = false;
    pos_ = 0;
}

bool DocumentLines::Next(std::string& line, int16_t verdict, bool utf8) {
    const char* const base = src_.data();
    const std::size_t size = src_.size();
    while (pos_ < size) {
        // A line ends at CR LF or at a lone CR; a lone LF stays in the line.
        const std::size_t start = pos_;
        const void* hit = std::memchr(base + start, '\r', size - start);
        const std::size_t end = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : size;
        pos_ = hit ? end + 1 : size;
        if (hit && pos_ < size && base[pos_] == '\n') ++pos_;

        std::size_t b = start;
        while (b < end && base[b] == ' ') ++b;
        if (b == end) continue;
        std::size_t e = end;
        while (base[e - 1] == ' ') --e;
        const std::size_t n = e - b;

        if (pos_ >= size && own_) {
            // The last line of a loaded document takes its buffer: the byte
            // before the line (a line end, a blank, or the spare first byte)
            // becomes its leading blank.
            char* const d = doc_.data();
            if (b > 0) std::memmove(d, d + b, n + 1);
            d[0] = ' ';
            doc_.resize(n + 1);
            line.swap(doc_);
            doc_.clear();
            src_ = {};
            own_ = false;
            pos_ = 0;
        } else {
            line.resize(n + 1);
            line[0] = ' ';
            std::memcpy(line.data() + 1, base + b, n);
        }
        // The leading blank is none of the bytes the steps below look for,
        // so it changes none of their results.
        if (verdict == kTextLfOnly) BlankLineFeeds(line.data(), line.size());
        if (utf8 && HasHighByte(line.data(), line.size())) {
            Utf8ToLatin1InPlace(line);
            Utf8PunctuationToAsciiInPlace(line);
        }
        NormaliseMarkup(line);
        DecodeEntities(line);
        return true;
    }
    return false;
}

void DocumentLines::Trim() {
    if (doc_.capacity() > kKeptCapacity) std::string().swap(doc_);
    doc_.clear();
    src_ = {};
    own_ = false;
    pos_ = 0;
}

}  // namespace zelk
