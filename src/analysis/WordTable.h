// The ranked word table of one analysed document.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelk {

struct WordEntry {
    std::string Word;       // as counted, in its own case
    int16_t Frequency = 0;  // times counted (at most 32,767)
    float KeyValue = 0.0f;  // summed context weights; 0-100 after rescaling
};

// Entries stand in ranked order: entries[0] is rank 1. WordCount() is the
// number of entries in use.
struct WordTable {
    std::vector<WordEntry> entries;
    int16_t WordCount() const { return static_cast<int16_t>(entries.size()); }
};

}  // namespace zelk
