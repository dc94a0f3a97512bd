#include "insertion/Insert.h"

#include <vector>

#include "analysis/TextFile.h"
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

std::string FolderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The document split into lines without their ends. LF-only documents are
// split at LF; all others at CR LF or a lone CR, a lone LF staying inside its
// line. A last line without an end counts when it is not empty.
std::vector<std::string> SplitDocument(const std::string& doc, bool lfOnly) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    const std::size_t n = doc.size();
    while (i < n) {
        std::size_t j = lfOnly ? doc.find('\n', i) : doc.find('\r', i);
        if (j == std::string::npos) {
            lines.emplace_back(doc, i, n - i);
            break;
        }
        lines.emplace_back(doc, i, j - i);
        i = j + 1;
        if (!lfOnly && i < n && doc[i] == '\n') ++i;
    }
    return lines;
}

// The whole document through the file-system seam; false on any failure.
bool ReadDocument(FileSystem& fs, const std::string& path, std::string& out) {
    out.clear();
    FileSystem::Handle h = fs.OpenRead(path);
    if (h < 0) return false;
    std::vector<char> buf(1 << 16);
    bool ok = true;
    for (;;) {
        long long got = fs.Read(h, buf.data(), buf.size());
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0) break;
        out.append(buf.data(), static_cast<std::size_t>(got));
    }
    if (!fs.Close(h)) ok = false;
    return ok;
}

// Writes the new text to the working file completely and durably, then puts
// it in the document's place in one rename. Any failure before the rename
// leaves the document as it was and removes the working file.
bool ReplaceDocument(FileSystem& fs, const std::string& target, const std::string& work,
                     const std::string& text, const FileStatus& original) {
    FileSystem::Handle h = fs.OpenWrite(work, 0600);
    if (h < 0) {
        fs.Remove(work);
        return false;
    }
    bool ok = true;
    // Written in pieces so that a slow or interrupted disk shows up as a
    // partial working file, never as a partial document.
    constexpr std::size_t kChunk = 1 << 16;
    for (std::size_t off = 0; ok && off < text.size(); off += kChunk) {
        std::size_t len = std::min(kChunk, text.size() - off);
        ok = fs.Write(h, text.data() + off, len);
    }
    if (ok) ok = fs.SetMode(h, original.mode, original.uid, original.gid);
    if (ok) ok = fs.Sync(h);
    if (!fs.Close(h)) ok = false;
    if (ok) ok = fs.Rename(work, target);
    if (!ok) {
        fs.Remove(work);
        return false;
    }
    fs.SyncFolder(FolderOf(target));
    return true;
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

    // Wide-character text cannot be edited line by line as bytes: leave it.
    const int16_t encoding = DetectEncoding(documentPath, true);
    if (encoding == 1 || encoding == 2 || encoding == 5) {
        log.ReportLine("Not inserted: UTF-16 or UTF-32 file.", true);
        return kInsertWideText;
    }
    const bool utf8 = encoding == 3;

    // A linked document is rewritten where the link points, so the link
    // itself stays; the working file sits beside the real document because a
    // rename is only atomic within one file system.
    std::string target = documentPath;
    if (st.isSymlink) {
        target = fs.ResolvePath(documentPath);
        if (target.empty()) return kInsertFileError;
    }
    const std::string work = TempFilepath(target);
    // The working file must lie beside the document: a "." that belongs to a
    // folder name would put it into another folder, where it could replace
    // an unrelated file of the same name.
    if (work.empty() || InStrRev(target, ".") < InStrRev(target, "/")) return kInsertFileError;

    std::string doc;
    if (!ReadDocument(fs, target, doc)) {
        fs.Remove(work);
        return kInsertFileError;
    }

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
    std::vector<std::string> lines = SplitDocument(doc, lfOnly);

    std::string out;
    out.reserve(doc.size() + doc.size() / 16 + vpText.size() + newKWMT.size() + 64);
    auto writeLine = [&out, eol](std::string_view s) {
        out.append(s);
        out.append(eol);
    };

    int16_t code = kInsertOk;
    bool inserted = false, vpFound = false, kwFound = false, vpKept = false, kwKept = false;
    for (std::string& line : lines) {
        if (inserted) {
            writeLine(line);
            continue;
        }
        std::string low = LowerCaseAccented(line);
        long s = 0, e = 0;
        if (rq.insertVPMT) {
            FindViewportMetaTag(low, s, e);
            if (s > 0 && e > 0) {
                if (!rq.singleFile && rq.preserveExistingVPMT) {
                    vpKept = true;
                    log.ReportLine("Existing VPMT not replaced.", true);
                } else {
                    ReplaceSpan(line, s, e, enc(vpText));
                    log.LastInsertedTag = vpText;
                    log.ReportLine("Existing VPMT replaced.", true);
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
                    log.ReportLine("Existing KWMT extends over more than one line.", true);
                } else if (!rq.singleFile && rq.preserveExistingKWMT) {
                    kwKept = true;
                    log.ReportLine("Existing KWMT not replaced.", true);
                } else {
                    ReplaceSpan(line, s, e, enc(replacementKWMT));
                    log.LastInsertedTag = replacementKWMT;
                    log.ReportLine("Existing KWMT replaced.", true);
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
            log.LastInsertedTag = vpText;
            log.ReportLine("New VPMT inserted.", true);
        }
        if (rq.insertKWMT && !kwFound) {
            writeLine(enc(newKWMT));
            log.LastInsertedTag = newKWMT;
            log.ReportLine("New KWMT inserted.", true);
        }
        writeLine(std::string_view(line).substr(static_cast<std::size_t>(h - 1)));
        inserted = true;
    }
    lines.clear();
    doc.clear();

    if (vpKept && kwKept)
        code = kInsertBothKept;
    else if (kwKept)
        code = kInsertKWMTKept;
    else if (vpKept)
        code = kInsertVPMTKept;
    if (!inserted) code = kInsertNoHeadEnd;

    if (!ReplaceDocument(fs, target, work, out, st)) return kInsertFileError;
    return code;
}

InsertResultMessage InsertResultText(int16_t code, bool insertVPMT, bool insertKWMT,
                                     const std::string& insertCaption) {
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
            return {"Error", "Unknown error", Icon::Exclamation};
        case kInsertWideText:
            return {"Not inserted",
                    "Meta tags NOT inserted because the document is UTF-16 or UTF-32 text.",
                    Icon::Exclamation};
        default:
            return {"Error", "Error #" + Dec(code), Icon::Exclamation};
    }
}

void ShowInsertResult(Prompter& prompter, int16_t code, bool insertVPMT, bool insertKWMT,
                      const std::string& insertCaption) {
    InsertResultMessage m = InsertResultText(code, insertVPMT, insertKWMT, insertCaption);
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
    int16_t code = InsertMetaTags(tag, cmd.inputFileText, rq, log, fs);
    ShowInsertResult(prompter, code, rq.insertVPMT, rq.insertKWMT, cmd.insertCaption);
    return code;
}

}  // namespace zelk
