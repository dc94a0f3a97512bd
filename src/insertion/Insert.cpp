#include "insertion/Insert.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "analysis/TextContent.h"
#include "common/FileProc.h"
#include "common/SafeWrite.h"
#include "common/Cp1252.h"
#include "common/StrProc.h"

namespace zelk {

namespace {

void FindNamedMetaTag(const std::string& low, std::string_view quotedName, long& start,
                      long& end) {
    start = 0;
    end = 0;
    long p = InStr(low, quotedName);
    if (p == 0) return;
    start = InStrRev(low, "<meta ", p);
    if (start > 0) end = InStr(p + 1, low, ">");
}

// Replaces characters start..end (1-based, inclusive) of line by text.
void ReplaceSpan(std::string& line, long start, long end, const std::string& text) {
    line.replace(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(end - start + 1),
                 text);
}

// The next line of the document (without its end) from pos on; false at
// the end. LF-only documents are split at LF; all others at CR LF or a lone
// CR, a lone LF staying inside its line. A last line without an end counts
// when it is not empty.
bool NextLine(std::string_view doc, std::size_t& pos, bool lfOnly, std::string_view& line) {
    if (pos >= doc.size()) return false;
    std::size_t j = doc.find(lfOnly ? '\n' : '\r', pos);
    if (j == std::string_view::npos) j = doc.size();
    line = doc.substr(pos, j - pos);
    pos = j + 1;
    if (!lfOnly && pos < doc.size() && doc[pos] == '\n') ++pos;
    return true;
}

// The first CR at or after from that no LF follows, or npos. Sixteen
// bytes at a time: a page's lines are short, and most end in CR LF.
std::size_t FindLoneCr(std::string_view s, std::size_t from) {
    const char* p = s.data();
    const std::size_t n = s.size();
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 17 <= n; i += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
        const unsigned lone = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(here, cr))) &
                              ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(after, lf)));
        if (lone) return i + static_cast<std::size_t>(__builtin_ctz(lone));
    }
#endif
    for (; i < n; ++i)
        if (p[i] == '\r' && (i + 1 >= n || p[i + 1] != '\n')) return i;
    return std::string_view::npos;
}

}  // namespace

void AppendLinesEnded(std::string_view rest, bool lfOnly, std::string& out) {
    if (rest.empty()) return;
    if (lfOnly) {
        // Every line but an unended last one already ends in LF.
        out.append(rest);
        if (rest.back() != '\n') out.push_back('\n');
        return;
    }
    // CR LF stays; a lone CR gets its LF; a lone LF stays inside its line.
    // The text between lone CRs is copied in one piece.
    std::size_t from = 0;
    for (std::size_t cr = FindLoneCr(rest, 0); cr != std::string_view::npos; cr = FindLoneCr(rest, cr + 1)) {
        out.append(rest.substr(from, cr + 1 - from));
        out.push_back('\n');
        from = cr + 1;
    }
    if (from < rest.size()) {
        out.append(rest.substr(from));
        if (rest.back() != '\n' || rest.size() < 2 || rest[rest.size() - 2] != '\r') out.append("\r\n");
    }
}

namespace {

// The report lines of one insertion, held back until the document has been
// written: a line that says a tag was inserted must never stand before a
// failure to write it. Each line keeps the tag set before it (before any:
// none, and the line shows the tag the log shows when it is written).
class PendingReport {
public:
    using Lines = std::vector<std::pair<std::string, std::optional<std::string>>>;
    void Line(std::string text) { lines_.push_back({std::move(text), tag_}); }
    void SetTag(const std::string& tag) { tag_ = tag; }
    Lines& lines() { return lines_; }
    // The lines as ReportLine would have shown them.
    static void Flush(const Lines& lines, ReportLog& log) {
        const std::string before = log.LastInsertedTag;
        for (const auto& [text, tag] : lines) {
            log.LastInsertedTag = tag ? *tag : before;
            log.ReportLine(text, true);
        }
    }

private:
    Lines lines_;
    std::optional<std::string> tag_;
};

// "Not inserted: ..." for a document this insertion leaves alone; no tag
// was written, so none is shown.
void ReportNotInserted(ReportLog& log, const std::string& why) {
    log.LastInsertedTag.clear();
    log.ReportLine("Not inserted: " + why + ".", true);
}

}  // namespace

void FindViewportMetaTag(const std::string& low, long& start, long& end) {
    FindNamedMetaTag(low, "\"viewport\"", start, end);
}

void FindKeywordsMetaTag(const std::string& low, long& start, long& end) {
    FindNamedMetaTag(low, "\"keywords\"", start, end);
}

std::string MetaTagFromTextbox(const std::string& boxText) {
    const std::string text = Trim(boxText);
    long p = InStr(text, "<meta name=\"keywords\"");
    if (p == 0) return {};
    long e = InStr(p, text, ">");
    if (e == 0) return {};
    return Mid(text, p, e - p + 1);
}

std::string TempFilepath(const std::string& documentPath) {
    long d = InStrRev(documentPath, ".");
    if (d == 0) return {};
    return Left(documentPath, d) + "bak" + Mid(documentPath, d);
}

bool IsBAKfile(const std::string& path) {
    // A bare file name is its own file-name part: "index.bak.htm" typed
    // without a folder is still a working file.
    auto slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return InStr(LowerCaseAccented(name), ".bak.") > 0;
}

int16_t InsertMetaTags(const std::string& keywordsTag, const std::string& documentPath,
                       const InsertRequest& rq, ReportLog& log, FileSystem& fs) {
    std::string failure;
    return InsertMetaTags(keywordsTag, documentPath, rq, log, fs, failure);
}

namespace {

// The rewritten text, or nothing when no tag was replaced or inserted (the
// document then stays byte for byte). code receives the result of the rules.
std::optional<std::string> Rewrite(std::string_view doc, bool utf8, const InsertRequest& rq,
                                   PendingReport& report, int16_t& code) {
    // Tag texts are Windows-1252; a UTF-8 document gets them in UTF-8.
    auto enc = [utf8](const std::string& s) { return utf8 ? Cp1252ToUtf8(s) : s; };

    const bool singleOrBoth = rq.singleFile || rq.insertKWMT;
    const std::string& vpText = singleOrBoth ? rq.vpmtText : rq.dialogMetaTagText;
    const std::string newKWMT =
        MetaTagFromTextbox(rq.singleFile ? rq.mainMetaTagText : rq.dialogMetaTagText);
    const std::string replacementKWMT =
        rq.singleFile ? MetaTagFromTextbox(rq.mainMetaTagText) : rq.dialogMetaTagText;

    const bool lfOnly = doc.find('\n') != std::string::npos && doc.find('\r') == std::string::npos;
    const char* eol = lfOnly ? "\n" : "\r\n";

    std::string out;
    out.reserve(doc.size() + doc.size() / 16 + vpText.size() + newKWMT.size() + 64);
    auto writeLine = [&out, eol](std::string_view s) {
        out.append(s);
        out.append(eol);
    };

    code = kInsertOk;
    bool inserted = false, changed = false, vpFound = false, kwFound = false, vpKept = false,
         kwKept = false;
    std::size_t pos = 0;
    std::string_view next;
    std::string line;
    while (!inserted && NextLine(doc, pos, lfOnly, next)) {
        line.assign(next);
        std::string low = LowerCaseAccented(line);
        long s = 0, e = 0;
        if (rq.insertVPMT) {
            FindViewportMetaTag(low, s, e);
            if (s > 0 && e > 0) {
                if (!rq.singleFile && rq.preserveExistingVPMT) {
                    vpKept = true;
                    report.Line("Existing VPMT not replaced.");
                } else {
                    ReplaceSpan(line, s, e, enc(vpText));
                    changed = true;
                    report.SetTag(vpText);
                    report.Line("Existing VPMT replaced.");
                }
                vpFound = true;
                low = LowerCaseAccented(line);
            }
        }
        if (rq.insertKWMT) {
            FindKeywordsMetaTag(low, s, e);
            if (s > 0) {
                if (e == 0) {
                    code = kInsertMultiLineKWMT;
                    report.Line("Existing KWMT extends over more than one line.");
                } else if (!rq.singleFile && rq.preserveExistingKWMT) {
                    kwKept = true;
                    report.Line("Existing KWMT not replaced.");
                } else {
                    ReplaceSpan(line, s, e, enc(replacementKWMT));
                    changed = true;
                    report.SetTag(replacementKWMT);
                    report.Line("Existing KWMT replaced.");
                }
                kwFound = true;
                low = LowerCaseAccented(line);
            }
        }
        long h = InStr(low, "</head>");
        if (h == 0) {
            writeLine(line);
            continue;
        }
        if (h > 1) writeLine(std::string_view(line).substr(0, static_cast<std::size_t>(h - 1)));
        if (rq.insertVPMT && !vpFound) {
            writeLine(enc(vpText));
            changed = true;
            report.SetTag(vpText);
            report.Line("New VPMT inserted.");
        }
        if (rq.insertKWMT && !kwFound) {
            writeLine(enc(newKWMT));
            changed = true;
            report.SetTag(newKWMT);
            report.Line("New KWMT inserted.");
        }
        writeLine(std::string_view(line).substr(static_cast<std::size_t>(h - 1)));
        inserted = true;
    }
    // Past the head only the line ends change.
    if (inserted) AppendLinesEnded(doc.substr(std::min(pos, doc.size())), lfOnly, out);

    if (vpKept && kwKept)
        code = kInsertBothKept;
    else if (kwKept)
        code = kInsertKWMTKept;
    else if (vpKept)
        code = kInsertVPMTKept;
    if (!inserted) code = kInsertNoHeadEnd;
    if (!changed) return std::nullopt;
    return out;
}

// Whether two requests ask for the same rewrite: the main window's box
// counts only in single-file mode.
bool SameRewrite(const InsertRequest& a, const InsertRequest& b) {
    return a.insertVPMT == b.insertVPMT && a.insertKWMT == b.insertKWMT &&
           a.vpmtText == b.vpmtText && a.singleFile == b.singleFile &&
           a.preserveExistingVPMT == b.preserveExistingVPMT &&
           a.preserveExistingKWMT == b.preserveExistingKWMT &&
           a.dialogMetaTagText == b.dialogMetaTagText &&
           (!a.singleFile || a.mainMetaTagText == b.mainMetaTagText);
}

}  // namespace

PreparedRewrite PrepareRewrite(std::string_view page, const TextFileTest& test,
                               const InsertRequest& request) {
    PreparedRewrite out;
    out.request = request;
    PendingReport report;
    out.text = Rewrite(page, test.utf8, request, report, out.code);
    out.lines = std::move(report.lines());
    return out;
}

int16_t InsertMetaTags(const std::string& keywordsTag, const std::string& documentPath,
                       const InsertRequest& rq, ReportLog& log, FileSystem& fs,
                       std::string& failure, FileSnapshot* earlier,
                       const TextFileTest* earlierTest, PreparedRewrite* prepared) {
    failure.clear();
    // Input checks, before any file is opened.
    if (documentPath.empty()) return kInsertNoPath;
    FileStatus st;
    if (!fs.Stat(documentPath, st) || !st.exists || !st.regular) return kInsertNoDocument;
    if (rq.insertVPMT && rq.vpmtText.empty()) return kInsertNoVPMT;
    if (rq.insertKWMT) {
        const std::string k = LowerCaseAccented(keywordsTag);
        if (InStr(k, "<meta ") == 0 || InStr(k, "\"keywords\"") == 0 ||
            InStr(k, "existing keywords") > 0)
            return kInsertBadKeywordsTag;
    }

    auto fileError = [&](const std::string& why) {
        failure = why;
        ReportNotInserted(log, why);
        return kInsertFileError;
    };
    try {
        SafeRewrite page(fs);
        // The old text is of no further use once the new one is written: the
        // page is held at most twice. The buffer of the caller's read goes
        // back to it (unless large), so that a run reads its next page into
        // memory it already has rather than into pages fresh from the system.
        constexpr std::size_t kReusedBuffer = std::size_t{16} << 20;
        bool dropped = false;
        auto dropOldText = [&] {
            if (dropped) return;
            dropped = true;
            if (earlier && page.TookEarlier() && page.Text().capacity() <= kReusedBuffer) {
                page.Text().clear();
                earlier->bytes.swap(page.Text());
            }
            page.Text() = std::string();
        };
        // The status just taken is the rewrite's first look at the name.
        switch (page.Open(documentPath, false, earlier, &st)) {
            case SafeRewrite::Opened::Missing: return kInsertNoDocument;
            case SafeRewrite::Opened::Failed: return fileError(page.Failure());
            case SafeRewrite::Opened::Ok: break;
        }
        const std::string& target = page.Target();
        const std::string work = TempFilepath(target);
        // The working file must lie beside the document: a "." that belongs
        // to a folder name would put it into another folder, where it could
        // replace an unrelated file of the same name.
        if (work.empty() || InStrRev(target, ".") < InStrRev(target, "/"))
            return fileError("the page's name has no extension");

        // Lines of bytes can only be edited in a text of bytes: wide
        // characters and anything that is not text are left alone.
        // The test looks at the name's extension too: the caller's test of
        // the same bytes holds for a link only when both names agree there.
        const bool tested = earlierTest && page.TookEarlier() &&
                            FileExtension(target, true) == FileExtension(documentPath, true);
        const TextFileTest test =
            tested ? *earlierTest
                   : IsTextContent(page.Text(), target, kTextTestBytes, kTextTestThreshold, true);
        if (test.verdict == 7) {
            ReportNotInserted(log, "UTF-16 or UTF-32 file");
            return kInsertWideText;
        }
        if (test.verdict == 0) {
            ReportNotInserted(log, "not a text file");
            return kInsertNotText;
        }

        // A rewrite made ahead of this page as it was read and tested, under
        // the request this insertion is given, is that of this insertion.
        // The old text stays through the write, where a dry run keeps only
        // what differs from it, unless it is too large to hold twice.
        auto replace = [&](std::string&& text) {
            if (page.Text().capacity() > kReusedBuffer) dropOldText();
            const bool ok = page.Replace(work, std::move(text));
            dropOldText();
            return ok;
        };
        if (prepared && tested && SameRewrite(prepared->request, rq)) {
            if (prepared->text && !replace(std::move(*prepared->text))) return fileError(page.Failure());
            dropOldText();
            PendingReport::Flush(prepared->lines, log);
            return prepared->code;
        }
        PendingReport report;
        int16_t code = kInsertOk;
        std::optional<std::string> out = Rewrite(page.Text(), test.utf8, rq, report, code);
        if (out && !replace(std::move(*out))) return fileError(page.Failure());
        dropOldText();
        PendingReport::Flush(report.lines(), log);
        return code;
    } catch (const std::bad_alloc&) {
        return fileError(ErrorText(ENOMEM));
    } catch (const std::length_error&) {
        return fileError(ErrorText(ENOMEM));
    }
}

InsertResultMessage InsertResultText(int16_t code, bool insertVPMT, bool insertKWMT,
                                     const std::string& insertCaption, const std::string& failure) {
    switch (code) {
        case kInsertOk:
            if (insertVPMT && insertKWMT)
                return {insertCaption, "Both meta tags inserted successfully into document.",
                        Icon::Information};
            if (insertKWMT)
                return {insertCaption, "Keywords meta tag inserted successfully into document.",
                        Icon::Information};
            return {insertCaption, "Viewport meta tag inserted successfully into document.",
                    Icon::Information};
        case kInsertBadKeywordsTag:
            return {"Error", "No keywords meta tag to insert.", Icon::Exclamation};
        case kInsertNoVPMT:
            return {"Error", "No viewport meta tag to insert.", Icon::Exclamation};
        case kInsertMultiLineKWMT:
            return {"Not inserted",
                    "Keywords meta tag NOT inserted because existing\r\n meta tag extends over "
                    "more than one line.\r\nSuggestion: Delete existing keywords meta tag.",
                    Icon::Exclamation};
        case kInsertNoHeadEnd:
            return {"Not inserted", "Keywords meta tag NOT inserted because </head> is missing.",
                    Icon::Exclamation};
        case kInsertFileError:
            return {"Error", failure.empty() ? "Unknown error" : "Not inserted: " + failure + ".",
                    Icon::Exclamation};
        case kInsertNotText:
            return {"Not inserted", "Meta tags NOT inserted because the document is not a text file.",
                    Icon::Exclamation};
        case kInsertWideText:
            return {"Not inserted",
                    "Meta tags NOT inserted because the document is UTF-16 or UTF-32 text.",
                    Icon::Exclamation};
        default:
            return {"Error", "Error #" + Dec(code), Icon::Exclamation};
    }
}

void ShowInsertResult(Prompter& prompter, int16_t code, bool insertVPMT, bool insertKWMT,
                      const std::string& insertCaption, const std::string& failure) {
    InsertResultMessage m = InsertResultText(code, insertVPMT, insertKWMT, insertCaption, failure);
    prompter.Message(m.text, m.title, m.icon);
}

std::string InsertButtonCaption(bool insertKWMT, bool insertVPMT, bool outputNotEmpty) {
    if (insertKWMT && insertVPMT && outputNotEmpty) return "Insert both meta tags into file";
    if (insertKWMT && outputNotEmpty) return kInsertKeywordsCaption;
    if (insertVPMT) return "Insert viewport meta tag into file";
    return {};
}

std::optional<int16_t> cmdInsert_Click(InsertCommand& cmd, Prompter& prompter, ReportLog& log,
                                       FileSystem& fs) {
    InsertRequest& rq = cmd.request;
    cmd.inputFileText = Trim(cmd.inputFileText);
    if (rq.singleFile) {
        if (cmd.inputFileText.empty()) {
            prompter.Message("Input file not specified.", cmd.insertCaption, Icon::Exclamation);
            return std::nullopt;
        }
        FileStatus st;
        if (!fs.Stat(cmd.inputFileText, st) || !st.exists || !st.regular) {
            prompter.Message("File not found.", cmd.insertCaption, Icon::Exclamation);
            return std::nullopt;
        }
    }
    rq.mainMetaTagText = Trim(rq.mainMetaTagText);
    // With neither tag ticked there is nothing to write, and rewriting the
    // document would only change its line ends.
    if ((rq.mainMetaTagText.empty() && !rq.insertVPMT) || (!rq.insertVPMT && !rq.insertKWMT)) {
        prompter.Message("Nothing to insert.", cmd.insertCaption, Icon::Exclamation);
        return std::nullopt;
    }
    if (rq.insertKWMT && !cmd.keywordsGenerated) {
        prompter.Message("The keywords meta tag has not been generated.", cmd.insertCaption,
                         Icon::Information);
        return std::nullopt;
    }
    const std::string tag = rq.insertKWMT ? MetaTagFromTextbox(rq.mainMetaTagText) : std::string();
    std::string failure;
    int16_t code = InsertMetaTags(tag, cmd.inputFileText, rq, log, fs, failure);
    ShowInsertResult(prompter, code, rq.insertVPMT, rq.insertKWMT, cmd.insertCaption, failure);
    return code;
}

InsertRequest InsertRequestFromSettings(const Settings& settings, const std::string& mainBox,
                                        const std::string& dialogBox) {
    InsertRequest rq;
    rq.insertVPMT = settings.InsertVPMT == 1;
    rq.insertKWMT = settings.InsertKWMT == 1;
    rq.vpmtText = settings.VPMT;
    rq.singleFile = settings.SingleFile;
    rq.preserveExistingVPMT = settings.PreserveExistingVPMT != 0;
    rq.preserveExistingKWMT = settings.PreserveExistingKWMT != 0;
    rq.mainMetaTagText = mainBox;
    rq.dialogMetaTagText = dialogBox;
    return rq;
}

}  // namespace zelk
