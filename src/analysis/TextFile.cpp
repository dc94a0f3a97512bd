#include "analysis/TextFile.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "analysis/LineReader.h"
#include "analysis/TextContent.h"
#include "common/FileProc.h"

namespace zelk {

namespace {

// The first ten lines that are not blank, searched where they are read:
// joined by CR LF they would hold one of the texts exactly when one of the
// lines does (none of the texts holds a CR or an LF).
constexpr int kCharsetLines = 10;
bool FirstLinesDeclareUtf8(const std::string& path, FileSystem& fs) {
    LineReader reader;
    if (!reader.Open(path, LineReader::Ends::CrOrCrLf, fs)) return false;
    bool found = false;
    int lineCount = 0;
    std::string line;
    while (!found && reader.Next(line)) {
        if (line.empty()) continue;
        found = textrules::DeclaresUtf8(line);
        if (++lineCount == kCharsetLines) break;
    }
    return found && !reader.Failed();
}

// Steps 2-4 of the detection on the first five bytes (fewer for a short
// file); kEncodingPlain when nothing is recognised.
EncodingCode FromHead(const std::string& path, std::string_view head) {
    if (head.empty()) return kEncodingEmptyFile;
    if (head.size() < 5) return kEncodingShortFile;
    const int16_t code = textrules::EncodingFromHead(head, path);
    return code == textrules::kUndecided ? kEncodingPlain : static_cast<EncodingCode>(code);
}

bool ExistsAsFile(const std::string& path, FileSystem& fs) {
    FileStatus st;
    return fs.Stat(path, st) && st.exists && st.regular;
}

// Step 1 of the text test: what the encoding code alone decides. False when
// the bytes must be looked at.
bool DecidedByEncoding(EncodingCode r, TextFileTest& t) {
    if (r < 0 || r == kEncodingRtf) {
        t.verdict = r;
        return true;
    }
    if (r == kEncodingUtf8) {
        t.utf8 = true;
        t.verdict = kText;
        return true;
    }
    if (r == kEncodingUtf16Le || r == kEncodingUtf16Be || r == kEncodingUtf32Be) {
        t.verdict = kTextWideUnicode;
        return true;
    }
    return false;
}

std::size_t SampleSize(int32_t maxBytes) { return maxBytes < 0 ? 0 : static_cast<std::size_t>(maxBytes); }

}  // namespace

bool HasTextExtension(const std::string& path) {
    static const std::array<std::string_view, 11> kExt = {
        "txt", "log", "xml", "htm", "html", "shtm", "shtml", "xhtm", "xhtml", "csv", "prn"};
    std::string ext = FileExtension(path, true);
    for (auto e : kExt)
        if (ext == e) return true;
    return false;
}

EncodingCode DetectEncoding(const std::string& path, bool charsetSearch, FileSystem& fs) {
    if (path.empty()) return kEncodingEmptyPath;
    if (!ExistsAsFile(path, fs)) return kEncodingMissing;
    std::string head;
    int err = 0;
    // A file that exists but cannot be read is reported like a missing one:
    // nothing of it can be analysed.
    if (!fs.ReadFile(path, head, 0, 5, err)) return kEncodingMissing;
    const EncodingCode code = FromHead(path, head);
    if (code == kEncodingPlain && charsetSearch && HasTextExtension(path) &&
        FirstLinesDeclareUtf8(path, fs))
        return kEncodingUtf8;
    return code;
}

TextFileTest IsTextFile(const std::string& path, int32_t maxBytes, double thresholdPercent,
                        bool charsetSearch, FileSystem& fs) {
    TextFileTest t;
    if (DecidedByEncoding(DetectEncoding(path, charsetSearch, fs), t)) return t;
    std::string bytes;
    int err = 0;
    if (!fs.ReadFile(path, bytes, 0, SampleSize(maxBytes), err)) {
        t.verdict = kEncodingMissing;
        return t;
    }
    textrules::ClassifySample(bytes, maxBytes, thresholdPercent, t);
    return t;
}

}  // namespace zelk
