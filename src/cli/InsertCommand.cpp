// insert: the single-file Insert command. With --keywords the Generate
// request runs first and fills the output box, whose tag is then inserted.
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "cli/Cli.h"
#include "common/StrProc.h"
#include "insertion/Insert.h"

namespace zelk::cli {

namespace {

int InsertOnlyOptions(const std::vector<std::string>& args, std::size_t i, AnalysisOptions& opts,
                      void* /*context*/) {
    const std::string& arg = args[i];
    if (arg == "--keywords") {
        opts.settings.InsertKWMT = 1;
        return 1;
    }
    if (arg == "--json") {
        UsageError("insert: option --json is not available (insert answers with one line)");
        return -1;
    }
    if (arg == "--folder-mode") {
        // Insert is a single-file command; a folder is the batch run's work.
        UsageError("insert: option --folder-mode is not available (insert works on one file)");
        return -1;
    }
    return 0;
}

}  // namespace

int InsertCommandMain(const std::vector<std::string>& args) {
    AnalysisOptions opts;
    if (!ParseAnalysisOptions("insert", args, opts, InsertOnlyOptions)) return kExitUsage;
    if (opts.help) {
        std::fputs(HelpText().c_str(), stdout);
        return kExitOk;
    }
    Settings& st = opts.settings;
    if (!ViewportOptionValid(st)) return kExitMessage;
    CliHost host;
    ReportLog report;
    ReportToStderr(report, st);
    host.SetInputFileText(opts.file);

    bool generated = false;
    if (st.InsertKWMT == 1) {
        CommonWords common;
        LoadCommonWords(common, opts);
        Analyzer analyzer(st, common, host, report);
        analyzer.DoIt(true);
        generated = analyzer.KeywordsGenerated;
        // Generate failed (its message is on stderr): nothing to insert.
        if (!generated) return kExitMessage;
    }

    InsertCommand cmd;
    cmd.inputFileText = opts.file;
    st.SingleFile = true;
    cmd.request = InsertRequestFromSettings(st, host.OutputText());
    cmd.keywordsGenerated = generated;
    cmd.insertCaption = InsertButtonCaption(cmd.request.insertKWMT, cmd.request.insertVPMT,
                                            !Trim(host.OutputText()).empty());
    if (cmd.insertCaption.empty()) cmd.insertCaption = kInsertKeywordsCaption;

    // The result and the command's refusals are the answer of this command:
    // they go to stdout.
    CliPrompter results(stdout);
    auto code = cmdInsert_Click(cmd, results, report);
    std::fflush(stdout);
    return code && *code == 0 ? kExitOk : kExitMessage;
}

}  // namespace zelk::cli
