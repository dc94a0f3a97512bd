// The exclusion list of a batch run: the text of the exclusion box, split at
// commas, trimmed and sorted. A path that contains one of the items (case
// ignored) is left alone by the run.
#pragma once

#include <string>
#include <vector>

namespace zelk {

// Paths are written with "/" here; a "\" typed out of habit is turned round.
std::vector<std::string> ParseExclusionList(const std::string& text);
// The items as the box shows them again: joined by ", ".
std::string JoinExclusionList(const std::vector<std::string>& items);

}  // namespace zelk
