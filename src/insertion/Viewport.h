// The viewport meta tag check and the general splitting routine it uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// Splits text (from 1-based start) at sep, appending the items to items;
// trim drops the blanks around each item, maxItems > 0 stops after that
// many, items shorter than minLength are left out. Returns the item count.
int SplitString(std::string_view text, std::string_view sep, long start,
                std::vector<std::string>& items, bool trim, int maxItems, int minLength);

// Validity: 1 valid, 0 empty, -1 invalid. tag receives the normalised
// lower-case form.
void VPMTvalid(std::string& tag, int16_t& validity);

}  // namespace zelk
