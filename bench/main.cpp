// zelk_bench: speed and memory of the analysis of one document (DoFile) on
// generated pages of 1, 10 and 50 MB, with CR LF and with LF-only line ends,
// and on the pathological inputs (a 50 MB line without ">", 100,000 nested
// font tags, a word of 70,000 letters).
//
//   zelk_bench [--data-dir DIR] [--sizes 1,10,50] [--no-bad-input] [--real DIR [--dump FILE]]
//
// --real DIR: every .htm* file under DIR analysed in one process, as a
// folder run does (DoFile, then the keywords meta tag), with the total
// CPU time; the generated pages are then skipped. --dump FILE writes every
// page's word table (words, counts, exact values) and keywords tag to FILE,
// so that two builds can be compared byte for byte.
//   zelk_bench --site DIR [--pages N] [--mb M]
//       writes a site for the batch bench instead: N pages (default 2,000)
//       of M MB in all (default 50) in nested folders (bench/batch_bench.sh)
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Bench.h"
#include "analysis/AnalysisHost.h"
#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "analysis/KeywordsMetaTag.h"
#include "analysis/DocumentLines.h"
#include "analysis/Scanner.h"
#include "analysis/TextContent.h"
#include "analysis/TextFile.h"
#include "common/ReportLog.h"
#include "common/Settings.h"

namespace {

namespace fs = std::filesystem;

class QuietPrompter : public zelk::Prompter {
public:
    using Prompter::Ask;
    zelk::Answer Ask(const std::string&, const std::string&, zelk::Icon, zelk::Buttons,
                     zelk::Answer defaultButton) override {
        return defaultButton;
    }
};

class BenchHost : public zelk::AnalysisHost {
public:
    zelk::Prompter& prompter() override { return prompter_; }
    std::string OutputText() override { return output_; }
    void SetOutputText(const std::string& t) override { output_ = t; }
    std::string InputFileText() override { return input_; }
    void SetInputFileText(const std::string& t) override { input_ = t; }

private:
    QuietPrompter prompter_;
    std::string output_, input_;
};

std::string ProgramFolder() {
    char buf[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return ".";
    const std::string exe(buf, static_cast<std::size_t>(n));
    return exe.substr(0, exe.rfind('/'));
}

struct Run {
    zelk::Settings settings;
    zelk::CommonWords& common;
    zelk::ReportLog report;
    BenchHost host;
    zelk::Analyzer analyzer{settings, common, host, report};
    explicit Run(zelk::CommonWords& c) : common(c) {}
};

void Measure(zelk::CommonWords& common, const std::string& label, const std::string& path) {
    const double mb = static_cast<double>(fs::file_size(path)) / (1024.0 * 1024.0);
    Run run(common);
    const double t0 = zelk::bench::Now();
    const double c0 = zelk::bench::CpuNow();
    const zelk::Analyzer::DoFileResult r = run.analyzer.DoFile(path);
    const double cpu = zelk::bench::CpuNow() - c0;
    const double secs = zelk::bench::Now() - t0;
    std::printf("%-30s %6.1f MB  cpu %7.3f s %7.1f MB/s  (wall %7.3f s)  result %d  words %5d  total %8d  peak RSS %6.1f MB\n",
                label.c_str(), mb, cpu, mb / cpu, secs, r.result, r.numberOfWords,
                run.analyzer.TotalWords(), static_cast<double>(zelk::bench::PeakRssKb()) / 1024.0);
    std::fflush(stdout);
}

// The same reading, preparation and scan as DoFile, with every word
// dropped on the floor: the share of the time that is not the word tally.
void MeasureScanOnly(const std::string& label, const std::string& path) {
    const double mb = static_cast<double>(fs::file_size(path)) / (1024.0 * 1024.0);
    zelk::Settings settings;
    zelk::ReportLog report;
    BenchHost host;
    zelk::ScanState state;
    state.Reset();
    bool stop = false;
    long long words = 0;
    zelk::Scanner scanner(state, settings, host, report, stop, [&] { ++words; });
    const double t0 = zelk::bench::CpuNow();
    zelk::DocumentLines lines;
    int err = 0;
    lines.Load(zelk::RealFileSystem(), path, err);
    const zelk::TextFileTest test = zelk::IsTextContent(lines.Bytes(), path, zelk::kTextTestBytes,
                                                        zelk::kTextTestThreshold, true);
    std::string line;
    while (lines.Next(line, test.verdict, test.utf8)) {
        scanner.SwapLine(line);
        scanner.ScanCurrentLine();
        if (state.TagNesting < 0) state.TagNesting = 0;
        if (state.FontDepth < 0) state.FontDepth = 0;
    }
    const double secs = zelk::bench::CpuNow() - t0;
    std::printf("%-30s %6.1f MB  cpu %7.3f s %7.1f MB/s  (reading, markup and scan only; %lld words)\n",
                label.c_str(), mb, secs, mb / secs, words);
    std::fflush(stdout);
}

// Every page under a folder, in one process and one Analyzer, as a folder
// run goes through them: the analysis and the keywords meta tag.
void MeasureRealPages(zelk::CommonWords& common, const std::string& folder, const std::string& dumpPath) {
    std::vector<std::string> pages;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const std::string name = it->path().filename().string();
        if (name.find(".htm") != std::string::npos) pages.push_back(it->path().string());
    }
    std::sort(pages.begin(), pages.end());
    long long bytes = 0;
    for (const auto& p : pages) bytes += static_cast<long long>(fs::file_size(p, ec));
    Run run(common);
    run.settings.SingleFile = false;
    long long words = 0;
    int failed = 0;
    std::FILE* dump = dumpPath.empty() ? nullptr : std::fopen(dumpPath.c_str(), "wb");
    const double t0 = zelk::bench::Now();
    const double c0 = zelk::bench::CpuNow();
    for (const auto& p : pages) {
        const zelk::Analyzer::DoFileResult r = run.analyzer.DoFile(p);
        if (dump) std::fprintf(dump, "%s %d %d\n", p.c_str(), r.result, run.analyzer.TotalWords());
        if (r.result != 0) {
            ++failed;
            continue;
        }
        run.analyzer.GenerateKeywordMetaTag();
        words += r.numberOfWords;
        if (dump) {
            // Written inside the timed loop: compare the dumps of two
            // builds, not the timings of runs that dump.
            for (const zelk::WordEntry& e : run.analyzer.Table().entries) {
                uint32_t bits;
                std::memcpy(&bits, &e.KeyValue, 4);
                std::fprintf(dump, "%s %d %08x\n", e.Word.c_str(), e.Frequency, bits);
            }
            std::fprintf(dump, "%s\n", run.host.OutputText().c_str());
        }
    }
    if (dump) std::fclose(dump);
    const double cpu = zelk::bench::CpuNow() - c0;
    const double secs = zelk::bench::Now() - t0;
    const double mb = static_cast<double>(bytes) / 1e6;
    std::printf("real pages: %zu files, %.1f MB (10^6 bytes), %d refused; cpu %.3f s %.1f MB/s  (wall %.3f s)  "
                "%.3f ms per page  %lld table words  peak RSS %.1f MB\n",
                pages.size(), mb, failed, cpu, mb / cpu, secs,
                pages.empty() ? 0.0 : cpu * 1000.0 / static_cast<double>(pages.size()), words,
                static_cast<double>(zelk::bench::PeakRssKb()) / 1024.0);
    std::fflush(stdout);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir = ProgramFolder();
    std::vector<int> sizes = {1, 10, 50};
    bool badInput = true;
    std::string realFolder;
    std::string dumpPath;
    std::string site;
    int pages = 2000, siteMb = 50;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--data-dir" && i + 1 < argc) {
            dataDir = argv[++i];
        } else if (a == "--sizes" && i + 1 < argc) {
            sizes.clear();
            std::string list = argv[++i];
            for (std::size_t p = 0; p < list.size();) {
                std::size_t q = list.find(',', p);
                if (q == std::string::npos) q = list.size();
                sizes.push_back(std::atoi(list.substr(p, q - p).c_str()));
                p = q + 1;
            }
        } else if (a == "--real" && i + 1 < argc) {
            realFolder = argv[++i];
        } else if (a == "--dump" && i + 1 < argc) {
            dumpPath = argv[++i];
        } else if (a == "--no-bad-input") {
            badInput = false;
        } else if (a == "--site" && i + 1 < argc) {
            site = argv[++i];
        } else if (a == "--pages" && i + 1 < argc) {
            pages = std::atoi(argv[++i]);
        } else if (a == "--mb" && i + 1 < argc) {
            siteMb = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: zelk_bench [--data-dir DIR] [--sizes 1,10,50] [--no-bad-input] [--real DIR [--dump FILE]]\n"
                                 "       zelk_bench --site DIR [--pages N] [--mb M]\n");
            return 2;
        }
    }
    if (!site.empty()) return zelk::bench::WriteSite(site, pages, siteMb);

    zelk::CommonWords common;
    common.ReadAllCommonWords(dataDir, nullptr, nullptr, 0, false);
    if (!realFolder.empty()) {
        MeasureRealPages(common, realFolder, dumpPath);
        return 0;
    }
    const fs::path dir = fs::temp_directory_path() / ("zelk-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);

    std::printf("DoFile, one core, default settings, English common words (%d listed)\n",
                common.Count(0));
    for (int mb : sizes) {
        for (bool lf : {false, true}) {
            const std::string path = (dir / ("page-" + std::to_string(mb) + (lf ? "-lf" : "-crlf") + ".html")).string();
            WriteFile(path, zelk::bench::GenerateDocument(static_cast<std::size_t>(mb) << 20, lf,
                                                         static_cast<uint32_t>(mb)));
            Measure(common, std::to_string(mb) + " MB page, " + (lf ? "LF only" : "CR LF"), path);
            MeasureScanOnly(std::to_string(mb) + " MB page, " + (lf ? "LF only" : "CR LF"), path);
            fs::remove(path);
        }
    }

    if (badInput) {
        const std::size_t big = 50u << 20;
        const std::string path = (dir / "bad.html").string();
        WriteFile(path, "<head><a " + std::string(big, 'x'));
        Measure(common, "50 MB line without \">\"", path);
        {
            std::string s = "<head>";
            for (int i = 0; i < 100000; ++i) s += "<font size=+1>";
            s += "deep";
            for (int i = 0; i < 100000; ++i) s += "</font>";
            WriteFile(path, s);
        }
        Measure(common, "100,000 nested font tags", path);
        WriteFile(path, "<head>" + std::string(70000, 'w') + " end");
        Measure(common, "word of 70,000 letters", path);
        {
            std::string s;
            while (s.size() < big) s += "<meta name=\"author\" content=\"a b\"> &x <font size=2>y ";
            WriteFile(path, s);
        }
        Measure(common, "50 MB line of meta/font tags", path);
        fs::remove(path);
    }
    fs::remove_all(dir);
    zelk::bench::BenchTally();
    return 0;
}
