// The encoding detection and the text-file test on a document already read
// into memory, for callers that must read a file once, through one
// descriptor (the insertion, the existing-tag display). The file-based
// versions in TextFile.h share these rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/TextFile.h"

namespace zelk {

// DetectEncoding on the bytes of the file at path (the path only lends its
// extension).
int16_t DetectEncodingOf(std::string_view bytes, const std::string& path, bool charsetSearch);

// IsTextFile on the bytes of the file at path.
TextFileTest IsTextContent(std::string_view bytes, const std::string& path, int32_t maxBytes,
                           double thresholdPercent, bool charsetSearch);

// Shared pieces of both versions.
namespace textrules {
// The code told by the first five bytes and the extension; kUndecided when
// the charset search (or plain text) decides.
inline constexpr int16_t kUndecided = -100;
int16_t EncodingFromHead(std::string_view head, const std::string& path);
// Whether a line holds "charset=UTF-8", "charset=\"UTF-8\"" or the first two
// bytes of a UTF-8 punctuation mark.
bool DeclaresUtf8(std::string_view line);
// Counts the control bytes of the sample (the first maxBytes bytes) and
// sets verdict, firstBadByte, firstBadPos and nonTextPercent.
void ClassifySample(std::string_view sample, int32_t maxBytes, double thresholdPercent,
                    TextFileTest& t);
}  // namespace textrules

}  // namespace zelk
