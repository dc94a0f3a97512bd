#include "analysis/CommonWords.h"

#include <algorithm>

#include "analysis/AnalysisHost.h"
#include "analysis/LineReader.h"
#include "analysis/TextFile.h"
#include "analysis/WordChars.h"
#include "common/StrProc.h"

namespace zelk {

const std::array<const char*, kCommonWordLanguages> kLanguageNames = {
    "English", "French", "German", "Italian", "Portuguese", "Spanish", "All 6 languages"};
const std::array<const char*, kCommonWordLanguages> kLanguageCodes = {
    "en", "fr", "de", "it", "pt", "es", "en_de_es_pt_it_fr"};
const std::array<const char*, kCommonWordLanguages> kProgressNames = {
    "English", "German", "Spanish", "Portuguese", "Italian", "French", "all six languages"};

bool CommonWords::ReadAllCommonWords(AnalysisHost* host, Prompter* prompter,
                                     int selectedLanguage, bool ignoreCommonWordsChecked,
                                     const std::function<void()>& afterEachList) {
    if (host) host->SetOutputText("");
    for (int i = 0; i < kCommonWordLanguages; ++i) {
        if (host) {
            std::string part;
            if (i == 0) {
                part = std::string("Reading common words in ") + kProgressNames[0];
            } else {
                part = ", ";
                if (i == kCommonWordLanguages - 1) part += "and ";
                part += kProgressNames[i];
            }
            host->AppendOutputText(part);
            host->RepaintOutput();
        }
        ReadCommonWords(i, prompter);
        if (afterEachList) afterEachList();
    }
    if (host) {
        host->SetOutputText("");
        host->RepaintOutput();
    }
    if (ValidLanguage(selectedLanguage) && Count(selectedLanguage) == 0 &&
        ignoreCommonWordsChecked) {
        if (prompter) ReportCommonWordsUnavailable(*prompter, selectedLanguage);
        return true;
    }
    return false;
}

int CommonWords::ReadCommonWords(int language, Prompter* prompter) {
    if (!ValidLanguage(language)) return 0;
    std::vector<std::string>& list = lists_[language];
    list.clear();
    ++changes_;
    const std::string path = ListPath(language);
    // Missing, empty or not text: the list stays empty. A file shorter than
    // five bytes is still text and is read.
    const int16_t verdict = IsTextFile(path, kTextTestBytes, kTextTestThreshold).verdict;
    if (verdict == 0 || verdict == -1 || verdict == -2 || verdict == -5) return 0;
    LineReader reader;
    if (!reader.Open(path)) return 0;
    std::string line;
    while (reader.Next(line)) {
        // Blanks around the words: spaces, tabs, line breaks, no-break spaces.
        for (char& c : line)
            if (c == '\t' || c == '\n' || c == '\r' || c == '\xA0') c = ' ';
        std::string prepared = Trim(line);
        if (prepared.empty()) continue;
        prepared = LowerCaseAccented(prepared);
        prepared += ' ';
        if (!AddCommonWordsFromLine(language, prepared)) {
            if (prompter) ReportTooManyCommonWords(*prompter, language);
            break;
        }
    }
    // A read error part-way keeps the words read so far.
    return Count(language);
}

bool CommonWords::AddCommonWordsFromLine(int language, std::string_view line) {
    if (!ValidLanguage(language)) return true;
    std::vector<std::string>& list = lists_[language];
    const std::string_view extra = ExtraWordChars(language);
    std::size_t i = 0;
    // Up to the trailing blank the caller appended.
    while (i + 1 < line.size()) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (!IsWordChar(c, false, extra)) {
            ++i;
            continue;
        }
        std::size_t k = 0;
        while (k < 65000 && i + k < line.size() &&
               IsWordChar(static_cast<unsigned char>(line[i + k]), false, extra))
            ++k;
        std::string word(line.substr(i, k));
        i += k + 1;
        auto pos = std::lower_bound(list.begin(), list.end(), word);
        if (pos != list.end() && *pos == word) continue;
        if (static_cast<int>(list.size()) >= kMaxCommonWords) return false;
        list.insert(pos, std::move(word));
        ++changes_;
    }
    return true;
}

namespace {
std::uint64_t LookupHash(std::string_view w) {
    std::uint64_t h = 14695981039346656037ull;
    for (char c : w) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h ^ (h >> 29);
}
}  // namespace

const CommonWords::Lookup& CommonWords::LookupFor(int language) const {
    Lookup& lookup = lookup_[static_cast<std::size_t>(language)];
    if (lookup.builtAt == changes_) return lookup;
    const std::vector<std::string>& list = lists_[static_cast<std::size_t>(language)];
    std::size_t size = 16;
    while (size < 2 * list.size()) size *= 2;
    lookup.table.assign(size, 0);
    const std::size_t mask = size - 1;
    for (std::size_t k = 0; k < list.size(); ++k) {
        const std::uint64_t h = LookupHash(list[k]);
        std::size_t i = static_cast<std::size_t>(h) & mask;
        while (lookup.table[i] != 0) i = (i + 1) & mask;
        lookup.table[i] = (h >> 32 << 32) | (k + 1);
    }
    lookup.builtAt = changes_;
    return lookup;
}

void CommonWords::PrepareForSharing() const {
    for (int language = 0; language < kCommonWordLanguages; ++language) LookupFor(language);
}

bool CommonWords::IsCommonWord(std::string_view word, int language) const {
    if (!ValidLanguage(language)) return false;
    const std::vector<std::string>& list = lists_[static_cast<std::size_t>(language)];
    if (list.empty()) return false;
    // Words are looked up in small letters; the usual short word is
    // lowered on the stack rather than into a new string.
    char buffer[64];
    std::string lowered;
    std::string_view w;
    if (word.size() <= sizeof buffer) {
        for (std::size_t i = 0; i < word.size(); ++i) buffer[i] = LowerChar(word[i]);
        w = std::string_view(buffer, word.size());
    } else {
        lowered = LowerCaseAccented(word);
        w = lowered;
    }
    return IsCommonLowered(w, language);
}

bool CommonWords::IsCommonLowered(std::string_view w, int language) const {
    if (!ValidLanguage(language)) return false;
    const std::vector<std::string>& list = lists_[static_cast<std::size_t>(language)];
    if (list.empty()) return false;
    const Lookup& lookup = LookupFor(language);
    const std::size_t mask = lookup.table.size() - 1;
    const std::uint64_t h = LookupHash(w);
    const std::uint64_t tag = h >> 32 << 32;
    // The high half of the hash stands beside each word's number, so that
    // the words themselves are read only when it matches.
    for (std::size_t i = static_cast<std::size_t>(h) & mask; lookup.table[i] != 0; i = (i + 1) & mask) {
        const std::uint64_t v = lookup.table[i];
        if ((v & 0xFFFFFFFF00000000ull) == tag && list[static_cast<std::uint32_t>(v) - 1] == w) return true;
    }
    return false;
}

int CommonWords::Count(int language) const {
    return ValidLanguage(language) ? static_cast<int>(lists_[language].size()) : 0;
}

const std::vector<std::string>& CommonWords::Words(int language) const {
    static const std::vector<std::string> none;
    return ValidLanguage(language) ? lists_[language] : none;
}

std::string CommonWords::ListPath(int language) const {
    if (!ValidLanguage(language)) return {};
    std::string path = dataDir_;
    if (!path.empty() && path.back() != '/') path += '/';
    return path + "cwds_" + kLanguageCodes[language] + ".txt";
}

std::string CommonWords::MessageLanguageName(int language) {
    if (language == kCommonWordLanguages - 1) return "another language";
    return ValidLanguage(language) ? kLanguageNames[language] : "";
}

void CommonWords::ReportCommonWordsUnavailable(Prompter& prompter, int language) const {
    prompter.Message("Common words in " + MessageLanguageName(language) +
                         " could not be read from file\r\n" + ListPath(language) + ".",
                     "Common words not available", Icon::Exclamation);
}

void CommonWords::ReportTooManyCommonWords(Prompter& prompter, int language) const {
    prompter.Message("The file " + ListPath(language) + " contains too many common words in " +
                         MessageLanguageName(language) + ".",
                     "Too many common words", Icon::Exclamation);
}

}  // namespace zelk
