// The common-word lists of the seven languages, read once at start-up from
// "cwds_<code>.txt" beside the program and looked up for every counted word.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Ui.h"

namespace zelk {

class AnalysisHost;

inline constexpr int kCommonWordLanguages = 7;
inline constexpr int kMaxCommonWords = 2000;

// Items of cboLanguage, in language-index order.
extern const std::array<const char*, kCommonWordLanguages> kLanguageNames;
// List codes ("en" ... "en_de_es_pt_it_fr"), in language-index order.
extern const std::array<const char*, kCommonWordLanguages> kLanguageCodes;
// Names of the progress text, in reading order of the progress line.
extern const std::array<const char*, kCommonWordLanguages> kProgressNames;

class CommonWords {
public:
    // dataDir: the folder that holds the list files (the program's folder).
    explicit CommonWords(std::string dataDir = {}) : dataDir_(std::move(dataDir)) {}

    void SetDataDir(const std::string& dir) { dataDir_ = dir; }
    const std::string& DataDir() const { return dataDir_; }

    // Start-up reading of all seven lists. host (may be null) shows the
    // progress text in the output box; afterEachList is the short pause
    // between lists (the window passes it, others leave it empty). Returns
    // true when the selected language's list is unavailable while
    // ignoreCommonWordsChecked: the message has then been shown through
    // prompter (when not null) and the caller must uncheck
    // chkIgnoreCommonWords.
    bool ReadAllCommonWords(AnalysisHost* host, Prompter* prompter, int selectedLanguage,
                            bool ignoreCommonWordsChecked,
                            const std::function<void()>& afterEachList = {});
    // Same with dataDir set first.
    bool ReadAllCommonWords(const std::string& dataDir, AnalysisHost* host, Prompter* prompter,
                            int selectedLanguage, bool ignoreCommonWordsChecked,
                            const std::function<void()>& afterEachList = {}) {
        dataDir_ = dataDir;
        return ReadAllCommonWords(host, prompter, selectedLanguage, ignoreCommonWordsChecked,
                                  afterEachList);
    }

    // Reads one list file; returns the number of words stored. When the file
    // holds more than 2000 distinct words and prompter is not null, the
    // "Too many common words" message is shown.
    int ReadCommonWords(int language, Prompter* prompter = nullptr);
    // Adds the words of one prepared line (lower-cased, one trailing blank).
    // False when the list is full ("too many").
    bool AddCommonWordsFromLine(int language, std::string_view line);

    // Whether the word, lower-cased, is in the language's list.
    bool IsCommonWord(std::string_view word, int language) const;
    // The same for a word already in small letters (LowerChar of each byte).
    bool IsCommonLowered(std::string_view lowered, int language) const;
    int Count(int language) const;
    // The list in ascending ordinal order.
    const std::vector<std::string>& Words(int language) const;
    std::string ListPath(int language) const;
    // Language name of the messages: the cboLanguage item, "another
    // language" for the all-six list.
    static std::string MessageLanguageName(int language);
    // Grows with every change to any list, so that answers remembered from
    // IsCommonWord can tell when they are out of date.
    std::uint64_t Changes() const { return changes_; }

    // Builds every lookup index now. Lookups build their index on first use,
    // which is a write: call this before threads start to share the lists,
    // and change no list while they run.
    void PrepareForSharing() const;

    void ReportCommonWordsUnavailable(Prompter& prompter, int language) const;
    void ReportTooManyCommonWords(Prompter& prompter, int language) const;

private:
    static bool ValidLanguage(int language) { return language >= 0 && language < kCommonWordLanguages; }

    std::string dataDir_;
    std::array<std::vector<std::string>, kCommonWordLanguages> lists_;
    std::uint64_t changes_ = 0;
    // A hash index over each list (open addressing, list index + 1 per
    // slot), built at the first lookup after a change.
    struct Lookup {
        std::vector<std::uint64_t> table;  // hash tag << 32 | word number + 1; 0 = free
        std::uint64_t builtAt = UINT64_MAX;
    };
    mutable std::array<Lookup, kCommonWordLanguages> lookup_;
    const Lookup& LookupFor(int language) const;
};

}  // namespace zelk
