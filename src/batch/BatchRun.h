// The run over a folder tree (multiple-files mode): every HTML file of a
// folder, and optionally of its subfolders, is analysed, given a new
// keywords and/or viewport meta tag and rewritten by the insertion. The run
// owns its state; it reads the settings at the moment of use (the window
// keeps the record bound to its controls), writes the report through the
// ReportLog and talks to its user through BatchUser.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "batch/BatchUser.h"
#include "batch/PageFacts.h"
#include "common/FileSystem.h"
#include "insertion/Insert.h"

namespace zelk {

class Analyzer;
class AnalysisHost;
class ReportLog;
struct Settings;

// What the analysis of one file yields, computed on the walk or ahead of it
// (zelk-cli --jobs).
struct FileAnalysis {
    int16_t result = 0;          // DoFile's result: non-zero leaves the file alone
    int16_t numberOfWords = 0;   // NumberOfWords
    std::string keywordsTag;     // what GenerateKeywordMetaTag put in the output box
    // Lines the analysis logged (the end-font warning), replayed in walk order.
    std::vector<std::pair<std::string, bool>> reportLines;
    // The Unix-type file warning was asked (and answered Yes ahead of the
    // walk): the walk asks it for real, with this text and title.
    std::string unixQuestion;
    std::string unixQuestionTitle;
};

// A page read, examined and (when the walk will need it) analysed and
// rewritten ahead of the walk.
struct PageAhead {
    PageFacts facts;
    // The bytes were kept for the walk (large pages are read again).
    bool bytesKept = false;
    bool analysed = false;
    FileAnalysis analysis;
    // The rewrite an automatic insertion of the page would make.
    std::optional<PreparedRewrite> rewrite;
};

// What the insertion of a visit (Insert2) does with the tag of the edit
// dialog's box (dialogTag), the bottom window's text being bottom.
struct InsertPlan {
    bool insert = true;        // InsertMetaTags is called, with these
    InsertRequest request;
    std::string keywordsTag;
    std::string newTag;        // the keywords tag of the box
    bool unchanged = false;    // it is the page's own: "KWMT unchanged"
};
InsertPlan PlanInsertion(const Settings& settings, const std::string& bottom,
                         const std::string& dialogTag);

// The edit dialog's bottom window: the tags the page has now.
std::string BottomWindowText(const Settings& settings, const std::string& oldKeywordsTag,
                             const std::string& oldViewportTag, bool inspecting);

// What ListForWalk gave for one folder: its device and inode, its files
// and subfolders in walk order.
struct WalkListing {
    std::pair<uint64_t, uint64_t> key;
    std::vector<std::string> files, folders;
};
// The folders of a tree listed just before a run, by path.
using WalkListings = std::map<std::string, WalkListing>;

// Hands out pages taken up ahead of the walk. Take returns false when it
// has none for this path; the walk then reads and analyses it itself, as it
// does when the page is no longer in the state it was read in.
class AnalysisAhead {
public:
    virtual ~AnalysisAhead() = default;
    virtual bool Take(const std::string& path, PageAhead& out) = 0;
    // The buffer of a page taken, emptied, for a page read later.
    virtual void GiveBack(std::string&& /*buffer*/) {}
};

class BatchRun {
public:
    BatchRun(Settings& settings, Analyzer& analyzer, AnalysisHost& host, ReportLog& report,
             BatchUser& user, FileSystem& fs = RealFileSystem());

    // --- Run state ---
    bool StopFlag = false;               // ends the run (Stop, Cancel operation, the analysis)
    bool blnAutomaticInsertion = false;  // automatic mode (main window's public field)
    int32_t FileCounter = 0;             // HTML files taken up ("File #")
    std::string CurrentFile;             // folder path + "/" + file name
    bool AnyFileNeedsWork = false;       // one file passed the leftover and exclusion tests
    std::vector<std::string> ExcludedFragments;
    int16_t NumberOfWords = 0;           // words found in the current file
    std::string DialogTagText;           // the edit dialog's txbMetaTag (the new tag)
    bool Running() const { return running_; }

    // The Generate command in multiple-files mode: checks txbFolder (its
    // text is settings.Folder, written back trimmed), asks the confirmations
    // and runs the batch. Returns false when nothing ran.
    bool StartFromGenerate();
    // The run itself; the top folder is settings.Folder.
    void RunBatch();
    // The files of one folder, then (with IncludeAllSubfolders) its subfolders.
    void ProcessFolder(const std::string& folder);
    // True when the file must not be touched (leftover, excluded, preserved).
    bool SkipFile(const std::string& path);
    // The insertion of the current file without the dialog (automatic mode
    // and the dialog's Insert button): the code of InsertMetaTags, or -2
    // when nothing was written because the keywords tag is unchanged.
    int16_t Insert2();

    // The main window's Insert button pressed during an automatic run (the
    // Break/Stop button): Break to inspection mode when keywords tags are
    // inserted, Stop otherwise.
    void PressBreakStop();
    // The Stop request of the user (the Stop button during an analysis, or
    // SIGINT/SIGTERM in zelk-cli): the current file is finished or left
    // untouched, and the run ends with "Operation stopped.".
    void RequestStop();

    // The edit dialog's title for the requested tags.
    std::string EditDialogTitle() const;
    // The Insert button's caption while it is the Break/Stop button.
    std::string BreakStopCaption() const;

    // zelk-cli --jobs: analyses made ahead of the walk.
    void SetAnalysisAhead(AnalysisAhead* ahead) { ahead_ = ahead; }
    // The folders of the tree as listed for the work ahead, which the next
    // run takes instead of listing them again (a folder not among them is
    // listed by the walk).
    void UseListings(WalkListings listings) { listings_ = std::move(listings); }

    // The pieces the edit dialog needs.
    Settings& settings() { return settings_; }
    AnalysisHost& host() { return host_; }
    ReportLog& report() { return report_; }
    BatchUser& user() { return user_; }
    FileSystem& fileSystem() { return fs_; }

    // The pause between files of an automatic run, in milliseconds.
    int PauseMilliseconds() const;

    // The report window's buttons as a run sets them: idle (Copy and Close
    // shown and enabled, Pause hidden), automatic (Copy and Close hidden,
    // Pause shown and enabled), inspecting (all three hidden).
    void ShowIdleReportButtons();
    void ShowAutomaticReportButtons();
    void HideReportButtons();

private:
    void ProcessFolderOnce(const std::string& folder);
    // ListForWalk for the walk, from listings_ when the folder is there.
    bool ListFolderForWalk(const std::string& folder, std::vector<std::string>& files,
                           std::vector<std::string>& folders);
    bool ProcessFile(const std::string& folder, const std::string& name);
    // The page at path as this visit read it (once), or as it was taken up
    // ahead of the walk when it has not changed since.
    const PageFacts& Page(const std::string& path);
    bool AnalyseCurrentFile();
    void ShowReportForRun();
    void EnterAutomaticLook();
    void LeaveAutomaticLook();
    std::string RelativeToTop(const std::string& path) const;
    void SetReportButtons(const ReportButtons& b);

    Settings& settings_;
    Analyzer& analyzer_;
    AnalysisHost& host_;
    ReportLog& report_;
    BatchUser& user_;
    FileSystem& fs_;
    AnalysisAhead* ahead_ = nullptr;
    ReportButtons buttons_{true, true, true, true, false, false};
    bool pageRead_ = false;        // page_ holds the current file
    PageFacts page_;
    bool analysedAhead_ = false;   // the current file's analysis came from ahead_
    FileAnalysis aheadAnalysis_;  // and this is it
    std::optional<PreparedRewrite> prepared_;  // the page's rewrite made ahead
    bool running_ = false;
    std::string top_;                                   // the top folder as given
    std::set<std::pair<uint64_t, uint64_t>> entered_;   // folders entered (device, inode)
    WalkListings listings_;                             // UseListings, until taken
};

// "No input folder specified." / "Folder does not exist" (title "Invalid
// input"), or "" when the folder text names an existing folder.
std::string CheckTopFolder(const std::string& folder, FileSystem& fs);

// The files and subfolders of a folder in the order a run takes them: each
// sorted by name ignoring case (LowerCaseAccented), ties by bytes.
bool LessForWalk(const std::string& a, const std::string& b);

// The files and subfolders of folder ("" for "/"), each in walk order.
// False, with nothing listed, when folder is not a folder, cannot be read,
// or was entered before in this walk (its device and inode are in seen):
// a link to a parent or two links to one folder are taken once, so link
// loops end. Dangling links, devices and sockets are passed over.
// listed (when given) gets the folder's device and inode.
bool ListForWalk(FileSystem& fs, const std::string& folder,
                 std::set<std::pair<uint64_t, uint64_t>>& seen, std::vector<std::string>& files,
                 std::vector<std::string>& folders, WalkListing* listed = nullptr);

}  // namespace zelk
