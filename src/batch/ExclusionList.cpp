#include "batch/ExclusionList.h"

#include <algorithm>

#include "common/StrProc.h"
#include "insertion/Viewport.h"

namespace zelk {

std::vector<std::string> ParseExclusionList(const std::string& text) {
    std::vector<std::string> items;
    SplitString(Replace(text, "\\", "/"), ",", 1, items, true, 0, 0);
    std::stable_sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
        return LowerCaseAccented(a) < LowerCaseAccented(b);
    });
    return items;
}

std::string JoinExclusionList(const std::vector<std::string>& items) {
    std::string joined;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) joined += ", ";
        joined += items[i];
    }
    return joined;
}

}  // namespace zelk
