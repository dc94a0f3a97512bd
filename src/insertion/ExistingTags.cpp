#include "insertion/ExistingTags.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "analysis/LineReader.h"
#include "analysis/TextFile.h"
#include "common/FileProc.h"
#include "common/StrProc.h"

namespace zelk {

namespace {

constexpr int32_t kExamineBytes = 16384;

// Whether the whole file holds an LF and no CR.
bool HasLfLineEndsOnly(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<char> buf(1 << 16);
    bool lf = false, cr = false;
    std::size_t n;
    while (!cr && (n = std::fread(buf.data(), 1, buf.size(), f)) > 0) {
        auto end = buf.begin() + static_cast<std::ptrdiff_t>(n);
        if (std::find(buf.begin(), end, '\r') != end) cr = true;
        if (!lf && std::find(buf.begin(), end, '\n') != end) lf = true;
    }
    std::fclose(f);
    return lf && !cr;
}

std::string Cleaned(const std::string& s) { return Utf8PunctuationToAscii(Utf8ToLatin1(s)); }

// The text of the line from m up to the first ">" at or after from (or to the
// end of the line when there is none).
std::string TagText(const std::string& line, const std::string& low, long m, long from) {
    long e = InStr(from, low, ">");
    if (e == 0) e = static_cast<long>(line.size());
    return Mid(line, m, std::max(0L, e - m + 1));
}

}  // namespace

int16_t LineEndType(const std::string& path, int32_t maxBytes, bool& isUtf8) {
    isUtf8 = false;
    const int16_t r = DetectEncoding(path);
    if (r < 0 || r == 6) return r;
    if (r == 3) {
        isUtf8 = true;
        return 1;
    }
    if (r != 0) return 7;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    std::vector<char> buf(static_cast<std::size_t>(std::max<int32_t>(maxBytes, 0)));
    std::size_t n = buf.empty() ? 0 : std::fread(buf.data(), 1, buf.size(), f);
    bool empty = n == 0 && std::fgetc(f) == EOF;
    std::fclose(f);
    if (empty) return -2;
    auto end = buf.begin() + static_cast<std::ptrdiff_t>(n);
    bool lf = std::find(buf.begin(), end, '\n') != end;
    bool cr = std::find(buf.begin(), end, '\r') != end;
    if (cr && !lf) return 3;
    if (lf && !cr) return 2;
    return 1;
}

std::optional<std::string> ShowExistingMetaTags(const std::string& inputFileText,
                                                Prompter& prompter) {
    const std::string path = Trim(inputFileText);
    if (path.empty()) {
        prompter.Message("Input file not specified.", "Error", Icon::Exclamation);
        return std::nullopt;
    }
    if (!FileExists(path)) {
        prompter.Message("Input file not found.", "File not found", Icon::Exclamation);
        return std::nullopt;
    }
    bool utf8 = false;
    if (LineEndType(path, kExamineBytes, utf8) == 2) {
        return "Input file is a Unix/Linux file.\r\n\r\nCannot show meta tags for this "
               "file.\r\n\r\nProcessing of this file may be slow.";
    }

    std::string out;
    bool vpFound = false, kwFound = false;
    // A UTF-8 page with LF line ends gets here too; read it by its own line
    // ends, or its whole head would arrive as one line that holds "</head>".
    LineReader reader;
    const auto ends = HasLfLineEndsOnly(path) ? LineReader::Ends::LfOnly : LineReader::Ends::CrOrCrLf;
    if (!reader.Open(path, ends)) return out;
    std::string line;
    while (reader.Next(line)) {
        line = Trim(line);
        std::string low = LowerCaseAccented(line);
        if (InStr(low, "</head>") > 0) break;
        if (InStr(line, "<!--") > 0) {
            bool more = true;
            while (more && InStr(line, "-->") == 0) more = reader.Next(line);
            if (!more || !reader.Next(line)) break;
            line = Trim(line);
            low = LowerCaseAccented(line);
        }
        if (Left(low, 7) == "<title>") {
            long t = InStr(low, "</title>");
            std::string title = t > 0 ? Mid(line, 8, t - 8) : Mid(line, 8);
            out += "TITLE: " + Cleaned(title) + "\r\n\r\n";
            continue;
        }
        long m = InStr(low, "<meta ");
        if (m == 0) continue;
        if (long p = InStr(low, "\"viewport\""); p > 0) {
            out += "VIEWPORT meta tag: " + TagText(line, low, m, p + 10) + "\r\n\r\n";
            vpFound = true;
        }
        if (long p = InStr(low, "\"keywords\""); p > 0) {
            out += "KEYWORDS meta tag: " + TagText(line, low, m, p + 10) + "\r\n\r\n";
            kwFound = true;
        }
        if (long p = InStr(low, "\"description\""); p > 0) {
            out += "DESCRIPTION meta tag: " + Cleaned(TagText(line, low, m, p + 13)) + "\r\n\r\n";
        }
    }
    // A read failure abandons the scan; the box keeps what was found so far.
    if (reader.Failed()) return out;
    reader.Close();
    if (!vpFound) out += "No viewport meta tag found.\r\n";
    if (!kwFound) out += "No keywords meta tag found.\r\n";
    return out;
}

}  // namespace zelk
