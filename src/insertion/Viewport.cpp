#include "insertion/Viewport.h"

#include "common/StrProc.h"

namespace zelk {

int SplitString(std::string_view text, std::string_view sep, long start,
                std::vector<std::string>& items, bool trim, int maxItems, int minLength) {
    if (start < 1) start = 1;
    if (static_cast<std::size_t>(start) > text.size()) return 0;
    std::string_view rest = text.substr(static_cast<std::size_t>(start - 1));
    if (sep.empty()) {
        // Nothing to split at: the whole rest is the one item.
        std::string item = trim ? Trim(rest) : std::string(rest);
        if (static_cast<long>(item.size()) < minLength) return 0;
        items.push_back(std::move(item));
        return 1;
    }
    if (rest.substr(0, sep.size()) == sep) {
        rest.remove_prefix(sep.size());
        // The closing separator is implied even then: one empty item.
        if (rest.empty()) {
            if (minLength > 0) return 0;
            items.emplace_back();
            return 1;
        }
    }
    // The implied closing separator is not materialised: the last item runs
    // to the end of the text.
    const bool blankSep = sep == " ";
    int count = 0;
    while (!rest.empty()) {
        std::size_t p = rest.find(sep);
        std::string_view raw = p == std::string_view::npos ? rest : rest.substr(0, p);
        std::string item = trim ? Trim(raw) : std::string(raw);
        if (static_cast<long>(item.size()) >= minLength) {
            items.push_back(std::move(item));
            ++count;
            if (maxItems > 0 && count >= maxItems) break;
        }
        if (p == std::string_view::npos) break;
        rest.remove_prefix(p + sep.size());
        if (blankSep) {
            std::size_t b = rest.find_first_not_of(' ');
            rest.remove_prefix(b == std::string_view::npos ? rest.size() : b);
        }
    }
    return count;
}

void VPMTvalid(std::string& tag, int16_t& validity) {
    std::string t = LowerCaseAccented(Trim(tag));
    t = Replace(t, "/>", ">");
    t = Replace(t, " >", ">");
    t = Replace(t, "  ", " ");
    t = Replace(t, ", ", ",");
    t = Replace(t, " =", "=");
    t = Replace(t, "= ", "=");
    tag = t;
    std::vector<std::string> items;
    const int n = SplitString(t, " ", 1, items, true, 0, 0);
    if (n == 0) {
        validity = 0;
        return;
    }
    validity = -1;
    if (n != 3) return;
    if (items[0] != "<meta") return;
    if (items[1] != "name=\"viewport\"") return;
    if (items[2].rfind("content=\"", 0) != 0) return;
    if (items[2].size() < 2 || items[2].substr(items[2].size() - 2) != "\">") return;
    validity = 1;
}

}  // namespace zelk
