// libFuzzer target: the analysis of arbitrary bytes. The first bytes choose
// the settings (language, weights, limits, modes, a Stop press); the rest is
// the document, written to a file and run through DoFile, the keywords meta
// tag and the word list. Any crash, hang, leak or sanitizer report is a bug.
#include <unistd.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "analysis/AnalysisHost.h"
#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "common/ReportLog.h"
#include "common/Settings.h"

namespace {

class FuzzPrompter : public zelk::Prompter {
public:
    using Prompter::Ask;
    zelk::Answer answer = zelk::Answer::Yes;
    zelk::Answer Ask(const std::string&, const std::string&, zelk::Icon, zelk::Buttons buttons,
                     zelk::Answer defaultButton) override {
        return buttons == zelk::Buttons::YesNoCancel ? answer : defaultButton;
    }
};

class FuzzHost : public zelk::AnalysisHost {
public:
    zelk::Prompter& prompter() override { return prompts; }
    std::string OutputText() override { return output; }
    void SetOutputText(const std::string& t) override { output = t; }
    std::string InputFileText() override { return input; }
    void SetInputFileText(const std::string& t) override { input = t; }
    void Yield() override {
        if (stopAfter > 0 && ++yields == stopAfter && stop) *stop = true;
    }
    FuzzPrompter prompts;
    std::string output, input;
    long yields = 0;
    long stopAfter = 0;
    bool* stop = nullptr;
};

std::string ProgramFolder() {
    char buf[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return ".";
    const std::string exe(buf, static_cast<std::size_t>(n));
    return exe.substr(0, exe.rfind('/'));
}

const zelk::CommonWords& Common() {
    static zelk::CommonWords* words = [] {
        auto* w = new zelk::CommonWords;
        w->ReadAllCommonWords(ProgramFolder(), nullptr, nullptr, 0, false);
        return w;
    }();
    return *words;
}

const std::string& DocumentPath() {
    static const std::string path =
        "/tmp/zelk-fuzz-" + std::to_string(::getpid()) + ".html";
    return path;
}

constexpr std::size_t kSettingBytes = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < kSettingBytes) return 0;
    const zelk::CommonWords& common = Common();
    zelk::Settings settings;
    settings.Language = data[0] % 7;
    settings.TitleWeight = data[1] % 10;
    settings.DescriptionWeight = (data[1] / 10) % 10;
    settings.ExistingKeywordsWeight = data[2] % 10;
    settings.BoldWeight = (data[2] / 10) % 10;
    settings.ItalicWeight = data[3] % 10;
    settings.TableWeight = (data[3] / 10) % 10;
    settings.DivWeight = data[4] % 10;
    settings.SpanWeight = (data[4] / 10) % 10;
    settings.SingleFile = (data[5] & 1) == 0;
    settings.ForwardSlash = (data[5] >> 1) & 1;
    settings.InsertVPMT = (data[5] >> 2) & 1;
    settings.DialogBoxForUnixFiles = (data[5] >> 3) & 1;
    settings.MaxNumKeywordsInMetaTag = std::to_string(static_cast<int>(data[6]) - 20);
    settings.MaxNumBytesInMetaTag = std::to_string(static_cast<int>(data[7]) * 3 - 60);
    if (data[5] & 16) settings.BeginMetaTagWith = "alpha ,beta,, gamma,";

    {
        std::FILE* f = std::fopen(DocumentPath().c_str(), "wb");
        if (!f) return 0;
        std::fwrite(data + kSettingBytes, 1, size - kSettingBytes, f);
        std::fclose(f);
    }

    FuzzHost host;
    zelk::ReportLog report;
    report.viewportText = [&] { return settings.VPMT; };
    zelk::Analyzer analyzer(settings, common, host, report);
    host.stop = &analyzer.blnStop;
    host.stopAfter = (data[5] & 32) ? static_cast<long>(data[6]) + 1 : 0;
    host.prompts.answer = (data[5] & 64) ? zelk::Answer::No : zelk::Answer::Yes;

    const zelk::Analyzer::DoFileResult r = analyzer.DoFile(DocumentPath());
    if (r.result == 0) {
        analyzer.GenerateKeywordMetaTag();
        analyzer.ListWords();
        // The request flow on the same file, Generate and List words.
        host.input = DocumentPath();
        analyzer.InvalidateAnalysis();
        analyzer.DoIt((data[5] & 128) != 0);
    }
    return 0;
}
