// "Show existing keywords, etc.": the title and the viewport, keywords and
// description meta tags that the head of a document already holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/FileSystem.h"
#include "common/Ui.h"

namespace zelk {

// Line ends of a file, with the codes of the text-file test: 1 CR and LF
// both or neither (also every UTF-8 file), 2 LF only, 3 CR only, 6 RTF,
// 7 UTF-16 or UTF-32; negative encoding codes pass through (-2 also for an
// empty file). bytes is the file at path (which lends its extension); at
// most maxBytes bytes from the start are examined.
int16_t LineEndType(std::string_view bytes, const std::string& path, int32_t maxBytes,
                    bool& isUtf8);

// The single-file part of the command: checks the input file, shows its
// messages through the prompter and returns the new text of the output box,
// or nothing when a message refused the command (a missing or unreadable
// file: "File not readable" with the system's reason).
std::optional<std::string> ShowExistingMetaTags(const std::string& inputFileText,
                                                Prompter& prompter,
                                                FileSystem& fs = RealFileSystem());

}  // namespace zelk
