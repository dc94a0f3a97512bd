// The analysis state of the main window and the single-file request behind
// its Generate and List words buttons: from an input file to a ranked word
// table, and from the table to the keywords meta tag or the word list in
// the output box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/DocumentLines.h"
#include "analysis/ScanState.h"
#include "analysis/TextFile.h"
#include "analysis/WordTally.h"
#include "common/FileSystem.h"

namespace zelk {

class AnalysisHost;
class CommonWords;
class ReportLog;
struct Settings;

class Analyzer {
public:
    Analyzer(Settings& settings, const CommonWords& commonWords, AnalysisHost& host,
             ReportLog& report);

    ScanState scan;
    bool blnStop = false;           // set by the Stop button during an analysis
    bool StopFlag = false;          // end-of-batch flag: the Unix-file warning was cancelled
    bool DocumentAnalysed = false;  // the input file is analysed with the current settings
    bool KeywordsGenerated = false; // the output box holds a tag made by Generate

    // An input or an analysis setting changed: the next request analyses
    // again. A change while a scan yields to the window reaches only the rest
    // of the document, so that scan's table is marked stale as well.
    void InvalidateAnalysis() {
        DocumentAnalysed = false;
        KeywordsGenerated = false;
        if (scanning_) changedDuringScan_ = true;
    }

    // The result of DoFile; any other value is the number of a failure while
    // reading (shown to the user, as are these).
    enum DoFileCode : int16_t {
        kAnalysed = 0,
        kNotTextFile = -1,
        kStopped = -3,
        kUnixFileRefused = -4,
    };
    struct DoFileResult {
        int16_t result = kAnalysed;  // a DoFileCode or a failure number
        unsigned char firstBadByte = 32;
        int32_t firstBadPos = 0;
        int16_t numberOfWords = 0;
    };
    // Analyses one document into the word table.
    DoFileResult DoFile(const std::string& path);
    // The same on the bytes of a file the caller has read and tested (read
    // where they stand: unchanged until DoFile returns): test is
    // IsTextContent(bytes, its path, kTextTestBytes, kTextTestThreshold,
    // true).
    DoFileResult DoFile(std::string_view bytes, const TextFileTest& test);
    // Where documents are read from (the real file system unless a test
    // gives another).
    void UseFileSystem(FileSystem& fs) { fs_ = &fs; }

    // The single-file request: Generate (generate true) or List words.
    void DoIt(bool generate);
    // Its first half: unless the document is already analysed, the checks of
    // the input file name and DoFile, with their messages. False when a
    // check failed and the request ends there; afterwards DocumentAnalysed
    // tells whether there is a table to show.
    bool RequestTimeChecks();

    // The two ways of showing an analysed table in the output box.
    void GenerateKeywordMetaTag();
    void ListWords();

    // The weight of the current word's place in the document.
    float ContextWeight() const;

    const WordTable& Table() { return tally_.Table(); }
    WordTally& Tally() { return tally_; }
    int32_t TotalWords() const { return scan.TotalWords; }

    static constexpr const char* kNowProcessing = "Now processing ...";

private:
    Settings& settings_;
    const CommonWords& commonWords_;
    AnalysisHost& host_;
    ReportLog& report_;
    FileSystem* fs_;
    WordTally tally_;
    bool scanning_ = false;           // DoFile is reading and scanning the document
    bool changedDuringScan_ = false;  // a setting changed meanwhile: the table is mixed
    bool freshTable_ = false;         // this request's DoFile completed a table
    // Kept from document to document: the document's bytes and the buffer
    // the next line is prepared in.
    DocumentLines lines_;
    std::string line_;

    void ReleaseLargeBuffers();
    // DoFile once the document is in lines_ (loaded) or could not be read.
    DoFileResult AnalyseLoaded(bool loaded, int readError, const TextFileTest& test);
};

}  // namespace zelk
