// zelk-cli batch on real folders: its output, exit codes, --dry-run,
// --jobs, links, and SIGINT as the Stop button.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/TempDir.h"
#include "support/BatchFixture.h"
#include "support/CliRunner.h"

namespace zelk::testing {
namespace {

namespace fs = std::filesystem;

CliResult Batch(const TempDir& dir, const std::string& args) {
    return RunZelkCli(dir.path(), "batch " + args, /*runInScratchDir=*/true);
}

// A site: two pages at the top, one in a subfolder without "</head>", one
// PHP file, and a link to the first page.
void MakeSite(const std::string& root) {
    fs::create_directories(root + "/sub");
    WriteBytes(root + "/index.htm", GardenPage());
    WriteBytes(root + "/b.html", GardenPage() + "<p>Tulips and more tulips.</p>\r\n");
    WriteBytes(root + "/sub/old.htm", HeadlessEndPage());
    WriteBytes(root + "/notes.php", "<head></head>");
    fs::create_symlink("index.htm", root + "/z-link.htm");
}

std::map<std::string, std::string> Tree(const std::string& root) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file() && !e.is_symlink())
            out[fs::relative(e.path(), root).string()] = ReadBytes(e.path().string());
    return out;
}

TEST(CliBatch, ReportOnStdoutAndTheClosingMessageLast) {
    TempDir dir;
    MakeSite(dir / "site");
    CliResult r = Batch(dir, "--keywords --viewport --subfolders --jobs 1 site/");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "Top folder: site/\n\n"
              "File #1: b.html\n"
              "  Existing VPMT replaced. As given.\n"
              "  New KWMT inserted.\n"
              "  <meta name=\"keywords\" ... \"rose, garden, tulip, grow,\n"
              "File #2: index.htm\n"
              "  Existing VPMT replaced. As given.\n"
              "  New KWMT inserted.\n"
              "  <meta name=\"keywords\" ... \"rose, garden, tulip, grow,\n"
              "File #3: z-link.htm\n"
              "  Existing VPMT replaced. As given.\n"
              "  Existing KWMT replaced.\n"
              "  <meta name=\"keywords\" ... \"rose, garden, tulip, grow,\n"
              "File #4: sub/old.htm\n"
              "  </head> not found\n"
              "\nThat's all.\n"
              "Number of files: Number of files processed: 4\n");
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(fs::is_symlink(dir / "site/z-link.htm"));
}

TEST(CliBatch, JobsAndDryRunGiveTheReportOfOneThreadAndADryRunLeavesEveryByte) {
    TempDir dir;
    for (const char* copy : {"one", "two", "dry"}) {
        MakeSite(dir / copy);
        for (int i = 0; i < 12; ++i)
            WriteBytes(dir / copy + "/sub/p" + std::to_string(i) + ".htm",
                       GardenPage() + std::string(static_cast<std::size_t>(i), 'x') + " tulip\r\n");
    }
    const std::string opts = "--keywords --subfolders --exclude old ";
    CliResult one = Batch(dir, opts + "--jobs 1 one");
    CliResult two = Batch(dir, opts + "--jobs 3 two");
    const auto before = Tree(dir / "dry");
    CliResult dry = Batch(dir, opts + "--jobs 2 --dry-run dry");
    ASSERT_EQ(one.status, 0);
    EXPECT_EQ(two.status, 0);
    EXPECT_EQ(dry.status, 0);
    auto body = [](const std::string& out) { return out.substr(out.find('\n')); };
    EXPECT_EQ(body(two.out), body(one.out));
    EXPECT_EQ(body(dry.out), body(one.out));
    EXPECT_EQ(Tree(dir / "two"), Tree(dir / "one"));
    EXPECT_EQ(Tree(dir / "dry"), before);
}

TEST(CliBatch, JsonGivesOneLinePerFileThenTheSummary) {
    TempDir dir;
    fs::create_directories(dir / "s/sub");
    WriteBytes(dir / "s/index.htm", GardenPage());
    WriteBytes(dir / "s/sub/\xC3\xA9t\xC3\xA9.htm", HeadlessEndPage());  // été.htm
    CliResult r = Batch(dir, "--keywords --subfolders --json s");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "{\"number\":1,\"file\":\"index.htm\",\"lines\":[\"New KWMT inserted.\","
              "\"<meta name=\\\"keywords\\\" ... \\\"rose, garden, tulip, grow,\"],"
              "\"tag\":\"<meta name=\\\"keywords\\\" content=\\\"rose, garden, tulip, grow, "
              "bloom\\\">\"}\n"
              "{\"number\":2,\"file\":\"sub/\xC3\xA9t\xC3\xA9.htm\",\"lines\":[\"</head> not "
              "found\"],\"tag\":null}\n"
              "{\"files\":2,\"stopped\":false,\"title\":\"Number of files\",\"message\":"
              "\"Number of files processed: 2\"}\n");
}

TEST(CliBatch, ExitCodesAndMessages) {
    TempDir dir;
    MakeSite(dir / "site");
    CliResult r = Batch(dir, "--keywords");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Invalid input: No input folder specified.\n");
    r = Batch(dir, "--keywords missing");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Invalid input: Folder does not exist\n");
    EXPECT_EQ(Batch(dir, "site").status, 2);
    EXPECT_EQ(Batch(dir, "--keywords --pause 6 site").status, 2);
    EXPECT_EQ(Batch(dir, "--keywords --jobs 0 site").status, 2);
    r = Batch(dir, "--viewport '<meta name=viewport>' site");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Invalid entry: Viewport meta tag is invalid.\n");
    EXPECT_EQ(r.out, "");
}

TEST(CliBatch, QuestionsAndTheirAnswersGoToStderr) {
    TempDir dir;
    fs::create_directories(dir / "s");
    WriteBytes(dir / "s/a.bak.htm", "x");
    WriteBytes(dir / "s/c.htm", "<head></head>");
    CliResult r = Batch(dir, "--viewport s");
    EXPECT_EQ(r.err,
              "Anomalous file: The file 'a.bak.htm' appears to be left over\n"
              "from a previous operation.  Delete it?\nAnswer: No\n");
    EXPECT_TRUE(fs::exists(dir / "s/a.bak.htm"));
    r = Batch(dir, "--viewport --delete-leftovers --dry-run s");
    EXPECT_NE(r.err.find("Answer: Yes\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir / "s/a.bak.htm"));
    r = Batch(dir, "--viewport --delete-leftovers s");
    EXPECT_FALSE(fs::exists(dir / "s/a.bak.htm"));
}

TEST(CliBatch, SigintStopsTheRunAfterTheCurrentFile) {
    TempDir dir;
    MakeSite(dir / "site");
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const std::string folder = dir / "site";
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(ZELK_CLI_PATH, "zelk-cli", "batch", "--keywords", "--pause", "5", "--jobs", "1",
                folder.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buf[4096];
    bool sent = false;
    for (;;) {
        const ssize_t n = ::read(out[0], buf, sizeof buf);
        if (n <= 0) break;
        text.append(buf, static_cast<std::size_t>(n));
        // The first file is written and logged: the run now waits its pause.
        if (!sent && text.find("File #1: b.html\n  New KWMT inserted.\n  <meta") != std::string::npos &&
            text.find("grow,\n") != std::string::npos) {
            ::kill(pid, SIGINT);
            sent = true;
        }
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(sent) << text;
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(text.substr(text.find("grow,\n") + 6),
              "\nOperation stopped.\nNumber of files: Number of files processed: 1\n");
    EXPECT_EQ(ReadBytes(dir / "site/index.htm"), GardenPage());
    EXPECT_EQ(Tree(dir / "site").size(), 4u);  // no working file left behind
}

TEST(CliViewportOption, InvalidTextIsRefusedByInsertAndKeywords) {
    TempDir dir;
    WriteBytes(dir / "b.html", GardenPage());
    CliResult r = RunZelkCli(dir.path(), "insert --viewport a.html b.html", true);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Invalid entry: Viewport meta tag is invalid.\n");
    EXPECT_EQ(ReadBytes(dir / "b.html"), GardenPage());
    r = RunZelkCli(dir.path(), "keywords --viewport a.html b.html", true);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace zelk::testing
