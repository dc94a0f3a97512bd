// What a page's head already holds, read the way the insertion reads lines
// (an LF-only page at LF, every other page at CR LF or CR), so that the
// preserve settings and the bottom window of the edit dialog see the tags
// of pages written on any system.
#pragma once

#include <string>
#include <string_view>

namespace zelk {

// Whether the head holds a non-empty meta tag of that name (name="..."
// content="..."), closed by '">', '" />' or '"/>'. The line holding
// "</head>" is examined too. page is the whole file, as are the pages below.
bool HasMetaTag(std::string_view page, const std::string& name);

// The existing keywords and viewport tags for display: each the trimmed
// line from its "<meta " to the end of the line; "" when absent.
void GetExistingMetaTags(std::string_view page, std::string& keywordsTag,
                         std::string& viewportTag);

// Whether one of the first maxLines lines of a page (all when maxLines <= 0)
// holds needle, both folded with LowerCaseAccented: the lines as the
// analysis's line reader gives them (ended by CR LF or a lone CR, a lone LF
// staying inside its line), so that the run's head checks see what
// FileContainsText sees in the file.
bool LinesHold(std::string_view page, const std::string& needle, int maxLines);

}  // namespace zelk
