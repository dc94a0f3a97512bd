// What a page's head already holds, read the way the insertion reads lines
// (an LF-only page at LF, every other page at CR LF or CR), so that the
// preserve settings and the bottom window of the edit dialog see the tags
// of pages written on any system.
#pragma once

#include <string>

#include "common/FileSystem.h"

namespace zelk {

// Whether the head holds a non-empty meta tag of that name (name="..."
// content="..."), closed by '">', '" />' or '"/>'. The line holding
// "</head>" is examined too. Any read failure gives false.
bool HasMetaTag(FileSystem& fs, const std::string& path, const std::string& name);

// The existing keywords and viewport tags for display: each the trimmed
// line from its "<meta " to the end of the line; "" when absent.
void GetExistingMetaTags(FileSystem& fs, const std::string& path, std::string& keywordsTag,
                         std::string& viewportTag);

}  // namespace zelk
