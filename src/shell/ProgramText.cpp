#include "shell/ProgramText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <unordered_map>

#include "common/StrProc.h"

namespace zelk {

namespace {

// The texts loaded by the last successful _lt, by number.
std::unordered_map<int32_t, std::string>& Store() {
    static std::unordered_map<int32_t, std::string> texts;
    return texts;
}

// Largest file the store accepts; far above what a program text file needs
// (kProgramTextMaxLines lines of at most 1024 characters).
constexpr size_t kMaxFileBytes = 1u << 20;

int32_t Parse(const std::string& data, std::unordered_map<int32_t, std::string>& texts) {
    size_t pos = 0;
    int32_t line = 0;
    while (pos < data.size()) {
        size_t end = data.find('\n', pos);
        const size_t next = end == std::string::npos ? data.size() : end + 1;
        if (end == std::string::npos) end = data.size();
        if (end > pos && data[end - 1] == '\r') --end;
        std::string_view text(data.data() + pos, end - pos);
        pos = next;
        ++line;
        if (line > kProgramTextMaxLines) return kLtTooMuchText;

        if (text.empty() || text[0] == '#') continue;
        if (text.find_first_not_of(" \t") == std::string_view::npos) continue;

        size_t i = 0;
        int32_t number = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            number = number * 10 + (text[i] - '0');
            if (number > kProgramTextMaxNumber) return kLtMalformedLine;
            ++i;
        }
        if (i == 0) return kLtMalformedLine;
        if (i < text.size() && text[i] != '\t') return kLtMalformedLine;
        if (i + 1 >= text.size()) return kLtMissingBase - line;  // a number and no text
        std::string_view body = text.substr(i + 1);
        if (body.size() > static_cast<size_t>(kProgramTextMaxLength)) return kLtTooLongBase - line;
        if (texts.count(number) != 0) return kLtDuplicateBase - line;
        try {
            texts.emplace(number, std::string(body));
        } catch (const std::bad_alloc&) {
            return kLtTextAllocation;
        }
    }
    return static_cast<int32_t>(texts.size());
}

}  // namespace

int32_t _lt(const std::string& path, int32_t /*option*/, FileSystem& fs) {
    try {
        Store().clear();
        std::string data;
        int err = 0;
        if (!fs.ReadFile(path, data, 0, kMaxFileBytes + 1, err)) {
            return err == ENOENT || err == EACCES || err == EISDIR || err == ENOTDIR || err == ELOOP
                       ? kLtCannotOpen
                       : kLtReadError;
        }
        if (data.size() > kMaxFileBytes) return kLtTooMuchText;
        if (data.empty()) return kLtEmptyFile;
        std::unordered_map<int32_t, std::string> texts;
        const int32_t r = Parse(data, texts);
        if (r > 0) Store() = std::move(texts);
        return r;
    } catch (const std::bad_alloc&) {
        Store().clear();
        return kLtGeneralAllocation;
    }
}

int32_t _gt(int32_t number, int32_t language, char* buffer, int32_t size, int32_t option) {
    if (buffer == nullptr || size <= 0) return -1;
    if (language != ProgramText::kLanguage) return 0;
    const auto& texts = Store();
    const auto it = texts.find(number);
    if (it == texts.end()) return 0;
    const int32_t n = static_cast<int32_t>(std::min<size_t>(it->second.size(), static_cast<size_t>(size)));
    std::memcpy(buffer, it->second.data(), static_cast<size_t>(n));
    if (option == 0 && n < size) buffer[n] = '\0';
    return n;
}

std::string ProgramTextLoadMessage(int32_t r, const std::string& path) {
    switch (r) {
    case 0: return "No program text was read.";
    case -1: return "Cannot open file containing program text." + std::string(CRLF) + path;
    case -2: return "Particular memory allocation error.";
    case -3: return "Too much program text.";
    case -4: return "Text not recovered.";
    case -6: return "File is empty.";
    case -7: return "Error reading file.";
    case -8: return "General memory allocation error.";
    default: break;
    }
    if (r < -1500) return "Duplicate in program text at line" + S(-(static_cast<long long>(r) + 1500)) + ".";
    if (r <= -1001) return "String too long at line" + S(-(r + 1000)) + ".";
    if (r <= -501) return "Missing string at line" + S(-(r + 500)) + ".";
    return "Error " + S(r);
}

std::string ProgramTextPath(const std::string& folder, const std::string& fileName) {
    if (!folder.empty() && folder.back() == '/') return folder + fileName;
    return folder + "/" + fileName;
}

bool ProgramText::LoadProgramText(const std::string& path, std::string& message) {
    listNames_ = {"English", "German", "Spanish", "Portuguese", "Italian", "French",
                  "all six languages"};
    message.clear();
    const int32_t r = _lt(path, 0);
    if (r > 0) return true;
    message = ProgramTextLoadMessage(r, path);
    return false;
}

std::string ProgramText::GetProgramText(int number) const {
    char buffer[kProgramTextMaxLength];
    const int32_t n = _gt(number, kLanguage, buffer, kProgramTextMaxLength, 1);
    if (n <= 0) return std::string();
    std::string text(buffer, static_cast<size_t>(n));
    return text == "~" ? std::string() : text;
}

std::string VersionString(int major, int minor) {
    return Dec(major) + "." + Dec(minor) + "7";
}

GlobalValues SetGlobalValues(const ProgramText& texts) {
    GlobalValues g;
    g.DataFolderName = texts.GetProgramText(text::DataFolderName);
    g.ProgramName = texts.GetProgramText(text::ProgramName);
    g.ProgramShortName = texts.GetProgramText(text::ProgramShortName);
#if defined(ZELK_VERSION_MAJOR) && defined(ZELK_VERSION_MINOR)
    g.VersionString = VersionString(ZELK_VERSION_MAJOR, ZELK_VERSION_MINOR);
#else
    g.VersionString = VersionString(0, 0);
#endif
    return g;
}

}  // namespace zelk
