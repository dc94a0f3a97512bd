// The program text store: numbered user-visible texts (window caption, file
// and folder names, link addresses, help message, a few captions and titles)
// kept in the program text file zelk.dat beside the program. The file format
// is described in docs/program-texts.md.
//
// _lt and _gt are the two calls of the store's small library interface;
// ProgramText is the program's side of it: loading with the user message for
// every failure, and retrieval with the "~" mark for an empty text.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/FileSystem.h"

namespace zelk {

inline constexpr int32_t kProgramTextMaxLength = 1024;  // characters per text
inline constexpr int32_t kProgramTextMaxLines = 500;    // lines per file
inline constexpr int32_t kProgramTextMaxNumber = 32767;

// Result codes of _lt (above 0: success, the number of texts loaded).
inline constexpr int32_t kLtNothingRead = 0;
inline constexpr int32_t kLtCannotOpen = -1;
inline constexpr int32_t kLtTextAllocation = -2;   // "Particular memory allocation error."
inline constexpr int32_t kLtTooMuchText = -3;      // more than kProgramTextMaxLines lines
inline constexpr int32_t kLtNotRecovered = -4;
inline constexpr int32_t kLtEmptyFile = -6;
inline constexpr int32_t kLtReadError = -7;
inline constexpr int32_t kLtGeneralAllocation = -8;
inline constexpr int32_t kLtMalformedLine = -9;    // neither comment, blank nor NUMBER<TAB>TEXT
inline constexpr int32_t kLtMissingBase = -500;    // -500 - line: number without text
inline constexpr int32_t kLtTooLongBase = -1000;   // -1000 - line: text over 1024 characters
inline constexpr int32_t kLtDuplicateBase = -1500; // -1500 - line: number seen before

// Loads every text of the file at path, replacing what was loaded before.
// option is reserved (pass 0). Returns the number of texts (> 0) or a code.
int32_t _lt(const std::string& path, int32_t option, FileSystem& fs = RealFileSystem());

// Copies text `number` of `language` into buffer (at most size characters)
// and returns the number of characters copied; 0 when there is no such text,
// -1 when the buffer is unusable. option 1 copies the bare characters; with
// option 0 a terminating NUL follows when there is room for it. This store
// holds one language, 0.
int32_t _gt(int32_t number, int32_t language, char* buffer, int32_t size, int32_t option);

// The user message for a failed _lt result (r <= 0); path is named in the
// message for kLtCannotOpen.
std::string ProgramTextLoadMessage(int32_t r, const std::string& path);

// folder + "/" + fileName, without doubling a trailing "/".
std::string ProgramTextPath(const std::string& folder, const std::string& fileName);

class ProgramText {
public:
    // Loads the file at path. On failure returns false and sets message to
    // the exact text the program shows (critical icon, OK, empty title)
    // before it ends.
    bool LoadProgramText(const std::string& path, std::string& message);

    // The text, "" when there is none or when it is stored as the single
    // character "~".
    std::string GetProgramText(int number) const;

    // Names of the seven common-word lists in the order the lists are read
    // at start-up; filled by LoadProgramText before it reads the file.
    const std::array<std::string, 7>& ListNames() const { return listNames_; }

    static constexpr int32_t kLanguage = 0;

private:
    std::array<std::string, 7> listNames_{};
};

// Values derived from the texts once they are loaded.
struct GlobalValues {
    std::string ProgramName;       // text 1
    std::string ProgramShortName;  // text 2
    std::string DataFolderName;    // text 310
    std::string VersionString;     // major "." minor "7": 1.07 for version 1.0
};
GlobalValues SetGlobalValues(const ProgramText& texts);
std::string VersionString(int major, int minor);

// Numbers of the texts the program asks for.
namespace text {
inline constexpr int ProgramName = 1;
inline constexpr int ProgramShortName = 2;
inline constexpr int PublisherPage = 14;
inline constexpr int UserManual = 15;
inline constexpr int HelpLine1 = 16;
inline constexpr int HelpLine2 = 17;
inline constexpr int ListWordsCaption = 21;  // also the title of the save-error message
inline constexpr int HelpTitle = 63;
inline constexpr int CopyButtonCaption = 185;
inline constexpr int DataFolderName = 310;
}  // namespace text

}  // namespace zelk
