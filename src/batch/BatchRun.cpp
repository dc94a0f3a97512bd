#include "batch/BatchRun.h"

#include <algorithm>

#include "analysis/AnalysisHost.h"
#include "analysis/Analyzer.h"
#include "batch/EditSession.h"
#include "batch/ExclusionList.h"
#include "common/FileProc.h"
#include "common/ReportLog.h"
#include "common/Settings.h"
#include "common/StrProc.h"

namespace zelk {

namespace {

const std::string kCrLf(CRLF);

// The folder text without its trailing "/" characters ("" for the root).
std::string WithoutTrailingSlashes(std::string s) {
    while (!s.empty() && s.back() == '/') s.pop_back();
    return s;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

}  // namespace

bool LessForWalk(const std::string& a, const std::string& b) {
    const std::string la = LowerCaseAccented(a), lb = LowerCaseAccented(b);
    if (la != lb) return la < lb;
    return a < b;
}

bool ListForWalk(FileSystem& fs, const std::string& folder,
                 std::set<std::pair<uint64_t, uint64_t>>& seen, std::vector<std::string>& files,
                 std::vector<std::string>& folders, WalkListing* listed) {
    const std::string real = folder.empty() ? std::string("/") : folder;
    FileIdentity id;
    if (!fs.Identify(real, id) || id.kind != EntryKind::Folder) return false;
    if (!seen.insert({id.key.device, id.key.inode}).second) return false;
    if (listed) listed->key = {id.key.device, id.key.inode};
    std::vector<FolderEntry> entries;
    if (!fs.ListFolder(real, entries)) return false;
    for (const FolderEntry& e : entries) {
        if (e.kind == EntryKind::File) files.push_back(e.name);
        else if (e.kind == EntryKind::Folder) folders.push_back(e.name);
    }
    std::sort(files.begin(), files.end(), LessForWalk);
    std::sort(folders.begin(), folders.end(), LessForWalk);
    return true;
}

std::string CheckTopFolder(const std::string& folder, FileSystem& fs) {
    const std::string t = Trim(folder);
    if (t.empty()) return "No input folder specified.";
    FileIdentity id;
    if (!fs.Identify(t, id) || id.kind != EntryKind::Folder) return "Folder does not exist";
    return {};
}

BatchRun::BatchRun(Settings& settings, Analyzer& analyzer, AnalysisHost& host, ReportLog& report,
                   BatchUser& user, FileSystem& fs)
    : settings_(settings), analyzer_(analyzer), host_(host), report_(report), user_(user), fs_(fs) {}

std::string BatchRun::EditDialogTitle() const {
    if (settings_.InsertKWMT != 1) return "Insert viewport meta tag";
    if (settings_.InsertVPMT == 1) return "Insert both viewport meta tag and keywords meta tag";
    return "Insert keywords meta tag";
}

std::string BatchRun::BreakStopCaption() const {
    return settings_.InsertKWMT == 1 ? "Break to inspection/edit mode" : "Stop operation";
}

int BatchRun::PauseMilliseconds() const { return (std::clamp(settings_.Pause, 0, 4) + 1) * 1000; }

void BatchRun::SetReportButtons(const ReportButtons& b) {
    buttons_ = b;
    user_.SetReportButtons(b);
}

void BatchRun::ShowIdleReportButtons() { SetReportButtons({true, true, true, true, false, false}); }
void BatchRun::ShowAutomaticReportButtons() {
    SetReportButtons({false, false, false, false, true, true});
}
void BatchRun::HideReportButtons() { SetReportButtons({false, false, false, false, false, false}); }

bool BatchRun::StartFromGenerate() {
    settings_.Folder = Trim(settings_.Folder);
    const std::string bad = CheckTopFolder(settings_.Folder, fs_);
    Prompter& ask = user_.prompter();
    if (!bad.empty()) {
        ask.Message(bad, "Invalid input", Icon::Exclamation);
        return false;
    }
    if (settings_.InsertKWMT == 1) {
        if (settings_.Confirm != 1) {
            const Answer a = ask.Ask("Do you wish to inspect (and possibly edit)" + kCrLf +
                                         "the keywords meta tags " + " before inserting?",
                                     "Inspect keywords meta tag?", Icon::None, Buttons::YesNo);
            if (a == Answer::Yes) {
                settings_.Confirm = 1;
                ask.Ask("The setting has been changed, and the operation will proceed.",
                        "Inspect before insertion", Icon::None, Buttons::OkCancel);
            }
        }
        if (settings_.Confirm != 1) {
            const Answer a = ask.Ask(
                "In accord with the settings for multiple files, the program" + kCrLf +
                    "will now insert keywords meta tags automatically" + kCrLf +
                    "(without supervision).  Do you wish to proceed with this?" + kCrLf + kCrLf +
                    "(The operation can be interrupted.)",
                "Automatic insertion", Icon::None, Buttons::YesNo, Answer::No);
            if (a != Answer::Yes) return false;
            blnAutomaticInsertion = true;
        }
        RunBatch();
        return true;
    }
    if (settings_.InsertVPMT != 1) return false;
    blnAutomaticInsertion = settings_.Confirm != 1;
    RunBatch();
    return true;
}

void BatchRun::RunBatch() {
    running_ = true;
    FileCounter = 0;
    StopFlag = false;
    entered_.clear();
    user_.RunStarting();
    host_.SetOutputText("");

    // Empty items are dropped: as a substring, "" would exclude every file
    // without telling the user why.
    std::vector<std::string> items = ParseExclusionList(settings_.ExcludedFilepaths);
    items.erase(std::remove(items.begin(), items.end(), std::string()), items.end());
    settings_.ExcludedFilepaths = JoinExclusionList(items);
    ExcludedFragments.clear();
    for (const std::string& item : items) ExcludedFragments.push_back(LowerCaseAccented(item));

    user_.SetEditDialogTitle(EditDialogTitle());
    if (blnAutomaticInsertion) user_.SetInsertButtonForRun(true, BreakStopCaption());
    ReportButtons b = buttons_;
    b.copyEnabled = b.closeEnabled = false;
    SetReportButtons(b);
    AnyFileNeedsWork = false;
    user_.LockRunInputs(true);

    top_ = settings_.Folder;
    // The analysis reads the pages through the run's file system too.
    analyzer_.UseFileSystem(fs_);
    ProcessFolder(WithoutTrailingSlashes(top_));
    listings_.clear();

    user_.LockRunInputs(false);
    if (StopFlag)
        report_.Append(kCrLf + "Operation stopped." + kCrLf);
    else if (FileCounter >= 1)
        report_.Append(kCrLf + "That's all." + kCrLf);
    ShowIdleReportButtons();
    user_.RefreshReport();
    if (blnAutomaticInsertion) {
        user_.SetInsertButtonForRun(false, kInsertKeywordsCaption);
        blnAutomaticInsertion = false;
    }
    user_.RunEnded();
    running_ = false;

    Prompter& ask = user_.prompter();
    if (FileCounter > 0) {
        ask.Message("Number of files processed: " + std::to_string(FileCounter), "Number of files",
                    Icon::Information);
    } else {
        user_.HideReport();
        if (AnyFileNeedsWork)
            ask.Message("No HTML file needs to be modified.", "All files done", Icon::Information);
        else
            ask.Message("There are no HTML files.", "No files", Icon::Information);
    }
    user_.SetTheFocus();
}

bool BatchRun::ListFolderForWalk(const std::string& folder, std::vector<std::string>& files,
                                 std::vector<std::string>& folders) {
    auto it = listings_.find(folder);
    if (it == listings_.end()) return ListForWalk(fs_, folder, entered_, files, folders);
    if (!entered_.insert(it->second.key).second) return false;
    files = std::move(it->second.files);
    folders = std::move(it->second.folders);
    listings_.erase(it);
    return true;
}

void BatchRun::ProcessFolder(const std::string& folder) {
    std::vector<std::string> files, folders;
    if (!ListFolderForWalk(folder, files, folders)) return;  // unreadable: ends silently

    for (const std::string& name : files)
        if (!ProcessFile(folder, name)) return;

    if (settings_.IncludeAllSubfolders != 1) return;
    for (const std::string& name : folders) {
        if (StopFlag) return;
        ProcessFolder(Join(folder, name));
    }
}

std::string BatchRun::RelativeToTop(const std::string& path) const {
    const std::string walkTop = WithoutTrailingSlashes(top_);
    return path.size() > walkTop.size() + 1 ? path.substr(walkTop.size() + 1) : std::string();
}

void BatchRun::ShowReportForRun() {
    user_.ShowReport();
    report_.Clear();
    report_.Append("Top folder: " + WithoutTrailingSlashes(top_) + "/" + kCrLf + kCrLf);
    HideReportButtons();
}

// One file of a folder; false ends the folder.
bool BatchRun::ProcessFile(const std::string& folder, const std::string& name) {
    host_.SetOutputText("");
    report_.LastInsertedTag.clear();
    const std::string path = Join(folder, name);
    if (FileExtension(name, true).find("htm") == std::string::npos) return true;
    pageRead_ = false;
    if (SkipFile(path)) return true;

    if (!user_.ReportShowing()) ShowReportForRun();
    host_.SetInputFileText(path);
    ++FileCounter;
    CurrentFile = path;
    report_.ReportLine("File #" + std::to_string(FileCounter) + ": " + RelativeToTop(CurrentFile));

    auto pauseAfterFile = [this]() {
        if (!blnAutomaticInsertion) return true;
        user_.Wait(PauseMilliseconds());
        return !StopFlag;
    };

    const PageFacts& page = Page(CurrentFile);
    if (!page.read) {
        // A page that cannot be read is said to be so, with the system's
        // reason, rather than reported as a page without a head.
        report_.ReportLine("Not readable: " + ErrorText(page.readError) + ".", true);
        return pauseAfterFile();
    }
    if (!page.hasHead) {
        report_.ReportLine("<head> not found", true);
        return pauseAfterFile();
    }
    if (!page.hasHeadEnd) {
        report_.ReportLine("</head> not found", true);
        return pauseAfterFile();
    }

    analyzer_.blnStop = false;
    const std::string& oldKW = page.oldKeywordsTag;
    const std::string& oldVP = page.oldViewportTag;
    const bool kw = settings_.InsertKWMT == 1;
    NumberOfWords = 0;
    if (kw) {
        host_.SetInputFileText(CurrentFile);
        const bool skip = !AnalyseCurrentFile();
        if (StopFlag) return false;
        if (analyzer_.blnStop) {
            if (user_.prompter().Ask("Go on to the next file?", "Continue?", Icon::None,
                                     Buttons::YesNo) != Answer::Yes)
                return false;
            host_.SetOutputText("");
        }
        if (analyzer_.blnStop || skip) return StopFlag ? false : pauseAfterFile();
    }

    // The new tag, for the edit dialog's box.
    if (kw) {
        if (NumberOfWords > 0) {
            if (analysedAhead_)
                host_.SetOutputText(aheadAnalysis_.keywordsTag);
            else
                analyzer_.GenerateKeywordMetaTag();
        }
    } else {
        host_.SetOutputText(settings_.VPMT);
    }
    DialogTagText = host_.OutputText();
    host_.SetOutputText("");

    // The bottom window: the tags the file has now.
    auto bottomWindow = [&](bool inspecting) {
        return BottomWindowText(settings_, oldKW, oldVP, inspecting);
    };
    host_.SetOutputText(bottomWindow(settings_.Confirm == 1));

    for (;;) {
        if (settings_.Confirm == 1) {
            user_.EnableQuit(false);
            EditSession session(*this);
            user_.Inspect(session);
            host_.SetOutputText("");
            user_.ProcessEvents();
            user_.EnableQuit(true);
            if (StopFlag) return false;
            break;
        }
        ShowAutomaticReportButtons();
        user_.SetInsertButtonForRun(true, BreakStopCaption());
        user_.RefreshReport();
        user_.Wait(250);
        // Stop or Break may have been pressed during the wait: a stopped run
        // leaves this file untouched, a break shows it in the edit dialog.
        if (StopFlag) return false;
        if (!blnAutomaticInsertion && settings_.Confirm == 1) {
            host_.SetOutputText(bottomWindow(true));
            continue;
        }
        if (kw && NumberOfWords == 0)
            report_.ReportLine("No keywords", true);
        else
            Insert2();
        break;
    }
    if (StopFlag) return false;
    return pauseAfterFile();
}

const PageFacts& BatchRun::Page(const std::string& path) {
    if (pageRead_) return page_;
    pageRead_ = true;
    analysedAhead_ = false;
    prepared_.reset();
    PageAhead a;
    if (ahead_) {
        page_.page.bytes.clear();
        ahead_->GiveBack(std::move(page_.page.bytes));
    }
    if (ahead_ && ahead_->Take(path, a) && a.facts.read) {
        // Taken up ahead of the walk: good only while the page is in the
        // state it was read in (a rewrite earlier in this run, also through
        // another path, or another program changes it).
        bool same = false;
        if (a.bytesKept) {
            FileStatus now;
            same = fs_.Stat(path, now) && now.exists && SameFileState(now, a.facts.page.status);
        } else {
            ReadPageFacts(fs_, path, settings_, page_);
            same = page_.read && SameFileState(page_.page.status, a.facts.page.status);
            if (same) a.facts.page = std::move(page_.page);
        }
        if (same) {
            page_ = std::move(a.facts);
            analysedAhead_ = a.analysed;
            if (a.analysed) aheadAnalysis_ = std::move(a.analysis);
            prepared_ = std::move(a.rewrite);
            return page_;
        }
        if (!a.bytesKept) return page_;
    }
    ReadPageFacts(fs_, path, settings_, page_);
    return page_;
}

// The analysis of CurrentFile: false when the file is to be left alone.
bool BatchRun::AnalyseCurrentFile() {
    if (analysedAhead_) {
        const FileAnalysis& a = aheadAnalysis_;
        if (!a.unixQuestion.empty()) {
            const Answer ans = user_.prompter().Ask(a.unixQuestion, a.unixQuestionTitle,
                                                    Icon::None, Buttons::YesNoCancel);
            if (ans != Answer::Yes) {
                if (ans == Answer::Cancel) StopFlag = true;
                return false;
            }
        }
        for (const auto& [text, indent] : a.reportLines) report_.ReportLine(text, indent);
        NumberOfWords = a.numberOfWords;
        return a.result == 0;
    }
    const Analyzer::DoFileResult r = analyzer_.DoFile(page_.page.bytes, page_.test);
    if (analyzer_.StopFlag) {
        analyzer_.StopFlag = false;
        StopFlag = true;
    }
    NumberOfWords = r.numberOfWords;
    return r.result == 0;
}

bool BatchRun::SkipFile(const std::string& path) {
    const std::string p = LowerCaseAccented(path);
    if (p.find(".bak.htm") != std::string::npos) {
        const Answer a = user_.prompter().Ask(
            "The file '" + LowerCaseAccented(path.substr(path.rfind('/') + 1)) + "' appears to be left over" + kCrLf +
                "from a previous operation.  Delete it?",
            "Anomalous file", Icon::None, Buttons::YesNo);
        if (a == Answer::Yes) fs_.Remove(path);
        return true;
    }
    for (const std::string& f : ExcludedFragments)
        if (p.find(f) != std::string::npos) return true;
    AnyFileNeedsWork = true;
    // The page is read only when a preserve setting needs to look into it.
    const bool vpAsk = settings_.InsertVPMT == 1 && settings_.PreserveExistingVPMT == 1;
    const bool kwAsk = settings_.InsertKWMT == 1 && settings_.PreserveExistingKWMT == 1;
    if (!vpAsk && !kwAsk) return false;
    return PreservedWhole(settings_, Page(path));
}

InsertPlan PlanInsertion(const Settings& settings, const std::string& bottom,
                         const std::string& dialogTag) {
    InsertPlan plan;
    plan.request = InsertRequestFromSettings(settings, bottom, dialogTag);
    plan.request.singleFile = false;
    if (!plan.request.insertKWMT) return plan;
    plan.newTag = MetaTagFromTextbox(dialogTag);
    const long m = InStr(bottom, "<meta");
    if (m > 0 && Mid(bottom, m) == plan.newTag) {
        plan.unchanged = true;
        // Only the viewport tag is left to insert.
        plan.insert = plan.request.insertVPMT;
        plan.request.insertKWMT = false;
        plan.request.dialogMetaTagText = settings.VPMT;
    } else {
        plan.keywordsTag = plan.newTag;
    }
    return plan;
}

std::string BottomWindowText(const Settings& settings, const std::string& oldKW,
                             const std::string& oldVP, bool inspecting) {
    std::string b;
    if (settings.InsertVPMT == 1) {
        if (!oldVP.empty())
            b += "Existing viewport meta tag:" + kCrLf + oldVP + kCrLf;
        else if (inspecting)
            b += "No viewport meta tag found." + kCrLf;
    }
    if (settings.InsertKWMT == 1) {
        if (settings.InsertVPMT == 1) b += kCrLf;
        b += oldKW.empty() ? std::string("No keywords meta tag found.")
                           : "Existing keywords meta tag:" + kCrLf + oldKW;
    }
    return b;
}

int16_t BatchRun::Insert2() {
    // The page as this visit read it, so that it is not read once more;
    // the insertion reads it again if it has changed meanwhile.
    FileSnapshot* earlier = pageRead_ && page_.read ? &page_.page : nullptr;
    const TextFileTest* test = earlier ? &page_.test : nullptr;
    PreparedRewrite* prepared = earlier && prepared_ ? &*prepared_ : nullptr;
    std::string failure;
    const std::string bottom = host_.OutputText();
    const InsertPlan plan = PlanInsertion(settings_, bottom, DialogTagText);
    if (plan.unchanged)
        host_.SetOutputText(bottom + kCrLf + kCrLf +
                            "New keywords meta tag: same as old keywords meta tag");
    else if (settings_.InsertKWMT == 1)
        host_.SetOutputText("New keywords meta tag:" + kCrLf + plan.newTag);
    const int16_t code = plan.insert ? InsertMetaTags(plan.keywordsTag, CurrentFile, plan.request,
                                                      report_, fs_, failure, earlier, test, prepared)
                                     : kInsertBadKeywordsTag;
    if (plan.unchanged) {
        report_.LastInsertedTag = plan.newTag;
        report_.ReportLine("KWMT unchanged", true);
    }
    // Whatever the insertion did, the bytes read are no longer this page's.
    pageRead_ = false;
    page_.page.bytes.clear();
    prepared_.reset();
    user_.ProcessEvents();
    return code;
}

void BatchRun::PressBreakStop() {
    if (!blnAutomaticInsertion) return;
    if (settings_.InsertKWMT == 1)
        settings_.Confirm = 1;
    else
        StopFlag = true;
    user_.SetInsertButtonForRun(false, kInsertKeywordsCaption);
    ShowIdleReportButtons();
    user_.RefreshReport();
    user_.Wait(500);
    blnAutomaticInsertion = false;
}

void BatchRun::RequestStop() {
    StopFlag = true;
    analyzer_.blnStop = true;
}

}  // namespace zelk
