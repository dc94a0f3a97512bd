// The message boxes a test saw, as {text, title, icon}, so that a whole
// sequence of boxes is one byte-exact comparison.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "GuiTestSupport.h"

namespace zelk::test {

struct Box {
    std::string text, title;
    Icon icon = Icon::None;
    bool operator==(const Box&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const Box& b) {
        return os << "{\"" << b.text << "\", \"" << b.title << "\", icon " << int(b.icon) << "}";
    }
};

inline std::vector<Box> Boxes(const ScriptedPrompter& p) {
    std::vector<Box> out;
    for (const ShownMessage& m : p.shown) out.push_back({m.text, m.title, m.icon});
    return out;
}

}  // namespace zelk::test
