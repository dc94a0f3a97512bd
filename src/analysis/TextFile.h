// Whether a file is text, and in which encoding: the encoding detection and
// the text-file test that every document passes before it is analysed.
// Every file is read through the file-system seam.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/FileSystem.h"

namespace zelk {

// The result of DetectEncoding. The numbers are shown to the user in
// messages and logs, so they stay as they are.
enum EncodingCode : int16_t {
    kEncodingEmptyPath = -5,
    kEncodingShortFile = -4,  // shorter than 5 bytes
    kEncodingEmptyFile = -2,
    kEncodingMissing = -1,
    kEncodingPlain = 0,  // no byte-order mark: single-byte text
    kEncodingUtf16Le = 1,
    kEncodingUtf16Be = 2,
    kEncodingUtf8 = 3,
    kEncodingUtf32Be = 5,
    kEncodingRtf = 6,
};

// The verdict of IsTextFile; the negative encoding codes pass through.
enum TextFileVerdict : int16_t {
    kNotText = 0,
    kText = 1,          // CR and LF both, or neither; also every UTF-8 file
    kTextLfOnly = 2,    // a Unix-type file
    kTextCrOnly = 3,
    kTextRtf = 6,
    kTextWideUnicode = 7,  // UTF-16 or UTF-32
};

EncodingCode DetectEncoding(const std::string& path, bool charsetSearch = false,
                            FileSystem& fs = RealFileSystem());

struct TextFileTest {
    int16_t verdict = kNotText;  // a TextFileVerdict or a negative EncodingCode
    unsigned char firstBadByte = 32;  // 32: none found
    int32_t firstBadPos = 0;          // 1-based
    double nonTextPercent = 0;
    bool utf8 = false;
};
TextFileTest IsTextFile(const std::string& path, int32_t maxBytes, double thresholdPercent,
                        bool charsetSearch = false, FileSystem& fs = RealFileSystem());
// The same tests on a file already read: TextContent.h.

// Sample size and threshold of the document analysis.
inline constexpr int32_t kTextTestBytes = 16384;
inline constexpr double kTextTestThreshold = 0.1;

// The lower-cased extension is one of txt log xml htm html shtm shtml xhtm
// xhtml csv prn.
bool HasTextExtension(const std::string& path);

}  // namespace zelk
