#include "analysis/InputFile.h"

#include <filesystem>
#include <system_error>

#include "analysis/AnalysisHost.h"
#include "analysis/LineReader.h"
#include "analysis/Utf8Cleanup.h"
#include "common/FileProc.h"
#include "common/StrProc.h"

namespace zelk {

bool FileContainsText(const std::string& path, const std::string& needle, int maxLines,
                      bool caseSensitive, FileSystem& fs) {
    if (needle.empty()) return false;
    LineReader reader;
    if (!reader.Open(path, LineReader::Ends::CrOrCrLf, fs)) return false;
    const std::string want = caseSensitive ? needle : LowerCaseAccented(needle);
    std::string line;
    int count = 0;
    while (reader.Next(line)) {
        if (!caseSensitive) {
            for (char& c : line) c = LowerChar(c);
        }
        if (line.find(want) != std::string::npos) return true;
        if (maxLines > 0 && ++count >= maxLines) break;
    }
    return false;
}

std::string FormatFileSize(long long bytes) {
    if (bytes < 0) return {};
    if (bytes == 0) return "0 bytes";
    std::string r = GroupDigits(bytes) + " bytes";
    if (bytes > 1024) {
        long long kb = bytes % 1024 == 0 ? bytes / 1024 : (bytes - 1) / 1024 + 1;
        r += " (" + GroupDigits(kb) + " Kb)";
    }
    return r;
}

bool CheckInputFileSpec(AnalysisHost& host, const std::string& path) {
    const long d = InStrRev(path, ".");
    const long b = InStrRev(path, "/");
    if (d == 0 || d < b) {
        if (host.StartUpCompleted())
            host.prompter().Message("Invalid input file specification", "Invalid input",
                                    Icon::Exclamation);
        else
            host.SetInputFileText("");
        return false;
    }
    const std::string ext = LowerCaseAccented(Mid(path, d + 1));
    if (ext.find("htm") == std::string::npos) {
        if (host.StartUpCompleted())
            host.prompter().Message("Input file name must have an extension containing 'htm'.",
                                    "Invalid input", Icon::None);
        else
            host.SetInputFileText("");
        return false;
    }
    if (!FileExists(path)) {
        const std::string box = host.InputFileText();
        const long slash = InStrRev(box, "/");
        if (slash > 0) {
            const std::string folder = Left(box, slash);
            if (FolderExists(folder)) {
                std::error_code ec;
                std::filesystem::current_path(Trim(folder), ec);
            }
        }
        host.SetInputFileText("");
        return false;
    }
    return true;
}

bool PrepareDocumentLine(std::string& line, int16_t verdict, bool utf8) {
    const std::size_t b = line.find_first_not_of(' ');
    if (b == std::string::npos) {
        line.clear();
        return false;
    }
    const std::size_t e = line.find_last_not_of(' ');
    if (e + 1 < line.size()) line.resize(e + 1);
    if (b > 0) line.erase(0, b);
    if (verdict == 2) {
        for (char& c : line)
            if (c == '\n') c = ' ';
    }
    if (utf8) {
        Utf8ToLatin1InPlace(line);
        Utf8PunctuationToAsciiInPlace(line);
    }
    return true;
}

}  // namespace zelk
