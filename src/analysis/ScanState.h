// The scanner's state: the current line and position, the context flags
// and depths that carry over from line to line, and the font-size stack.
// Positions are 1-based like the rules they implement.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

struct ScanState {
    std::string ScanLine;     // the prepared current line (begins with one space)
    int32_t ScanPos = 1;      // next character to look at
    std::string_view CurrentWord;  // the word just taken (a view of ScanLine)
    int32_t TotalWords = 0;   // words taken in the document, counted or not

    bool InTag = false;
    bool InScript = false;
    bool InStyle = false;
    bool InComment = false;
    bool InFontTag = false;
    bool InBold = false;
    bool InItalic = false;
    bool InTitle = false;
    bool InDescription = false;
    bool InExistingKeywords = false;

    int16_t TagNesting = 0;
    int16_t HeadingBonus = 0;
    int16_t TableDepth = 0;
    int16_t DivDepth = 0;
    int16_t SpanDepth = 0;
    int16_t FontSize = 3;
    int16_t FontDepth = 0;
    // Saved font sizes; its size is the stack's upper index + 1.
    std::vector<int16_t> FontSizeStack;

    // The state at the start of a document (the font stack with indices 0-16).
    void Reset();
};

// Saturating steps of the 16-bit counters: no input makes them wrap.
inline void Increment16(int16_t& v) {
    if (v < INT16_MAX) ++v;
}
inline void Decrement16(int16_t& v) {
    if (v > INT16_MIN) --v;
}

}  // namespace zelk
