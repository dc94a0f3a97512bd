#include "analysis/TextContent.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/FileProc.h"

namespace zelk {

namespace textrules {

namespace {
inline unsigned char U(char c) { return static_cast<unsigned char>(c); }
}  // namespace

int16_t EncodingFromHead(std::string_view head, const std::string& path) {
    const unsigned char b0 = U(head[0]), b1 = U(head[1]), b2 = U(head[2]), b3 = U(head[3]);
    if (head.substr(0, 5) == "{\\rtf") return 6;
    if (b0 == 0xFF && b1 == 0xFE) return 1;
    if (b0 == 0xFE && b1 == 0xFF) return 2;
    if (b0 == 0xEF && b1 == 0xBB && b2 == 0xBF) return 3;
    if (b0 == 0x00 && b1 == 0x00 && b2 == 0xFE && b3 == 0xFF) return 5;
    if (FileExtension(path, true) == "xml") {
        if (b0 == '<' && b1 != 0) return 3;
        if (b0 == '<' && b1 == 0) return 1;
        if (b0 == 0 && b1 == '<') return 2;
    }
    return kUndecided;
}

// Both charset texts begin "charset=", so each "=" of the line is looked at
// once.
bool DeclaresUtf8(std::string_view line) {
    constexpr std::string_view kKey = "charset";
    for (std::size_t eq = line.find('='); eq != std::string_view::npos; eq = line.find('=', eq + 1)) {
        if (eq < kKey.size() || line.substr(eq - kKey.size(), kKey.size()) != kKey) continue;
        const std::string_view rest = line.substr(eq + 1);
        if (rest.starts_with("UTF-8") || rest.starts_with("\"UTF-8\"")) return true;
    }
    return line.find("\xE2\x80") != std::string_view::npos;
}

void ClassifySample(std::string_view bytes, int32_t maxBytes, double thresholdPercent,
                    TextFileTest& t) {
    const std::size_t n = bytes.size();
    bool sawLf = false, sawCr = false;
    long long count = 0;
    const double abandonAfter = maxBytes / 5.0;
    const double abandonAfter2 = maxBytes / 10.0;
    auto pastMarks = [&](long long i) {
        return static_cast<double>(i) > abandonAfter && static_cast<double>(i) > abandonAfter2;
    };
    // True when the sample is given up at 1-based position i.
    auto abandon = [&](long long i) {
        t.nonTextPercent = static_cast<double>(count) * 100.0 / static_cast<double>(i);
        return t.nonTextPercent > 10.0 * thresholdPercent;
    };
    // The share of control bytes can only fall between two of them, so the
    // sample is given up, if at all, at the first position past both marks
    // or at a control byte after it: only there is it worth working out.
    long long first = std::max(1.0, std::min(std::max(abandonAfter, abandonAfter2), 1e18));
    while (first > 1 && pastMarks(first - 1)) --first;
    while (!pastMarks(first)) ++first;
    // Byte k (position k + 1); true when the sample is given up there.
    auto look = [&](std::size_t k) {
        const unsigned char c = U(bytes[k]);
        const long long i = static_cast<long long>(k) + 1;
        if (c == 10) {
            sawLf = true;
        } else if (c == 13) {
            sawCr = true;
        } else if (c < 32 && c != 9 && c != 12 && c != 8) {
            if (t.firstBadByte == 32) {
                t.firstBadByte = c;
                t.firstBadPos = static_cast<int32_t>(i);
            }
            ++count;
            return i > first && abandon(i);
        }
        return false;
    };
    for (std::size_t k = 0; k < n;) {
        // Runs of bytes from 32 up, eight at a time: a word holds a byte
        // below 32 exactly when this borrow test marks one.
        while (k + 8 <= n) {
            uint64_t v;
            std::memcpy(&v, bytes.data() + k, 8);
            if ((v - 0x2020202020202020ull) & ~v & 0x8080808080808080ull) break;
            if (static_cast<long long>(k) < first && static_cast<long long>(k + 8) >= first) break;
            k += 8;
        }
        const std::size_t end = std::min(n, k + 8);
        for (; k < end; ++k) {
            if (look(k)) {
                t.verdict = 0;
                return;
            }
            if (static_cast<long long>(k) + 1 == first && abandon(first)) {
                t.verdict = 0;
                return;
            }
        }
    }
    t.nonTextPercent = count > 0 ? static_cast<double>(count) * 100.0 / static_cast<double>(n) : 0.0;
    if (t.nonTextPercent > thresholdPercent) {
        t.verdict = 0;
        return;
    }
    if (sawCr && sawLf) t.verdict = 1;
    else if (sawCr) t.verdict = 3;
    else if (sawLf) t.verdict = 2;
    else t.verdict = 1;
}

}  // namespace textrules

int16_t DetectEncodingOf(std::string_view bytes, const std::string& path, bool charsetSearch) {
    if (bytes.empty()) return -2;
    if (bytes.size() < 5) return -4;
    const int16_t head = textrules::EncodingFromHead(bytes, path);
    if (head != textrules::kUndecided) return head;
    if (!charsetSearch || !HasTextExtension(path)) return 0;
    // The first ten lines that are not blank, ended by CR LF or a lone CR as
    // the file-based search reads them.
    int lineCount = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t cr = bytes.find('\r', i);
        if (cr == std::string_view::npos) cr = bytes.size();
        const std::string_view line = bytes.substr(i, cr - i);
        i = cr + 1;
        if (i < bytes.size() && bytes[i] == '\n') ++i;
        if (line.empty()) continue;
        if (textrules::DeclaresUtf8(line)) return 3;
        if (++lineCount == 10) break;
    }
    return 0;
}

TextFileTest IsTextContent(std::string_view bytes, const std::string& path, int32_t maxBytes,
                           double thresholdPercent, bool charsetSearch) {
    TextFileTest t;
    const int16_t r = DetectEncodingOf(bytes, path, charsetSearch);
    if (r < 0 || r == 6) {
        t.verdict = r;
        return t;
    }
    if (r == 3) {
        t.utf8 = true;
        t.verdict = 1;
        return t;
    }
    if (r == 1 || r == 2 || r == 5) {
        t.verdict = 7;
        return t;
    }
    const std::size_t n = std::min<std::size_t>(bytes.size(), maxBytes < 0 ? 0 : maxBytes);
    textrules::ClassifySample(bytes.substr(0, n), maxBytes, thresholdPercent, t);
    return t;
}

}  // namespace zelk
