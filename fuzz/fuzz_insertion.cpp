// libFuzzer target for the insertion: arbitrary document bytes and tag
// texts, in single-file and multiple-files mode (with the preserve settings
// and the edit dialog's text), with lines longer than any read buffer.
// Besides "no crash": the line ends of the result are the promised ones, the
// rewritten document is exactly the old one with only the tags replaced or
// added (checked against an independent working of the rules), a document
// in which no tag changed is byte for byte what it was, no working file is
// left, and a document that must not be touched is not.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "analysis/TextFile.h"
#include "common/ReportLog.h"
#include "common/Cp1252.h"
#include "common/StrProc.h"
#include "insertion/Insert.h"
#include "support/ForwardingFileSystem.h"

namespace {

using namespace zelk;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "insertion check failed: %s\n", what);
    std::abort();
}

// One scratch folder per fuzzing process, removed when the process ends.
struct Scratch {
    std::string dir;
    Scratch() {
        char tmpl[] = "/tmp/zelk-fuzz-insert-XXXXXX";
        const char* d = ::mkdtemp(tmpl);
        if (!d) std::abort();
        dir = d;
    }
    ~Scratch() {
        ::unlink((dir + "/page.htm").c_str());
        ::unlink((dir + "/page.bak.htm").c_str());
        ::rmdir(dir.c_str());
    }
};

std::string ScratchFolder() {
    static Scratch scratch;
    return scratch.dir;
}

std::string ReadAll(const std::string& path) {
    std::string out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) Fail("document missing after the insertion");
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Lines of a text: at LF for an LF-only text, else at CR LF or a lone CR.
std::vector<std::string> Lines(const std::string& s, bool lfOnly) {
    std::vector<std::string> lines;
    std::string cur;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (lfOnly ? c == '\n' : c == '\r') {
            lines.push_back(cur);
            cur.clear();
            if (!lfOnly && i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

// What the rules write, worked out from the request: the viewport text,
// the keywords text that replaces an existing tag and the one inserted new.
struct Texts {
    std::string vp, kwReplace, kwNew;
};

// The expected rewrite of a document, worked out independently of the
// routine under test: 0-based searches on the whole line, the tags of the
// request replaced, kept or added before the first "</head>". code receives
// the expected result, changed whether any tag was written.
std::string ExpectedRewrite(const std::string& doc, const InsertRequest& rq, const Texts& t,
                            int16_t& code, bool& changed) {
    const bool lfOnly = doc.find('\n') != std::string::npos && doc.find('\r') == std::string::npos;
    const std::string eol = lfOnly ? "\n" : "\r\n";
    const bool keepVp = !rq.singleFile && rq.preserveExistingVPMT;
    const bool keepKw = !rq.singleFile && rq.preserveExistingKWMT;
    std::string out;
    bool inserted = false, vpFound = false, kwFound = false, vpKept = false, kwKept = false;
    code = 0;
    changed = false;
    for (std::string line : Lines(doc, lfOnly)) {
        if (inserted) {
            out += line + eol;
            continue;
        }
        std::string low = LowerCaseAccented(line);
        // The tag around a quoted name: from the last "<meta " before it to
        // the first ">" after it.
        auto locate = [&low](const char* name, std::size_t& s, std::size_t& e) {
            s = e = std::string::npos;
            std::size_t p = low.find(name);
            if (p == std::string::npos) return false;
            s = low.rfind("<meta ", p);
            if (s == std::string::npos) return false;
            e = low.find('>', p + 1);
            return true;
        };
        std::size_t s, e;
        if (rq.insertVPMT && locate("\"viewport\"", s, e) && e != std::string::npos) {
            if (keepVp) {
                vpKept = true;
            } else {
                line = line.substr(0, s) + t.vp + line.substr(e + 1);
                changed = true;
            }
            low = LowerCaseAccented(line);
            vpFound = true;
        }
        if (rq.insertKWMT && locate("\"keywords\"", s, e)) {
            if (e == std::string::npos) {
                code = kInsertMultiLineKWMT;
            } else if (keepKw) {
                kwKept = true;
            } else {
                line = line.substr(0, s) + t.kwReplace + line.substr(e + 1);
                changed = true;
                low = LowerCaseAccented(line);
            }
            kwFound = true;
        }
        std::size_t h = low.find("</head>");
        if (h == std::string::npos) {
            out += line + eol;
            continue;
        }
        if (h > 0) out += line.substr(0, h) + eol;
        if (rq.insertVPMT && !vpFound) {
            out += t.vp + eol;
            changed = true;
        }
        if (rq.insertKWMT && !kwFound) {
            out += t.kwNew + eol;
            changed = true;
        }
        out += line.substr(h) + eol;
        inserted = true;
    }
    if (vpKept && kwKept) code = kInsertBothKept;
    else if (kwKept) code = kInsertKWMTKept;
    else if (vpKept) code = kInsertVPMTKept;
    if (!inserted) code = kInsertNoHeadEnd;
    return changed ? out : doc;
}

// The real file system without the flushes to the device, which would
// only slow the fuzzer down; every other call goes through as in use.
class NoSyncFileSystem final : public zelk::testing::ForwardingFileSystem {
public:
    NoSyncFileSystem() : ForwardingFileSystem(real_) {}
    bool Sync(Handle) override { return true; }
    void SyncFolder(const std::string&) override {}

private:
    static inline PosixFileSystem real_;
};

std::string CleanTagContent(const uint8_t*& p, const uint8_t* end) {
    std::string s;
    if (p >= end) return s;
    std::size_t n = *p++ % 48;
    for (; n > 0 && p < end; --n, ++p) {
        char c = static_cast<char>(*p);
        if (c == '"' || c == '<' || c == '>' || c == '\r' || c == '\n') continue;
        s += c;
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t* p = data;
    const uint8_t* end = data + size;
    const uint8_t flags = *p++;
    const uint8_t stretch = *p++;
    const std::string vpContent = CleanTagContent(p, end);
    const std::string kwContent = CleanTagContent(p, end);
    const std::string dialogContent = CleanTagContent(p, end);
    std::string doc(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p));
    // A line longer than every read and write buffer: one byte of the input
    // repeated in front of the text.
    if (stretch & 1) doc.insert(0, 70000 + 997 * (stretch >> 1), doc.empty() ? 'x' : doc[0]);

    InsertRequest rq;
    rq.insertVPMT = flags & 1;
    rq.insertKWMT = flags & 2;
    rq.singleFile = !(flags & 8);
    rq.preserveExistingVPMT = flags & 16;
    rq.preserveExistingKWMT = flags & 32;
    rq.vpmtText = "<meta name=\"viewport\" content=\"" + vpContent + "\">";
    const std::string kwTag = "<meta name=\"keywords\" content=\"" + kwContent + "\">";
    rq.mainMetaTagText = (flags & 4) ? " " + kwTag + "\r\n\r\n3 keywords\r\n" : kwTag;
    // The edit dialog holds the file's keywords tag, or its viewport tag when
    // only that is requested; a replacement takes its whole text.
    const std::string dialogTag =
        rq.insertKWMT ? "<meta name=\"keywords\" content=\"" + dialogContent + "\">"
                      : "<meta name=\"viewport\" content=\"" + dialogContent + "\">";
    rq.dialogMetaTagText = (flags & 64) ? " " + dialogTag + " " : dialogTag;

    const std::string path = ScratchFolder() + "/page.htm";
    WriteAll(path, doc);
    const TextFileTest test = IsTextFile(path, kTextTestBytes, kTextTestThreshold, true);
    const int16_t encoding = DetectEncoding(path, true);
    ReportLog log;
    log.viewportText = [&] { return rq.vpmtText; };
    const std::string box = rq.singleFile ? rq.mainMetaTagText : rq.dialogMetaTagText;
    const std::string tag = rq.insertKWMT ? MetaTagFromTextbox(box) : "";
    static NoSyncFileSystem fs;
    const int16_t code = InsertMetaTags(tag, path, rq, log, fs);
    const std::string now = ReadAll(path);

    if (::access((ScratchFolder() + "/page.bak.htm").c_str(), F_OK) == 0)
        Fail("working file left behind");
    if (code == kInsertBadKeywordsTag) {
        if (!rq.insertKWMT || InStr(LowerCaseAccented(tag), "existing keywords") == 0)
            Fail("a usable keywords tag was refused");
        if (now != doc) Fail("a refused insertion changed the document");
        return 0;
    }
    if (code == kInsertWideText) {
        if (now != doc) Fail("a UTF-16/32 document was changed");
        if (encoding != 1 && encoding != 2 && encoding != 5) Fail("-9 for a byte document");
        return 0;
    }
    if (code == kInsertNotText) {
        if (now != doc) Fail("a document that is not text was changed");
        if (test.verdict != 0) Fail("-13 for a text document");
        return 0;
    }
    if (test.verdict == 0 || test.verdict == 7) Fail("a document that is not text was rewritten");
    if (code != 0 && code != kInsertMultiLineKWMT && code != kInsertNoHeadEnd &&
        code != kInsertVPMTKept && code != kInsertKWMTKept && code != kInsertBothKept)
        Fail("unexpected result code");

    // Tag texts reach a UTF-8 document in UTF-8.
    auto enc = [&](const std::string& t) { return encoding == 3 ? Cp1252ToUtf8(t) : t; };
    const bool singleOrBoth = rq.singleFile || rq.insertKWMT;
    Texts texts;
    texts.vp = enc(singleOrBoth ? rq.vpmtText : rq.dialogMetaTagText);
    texts.kwReplace = enc(rq.singleFile ? kwTag : rq.dialogMetaTagText);
    texts.kwNew = enc(rq.singleFile ? kwTag : dialogTag);
    int16_t expectedCode = 0;
    bool changed = false;
    const std::string expected = ExpectedRewrite(doc, rq, texts, expectedCode, changed);
    if (code != expectedCode) Fail("result code differs from the expected one");
    if (now != expected) {
        std::fprintf(stderr, "expected %zu bytes, got %zu\n", expected.size(), now.size());
        Fail(changed ? "rewritten document differs from the expected one"
                     : "a document without a new tag was rewritten");
    }
    if (!changed) return 0;

    const bool lfOnly = doc.find('\n') != std::string::npos && doc.find('\r') == std::string::npos;
    // Line ends: every line ends with the document's own kind of line end.
    if (lfOnly) {
        if (now.back() != '\n' || now.find('\r') != std::string::npos)
            Fail("LF-only document lost its line ends");
    } else {
        if (now.size() < 2 || now.compare(now.size() - 2, 2, "\r\n") != 0)
            Fail("last line does not end with CR LF");
        for (std::size_t i = 0; i < now.size(); ++i)
            if (now[i] == '\r' && (i + 1 >= now.size() || now[i + 1] != '\n'))
                Fail("lone CR in the rewritten document");
    }
    if (Lines(now, lfOnly).size() > Lines(doc, lfOnly).size() + 3) Fail("too many new lines");

    // The tags that were written are the requested ones, in the document's
    // encoding.
    if (code == 0) {
        // A keywords tag that opens before a viewport tag on the same line
        // and ends after it takes the viewport tag with it when replaced,
        // so the viewport tag is checked alone.
        if (rq.insertVPMT && !rq.insertKWMT && now.find(texts.vp) == std::string::npos)
            Fail("viewport tag missing after success");
        if (rq.insertKWMT && now.find(texts.kwNew) == std::string::npos)
            Fail("keywords tag missing after success");
    }
    return 0;
}
