#include "analysis/CommonWords.h"

#include "analysis/AnalysisHost.h"

namespace zelk {

const std::array<const char*, kCommonWordLanguages> kLanguageNames = {
    "English", "French", "German", "Italian", "Portuguese", "Spanish", "All 6 languages"};
const std::array<const char*, kCommonWordLanguages> kLanguageCodes = {
    "en", "fr", "de", "it", "pt", "es", "en_de_es_pt_it_fr"};
const std::array<const char*, kCommonWordLanguages> kProgressNames = {
    "English", "German", "Spanish", "Portuguese", "Italian", "French", "all six languages"};

bool CommonWords::ReadAllCommonWords(AnalysisHost*, Prompter*, int, bool,
                                     const std::function<void()>&) {
    return false;
}
int CommonWords::ReadCommonWords(int, Prompter*) { return 0; }
bool CommonWords::AddCommonWordsFromLine(int, std::string_view) { return true; }
bool CommonWords::IsCommonWord(std::string_view, int) const { return false; }
int CommonWords::Count(int language) const {
    return ValidLanguage(language) ? static_cast<int>(lists_[language].size()) : 0;
}
const std::vector<std::string>& CommonWords::Words(int language) const {
    static const std::vector<std::string> none;
    return ValidLanguage(language) ? lists_[language] : none;
}
std::string CommonWords::ListPath(int) const { return {}; }
std::string CommonWords::MessageLanguageName(int) { return {}; }
void CommonWords::ReportCommonWordsUnavailable(Prompter&, int) const {}
void CommonWords::ReportTooManyCommonWords(Prompter&, int) const {}

}  // namespace zelk
