#include "analysis/DocumentLines.h"

#include <cstring>

#include "analysis/Markup.h"
#include "analysis/TextFile.h"
#include "analysis/Utf8Cleanup.h"

namespace zelk {

namespace {
// Buffers larger than this are given back after the document that needed
// them; smaller ones stay for the next document.
constexpr std::size_t kKeptCapacity = std::size_t{4} << 20;
}  // namespace

bool DocumentLines::Load(FileSystem& fs, const std::string& path, int& err) {
    doc_.assign(1, ' ');
    pos_ = 1;
    if (fs.ReadFile(path, doc_, 1, SIZE_MAX, err)) return true;
    doc_.resize(1);
    return false;
}

std::string_view DocumentLines::Bytes() const {
    return doc_.empty() ? std::string_view() : std::string_view(doc_).substr(1);
}

bool DocumentLines::Next(std::string& line, int16_t verdict, bool utf8) {
    const std::size_t size = doc_.size();
    while (pos_ < size) {
        // A line ends at CR LF or at a lone CR; a lone LF stays in the line.
        char* const base = doc_.data();
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

        if (pos_ >= size) {
            // The last line takes the document's buffer: the byte before it
            // (a line end, a blank, or the spare first byte) becomes its
            // leading blank.
            if (b - 1 > 0) std::memmove(base, base + b - 1, n + 1);
            base[0] = ' ';
            doc_.resize(n + 1);
            line.swap(doc_);
            doc_.clear();
            pos_ = 1;
        } else {
            line.resize(n + 1);
            line[0] = ' ';
            std::memcpy(line.data() + 1, base + b, n);
        }
        // The leading blank is none of the bytes the steps below look for,
        // so it changes none of their results.
        if (verdict == kTextLfOnly) {
            char* p = line.data();
            char* const stop = p + line.size();
            while ((p = static_cast<char*>(std::memchr(p, '\n', static_cast<std::size_t>(stop - p))))) *p++ = ' ';
        }
        if (utf8) {
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
    pos_ = 1;
}

}  // namespace zelk
