// Document intake: encoding detection, the text-file test, the line reader
// that joins lines, the search of a file's first lines, the UTF-8 clean-up
// of a line and the input file name rule.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelk {

class AnalysisHost;

// Encoding codes: -5 empty path, -1 missing, -2 empty file, -4 shorter than
// 5 bytes, 0 plain single-byte text, 1 UTF-16 LE, 2 UTF-16 BE, 3 UTF-8,
// 5 UTF-32 BE, 6 RTF.
int16_t DetectEncoding(const std::string& path, bool charsetSearch = false);

// Text-file verdicts: 0 not text, 1 text (CR and LF, neither, or UTF-8),
// 2 LF only (Unix-type), 3 CR only, 6 RTF, 7 UTF-16/32; negative encoding
// codes pass through.
struct TextFileTest {
    int16_t verdict = 0;
    unsigned char firstBadByte = 32;  // 32: none found
    int32_t firstBadPos = 0;          // 1-based
    double nonTextPercent = 0;
    bool utf8 = false;
};
TextFileTest IsTextFile(const std::string& path, int32_t maxBytes, double thresholdPercent,
                        bool charsetSearch = false);

// Sample size and threshold of the document analysis.
inline constexpr int32_t kTextTestBytes = 16384;
inline constexpr double kTextTestThreshold = 0.1;

// The lower-cased extension is one of txt log xml htm html shtm shtml xhtm
// xhtml csv prn.
bool HasTextExtension(const std::string& path);

// Reads text lines (ending at CR LF or a lone CR) and joins them with CR LF,
// " " (joinBlank) or " / " (joinSlash). maxLines > 0 stops after that many
// counted lines. On a read failure: "" with errText / errNumber set.
std::string ReadLines(const std::string& path, std::string& errText, int& errNumber,
                      int& lineCount, bool skipBlank, int maxLines, bool latin1,
                      bool punctuation, bool joinBlank, bool joinSlash);

// Whether one of the first maxLines lines (all when maxLines <= 0) holds the
// needle; case folded with LowerCaseAccented unless caseSensitive.
bool FileContainsText(const std::string& path, const std::string& needle, int maxLines,
                      bool caseSensitive);

// UTF-8 clean-up of one line of a UTF-8 document into Windows-1252 bytes.
std::string Utf8ToLatin1(std::string_view line);
std::string Utf8PunctuationToAscii(std::string_view line);

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
