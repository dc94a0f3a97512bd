// The word list report: rank, value, frequency, density and word of every
// entry of the ranked table.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "analysis/WordTable.h"

namespace zelk {

// Returns the full text of the output box. flush, when given, receives each
// batch of appended text as the list grows (the window appends and
// repaints): the first batch is the heading, so the box starts empty.
// With totalWords 0 the density is written as 0.00.
std::string ListWords(const WordTable& table, int32_t totalWords,
                      const std::function<void(const std::string& appended)>& flush = {});

}  // namespace zelk
