#include "batch/ExistingMetaTags.h"

#include <functional>

#include "common/SafeWrite.h"
#include "common/StrProc.h"

namespace zelk {

namespace {

// Feeds the lines of a page to fn, split as the insertion splits them: a
// page with LF and no CR at LF, any other at CR LF or a lone CR. fn returns
// false to stop. False when the page cannot be read.
bool ForEachPageLine(FileSystem& fs, const std::string& path,
                     const std::function<bool(std::string&)>& fn) {
    std::string doc;
    int err = 0;
    if (!ReadWholeFile(fs, path, doc, err)) return false;
    const bool lfOnly = doc.find('\n') != std::string::npos && doc.find('\r') == std::string::npos;
    const std::size_t n = doc.size();
    std::size_t i = 0;
    std::string line;
    while (i < n) {
        std::size_t j = lfOnly ? doc.find('\n', i) : doc.find('\r', i);
        if (j == std::string::npos) j = n;
        line.assign(doc, i, j - i);
        i = j + 1;
        if (!lfOnly && j < n && i < n && doc[i] == '\n') ++i;
        if (!fn(line)) break;
    }
    return true;
}

// Position (0-based) of the closing double quote of a tag at or after from:
// '">', '" />' or '"/>'; npos when there is none.
std::size_t ClosingQuote(const std::string& t, std::size_t from) {
    for (std::size_t q = t.find('"', from); q != std::string::npos; q = t.find('"', q + 1)) {
        const std::string_view rest = std::string_view(t).substr(q + 1);
        if (rest.starts_with(">") || rest.starts_with(" />") || rest.starts_with("/>")) return q;
    }
    return std::string::npos;
}

}  // namespace

bool HasMetaTag(FileSystem& fs, const std::string& path, const std::string& nameIn) {
    const std::string name = LowerCaseAccented(Trim(nameIn));
    if (name.empty()) return false;
    const std::string pattern = "<meta name=\"" + name + "\" content=\"";
    bool found = false;
    const bool read = ForEachPageLine(fs, path, [&](std::string& line) {
        const std::string t = LowerCaseAccented(Trim(line));
        const std::size_t p = t.find(pattern);
        if (p != std::string::npos) {
            const std::size_t q = ClosingQuote(t, p);
            if (q != std::string::npos && t[q - 1] != '"') {
                found = true;
                return false;
            }
        }
        return t.find("</head>") == std::string::npos;
    });
    return read && found;
}

void GetExistingMetaTags(FileSystem& fs, const std::string& path, std::string& keywordsTag,
                         std::string& viewportTag) {
    keywordsTag.clear();
    viewportTag.clear();
    bool inComment = false;
    const bool read = ForEachPageLine(fs, path, [&](std::string& raw) {
        const std::string line = Trim(raw);
        // A comment runs from a line holding "<!--" through the first line
        // holding "-->"; those lines are passed over.
        if (!inComment && line.find("<!--") != std::string::npos) inComment = true;
        if (inComment) {
            if (line.find("-->") != std::string::npos) inComment = false;
            return true;
        }
        const std::string low = LowerCaseAccented(line);
        const std::size_t m = low.find("<meta ");
        if (m != std::string::npos) {
            if (low.find("\"viewport\"", m) != std::string::npos) viewportTag = line.substr(m);
            if (low.find("\"keywords\"", m) != std::string::npos) keywordsTag = line.substr(m);
        }
        if (!viewportTag.empty() && !keywordsTag.empty()) return false;
        return low.find("</head>") == std::string::npos;
    });
    if (!read) {
        keywordsTag.clear();
        viewportTag.clear();
    }
}

}  // namespace zelk
