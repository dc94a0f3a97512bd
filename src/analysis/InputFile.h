// The input document: the name rule of the input box, the search of a
// file's first lines, the preparation of a document line for scanning and
// the size text of the Unix-type file warning.
#pragma once

#include <cstdint>
#include <string>

#include "common/FileSystem.h"

namespace zelk {

class AnalysisHost;

// Whether one of the first maxLines lines (all when maxLines <= 0) holds the
// needle; case folded with LowerCaseAccented unless caseSensitive.
bool FileContainsText(const std::string& path, const std::string& needle, int maxLines,
                      bool caseSensitive, FileSystem& fs = RealFileSystem());

// "0 bytes", "2,048 bytes (2 Kb)", "40,961 bytes (41 Kb)"; "" when negative.
std::string FormatFileSize(long long bytes);

// The input file name rule: a "." after the last "/", an extension holding
// "htm", an existing file. Messages go to host.prompter() once the window has
// started; before that the input box is cleared silently.
bool CheckInputFileSpec(AnalysisHost& host, const std::string& path);

// Steps 1-3 of preparing a document line for scanning: trim blanks, LF to
// blank in a Unix-type file (verdict 2), UTF-8 clean-up when utf8. Returns
// false when the line is empty after trimming and must be skipped.
bool PrepareDocumentLine(std::string& line, int16_t verdict, bool utf8);

}  // namespace zelk
