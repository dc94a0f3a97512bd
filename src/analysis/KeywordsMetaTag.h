// Composition of the keywords meta tag from the ranked word table.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "analysis/WordTable.h"

namespace zelk {

// The controls the composition reads, as their texts and states.
struct KeywordsInputs {
    std::string maxKeywordsText;  // txbMaxNumKeywordsInMetaTag
    std::string maxBytesText;     // txbMaxNumBytesInMetaTag
    std::string beginWith;        // txbBeginMetaTagWith
    bool forwardSlash = false;    // chkForwardSlash
    bool insertVPMT = false;      // chkInsertVPMT
    std::string vpmtText;         // txbVPMT
    bool singleFile = true;       // optSingleFile
};

struct KeywordsResult {
    std::string text;              // what txbMetaTag shows
    std::string beginWithTrimmed;  // written back into txbBeginMetaTagWith
};

KeywordsResult GenerateKeywordMetaTag(const WordTable& table, const KeywordsInputs& in);
// The same over the ranked words asked for one at a time (rank 0 first), so
// that a caller need not copy a whole table for the few words a tag takes.
using RankedWordFn = std::function<const std::string&(std::size_t rank)>;
KeywordsResult GenerateKeywordMetaTag(std::size_t wordCount, const RankedWordFn& wordAt,
                                      const KeywordsInputs& in);

// Non-overlapping occurrences of part in s counted from the left; 0 when
// either is empty; exact = false folds both with LowerCaseAccented.
int CountOccurrences(std::string_view s, std::string_view part, bool exact);

}  // namespace zelk
