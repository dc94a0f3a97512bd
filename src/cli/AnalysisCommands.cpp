// keywords and words: the Generate and List words requests of the main
// window in single-file mode (or, with --folder-mode, the composition of a
// batch run), on one file.
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "cli/Cli.h"
#include "cli/JsonWriter.h"
#include "common/StrProc.h"

namespace zelk::cli {

namespace {

// The number after label on a line of the box ("Number of bytes in meta
// tag: 132"); -1 when the box has no such line.
long long NumberAfter(const std::string& box, const std::string& label) {
    const std::size_t at = box.find(label);
    if (at == std::string::npos) return -1;
    return static_cast<long long>(Val(std::string_view(box).substr(at + label.size())));
}

// keywords --json: the tag, its keywords one by one and, in single-file
// mode, the two counts the box shows under the tag.
std::string KeywordsJson(const std::string& file, const std::string& box) {
    JsonWriter j;
    j.BeginObject().Key("file").String(file);
    const std::string opening = "<meta name=\"keywords\" content=\"";
    const std::size_t lineEnd = box.find('\r');
    const std::string tag = box.substr(0, lineEnd);
    j.Key("tag");
    if (tag.rfind(opening, 0) == 0) j.Cp1252(tag);
    else j.Null();
    j.Key("keywords").BeginArray();
    if (tag.rfind(opening, 0) == 0) {
        const std::size_t close = tag.rfind('"');
        const std::string content =
            close > opening.size() ? tag.substr(opening.size(), close - opening.size()) : "";
        std::size_t start = 0;
        while (!content.empty() && start <= content.size()) {
            std::size_t comma = content.find(',', start);
            if (comma == std::string::npos) comma = content.size();
            const std::string keyword = Trim(content.substr(start, comma - start));
            if (!keyword.empty()) j.Cp1252(keyword);
            start = comma + 1;
        }
    }
    j.EndArray();
    for (const auto& [key, label] : {std::pair{"keyword_count", "Number of keywords in meta tag:"},
                                     std::pair{"byte_count", "Number of bytes in meta tag:"}}) {
        const long long n = NumberAfter(box, label);
        if (n >= 0) j.Key(key).Int(n);
    }
    j.EndObject();
    return j.Text() + "\n";
}

// words --json: the rows of the word list, as numbers.
std::string WordsJson(const std::string& file, const WordTable& table, int32_t totalWords) {
    JsonWriter j;
    j.BeginObject().Key("file").String(file).Key("total_words").Int(totalWords);
    j.Key("words").BeginArray();
    long long zeroValues = 0;
    for (std::size_t idx = 0; idx < table.entries.size(); ++idx) {
        const WordEntry& e = table.entries[idx];
        const long long value = RoundHalfEven(static_cast<double>(e.KeyValue));
        // The list leaves out the words whose value rounds to 0.
        if (value == 0) {
            ++zeroValues;
            continue;
        }
        const double density =
            totalWords > 0 ? static_cast<double>(e.Frequency) * 100.0 / totalWords : 0.0;
        j.BeginObject()
            .Key("rank").Int(static_cast<long long>(idx) + 1)
            .Key("value").Int(value)
            .Key("frequency").Int(e.Frequency)
            .Key("density").Fixed(density, 2)
            .Key("word").Cp1252(e.Word)
            .EndObject();
    }
    j.EndArray().Key("words_with_value_0").Int(zeroValues).EndObject();
    return j.Text() + "\n";
}

int RunAnalysis(const std::string& command, const std::vector<std::string>& args,
                bool generate) {
    AnalysisOptions opts;
    if (!ParseAnalysisOptions(command, args, opts)) return kExitUsage;
    if (opts.help) {
        std::fputs(HelpText().c_str(), stdout);
        return kExitOk;
    }
    if (!ViewportOptionValid(opts.settings)) return kExitMessage;
    CommonWords common;
    LoadCommonWords(common, opts);

    CliHost host;
    ReportLog report;
    ReportToStderr(report, opts.settings);
    host.SetInputFileText(opts.file);
    Analyzer analyzer(opts.settings, common, host, report);

    if (generate && !opts.settings.SingleFile) {
        // A batch run composes every analysed file's tag without the head
        // check and without the count lines.
        if (!analyzer.RequestTimeChecks() || !analyzer.DocumentAnalysed)
            return kExitMessage;
        analyzer.GenerateKeywordMetaTag();
    } else {
        analyzer.DoIt(generate);
    }
    if (host.Prompts().MessageShown() || !analyzer.DocumentAnalysed) return kExitMessage;
    std::string out;
    if (!opts.json) out = BoxForTerminal(host.OutputText());
    else if (generate) out = KeywordsJson(opts.file, host.OutputText());
    else out = WordsJson(opts.file, analyzer.Table(), analyzer.TotalWords());
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

}  // namespace

int KeywordsCommand(const std::vector<std::string>& args) {
    return RunAnalysis("keywords", args, true);
}

int WordsCommand(const std::vector<std::string>& args) { return RunAnalysis("words", args, false); }

}  // namespace zelk::cli
