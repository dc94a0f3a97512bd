#include "analysis/Analyzer.h"

#include <cerrno>
#include <charconv>
#include <new>
#include <stdexcept>

#include "analysis/AnalysisHost.h"
#include "analysis/CommonWords.h"
#include "analysis/KeywordsMetaTag.h"
#include "analysis/InputFile.h"
#include "analysis/Scanner.h"
#include "analysis/TextContent.h"
#include "analysis/TextFile.h"
#include "analysis/WordList.h"
#include "common/ReportLog.h"
#include "common/FileProc.h"
#include "common/FileSystem.h"
#include "common/StrProc.h"
#include "common/Settings.h"

namespace zelk {

namespace {
// Failure numbers of the analysis when the system gives none of its own.
constexpr int16_t kOutOfMemory = 7;
constexpr int16_t kInternalError = 51;
constexpr long long kUnixWarningSize = 40960;

int16_t FailureNumber(int err) {
    if (err <= 0 || err > INT16_MAX) return kInternalError;
    return static_cast<int16_t>(err);
}

// The name passes the rule of the input box (a "." after the last "/", an
// extension holding "htm"), so a refusal by CheckInputFileSpec means the
// file is missing.
bool NamePassesRule(const std::string& path) {
    const long d = InStrRev(path, ".");
    const long b = InStrRev(path, "/");
    if (d == 0 || d < b) return false;
    return LowerCaseAccented(Mid(path, d + 1)).find("htm") != std::string::npos;
}
}  // namespace

Analyzer::Analyzer(Settings& settings, const CommonWords& commonWords, AnalysisHost& host,
                   ReportLog& report)
    : settings_(settings), commonWords_(commonWords), host_(host), report_(report),
      fs_(&RealFileSystem()) {
    scan.Reset();
}

float Analyzer::ContextWeight() const {
    if (scan.InTitle) return static_cast<float>(10 * settings_.TitleWeight);
    if (scan.InDescription) return static_cast<float>(10 * settings_.DescriptionWeight);
    if (scan.InExistingKeywords) return static_cast<float>(10 * settings_.ExistingKeywordsWeight);
    float w = static_cast<float>(scan.FontSize) + static_cast<float>(scan.HeadingBonus);
    if (scan.InBold) w += static_cast<float>(settings_.BoldWeight);
    if (scan.InItalic) w += static_cast<float>(settings_.ItalicWeight);
    if (scan.TableDepth > 0) w += static_cast<float>(settings_.TableWeight);
    if (scan.DivDepth > 0) w += static_cast<float>(settings_.DivWeight);
    if (scan.SpanDepth > 0) w += static_cast<float>(settings_.SpanWeight);
    return w;
}

void Analyzer::ReleaseLargeBuffers() {
    // The buffers stay for the next document unless a large one made them
    // large; then they are given back rather than held for ever.
    constexpr std::size_t kKept = std::size_t{4} << 20;
    lines_.Trim();
    if (scan.ScanLine.capacity() > kKept) std::string().swap(scan.ScanLine);
    scan.ScanLine.clear();
    if (line_.capacity() > kKept) std::string().swap(line_);
}

Analyzer::DoFileResult Analyzer::DoFile(const std::string& path) {
    // The document is read once, whole; the text test looks at its bytes.
    // When it cannot be read, the test on the path says what the user is
    // told (a missing file, or the read failure below).
    int readError = 0;
    const bool loaded = !path.empty() && lines_.Load(*fs_, path, readError);
    const TextFileTest test =
        loaded ? IsTextContent(lines_.Bytes(), path, kTextTestBytes, kTextTestThreshold, true)
               : IsTextFile(path, kTextTestBytes, kTextTestThreshold, true, *fs_);
    return AnalyseLoaded(loaded, readError, test);
}

Analyzer::DoFileResult Analyzer::DoFile(std::string_view bytes, const TextFileTest& test) {
    lines_.View(bytes);
    return AnalyseLoaded(true, 0, test);
}

Analyzer::DoFileResult Analyzer::AnalyseLoaded(bool loaded, int readError,
                                               const TextFileTest& test) {
    DoFileResult r;
    KeywordsGenerated = false;
    if (!loaded && readError == 0) readError = ENOENT;
    if (test.verdict == kNotText) {
        lines_.Trim();
        r.result = kNotTextFile;
        r.firstBadByte = test.firstBadByte;
        r.firstBadPos = test.firstBadPos;
        return r;
    }

    tally_.Reset();
    scan.Reset();
    const bool singleFile = settings_.SingleFile;
    if (singleFile) {
        host_.SetOutputText("");
        host_.RepaintOutput();
    }
    blnStop = false;
    host_.BeginAnalysisBusy();
    host_.EnableDisableButtons(false);

    if (test.verdict == kTextLfOnly) {
        const long long size = static_cast<long long>(lines_.Bytes().size());
        if (singleFile || settings_.DialogBoxForUnixFiles == 1) {
            if (size > kUnixWarningSize) {
                const std::string text =
                    std::string("This is a Unix-type file!") + std::string(CRLF) +
                    "This program processes files of this type but much more slowly." +
                    std::string(CRLF) + "Use of this program with Unix/Linux files larger than 40 Kb" +
                    std::string(CRLF) + "is not recommended.  The size of this file is " +
                    FormatFileSize(size) + "." + std::string(CRLF) + std::string(CRLF) +
                    "Do you wish to proceed with this file anyway?";
                const Answer a = host_.prompter().Ask(text, "Unix-type file warning", Icon::None,
                                                      Buttons::YesNoCancel);
                if (a == Answer::Cancel || a == Answer::No) {
                    if (a == Answer::Cancel) StopFlag = true;
                    // Leave the window idle again rather than stuck in its busy state.
                    host_.EndAnalysisBusy(singleFile);
                    lines_.Trim();
                    r.result = kUnixFileRefused;
                    return r;
                }
            }
        } else {
            host_.ShowUnixFileNote("Warning: File has Unix/Linux line endings");
        }
        host_.SetOutputText(kNowProcessing);
        host_.RepaintOutput();
    }

    scan.TotalWords = 0;
    host_.SetWordCountBusyLook(true);

    try {
        // The caption is rebuilt in one buffer for every new word (when the
        // host shows one), and the output box is read back (which costs the
        // window a conversion of its whole text) only at the first new word:
        // after that it can no longer hold the notice, since nothing writes
        // it during the scan.
        std::string caption = "Number of words found: ";
        const std::size_t captionPrefix = caption.size();
        bool noticeMayStand = true;
        const bool showsCount = host_.ShowsWordCount();
        Scanner scanner(scan, settings_, host_, report_, blnStop, [&] {
            if (tally_.CountWord(scan.CurrentWord, settings_.Language, &commonWords_, ContextWeight()) ==
                    WordTally::Outcome::NewWord &&
                (showsCount || noticeMayStand)) {
                char digits[8];
                const auto end = std::to_chars(digits, digits + sizeof digits, tally_.WordCount()).ptr;
                caption.resize(captionPrefix);
                caption.append(digits, end);
                host_.SetWordCountCaption(caption);
                if (noticeMayStand) {
                    noticeMayStand = false;
                    if (host_.OutputText() == kNowProcessing) host_.SetOutputText("");
                }
            }
        });
        scanner.SinkLengths(WordTally::kShortestWord, WordTally::kLongestWord);

        changedDuringScan_ = false;
        scanning_ = true;
        struct ScanEnds {
            bool& flag;
            ~ScanEnds() { flag = false; }
        } scanEnds{scanning_};
        if (!loaded) {
            r.result = FailureNumber(readError);
        } else {
            while (lines_.Next(line_, test.verdict, test.utf8)) {
                scanner.SwapLine(line_);
                scanner.ScanCurrentLine();
                if (scan.TagNesting < 0) scan.TagNesting = 0;
                if (scan.FontDepth < 0) scan.FontDepth = 0;
                if (blnStop) break;
            }
        }
        ReleaseLargeBuffers();
        scanning_ = false;

        if (r.result == 0) {
            if (!blnStop && tally_.WordCount() >= 1001)
                host_.PopUpNotice("Now processing, this may take awhile.");

            host_.SetWordCountBusyLook(false);
            host_.EndAnalysisBusy(singleFile);

            if (blnStop) {
                const int16_t n = tally_.WordCount();
                if (!singleFile)
                    host_.SetOutputText("");
                else
                    host_.AppendOutputText(std::string(CRLF) + std::string(CRLF));
                const std::string tail = " identified.";
                host_.AppendOutputText("Stopped with" + S(n) + " word" + (n == 1 ? "" : "s") + tail);
                host_.SetOutputCaret(host_.OutputText().size() - tail.size());
                host_.SetWordCountCaption("");
                r.result = kStopped;
                return r;
            }

            tally_.MergeCaseVariants();
            tally_.NormaliseKeyValues();
            host_.SetWordCountCaption("Number of words found: " + Dec(tally_.WordCount()));
            r.numberOfWords = tally_.WordCount();
            return r;
        }
    } catch (const std::bad_alloc&) {
        r.result = kOutOfMemory;
    } catch (const std::length_error&) {
        r.result = kOutOfMemory;
    } catch (const std::exception&) {
        r.result = kInternalError;
    }
    // A failure while reading or scanning.
    ReleaseLargeBuffers();
    r.numberOfWords = 0;
    host_.SetWordCountBusyLook(false);
    host_.EndAnalysisBusy(singleFile);
    return r;
}

void Analyzer::GenerateKeywordMetaTag() {
    KeywordsInputs in;
    in.maxKeywordsText = settings_.MaxNumKeywordsInMetaTag;
    in.maxBytesText = settings_.MaxNumBytesInMetaTag;
    in.beginWith = settings_.BeginMetaTagWith;
    in.forwardSlash = settings_.ForwardSlash == 1;
    in.insertVPMT = settings_.InsertVPMT == 1;
    in.vpmtText = settings_.VPMT;
    in.singleFile = settings_.SingleFile;
    const KeywordsResult res = zelk::GenerateKeywordMetaTag(
        tally_.RankedCount(), [this](std::size_t rank) -> const std::string& { return tally_.RankedWord(rank); }, in);
    if (settings_.BeginMetaTagWith != res.beginWithTrimmed) {
        settings_.BeginMetaTagWith = res.beginWithTrimmed;
    }
    host_.SetBeginMetaTagWithText(res.beginWithTrimmed);
    host_.SetOutputText(res.text);
    host_.RepaintOutput();
}

void Analyzer::ListWords() {
    KeywordsGenerated = false;
    host_.SetOutputText("");
    const std::string text = zelk::ListWords(tally_.Table(), scan.TotalWords,
                                             [this](const std::string& appended) {
                                                 host_.AppendOutputText(appended);
                                                 host_.RepaintOutput();
                                             });
    if (host_.OutputText() != text) host_.SetOutputText(text);
    host_.SetOutputCaret(0);
    host_.RepaintOutput();
}

bool Analyzer::RequestTimeChecks() {
    Prompter& prompter = host_.prompter();
    freshTable_ = false;
    if (!DocumentAnalysed) {
        const std::string input = Trim(host_.InputFileText());
        host_.SetInputFileText(input);
        if (input.empty()) {
            prompter.Message("Input file not specified.", "Error", Icon::Exclamation);
            return false;
        }
        if (!CheckInputFileSpec(host_, input)) {
            // The name rule refuses a missing file without a word; the user
            // is told instead of being left with nothing happening.
            if (NamePassesRule(input) && !FileExists(input))
                prompter.Message("Input file not found.", "File not found", Icon::Exclamation);
            return false;
        }
        if (!FileExists(input)) {
            prompter.Message("Input file not found.", "File not found", Icon::Exclamation);
            return false;
        }
        // A file that is there but cannot be read is told as such, with the
        // system's reason, not as a failure of an unknown kind.
        FileSystem& fs = *fs_;
        const FileSystem::Handle h = fs.OpenRead(input);
        if (h < 0) {
            prompter.Message(ErrorText(FileSystem::LastError()) + ".", "File not readable",
                             Icon::Exclamation);
            return false;
        }
        fs.Close(h);
        const DoFileResult r = DoFile(input);
        switch (r.result) {
            case kAnalysed:
                // Shown all the same, but a table scanned partly under other
                // settings is not taken for the current document's.
                freshTable_ = true;
                DocumentAnalysed = !changedDuringScan_;
                break;
            case kNotTextFile:
                prompter.Message("This file is not a text file." + std::string(CRLF) +
                                     "The byte at position" + S(r.firstBadPos) + " with value" +
                                     S(r.firstBadByte) + std::string(CRLF) +
                                     " is neither text nor whitespace.",
                                 "Not a text file", Icon::Information);
                break;
            case kStopped:
            case kUnixFileRefused:
                break;
            default:
                prompter.Message("An error of an unknown kind has occurred:" + S(r.result), "Error",
                                 Icon::Exclamation);
                break;
        }
    }
    return true;
}

void Analyzer::DoIt(bool generate) {
    if (!RequestTimeChecks()) return;
    if (!DocumentAnalysed && !freshTable_) {
        host_.EnableDisableButtons(true);
    } else if (!generate) {
        ListWords();
    } else {
        const std::string input = Trim(host_.InputFileText());
        if (!FileContainsText(input, "<head", 100, false, *fs_)) {
            host_.prompter().Message("<head> not found in input file.", "No header",
                                     Icon::Exclamation);
            return;
        }
        GenerateKeywordMetaTag();
        KeywordsGenerated = true;
        host_.ShowInsertButton();
    }
    host_.SetTheFocus();
}

}  // namespace zelk
