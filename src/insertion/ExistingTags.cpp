#include "insertion/ExistingTags.h"

#include <algorithm>

#include "analysis/TextContent.h"
#include "analysis/Utf8Cleanup.h"
#include "common/SafeWrite.h"
#include "common/StrProc.h"

namespace zelk {

namespace {

constexpr int32_t kExamineBytes = 16384;

// Lines of a document in memory, ended as LineReader ends them: at LF in a
// document with LF line ends only, else at CR LF or a lone CR.
class Lines {
public:
    explicit Lines(std::string_view doc)
        : doc_(doc), lfOnly_(doc.find('\n') != std::string_view::npos &&
                             doc.find('\r') == std::string_view::npos) {}
    bool Next(std::string& line) {
        if (pos_ >= doc_.size()) return false;
        std::size_t j = doc_.find(lfOnly_ ? '\n' : '\r', pos_);
        if (j == std::string_view::npos) j = doc_.size();
        line.assign(doc_.substr(pos_, j - pos_));
        pos_ = j + 1;
        if (!lfOnly_ && pos_ < doc_.size() && doc_[pos_] == '\n') ++pos_;
        return true;
    }

private:
    std::string_view doc_;
    bool lfOnly_;
    std::size_t pos_ = 0;
};

std::string Cleaned(const std::string& s) { return Utf8PunctuationToAscii(Utf8ToLatin1(s)); }

// The text of the line from m up to the first ">" at or after from (or to the
// end of the line when there is none).
std::string TagText(const std::string& line, const std::string& low, long m, long from) {
    long e = InStr(from, low, ">");
    if (e == 0) e = static_cast<long>(line.size());
    return Mid(line, m, std::max(0L, e - m + 1));
}

}  // namespace

int16_t LineEndType(std::string_view bytes, const std::string& path, int32_t maxBytes,
                    bool& isUtf8) {
    isUtf8 = false;
    const int16_t r = DetectEncodingOf(bytes, path, false);
    if (r < 0 || r == 6) return r;
    if (r == 3) {
        isUtf8 = true;
        return 1;
    }
    if (r != 0) return 7;
    const std::string_view head = bytes.substr(0, static_cast<std::size_t>(std::max(maxBytes, 0)));
    const bool lf = head.find('\n') != std::string_view::npos;
    const bool cr = head.find('\r') != std::string_view::npos;
    if (cr && !lf) return 3;
    if (lf && !cr) return 2;
    return 1;
}

std::optional<std::string> ShowExistingMetaTags(const std::string& inputFileText,
                                                Prompter& prompter, FileSystem& fs) {
    const std::string path = Trim(inputFileText);
    if (path.empty()) {
        prompter.Message("Input file not specified.", "Error", Icon::Exclamation);
        return std::nullopt;
    }
    FileStatus st;
    if (!fs.Stat(path, st) || !st.exists || !st.regular) {
        prompter.Message("Input file not found.", "File not found", Icon::Exclamation);
        return std::nullopt;
    }
    std::string doc;
    int err = 0;
    if (!ReadWholeFile(fs, path, doc, err)) {
        prompter.Message(ErrorText(err) + ".", "File not readable", Icon::Exclamation);
        return std::nullopt;
    }
    bool utf8 = false;
    if (LineEndType(doc, path, kExamineBytes, utf8) == 2) {
        return "Input file is a Unix/Linux file.\r\n\r\nCannot show meta tags for this "
               "file.\r\n\r\nProcessing of this file may be slow.";
    }

    std::string out;
    bool vpFound = false, kwFound = false;
    // A UTF-8 page with LF line ends gets here too; it is read by its own
    // line ends, or its whole head would arrive as one line that holds
    // "</head>".
    Lines reader(doc);
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
    if (!vpFound) out += "No viewport meta tag found.\r\n";
    if (!kwFound) out += "No keywords meta tag found.\r\n";
    return out;
}

}  // namespace zelk
