#include "analysis/TextFile.h"

#include "analysis/AnalysisHost.h"

namespace zelk {

int16_t DetectEncoding(const std::string&, bool) { return -5; }
TextFileTest IsTextFile(const std::string&, int32_t, double, bool) { return {}; }
bool HasTextExtension(const std::string&) { return false; }
std::string ReadLines(const std::string&, std::string& errText, int& errNumber, int& lineCount,
                      bool, int, bool, bool, bool, bool) {
    errText.clear();
    errNumber = 0;
    lineCount = 0;
    return {};
}
bool FileContainsText(const std::string&, const std::string&, int, bool) { return false; }
std::string Utf8ToLatin1(std::string_view line) { return std::string(line); }
std::string Utf8PunctuationToAscii(std::string_view line) { return std::string(line); }
std::string FormatFileSize(long long) { return {}; }
bool CheckInputFileSpec(AnalysisHost&, const std::string&) { return false; }
bool PrepareDocumentLine(std::string& line, int16_t, bool) { return !line.empty(); }

}  // namespace zelk
