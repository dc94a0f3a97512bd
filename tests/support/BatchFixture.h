// A batch run over a test's file system with a scripted user: the report,
// the message boxes, the waits and every edit dialog are recorded, and a
// test can press Stop or Break at a chosen moment.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/ScriptedHost.h"
#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "batch/BatchRun.h"
#include "batch/BatchUser.h"
#include "batch/EditSession.h"
#include "common/ReportLog.h"
#include "common/Settings.h"
#include "support/RecordingPrompter.h"

namespace zelk::testing {

class ScriptedBatchUser : public BatchUser {
public:
    Prompter& prompter() override { return prompts; }
    void ShowReport() override { showing = true; }
    void HideReport() override {
        showing = false;
        events.push_back("hide report");
    }
    bool ReportShowing() override { return showing; }
    void SetInsertButtonForRun(bool on, const std::string& caption) override {
        events.push_back(on ? "break/stop: " + caption : "insert button back");
    }
    void Inspect(EditSession& session) override {
        ++inspected;
        if (onInspect) onInspect(session);
        if (!session.Hidden()) session.ContinueToNextFile();
    }
    void ProcessEvents() override { Tick(); }
    void Wait(int milliseconds) override {
        waits.push_back(milliseconds);
        Tick();
    }
    void Tick() {
        ++ticks;
        if (onTick) onTick(ticks);
    }

    RecordingPrompter prompts;
    bool showing = false;
    std::vector<std::string> events;
    std::vector<int> waits;
    int ticks = 0;
    int inspected = 0;
    std::function<void(int)> onTick;
    std::function<void(EditSession&)> onInspect;
};

// The common-word lists, read once for all tests.
inline const CommonWords& TestCommonWords() {
    static const CommonWords words = [] {
        CommonWords w;
        w.ReadAllCommonWords(ZELK_SOURCE_DATA_DIR, nullptr, nullptr, 0, true);
        return w;
    }();
    return words;
}

// An automatic run asking for both tags, over fs, from folder.
struct BatchBench {
    explicit BatchBench(FileSystem& fs, const std::string& folder) {
        settings.SingleFile = false;
        settings.InsertKWMT = 1;
        settings.InsertVPMT = 1;
        settings.IncludeAllSubfolders = 1;
        settings.Confirm = 0;
        settings.Folder = folder;
        report.viewportText = [this] { return settings.VPMT; };
        analyzer = std::make_unique<Analyzer>(settings, TestCommonWords(), host, report);
        run = std::make_unique<BatchRun>(settings, *analyzer, host, report, user, fs);
    }
    // The run as the Generate command starts it with the current settings.
    void Run() {
        run->blnAutomaticInsertion = settings.Confirm != 1;
        run->RunBatch();
    }
    // The closing message box.
    const ShownBox& Closing() const { return user.prompts.shown.back(); }

    Settings settings;
    ScriptedHost host;
    ReportLog report;
    ScriptedBatchUser user;
    std::unique_ptr<Analyzer> analyzer;
    std::unique_ptr<BatchRun> run;
};

// Pages of the batch tests (CR LF unless named otherwise).
inline std::string GardenPage() {
    return "<html><head><title>Garden roses</title>\r\n"
           "<meta name=\"viewport\" content=\"width=500\">\r\n"
           "</head><body><h1>Roses and tulips</h1><p>Roses grow in gardens. Tulips bloom "
           "early in spring gardens.</p></body></html>\r\n";
}
inline std::string HeadlessEndPage() {
    return "<html><head><title>Old</title>\r\n<body>no head end</body></html>\r\n";
}

}  // namespace zelk::testing
