#include "analysis/KeywordsMetaTag.h"

namespace zelk {

KeywordsResult GenerateKeywordMetaTag(const WordTable&, const KeywordsInputs&) { return {}; }
int CountOccurrences(std::string_view, std::string_view, bool) { return 0; }

}  // namespace zelk
