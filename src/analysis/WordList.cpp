#include "analysis/WordList.h"

namespace zelk {

std::string ListWords(const WordTable&, int32_t, const std::function<void(const std::string&)>&) {
    return {};
}

}  // namespace zelk
