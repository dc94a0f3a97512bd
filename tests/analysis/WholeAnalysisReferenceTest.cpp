// The whole analysis of real pages (the documentation pages under
// tests/data/pages, alone and joined, with CR LF and with LF line ends, as
// UTF-8 with broken sequences too) against a straightforward reference: the
// file read line by line as it streams, each line prepared with the plain
// string steps and the UTF-8 rule as it reads, then the same scanner and
// tally. The word table, bit for bit, and the word count must agree, also
// when one Analyzer goes through all the pages in turn, reusing its buffers.
#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "analysis/Analyzer.h"
#include "analysis/CommonWords.h"
#include "analysis/LineReader.h"
#include "analysis/Markup.h"
#include "analysis/Scanner.h"
#include "analysis/TextFile.h"
#include "support/ScriptedHost.h"
#include "common/ReportLog.h"
#include "common/Settings.h"
#include "support/LiteralUtf8.h"
#include "support/MemoryTree.h"
#include "support/TempDir.h"

namespace zelk {
namespace {

using testing::MemoryTree;
using testing::ScriptedHost;

std::string ReadPage(const std::string& name) {
    // The example page ships with the program; the others are test data.
    if (name == "garden.html") return testing::ReadBytes(std::string(ZELK_EXAMPLES_DIR) + "/" + name);
    return testing::ReadBytes(std::string(ZELK_TEST_DATA_DIR) + "/pages/" + name);
}

std::string WithLineEnds(const std::string& page, bool crlf) {
    std::string r;
    for (char c : page)
        if (c != '\r') r += crlf && c == '\n' ? std::string("\r\n") : std::string(1, c);
    return r;
}

// The word count, then "word frequency value-bits" in rank order.
std::vector<std::string> Rows(Analyzer& a) {
    std::vector<std::string> rows{std::to_string(a.TotalWords())};
    for (const WordEntry& e : a.Table().entries)
        rows.push_back(e.Word + " " + std::to_string(e.Frequency) + " " +
                       std::to_string(std::bit_cast<uint32_t>(e.KeyValue)));
    return rows;
}

class WholeAnalysisReference : public ::testing::Test {
protected:
    void SetUp() override {
        common.ReadAllCommonWords(ZELK_SOURCE_DATA_DIR, nullptr, nullptr, 0, false);
        settings.SingleFile = false;
        settings.DialogBoxForUnixFiles = 0;
        analyzer.UseFileSystem(fs);
        reference.UseFileSystem(fs);
    }

    std::vector<std::string> Fast(const std::string& path) {
        EXPECT_EQ(analyzer.DoFile(path).result, Analyzer::kAnalysed) << path;
        return Rows(analyzer);
    }

    // The reference: every step as plainly as it can be written.
    std::vector<std::string> Reference(const std::string& path) {
        const TextFileTest test = IsTextFile(path, kTextTestBytes, kTextTestThreshold, true, fs);
        EXPECT_NE(test.verdict, kNotText) << path;
        reference.Tally().Reset();
        reference.scan.Reset();
        bool stop = false;
        Scanner scanner(reference.scan, settings, host, report, stop, [&] {
            reference.Tally().CountWord(reference.scan.CurrentWord, settings.Language, &common,
                                        reference.ContextWeight());
        });
        LineReader reader;
        EXPECT_TRUE(reader.Open(path, LineReader::Ends::CrOrCrLf, fs));
        std::string line;
        while (reader.Next(line)) {
            const std::size_t b = line.find_first_not_of(' ');
            if (b == std::string::npos) continue;
            line = line.substr(b, line.find_last_not_of(' ') - b + 1);
            if (test.verdict == kTextLfOnly)
                for (char& c : line)
                    if (c == '\n') c = ' ';
            if (test.utf8) line = testing::LiteralPunctuation(testing::LiteralUtf8ToLatin1(line));
            NormaliseMarkup(line);
            DecodeEntities(line);
            scanner.SetLine(" " + line);
            scanner.ScanCurrentLine();
            if (reference.scan.TagNesting < 0) reference.scan.TagNesting = 0;
            if (reference.scan.FontDepth < 0) reference.scan.FontDepth = 0;
        }
        EXPECT_FALSE(reader.Failed());
        reference.Tally().MergeCaseVariants();
        reference.Tally().NormaliseKeyValues();
        return Rows(reference);
    }

    Settings settings;
    CommonWords common;
    ReportLog report;
    ScriptedHost host;
    MemoryTree fs;
    Analyzer analyzer{settings, common, host, report};
    Analyzer reference{settings, common, host, report};
};

TEST_F(WholeAnalysisReference, RealPagesAloneAndJoinedAtBothLineEnds) {
    const std::vector<std::string> names = {"rust-book-functions.html", "libffi-the-basics.html",
                                            "garden.html"};
    std::vector<std::string> pages;
    std::string joined;
    for (const auto& n : names) {
        pages.push_back(ReadPage(n));
        ASSERT_GT(pages.back().size(), 1000u) << n;
        joined += pages.back();
    }
    pages.push_back(joined);
    // UTF-8 damaged the usual ways: text decoded twice ("Ã©" for "é"), C1
    // controls, a lone lead byte, typographic punctuation.
    pages.push_back(pages[0] + "<p>caf\xC3\x83\xC2\xA9 \xC2\x85 na\xC3\x83\xC2\xAFve \xC2\xC2\xA0 "
                               "end\xE2\x80\x94of\xE2\x80\x99line\xC3</p>\n");
    // The largest first, so the smaller ones after it reuse its buffers.
    pages.insert(pages.begin(), joined + joined);
    int n = 0;
    for (bool crlf : {false, true}) {
        for (const std::string& page : pages) {
            const std::string path = "/pages/" + std::to_string(n++) + ".html";
            fs.AddFile(path, WithLineEnds(page, crlf));
            const std::vector<std::string> ref = Reference(path);
            EXPECT_GT(ref.size(), 10u) << path;
            EXPECT_EQ(Fast(path), ref) << path << (crlf ? " CR LF" : " LF");
        }
    }
    EXPECT_EQ(fs.OpenHandles(), 0);
}

TEST_F(WholeAnalysisReference, ReadFailureIsReportedWithItsNumber) {
    fs.AddFile("/p.html", WithLineEnds(ReadPage("garden.html"), true));
    fs.failReadsAfter = 100;
    EXPECT_EQ(analyzer.DoFile("/p.html").result, EIO);
    EXPECT_EQ(fs.OpenHandles(), 0);
    EXPECT_EQ(analyzer.DoFile("/missing.html").result, ENOENT);
}

}  // namespace
}  // namespace zelk
