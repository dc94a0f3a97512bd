#include "analysis/Markup.h"

namespace zelk {

void NormaliseMarkup(std::string&) {}
void DecodeEntities(std::string&) {}
std::string ReplaceIgnoringCase(std::string_view text, std::string_view, std::string_view) {
    return std::string(text);
}
const std::string& EntityTable() {
    static const std::string t;
    return t;
}

}  // namespace zelk
