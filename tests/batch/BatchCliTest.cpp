// zelk-cli batch on real folders: its output, questions and exit codes,
// --jobs against --jobs 1, --dry-run, and SIGINT as the Stop button.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <tuple>

#include "support/BatchFixture.h"
#include "support/CliRunner.h"

namespace zelk::testing {
namespace {

namespace fs = std::filesystem;

const std::string kLeftoverQuestion =
    "Anomalous file: The file 'a.bak.htm' appears to be left over\nfrom a previous operation.  "
    "Delete it?\nAnswer: ";

// A site: a leftover, two pages at the top, one in a subfolder without
// "</head>", a PHP file, a link to the first page, a dangling link and a
// link back to the top (a loop).
void MakeSite(const std::string& root) {
    fs::create_directories(root + "/sub");
    WriteBytes(root + "/a.bak.htm", "x");
    WriteBytes(root + "/index.htm", kGardenPage);
    WriteBytes(root + "/b.html", kGardenPage + "<p>Tulips and more tulips.</p>\r\n");
    WriteBytes(root + "/sub/old.htm", kHeadlessEndPage);
    WriteBytes(root + "/notes.php", "<head></head>");
    fs::create_symlink("index.htm", root + "/z-link.htm");
    fs::create_symlink("gone.htm", root + "/dangling.htm");
    fs::create_directory_symlink("..", root + "/sub/loop");
}

std::map<std::string, std::string> Tree(const std::string& root) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file() && !e.is_symlink())
            out[fs::relative(e.path(), root).string()] = ReadBytes(e.path().string());
    return out;
}

// Each run in a folder of its own, so that the reports name the same top
// folder: --jobs and --dry-run must not change a byte of them.
TEST(CliBatch, OneThreadManyThreadsAndADryRunGiveOneReport) {
    TempDir one, many, dry;
    for (const TempDir* d : {&one, &many, &dry}) MakeSite(*d / "site");
    const std::string run =
        "batch --keywords --viewport --subfolders --delete-leftovers site/ --jobs ";
    const CliResult r = RunZelkCli(one.path(), run + "1", /*runInScratchDir=*/true);
    const CliResult r3 = RunZelkCli(many.path(), run + "3", true);
    const auto before = Tree(dry / "site");
    const CliResult rd = RunZelkCli(dry.path(), run + "2 --dry-run", true);
    const std::string vp = "  Existing VPMT replaced. As given.\n";
    const std::string tag = "  <meta name=\"keywords\" ... \"rose, garden, tulip, grow,\n";
    const std::string fresh = vp + "  New KWMT inserted.\n" + tag;
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Top folder: site/\n\nFile #1: b.html\n" + fresh + "File #2: index.htm\n" +
                         fresh + "File #3: z-link.htm\n" + vp + "  Existing KWMT replaced.\n" +
                         tag + "File #4: sub/old.htm\n  </head> not found\n\nThat's all.\n" +
                         "Number of files: Number of files processed: 4\n");
    EXPECT_EQ(r.err, kLeftoverQuestion + "Yes\n");
    EXPECT_EQ(std::tie(r3.status, r3.out, r3.err), std::tie(r.status, r.out, r.err));
    EXPECT_EQ(std::tie(rd.status, rd.out, rd.err), std::tie(r.status, r.out, r.err));
    EXPECT_EQ(Tree(many / "site"), Tree(one / "site"));
    EXPECT_NE(ReadBytes(one / "site/b.html").find("bloom\">\r\n</head>"), std::string::npos);
    EXPECT_FALSE(fs::exists(one / "site/a.bak.htm"));
    EXPECT_TRUE(fs::is_symlink(one / "site/z-link.htm"));
    EXPECT_EQ(Tree(dry / "site"), before);
}

// Refusals print nothing on stdout and leave every page as it was.
TEST(CliBatch, RefusalsAndTheirExitCodes) {
    TempDir dir;
    MakeSite(dir / "site");
    const auto before = Tree(dir / "site");
    const std::string invalid = "Invalid entry: Viewport meta tag is invalid.\n";
    // The arguments, the exit status and, for status 1, what stderr holds
    // (2 is a usage error).
    const std::tuple<std::string, int, std::string> rows[] = {
        {"batch --keywords", 1, "Invalid input: No input folder specified.\n"},
        {"batch --keywords missing", 1, "Invalid input: Folder does not exist\n"},
        {"batch --viewport '<meta name=viewport>' site", 1, invalid},
        // The viewport text is never taken for a file name.
        {"insert --viewport site/index.htm site/b.html", 1, invalid},
        {"keywords --viewport site/index.htm site/b.html", 1, invalid},
        {"batch site", 2, ""},
        {"batch --keywords --pause 6 site", 2, ""},
        // A failure keeps its message under --json.
        {"show --json site/missing.html", 1, "File not found: Input file not found.\n"},
    };
    for (const auto& [args, status, err] : rows) {
        const CliResult r = RunZelkCli(dir.path(), args, /*runInScratchDir=*/true);
        EXPECT_EQ(r.status, status) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(status == 1 ? r.err : "", err) << args;
    }
    EXPECT_EQ(Tree(dir / "site"), before);
}

TEST(CliBatch, SigintStopsTheRunAfterTheCurrentFile) {
    TempDir dir;
    MakeSite(dir / "site");
    // The shell prints its process number, then becomes zelk-cli.
    const std::string cmd = "echo $$; exec " + ShellQuote(ZELK_CLI_PATH) +
                            " batch --keywords --pause 5 --jobs 1 " + ShellQuote(dir / "site") +
                            " 2>" + ShellQuote(dir / "err.txt");
    std::FILE* p = ::popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char line[4096];
    const pid_t pid = std::fgets(line, sizeof line, p) ? std::atoi(line) : 0;
    std::string text;
    // Once the first file is written and logged, the run waits its pause.
    while (text.find("grow,\n") == std::string::npos && std::fgets(line, sizeof line, p))
        text += line;
    const bool logged = pid > 0 && text.find("grow,\n") != std::string::npos;
    if (logged) ::kill(pid, SIGINT);
    while (std::fgets(line, sizeof line, p)) text += line;
    const int status = ::pclose(p);
    ASSERT_TRUE(logged) << text;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(text.substr(text.find("grow,\n") + 6),
              "\nOperation stopped.\nNumber of files: Number of files processed: 1\n");
    EXPECT_EQ(ReadBytes(dir / "site/index.htm"), kGardenPage);
    EXPECT_EQ(Tree(dir / "site").size(), 5u);  // the leftover kept, no working file left
    EXPECT_EQ(ReadBytes(dir / "err.txt"), kLeftoverQuestion + "No\n");
}

}  // namespace
}  // namespace zelk::testing
