// Writing the viewport and keywords meta tags into a document: the routine
// shared by the single-file Insert command and the batch run, its result
// message and the Insert command's own checks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/ReportLog.h"
#include "common/Ui.h"
#include "common/FileSystem.h"
#include "common/Settings.h"

namespace zelk {

struct FileSnapshot;
struct TextFileTest;

// The window state an insertion reads, filled by the caller at the moment
// of use.
struct InsertRequest {
    bool insertVPMT = false;               // chkInsertVPMT
    bool insertKWMT = false;               // chkInsertKWMT
    std::string vpmtText;                  // main window txbVPMT
    bool singleFile = true;                // optSingleFile
    bool preserveExistingVPMT = false;     // chkPreserveExistingVPMT (multiple files only)
    bool preserveExistingKWMT = false;     // chkPreserveExistingKWMT (multiple files only)
    std::string mainMetaTagText;           // main window txbMetaTag
    std::string dialogMetaTagText;         // edit dialog txbMetaTag
};

// The request of an insertion from the settings record, read now: the
// ticked tags, txbVPMT, the mode and the preserve settings; mainBox is the
// main window's txbMetaTag, dialogBox the edit dialog's.
InsertRequest InsertRequestFromSettings(const Settings& settings, const std::string& mainBox,
                                        const std::string& dialogBox = std::string());

// Result codes of InsertMetaTags.
inline constexpr int16_t kInsertOk = 0;
inline constexpr int16_t kInsertNoPath = -1;
inline constexpr int16_t kInsertBadKeywordsTag = -2;
inline constexpr int16_t kInsertNoDocument = -3;
inline constexpr int16_t kInsertMultiLineKWMT = -4;
inline constexpr int16_t kInsertNoHeadEnd = -5;
inline constexpr int16_t kInsertFileError = -7;
inline constexpr int16_t kInsertNoVPMT = -8;
inline constexpr int16_t kInsertWideText = -9;  // UTF-16 or UTF-32 document, left alone
inline constexpr int16_t kInsertVPMTKept = -10;
inline constexpr int16_t kInsertKWMTKept = -11;
inline constexpr int16_t kInsertBothKept = -12;
inline constexpr int16_t kInsertNotText = -13;  // fails the text test, left alone

// Locate a tag named "viewport" / "keywords" (in double quotes) inside one
// lower-cased line: start is the "<meta " before the name, end the first ">"
// after it; both 1-based, 0 when absent.
void FindViewportMetaTag(const std::string& low, long& start, long& end);
void FindKeywordsMetaTag(const std::string& low, long& start, long& end);

// Appends the lines of rest as a rewrite writes them: in an LF-only
// document each ends in LF; in any other each ends in CR LF, a lone CR
// ending its line and a lone LF staying inside it. An unended last line is
// ended; an empty rest adds nothing.
void AppendLinesEnded(std::string_view rest, bool lfOnly, std::string& out);

// The keywords meta tag held by an output box text ("" when there is none).
std::string MetaTagFromTextbox(const std::string& boxText);

// The working file of an insertion: "bak" inserted after the last "." of the
// path (abc.htm -> abc.bak.htm); "" when the path holds no ".".
std::string TempFilepath(const std::string& documentPath);

// The file name (after the last "/"; the whole text when there is none),
// folded, contains ".bak.": a working file of an insertion.
bool IsBAKfile(const std::string& path);

// Rewrites the document with the requested tags through the safe write path
// (common/SafeWrite.h); see the .cpp for the rules. Every action is logged,
// indented, through log.ReportLine, once the document has been written. When
// no tag is replaced or inserted the document is not written at all. On -7
// failure says why ("No space left on device"), as the report line does.
// earlier: the document as the caller read it (see SafeRewrite::Open), and
// earlierTest its text test (IsTextContent of those bytes under
// documentPath), taken over with the bytes; prepared: the rewrite of those
// bytes made ahead, taken over (its text moved out) with them when made
// under the same request. Bytes taken over leave their buffer, emptied, in
// earlier (a small one), for the caller's next read.
struct PreparedRewrite;
int16_t InsertMetaTags(const std::string& keywordsTag, const std::string& documentPath,
                       const InsertRequest& request, ReportLog& log, FileSystem& fs,
                       std::string& failure, FileSnapshot* earlier = nullptr,
                       const TextFileTest* earlierTest = nullptr,
                       PreparedRewrite* prepared = nullptr);

// The rewrite InsertMetaTags makes of a document it has read and tested,
// made ahead of the insertion (by the threads of a batch run): the new text
// (none when no tag is replaced or inserted), the report lines with the tag
// each shows (none: the one the log shows before them) and the result.
struct PreparedRewrite {
    InsertRequest request;
    std::optional<std::string> text;
    std::vector<std::pair<std::string, std::optional<std::string>>> lines;
    int16_t code = kInsertOk;
};
PreparedRewrite PrepareRewrite(std::string_view page, const TextFileTest& test,
                               const InsertRequest& request);
int16_t InsertMetaTags(const std::string& keywordsTag, const std::string& documentPath,
                       const InsertRequest& request, ReportLog& log,
                       FileSystem& fs = RealFileSystem());

// The message box that reports a single-file insertion.
struct InsertResultMessage {
    std::string title;
    std::string text;
    Icon icon = Icon::None;
};
// failure: the reason of a -7 ("" gives "Unknown error").
InsertResultMessage InsertResultText(int16_t code, bool insertVPMT, bool insertKWMT,
                                     const std::string& insertCaption,
                                     const std::string& failure = {});
void ShowInsertResult(Prompter& prompter, int16_t code, bool insertVPMT, bool insertKWMT,
                      const std::string& insertCaption, const std::string& failure = {});

// The caption of the Insert button in single-file mode for the ticked tags
// and whether the output box holds text; "" when the button is hidden.
std::string InsertButtonCaption(bool insertKWMT, bool insertVPMT, bool outputNotEmpty);
inline constexpr const char* kInsertKeywordsCaption = "Insert keywords meta tag into file";

// The single-file Insert command, shared by the window and zelk-cli.
struct InsertCommand {
    std::string inputFileText;  // txbInputFile; trimmed by the command
    // request.mainMetaTagText is the output box; trimmed by the command.
    InsertRequest request;
    // The output box holds a keywords tag generated from the current input
    // document under the current settings.
    bool keywordsGenerated = false;
    std::string insertCaption = kInsertKeywordsCaption;  // the Insert button's caption
};
// Runs the checks and the insertion and shows the result. Returns the code
// of InsertMetaTags, or nothing when a check refused the command (its
// message has been shown).
std::optional<int16_t> cmdInsert_Click(InsertCommand& command, Prompter& prompter, ReportLog& log,
                                       FileSystem& fs = RealFileSystem());

}  // namespace zelk
