// The scanner: it walks one prepared line of a document (bare formatting
// tags already turned into markup codes), skips script, style, comment and
// tag text, keeps the context that the weighting reads, and hands every
// word of the visible text to a word sink.
//
// Every search the scanner and the tag handler make on the current line
// goes through a per-line cache, so a document whose lines are all one
// (LF-only files) is still scanned in time linear in its size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "analysis/ScanState.h"

namespace zelk {

class AnalysisHost;
class ReportLog;
struct Settings;

// Callback of the scanner for every word it takes (CurrentWord holds it,
// a view of ScanLine valid during the call).
using WordSink = std::function<void()>;

// The scanner and the tag handler over one ScanState. Settings are read at
// the moment of use; stop is polled after every yield to the host.
class Scanner {
public:
    Scanner(ScanState& state, const Settings& settings, AnalysisHost& host, ReportLog& report,
            const bool& stop, WordSink sink);

    // Puts a new prepared line into ScanLine and forgets the searches
    // cached for the previous one. SwapLine hands the previous line's
    // buffer back in line, for the next line to be prepared in.
    void SetLine(std::string line);
    void SwapLine(std::string& line);
    // Walks ScanLine from position 1 (ScanCurrentLine).
    void ScanCurrentLine();
    // Words of fewer or more bytes than these are taken (TotalWords counts
    // them) without being handed to the sink: for a sink that would drop
    // them unseen.
    void SinkLengths(std::size_t least, std::size_t most) {
        sinkMin_ = least;
        sinkMax_ = most;
    }

    // Exposed for the tests of the single steps.
    void HandleTag();
    static int32_t WordLength(std::string_view text, int32_t start, bool digits,
                              std::string_view extra);
    // 0-based start of the first occurrence of pattern (lower-case ASCII,
    // no blanks) in text at or after from, when blanks are ignored and A-Z
    // folded: where it stands in the text with its blanks removed, mapped
    // back to the text; npos when none. anchor is the index of a character
    // of pattern that is not a letter (occurrences are found through it),
    // or npos.
    static std::size_t FindIgnoringBlanks(std::string_view text, std::size_t from,
                                          std::string_view pattern, std::size_t anchor);

    // The longest run of letters taken as one word.
    static constexpr int32_t kMaxWordLength = 65000;

private:
    // First occurrence of a fixed text at or after a position of one text,
    // remembered so that later questions from further right cost nothing
    // until the position passes the answer. Positions only grow while a
    // line is scanned, so every byte is looked at a bounded number of times.
    class NextOccurrence {
    public:
        NextOccurrence(std::string_view pattern, bool foldCase)
            : pattern_(pattern), fold_(foldCase) {}
        void Forget() { valid_ = false; }
        // 0-based index of the first occurrence starting at or after from;
        // npos when there is none.
        std::size_t Find(std::string_view text, std::size_t from);

    private:
        std::string_view pattern_;
        bool fold_;
        bool valid_ = false;
        std::size_t from_ = 0;
        std::size_t found_ = 0;
    };

    // First occurrence, blanks ignored and case folded, at or after a
    // position of the line (FindIgnoringBlanks), remembered as
    // NextOccurrence remembers its answers.
    class NextIgnoringBlanks {
    public:
        NextIgnoringBlanks(std::string_view pattern, std::size_t anchor)
            : pattern_(pattern), anchor_(anchor) {}
        void Forget() { valid_ = false; }
        std::size_t Find(std::string_view text, std::size_t from);

    private:
        std::string_view pattern_;
        std::size_t anchor_;
        bool valid_ = false;
        std::size_t from_ = 0;
        std::size_t found_ = 0;
    };

    // 1-based position of the next ">" at or after pos; length + 1 when none.
    int32_t NextGreater(int32_t pos);
    // 0-based index of the next font size character ("-+0123456789") at or
    // after from; npos when none. Cached like NextOccurrence.
    std::size_t NextFontSizeChar(std::size_t from);

    bool SkipToEndMarker(std::string_view marker);
    bool SkipElementContent(std::string_view startTag, std::string_view endTag, int16_t& depth);
    // False for a contraction, which is dropped whole.
    bool TakeWord();
    void HandleMetaTag();
    void HandleFontTag();
    void HandleEndFontTag();
    void PushFontSize();

    unsigned char At(int32_t pos) const {
        return pos >= 1 && static_cast<std::size_t>(pos) <= s_.ScanLine.size()
                   ? static_cast<unsigned char>(s_.ScanLine[static_cast<std::size_t>(pos) - 1])
                   : 0;
    }
    int32_t Length() const { return static_cast<int32_t>(s_.ScanLine.size()); }
    // The text at pos, of the length of tag, lower-cased, equals tag.
    bool AtTag(int32_t pos, std::string_view tag) const;

    ScanState& s_;
    const Settings& settings_;
    AnalysisHost& host_;
    ReportLog& report_;
    const bool& stop_;
    WordSink sink_;
    std::size_t sinkMin_ = 0;
    std::size_t sinkMax_ = SIZE_MAX;

    NextOccurrence nextGreater_{">", false};
    NextOccurrence nextSemicolon_{";", false};
    NextOccurrence nextBlank_{" ", false};
    NextOccurrence nextContentFolded_{"content", true};
    NextOccurrence nextContentExact_{"content", false};
    NextOccurrence nextSizeFolded_{"size", true};

    bool sizeCharValid_ = false;
    std::size_t sizeCharFrom_ = 0;
    std::size_t sizeCharFound_ = 0;

    // "The rest" of a tag is the line from the tag on, lower-cased, without
    // blanks: whether a text occurs in it, or where first, is a search of
    // the line that ignores blanks.
    NextIgnoringBlanks restDescription_{"name=\"description\"", 4};
    NextIgnoringBlanks restKeywords_{"name=\"keywords\"", 4};
    NextIgnoringBlanks restFont_{"font", std::string_view::npos};
    NextIgnoringBlanks restSize_{"size", std::string_view::npos};
};

}  // namespace zelk
