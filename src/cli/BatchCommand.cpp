// batch: the run over a folder tree in automatic mode, as the window runs it
// without inspection. The report goes to stdout as it grows; questions and
// their answers go to stderr; SIGINT and SIGTERM are the Stop button.
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "batch/AnalysisPool.h"
#include "batch/BatchRun.h"
#include "batch/BatchUser.h"
#include "cli/Cli.h"
#include "cli/JsonWriter.h"
#include "common/Cp1252.h"
#include "common/DryRunFileSystem.h"
#include "common/StrProc.h"

namespace zelk::cli {

namespace {

volatile std::sig_atomic_t gStopSignal = 0;

extern "C" void OnStopSignal(int) { gStopSignal = 1; }

struct BatchFlags {
    bool deleteLeftovers = false;
    bool dryRun = false;
    int pauseSeconds = 0;
    int jobs = 0;  // 0: one per core
};

// Report bytes for a UTF-8 terminal: paths as the file system gave them
// (already UTF-8 on this platform), every other byte read as Windows-1252.
std::string ReportForTerminal(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            ++i;
            continue;
        }
        if (c < 0x80) {
            out += s[i++];
            continue;
        }
        std::size_t len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
        if (len && i + len <= s.size()) {
            bool ok = true;
            for (std::size_t k = 1; k < len; ++k)
                ok = ok && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
            if (ok) {
                out.append(s, i, len);
                i += len;
                continue;
            }
        }
        out += Cp1252ToUtf8(std::string_view(&s[i], 1));
        ++i;
    }
    return out;
}

void Print(std::FILE* f, const std::string& cp1252) {
    const std::string s = ReportForTerminal(cp1252);
    std::fwrite(s.data(), 1, s.size(), f);
    std::fflush(f);
}

// --json: one object per file taken up, as a line, once its report lines
// are complete: {"number":1,"file":"sub/a.htm","lines":["New KWMT inserted.",...],
// "tag":"<meta ...>"} with the whole tag last written (null when none).
class JsonReport {
public:
    explicit JsonReport(const ReportLog& log) : log_(log) {}
    void Append(const std::string& s) {
        pending_ += s;
        for (std::size_t e; (e = pending_.find("\r\n")) != std::string::npos;) {
            Line(pending_.substr(0, e));
            pending_.erase(0, e + 2);
        }
    }
    void Flush() {
        if (!open_) return;
        json_.EndArray().Key("tag");
        if (tag_.empty())
            json_.Null();
        else
            json_.Cp1252(tag_);
        json_.EndObject();
        Print(json_.Text() + "\n");
        json_ = JsonWriter();
        open_ = false;
    }
    static void Print(const std::string& utf8) {
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
        std::fflush(stdout);
    }

private:
    void Line(const std::string& line) {
        if (line.rfind("File #", 0) == 0) {
            Flush();
            const std::size_t colon = line.find(": ");
            json_.BeginObject().Key("number").Int(std::atoll(line.c_str() + 6));
            json_.Key("file").String(ReportForTerminal(line.substr(colon + 2)));
            json_.Key("lines").BeginArray();
            open_ = true;
            tag_.clear();
        } else if (open_ && line.rfind("  ", 0) == 0) {
            json_.String(ReportForTerminal(line.substr(2)));
            if (!log_.LastInsertedTag.empty()) tag_ = log_.LastInsertedTag;
        }
    }
    const ReportLog& log_;
    std::string tag_;
    JsonWriter json_;
    std::string pending_;
    bool open_ = false;
};

const char* AnswerName(Answer a) {
    switch (a) {
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
    case Answer::Cancel: return "Cancel";
    case Answer::Ok: return "OK";
    }
    return "OK";
}

// Every question of the run gets an explicit answer: "Anomalous file" from
// --delete-leftovers, any other the button the window gives the focus. The
// question and its answer are printed on stderr; the closing message (the
// only box with just OK) is the last line of stdout.
class BatchPrompter : public Prompter {
public:
    using Prompter::Ask;
    explicit BatchPrompter(const BatchFlags& flags) : flags_(flags) {}
    Answer Ask(const std::string& text, const std::string& title, Icon, Buttons buttons,
               Answer defaultButton) override {
        if (buttons == Buttons::Ok) {
            if (json) {
                json->Flush();
                JsonWriter w;
                w.BeginObject().Key("files").Int(files ? *files : 0);
                w.Key("stopped").Bool(stopped && *stopped);
                w.Key("title").Cp1252(title).Key("message").Cp1252(text).EndObject();
                JsonReport::Print(w.Text() + "\n");
            } else {
                Print(stdout, title + ": " + text + "\n");
            }
            return Answer::Ok;
        }
        Answer a = defaultButton;
        if (title == "Anomalous file") a = flags_.deleteLeftovers ? Answer::Yes : Answer::No;
        Print(stderr, title + ": " + text + "\n" + "Answer: " + AnswerName(a) + "\n");
        return a;
    }

    // --json: the closing message becomes the summary object.
    JsonReport* json = nullptr;
    const int32_t* files = nullptr;
    const bool* stopped = nullptr;

private:
    const BatchFlags& flags_;
};

class CliBatchUser : public BatchUser {
public:
    explicit CliBatchUser(const BatchFlags& flags) : flags_(flags), prompter_(flags) {}
    Prompter& prompter() override { return prompter_; }
    BatchPrompter& batchPrompter() { return prompter_; }
    void ShowReport() override { showing_ = true; }
    void HideReport() override { showing_ = false; }
    bool ReportShowing() override { return showing_; }
    void Inspect(EditSession&) override {}  // never: the command runs without inspection
    void ProcessEvents() override { Poll(); }
    // The pause between files (the only wait of a second or more) lasts
    // --pause seconds; the window's shorter waits are there for the eye and
    // are not slept here.
    void Wait(int milliseconds) override {
        Poll();
        if (milliseconds < 1000) return;
        for (int left = flags_.pauseSeconds * 1000; left > 0 && !gStopSignal; left -= 50)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, 50)));
        Poll();
    }
    void Poll() {
        if (gStopSignal && run) run->RequestStop();
    }
    BatchRun* run = nullptr;

private:
    const BatchFlags& flags_;
    BatchPrompter prompter_;
    bool showing_ = false;
};

// The analysis side: the Stop signal reaches the scan at its next step, and
// its question (the Unix-type file warning) is one of the run's, answered
// and printed as they are, wherever the page is analysed.
class BatchHost : public CliHost {
public:
    Prompter& prompter() override { return user->prompter(); }
    void Yield() override {
        if (gStopSignal && user) user->Poll();
    }
    CliBatchUser* user = nullptr;
};

bool IntArg(const std::string& text, int lo, int hi, int& out) {
    if (text.empty() || text.size() > 6) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < lo || v > hi) return false;
    out = v;
    return true;
}

int BatchOptions(const std::vector<std::string>& args, std::size_t i, AnalysisOptions& opts,
                 void* context) {
    BatchFlags& f = *static_cast<BatchFlags*>(context);
    Settings& st = opts.settings;
    std::string name = args[i], value;
    bool inlineValue = false;
    if (const std::size_t eq = name.find('='); eq != std::string::npos) {
        value = name.substr(eq + 1);
        name.resize(eq);
        inlineValue = true;
    }
    auto flag = [&](int& field) {
        if (inlineValue) {
            UsageError("batch: option " + name + " takes no value");
            return -1;
        }
        field = 1;
        return 1;
    };
    auto valued = [&](std::string& out) {
        if (inlineValue) {
            out = value;
            return 1;
        }
        if (i + 1 >= args.size()) {
            UsageError("batch: option " + name + " needs a value");
            return -1;
        }
        out = args[i + 1];
        return 2;
    };
    int dryRun = 0, deleteLeftovers = 0;
    if (name == "--keywords") return flag(st.InsertKWMT);
    if (name == "--subfolders") return flag(st.IncludeAllSubfolders);
    if (name == "--preserve-keywords") return flag(st.PreserveExistingKWMT);
    if (name == "--preserve-viewport") return flag(st.PreserveExistingVPMT);
    if (name == "--dry-run") {
        const int used = flag(dryRun);
        f.dryRun = true;
        return used;
    }
    if (name == "--delete-leftovers") {
        const int used = flag(deleteLeftovers);
        f.deleteLeftovers = true;
        return used;
    }
    if (name == "--exclude") {
        std::string v;
        const int used = valued(v);
        if (used > 0) st.ExcludedFilepaths = ArgToCp1252(v);
        return used;
    }
    if (name == "--pause" || name == "--jobs") {
        std::string v;
        const int used = valued(v);
        if (used < 0) return used;
        const bool pause = name == "--pause";
        if (!IntArg(v, pause ? 0 : 1, pause ? 5 : 256, pause ? f.pauseSeconds : f.jobs)) {
            UsageError("batch: bad value for " + name + ": '" + v + "' (expected " +
                       (pause ? "0 to 5" : "1 to 256") + ")");
            return -1;
        }
        return used;
    }
    if (name == "--folder-mode") {
        UsageError("batch: option --folder-mode is not available (batch always works on a folder)");
        return -1;
    }
    return 0;
}

}  // namespace

int BatchCommand(const std::vector<std::string>& args) {
    AnalysisOptions opts;
    BatchFlags flags;
    if (!ParseAnalysisOptions("batch", args, opts, BatchOptions, &flags)) return kExitUsage;
    if (opts.help) {
        std::fputs(HelpText().c_str(), stdout);
        return kExitOk;
    }
    Settings& st = opts.settings;
    if (st.InsertKWMT != 1 && st.InsertVPMT != 1) {
        UsageError("batch: give --keywords, --viewport or both");
        return kExitUsage;
    }
    if (!ViewportOptionValid(st)) return kExitMessage;
    if (st.InsertKWMT != 1 && st.InsertVPMT != 1) {
        UsageError("batch: an empty --viewport text leaves nothing to insert");
        return kExitUsage;
    }
    st.SingleFile = false;
    st.Confirm = 0;
    st.Folder = opts.file;  // bytes as given: a path of this file system

#ifdef __GLIBC__
    // A run allocates and frees a page-sized buffer or two per page. By
    // default the allocator hands large ones to the system and back, and
    // gives the top of its heap back as soon as it is free, so that every
    // page was read and rewritten into memory fresh from the system (a
    // page fault for every 4 KB of it). Kept within bounds, that memory is
    // used again. The threads of --jobs keep a heap each: sharing one, they
    // waited for its lock some 600 times in a run over 2,000 pages, and the
    // kernel tends to wake a waiting thread on the core of the one that
    // woke it, where the two then shared a core while the other idled.
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
#endif
    std::unique_ptr<DryRunFileSystem> dry;
    if (flags.dryRun) dry = std::make_unique<DryRunFileSystem>(RealFileSystem());
    FileSystem& fs = dry ? static_cast<FileSystem&>(*dry) : RealFileSystem();

    const std::string bad = CheckTopFolder(st.Folder, fs);
    if (!bad.empty()) {
        CliPrompter(stderr).Message(bad, "Invalid input", Icon::Exclamation);
        return kExitMessage;
    }
    st.Folder = Trim(st.Folder);

    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);

    CommonWords common;
    if (st.InsertKWMT == 1) LoadCommonWords(common, opts);

    CliBatchUser user(flags);
    BatchHost host;
    host.user = &user;
    ReportLog report;
    report.maxChars = SIZE_MAX;
    report.viewportText = [&st] { return st.VPMT; };
    JsonReport json(report);
    if (opts.json)
        report.onAppend = [&json](const std::string& s) { json.Append(s); };
    else
        report.onAppend = [](const std::string& s) { Print(stdout, s); };
    Analyzer analyzer(st, common, host, report);
    BatchRun run(st, analyzer, host, report, user, fs);
    user.run = &run;
    if (opts.json) {
        user.batchPrompter().json = &json;
        user.batchPrompter().files = &run.FileCounter;
        user.batchPrompter().stopped = &run.StopFlag;
    }

    std::unique_ptr<AnalysisPool> pool;
    int jobs = flags.jobs > 0 ? flags.jobs : static_cast<int>(std::thread::hardware_concurrency());
    if (jobs < 1) jobs = 1;
    if (jobs > 1) {
        WalkListings listings;
        pool = std::make_unique<AnalysisPool>(st, common, fs, jobs);
        ListRunFiles(fs, st, &listings,
                     [&pool](const std::string& path, long long size) { pool->Add(path, size); });
        pool->EndOfFiles();
        run.SetAnalysisAhead(pool.get());
        run.UseListings(std::move(listings));
    }

    run.blnAutomaticInsertion = true;
    run.RunBatch();
    if (pool) pool->Stop();
    return run.StopFlag ? kExitMessage : kExitOk;
}

}  // namespace zelk::cli
