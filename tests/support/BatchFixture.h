// A batch run over a test's file system with a scripted user, and the pages
// the batch tests share.
#pragma once

#include <functional>
#include <string>

#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "batch/BatchRun.h"
#include "batch/EditSession.h"
#include "common/ReportLog.h"
#include "common/Settings.h"
#include "support/ScriptedHost.h"

namespace zelk::testing {

// An automatic run asking for both tags, over fs, from folder and its
// subfolders, with a scripted user: the message boxes are recorded and
// answered from a script, every edit dialog goes to onInspect, and onTick
// comes at each moment the run lets the user act (its event pumps and waits).
struct BatchBench : BatchUser {
    BatchBench(FileSystem& fs, const std::string& folder)
        : run(settings, analyzer, host, report, *this, fs) {
        settings.SingleFile = false;
        settings.InsertKWMT = settings.InsertVPMT = settings.IncludeAllSubfolders = 1;
        settings.Confirm = 0;
        settings.Folder = folder;
        report.viewportText = [this] { return settings.VPMT; };
        run.blnAutomaticInsertion = true;  // as Generate starts a run without inspection
    }

    Prompter& prompter() override { return prompts; }
    void ShowReport() override { showing = true; }
    void HideReport() override { showing = false; }
    bool ReportShowing() override { return showing; }
    void Inspect(EditSession& session) override {
        onInspect(session);
        if (!session.Hidden()) session.ContinueToNextFile();
    }
    void ProcessEvents() override { onTick(); }
    void Wait(int) override { onTick(); }

    Settings settings;
    ScriptedHost host;
    ReportLog report;
    CommonWords commonWords;  // none: the batch tests are not about them
    Analyzer analyzer{settings, commonWords, host, report};
    BatchRun run;
    RecordingPrompter prompts;
    bool showing = false;
    std::function<void()> onTick = [] {};
    std::function<void(EditSession&)> onInspect = [](EditSession&) {};
};

// Pages of the batch tests.
inline const std::string kGardenPage =
    "<html><head><title>Garden roses</title>\r\n<meta name=\"viewport\" content=\"width=500\">\r\n"
    "</head><body><h1>Roses and tulips</h1><p>Roses grow in gardens. Tulips bloom early in "
    "spring gardens.</p></body></html>\r\n";
inline const std::string kHeadlessEndPage =
    "<html><head><title>Old</title>\r\n<body>no head end</body></html>\r\n";

}  // namespace zelk::testing
