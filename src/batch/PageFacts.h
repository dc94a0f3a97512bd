// What a run learns from one read of a page: everything its visit decides
// on before the insertion (the preserve settings, the head checks, the tags
// the page has), and the bytes the analysis and the insertion work on, so
// that a page is read once per visit, whether by the walk or ahead of it.
#pragma once

#include <string>

#include "analysis/TextFile.h"
#include "common/FileSystem.h"
#include "common/SafeWrite.h"

namespace zelk {

struct Settings;

struct PageFacts {
    bool read = false;   // the page was read whole
    int readError = 0;   // errno-style reason when not
    FileSnapshot page;   // its bytes and the state they were read in
    bool hasHead = false;      // "<head" in one of the first 100 lines
    bool hasHeadEnd = false;   // "</head" likewise (looked for only after "<head")
    bool keepViewport = false;  // the viewport tag is there and to be preserved
    bool keepKeywords = false;  // the keywords tag likewise
    std::string oldKeywordsTag;  // the existing tags, when both head checks pass
    std::string oldViewportTag;
    // The text test of the analysis and the insertion (IsTextContent of the
    // bytes under the page's path), when both head checks pass.
    TextFileTest test;
};

// Reads the page at path and examines it for a run under settings.
void ReadPageFacts(FileSystem& fs, const std::string& path, const Settings& settings,
                   PageFacts& out);
// Examines out.page.bytes, the page at path (out.read must be true).
void ExaminePage(const std::string& path, const Settings& settings, PageFacts& out);

// The preserve settings leave the page alone: every requested tag is there
// and to be preserved.
bool PreservedWhole(const Settings& settings, const PageFacts& facts);

}  // namespace zelk
