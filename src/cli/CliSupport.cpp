// The pieces every zelk-cli command shares: the message boxes on stderr,
// the conversions at the terminal boundary and the data folder.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "analysis/CommonWords.h"
#include "cli/Cli.h"
#include "common/Cp1252.h"
#include "insertion/Viewport.h"

namespace zelk::cli {

namespace {
// CR LF as LF; nothing else changes.
std::string CrLfToLf(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
        r += s[i];
    }
    return r;
}

void WriteAll(std::FILE* f, const std::string& s) {
    if (!s.empty()) std::fwrite(s.data(), 1, s.size(), f);
}
}  // namespace

Answer CliPrompter::Ask(const std::string& text, const std::string& title, Icon, Buttons buttons,
                        Answer) {
    // Questions get the answer that lets the work go on (the Unix-type file
    // warning: Yes); nothing is shown for them.
    if (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) return Answer::Yes;
    WriteAll(out_, Cp1252ToUtf8(CrLfToLf(title + ": " + text)) + "\n");
    std::fflush(out_);
    if (countsAsFailure) messageShown_ = true;
    return Answer::Ok;
}

bool ViewportOptionValid(Settings& settings) {
    if (settings.InsertVPMT != 1) return true;
    std::string tag = settings.VPMT;
    int16_t validity = 0;
    VPMTvalid(tag, validity);
    if (validity == -1) {
        CliPrompter(stderr).Message("Viewport meta tag is invalid.", "Invalid entry",
                                    Icon::Exclamation);
        return false;
    }
    if (validity == 0) settings.InsertVPMT = 0;
    return true;
}

void UsageError(const std::string& text) {
    std::fprintf(stderr, "zelk-cli: %s (see zelk-cli --help)\n", text.c_str());
}

std::string ProgramFolder() {
    char buf[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return ".";
    std::string exe(buf, static_cast<std::size_t>(n));
    const std::size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string(".") : exe.substr(0, slash == 0 ? 1 : slash);
}

std::string ArgToCp1252(const std::string& arg) { return Utf8ToCp1252(arg); }

std::string BoxForTerminal(const std::string& box) { return Cp1252ToUtf8(CrLfToLf(box)) + "\n"; }

void LoadCommonWords(CommonWords& words, const AnalysisOptions& opts) {
    CliPrompter notices;
    notices.countsAsFailure = false;
    const std::string dir = opts.dataDir.empty() ? ProgramFolder() : opts.dataDir;
    words.ReadAllCommonWords(dir, nullptr, &notices, opts.settings.Language,
                             opts.settings.IgnoreCommonWords == 1);
}

void ReportToStderr(ReportLog& log, const Settings& settings) {
    log.viewportText = [&settings] { return settings.VPMT; };
    log.onAppend = [](const std::string& s) {
        WriteAll(stderr, Cp1252ToUtf8(CrLfToLf(s)));
    };
}

}  // namespace zelk::cli
