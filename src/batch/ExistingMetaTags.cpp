#include "batch/ExistingMetaTags.h"

#include <cstring>

#include "common/StrProc.h"

namespace zelk {

namespace {

// Feeds the lines of a page to fn, split as the insertion splits them: a
// page with LF and no CR at LF, any other at CR LF or a lone CR. fn returns
// false to stop.
template <typename Fn>
void ForEachPageLine(std::string_view doc, Fn&& fn) {
    const bool lfOnly = doc.find('\n') != std::string_view::npos &&
                        doc.find('\r') == std::string_view::npos;
    const std::size_t n = doc.size();
    std::size_t i = 0;
    std::string line;
    while (i < n) {
        std::size_t j = lfOnly ? doc.find('\n', i) : doc.find('\r', i);
        if (j == std::string_view::npos) j = n;
        line.assign(doc.substr(i, j - i));
        i = j + 1;
        if (!lfOnly && j < n && i < n && doc[i] == '\n') ++i;
        if (!fn(line)) break;
    }
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

// A needle folded with LowerCaseAccented, searched for in text folded byte
// by byte.
class FoldedNeedle {
public:
    explicit FoldedNeedle(const std::string& needle) : folded_(LowerCaseAccented(needle)) {
        if (folded_.empty()) return;
        // Most often only the first byte itself folds to the first byte
        // ('<'): the candidates are then found with memchr.
        const char first = folded_[0];
        single_ = LowerChar(first) == first;
        for (int c = 0; c < 256 && single_; ++c)
            if (static_cast<char>(c) != first && LowerChar(static_cast<char>(c)) == first)
                single_ = false;
    }
    bool Empty() const { return folded_.empty(); }
    bool In(std::string_view s) const { return Find(s) != std::string_view::npos; }
    // Where the needle first stands in s; npos when nowhere.
    std::size_t Find(std::string_view s) const {
        const std::size_t m = folded_.size();
        if (m == 0 || s.size() < m) return std::string_view::npos;
        const std::size_t last = s.size() - m;
        const char first = folded_[0];
        for (std::size_t i = 0; i <= last; ++i) {
            if (single_) {
                const void* hit = std::memchr(s.data() + i, first, last - i + 1);
                if (!hit) return std::string_view::npos;
                i = static_cast<std::size_t>(static_cast<const char*>(hit) - s.data());
            } else if (LowerChar(s[i]) != first) {
                continue;
            }
            std::size_t k = 1;
            while (k < m && LowerChar(s[i + k]) == folded_[k]) ++k;
            if (k == m) return i;
        }
        return std::string_view::npos;
    }
    bool HoldsLineEnd() const { return folded_.find_first_of("\r\n") != std::string::npos; }

private:
    std::string folded_;
    bool single_ = false;
};

}  // namespace

bool HasMetaTag(std::string_view page, const std::string& nameIn) {
    const std::string name = LowerCaseAccented(Trim(nameIn));
    if (name.empty()) return false;
    const std::string pattern = "<meta name=\"" + name + "\" content=\"";
    bool found = false;
    ForEachPageLine(page, [&](std::string& line) {
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
    return found;
}

void GetExistingMetaTags(std::string_view page, std::string& keywordsTag,
                         std::string& viewportTag) {
    keywordsTag.clear();
    viewportTag.clear();
    bool inComment = false;
    ForEachPageLine(page, [&](std::string& raw) {
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
}

bool LinesHold(std::string_view page, const std::string& needle, int maxLines) {
    const FoldedNeedle want(needle);
    if (want.Empty()) return false;
    if (!want.HoldsLineEnd()) {
        // No occurrence spans a line end: the first one in the page is the
        // first in any line, and it lies within the first maxLines lines
        // when fewer than maxLines CRs stand before it. An LF-only page is
        // one line, and its search ends at the needle, not at its end.
        const std::size_t at = want.Find(page);
        if (at == std::string_view::npos) return false;
        if (maxLines <= 0) return true;
        int line = 1;
        for (std::size_t i = page.find('\r'); i < at; i = page.find('\r', i + 1))
            if (++line > maxLines) return false;
        return true;
    }
    const std::size_t n = page.size();
    std::size_t i = 0;
    int count = 0;
    while (i < n) {
        std::size_t j = page.find('\r', i);
        if (j == std::string_view::npos) j = n;
        if (want.In(page.substr(i, j - i))) return true;
        if (maxLines > 0 && ++count >= maxLines) break;
        i = j + 1;
        if (i < n && page[i] == '\n') ++i;
    }
    return false;
}

}  // namespace zelk
