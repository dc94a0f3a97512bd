// libFuzzer target for the insertion: arbitrary document bytes and tag
// texts. Besides "no crash": the line ends of the result are the promised
// ones, the rewritten document is exactly the old one with only the tags
// replaced or added (checked against an independent working of the rules),
// no working file is left, and a document that must not be touched is byte
// for byte what it was.
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

// The expected rewrite of a document in single-file mode, worked out
// independently of the routine under test: 0-based searches on the whole
// line, the tags of the request replaced or added before the first
// "</head>". code receives the expected result.
std::string ExpectedRewrite(const std::string& doc, const InsertRequest& rq,
                            const std::string& vpText, const std::string& kwText,
                            int16_t& code) {
    const bool lfOnly = doc.find('\n') != std::string::npos && doc.find('\r') == std::string::npos;
    const std::string eol = lfOnly ? "\n" : "\r\n";
    std::string out;
    bool inserted = false, vpFound = false, kwFound = false;
    code = 0;
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
            line = line.substr(0, s) + vpText + line.substr(e + 1);
            low = LowerCaseAccented(line);
            vpFound = true;
        }
        if (rq.insertKWMT && locate("\"keywords\"", s, e)) {
            if (e == std::string::npos) {
                code = kInsertMultiLineKWMT;
            } else {
                line = line.substr(0, s) + kwText + line.substr(e + 1);
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
        if (rq.insertVPMT && !vpFound) out += vpText + eol;
        if (rq.insertKWMT && !kwFound) out += kwText + eol;
        out += line.substr(h) + eol;
        inserted = true;
    }
    if (!inserted) code = kInsertNoHeadEnd;
    return out;
}

// The real file system without the flushes to the device, which would
// only slow the fuzzer down; every other call goes through as in use.
class NoSyncFileSystem final : public FileSystem {
public:
    bool Stat(const std::string& p, FileStatus& o) override { return real_.Stat(p, o); }
    std::string ResolvePath(const std::string& p) override { return real_.ResolvePath(p); }
    Handle OpenRead(const std::string& p) override { return real_.OpenRead(p); }
    long long Read(Handle h, char* b, std::size_t n) override { return real_.Read(h, b, n); }
    Handle OpenWrite(const std::string& p, uint32_t m) override { return real_.OpenWrite(p, m); }
    bool Write(Handle h, const char* d, std::size_t n) override { return real_.Write(h, d, n); }
    bool SetMode(Handle h, uint32_t m, uint32_t u, uint32_t g) override {
        return real_.SetMode(h, m, u, g);
    }
    bool Sync(Handle) override { return true; }
    bool Close(Handle h) override { return real_.Close(h); }
    bool Rename(const std::string& a, const std::string& b) override { return real_.Rename(a, b); }
    bool Remove(const std::string& p) override { return real_.Remove(p); }
    void SyncFolder(const std::string&) override {}

private:
    PosixFileSystem real_;
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
    if (size < 1) return 0;
    const uint8_t* p = data;
    const uint8_t* end = data + size;
    const uint8_t flags = *p++;
    const std::string vpContent = CleanTagContent(p, end);
    const std::string kwContent = CleanTagContent(p, end);
    const std::string doc(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p));

    InsertRequest rq;
    rq.insertVPMT = flags & 1;
    rq.insertKWMT = flags & 2;
    rq.singleFile = true;
    rq.vpmtText = "<meta name=\"viewport\" content=\"" + vpContent + "\">";
    const std::string kwTag = "<meta name=\"keywords\" content=\"" + kwContent + "\">";
    rq.mainMetaTagText = (flags & 4) ? " " + kwTag + "\r\n\r\n3 keywords\r\n" : kwTag;

    const std::string path = ScratchFolder() + "/page.htm";
    WriteAll(path, doc);
    const int16_t encoding = DetectEncoding(path, true);
    ReportLog log;
    log.viewportText = [&] { return rq.vpmtText; };
    const std::string tag = rq.insertKWMT ? MetaTagFromTextbox(rq.mainMetaTagText) : "";
    static NoSyncFileSystem fs;
    const int16_t code = InsertMetaTags(tag, path, rq, log, fs);
    const std::string now = ReadAll(path);

    if (code == kInsertWideText) {
        if (now != doc) Fail("a UTF-16/32 document was changed");
        if (encoding != 1 && encoding != 2 && encoding != 5) Fail("-9 for a byte document");
        return 0;
    }
    if (code == kInsertBadKeywordsTag) {
        if (!rq.insertKWMT || InStr(LowerCaseAccented(tag), "existing keywords") == 0)
            Fail("a usable keywords tag was refused");
        if (now != doc) Fail("a refused insertion changed the document");
        return 0;
    }
    if (encoding == 1 || encoding == 2 || encoding == 5) Fail("a UTF-16/32 document was rewritten");
    if (code != 0 && code != kInsertMultiLineKWMT && code != kInsertNoHeadEnd)
        Fail("unexpected result code");
    if (::access((ScratchFolder() + "/page.bak.htm").c_str(), F_OK) == 0)
        Fail("working file left behind");

    const bool lfOnly = doc.find('\n') != std::string::npos && doc.find('\r') == std::string::npos;
    // Line ends: every line ends with the document's own kind of line end.
    if (!now.empty()) {
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
    }
    if (doc.empty() && !now.empty()) Fail("empty document grew");

    // Tag texts reach a UTF-8 document in UTF-8.
    auto enc = [&](const std::string& t) { return encoding == 3 ? Cp1252ToUtf8(t) : t; };
    int16_t expectedCode = 0;
    const std::string expected =
        ExpectedRewrite(doc, rq, enc(rq.vpmtText), enc(kwTag), expectedCode);
    if (code != expectedCode) Fail("result code differs from the expected one");
    if (now != expected) {
        std::fprintf(stderr, "expected %zu bytes, got %zu\n", expected.size(), now.size());
        Fail("rewritten document differs from the expected one");
    }
    if (Lines(now, lfOnly).size() > Lines(doc, lfOnly).size() + 3) Fail("too many new lines");

    // The tags that were written are the requested ones, in the document's
    // encoding.
    if (code == 0) {
        // A keywords tag that opens before a viewport tag on the same line
        // and ends after it takes the viewport tag with it when replaced,
        // so the viewport tag is checked alone.
        if (rq.insertVPMT && !rq.insertKWMT && now.find(enc(rq.vpmtText)) == std::string::npos)
            Fail("viewport tag missing after success");
        if (rq.insertKWMT && now.find(enc(kwTag)) == std::string::npos)
            Fail("keywords tag missing after success");
    }
    return 0;
}
