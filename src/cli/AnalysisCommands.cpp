// keywords and words: the Generate and List words requests of the main
// window in single-file mode (or, with --folder-mode, the composition of a
// batch run), on one file.
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "cli/Cli.h"

namespace zelk::cli {

namespace {

int RunAnalysis(const std::string& command, const std::vector<std::string>& args,
                bool generate) {
    AnalysisOptions opts;
    if (!ParseAnalysisOptions(command, args, opts)) return kExitUsage;
    if (opts.help) {
        std::fputs(HelpText().c_str(), stdout);
        return kExitOk;
    }
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
    const std::string out = BoxForTerminal(host.OutputText());
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

}  // namespace

int KeywordsCommand(const std::vector<std::string>& args) {
    return RunAnalysis("keywords", args, true);
}

int WordsCommand(const std::vector<std::string>& args) { return RunAnalysis("words", args, false); }

}  // namespace zelk::cli
