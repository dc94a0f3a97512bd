#include "insertion/Viewport.h"

namespace zelk {

int SplitString(std::string_view, std::string_view, long, std::vector<std::string>&, bool, int,
                int) {
    return 0;
}
void VPMTvalid(std::string&, int16_t& validity) { validity = 0; }

}  // namespace zelk
