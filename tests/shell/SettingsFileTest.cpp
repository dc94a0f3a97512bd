#include "shell/SettingsFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

const std::string kDefaultFile =
    "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">\r\n"
    "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"15\"\r\n\"150\"\r\n"
    "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n1\r\n2\r\n#TRUE#\r\n14737632\r\n";

class StateFile : public ::testing::Test {
protected:
    void Write(const std::string& bytes) { WriteBytes(path_, bytes); }
    std::string Read() { return ReadBytes(path_); }
    // The default file with line n (1-based) replaced.
    static std::string WithLine(int n, const std::string& text) {
        std::string out;
        std::istringstream in(kDefaultFile);
        std::string line;
        for (int i = 1; std::getline(in, line); ++i) out += (i == n ? text : line.substr(0, line.size() - 1)) + "\r\n";
        return out;
    }
    TempDir dir_;
    std::string path_ = dir_ / "zelk.usr";
};

Settings Changed() {
    Settings s;
    s.VPMT = "<meta name=\"viewport\" content=\"width=500\">";
    s.InputFile = "/home/ann/site/index.htm";
    s.Folder = "/home/ann/site";
    s.BeginMetaTagWith = "caf\xE9, bar";
    s.ExcludedFilepaths = "404.htm";
    s.MaxNumKeywordsInMetaTag = "20";
    s.MaxNumBytesInMetaTag = "200";
    s.ForwardSlash = 1;
    s.InsertKWMT = 1;
    s.InsertVPMT = 1;
    s.Language = 6;
    s.IncludeAllSubfolders = 1;
    s.PreserveExistingKWMT = 1;
    s.PreserveExistingVPMT = 1;
    s.SaveStateOnQuit = 0;
    s.SaveStateOnClose = 0;
    s.Pause = 4;
    s.SingleFile = false;
    s.BackColor = -2147483633;
    return s;
}

// --- Writing ---

TEST_F(StateFile, WrittenByteForByteOverWhatWasThere) {
    Write(std::string(5000, 'x'));
    std::string err;
    ASSERT_TRUE(SaveState(Settings{}, path_, err)) << err;
    EXPECT_EQ(Read(), kDefaultFile);
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"zelk.usr"});
    EXPECT_EQ(StateFileText(Changed()),
              "<meta name=\"viewport\" content=\"width=500\">\r\n"
              "\"/home/ann/site/index.htm\"\r\n\"/home/ann/site\"\r\n\"caf\xE9, bar\"\r\n"
              "\"404.htm\"\r\n\"20\"\r\n\"200\"\r\n1\r\n1\r\n1\r\n6\r\n1\r\n1\r\n1\r\n0\r\n0\r\n4\r\n"
              "#FALSE#\r\n-2147483633\r\n");
}

TEST_F(StateFile, FailuresAreReportedAndLeaveNoWorkingFile) {
    std::string err;
    EXPECT_FALSE(SaveState(Settings{}, dir_ / "no/zelk.usr", err));
    EXPECT_EQ(err, "No such file or directory");
    // A folder where the file should be: written, but it cannot take its place.
    fs::create_directory(path_);
    EXPECT_FALSE(SaveState(Settings{}, path_, err));
    EXPECT_EQ(err, "Is a directory");
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"zelk.usr"});
}

TEST_F(StateFile, SaveAndReadGoThroughTheSafePath) {
    // The new file must be on the device before it replaces the old one:
    // a failing flush keeps the old file and says why.
    Write(kDefaultFile);
    std::string err;
    testing::FaultyFileSystem faulty(RealFileSystem());
    faulty.FailAt(testing::FaultyFileSystem::Step::Sync, 1, ENOSPC);
    EXPECT_FALSE(SaveState(Changed(), path_, err, faulty));
    EXPECT_TRUE(faulty.Fired());
    EXPECT_EQ(err, "No space left on device");
    EXPECT_EQ(Read(), kDefaultFile);
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
    // A link at the working name is removed, not followed.
    WriteBytes(dir_ / "other", "other");
    fs::create_symlink(dir_ / "other", path_ + ".tmp");
    EXPECT_TRUE(SaveState(Changed(), path_, err)) << err;
    EXPECT_EQ(ReadBytes(dir_ / "other"), "other");
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
    // Reading fails like a missing file.
    Settings s;
    faulty.FailAt(testing::FaultyFileSystem::Step::Read);
    EXPECT_FALSE(RestoreState(s, path_, faulty));
    EXPECT_TRUE(faulty.Fired());
    ASSERT_TRUE(RestoreState(s, path_));
    EXPECT_EQ(StateFileText(s), StateFileText(Changed()));  // every stored field
    EXPECT_FALSE(RestoreState(s, dir_ / "missing.usr"));
}

// --- Reading ---

TEST_F(StateFile, EachLineIsReadAndWrittenBackInItsForm) {
    struct Row {
        int line;
        std::string text;
        bool ok;
        std::string savedAs;  // the line as the restored settings write it
    };
    const std::vector<Row> rows = {
        {1, "", true, ""},
        {1, "   ", true, ""},
        {1, "<META NAME=\"viewport\" content=\"width=600\">  ", true,
         "<META NAME=\"viewport\" content=\"width=600\">"},
        {1, " <meta name=\"viewport\">", false, ""},
        {5, "a, b \"c\"", true, "\"a, b \"c\"\""},  // unquoted: to the end of the line
        {8, "2", true, "2"},
        {8, "3", false, ""},
        {9, "1abc", true, "1"},  // the leading number of the text
        {9, "yes", true, "0"},
        {11, "6", true, "6"},
        {11, "-1", false, ""},
        {17, "4", true, "4"},
        {17, "5", false, ""},
        {18, "", true, "#TRUE#"},
        {18, "\"\"", true, "#TRUE#"},
        {18, "#false#", true, "#TRUE#"},
        {18, "0", true, "#TRUE#"},
        {18, "#FALSE#   ", true, "#FALSE#"},
        {18, "\"#FALSE#\"", true, "#FALSE#"},
        {19, "99999999999", false, ""},
    };
    for (const Row& r : rows) {
        Write(WithLine(r.line, r.text));
        Settings s;
        EXPECT_EQ(RestoreState(s, path_), r.ok) << r.line << ": " << r.text;
        if (r.ok) {
            EXPECT_EQ(StateFileText(s), WithLine(r.line, r.savedAs)) << r.text;
        }
    }
    // The last line needs no line end.
    Write(kDefaultFile.substr(0, kDefaultFile.size() - 2));
    Settings s;
    s.BackColor = 1;
    EXPECT_TRUE(RestoreState(s, path_));
    EXPECT_EQ(s.BackColor, 14737632);
}

TEST_F(StateFile, FailedReadKeepsTheLinesBeforeTheFailure) {
    // A foreign first line: nothing is placed.
    Write(WithLine(1, " <meta name=\"viewport\">"));
    Settings s = Changed();
    EXPECT_FALSE(RestoreState(s, path_));
    EXPECT_EQ(StateFileText(s), StateFileText(Changed()));
    // Language 7 on line 11: lines 1 to 10 are placed, line 11 is not.
    std::string f = WithLine(11, "7");
    Write(f.replace(f.find("\"\"\r\n"), 4, "\"/a.htm\"\r\n"));
    s = Settings{};
    s.Language = 3;
    s.InsertKWMT = 1;
    EXPECT_FALSE(RestoreState(s, path_));
    EXPECT_EQ(s.InputFile, "/a.htm");
    EXPECT_EQ(s.InsertKWMT, 0);
    EXPECT_EQ(s.Language, 3);
    // A short file fails at its end, after line 18.
    Write(kDefaultFile.substr(0, kDefaultFile.rfind("14737632")));
    s.SingleFile = false;
    EXPECT_FALSE(RestoreState(s, path_));
    EXPECT_TRUE(s.SingleFile);
    // A quoted text ends at a comma.
    Write(WithLine(4, "\"a\" , \"b\""));
    EXPECT_FALSE(RestoreState(s, path_));
    EXPECT_EQ(s.BeginMetaTagWith, "a");
    EXPECT_EQ(s.ExcludedFilepaths, "b");
}

TEST_F(StateFile, QuoteInTextShiftsTheFollowingValues) {
    // "say "hi"" reads as: say, then hi"" starts the next value.
    Settings w;
    w.BeginMetaTagWith = "say \"hi\"";
    std::string err;
    ASSERT_TRUE(SaveState(w, path_, err));
    Settings s;
    EXPECT_FALSE(RestoreState(s, path_));  // "150" lands on a check box
    EXPECT_EQ(s.BeginMetaTagWith, "say ");
    EXPECT_EQ(s.ExcludedFilepaths, "hi\"\"");
    EXPECT_EQ(s.MaxNumKeywordsInMetaTag, "");
    EXPECT_EQ(s.MaxNumBytesInMetaTag, "15");
}

TEST_F(StateFile, FolderBoxForcesMultipleFilesAfterAGoodRead) {
    Write(kDefaultFile);
    Settings s;
    int lines = 0;
    EXPECT_TRUE(RestoreState(s, path_, "/site", [&](int) { ++lines; }));
    EXPECT_FALSE(s.SingleFile);
    EXPECT_EQ(lines, 20);
}

// --- Defaults ---

TEST(SettingsDefaults, ResetTouchesExactlyTheResettableFields) {
    Settings s = Changed();
    s.TitleWeight = s.BoldWeight = s.SpanWeight = 0;
    s.ShortWordSize = s.ThresholdFrequency = 8;
    s.Confirm = 0;
    s.PreserveCase = s.LargeWindow = 1;
    s.IgnoreCommonWords = s.IgnoreShortWords = s.DialogBoxForUnixFiles = 0;
    SetDefaultValues(s);
    // The file's fields: reset, except the paths, the tag boxes, the mode
    // and the colour.
    EXPECT_EQ(StateFileText(s),
              "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">\r\n"
              "\"/home/ann/site/index.htm\"\r\n\"/home/ann/site\"\r\n\"\"\r\n\"\"\r\n\"15\"\r\n"
              "\"150\"\r\n0\r\n1\r\n1\r\n0\r\n0\r\n0\r\n0\r\n1\r\n1\r\n2\r\n#FALSE#\r\n-2147483633\r\n");
    const Settings d;
    EXPECT_EQ(std::vector<int>({s.TitleWeight, s.BoldWeight, s.SpanWeight, s.ShortWordSize,
                                s.ThresholdFrequency, s.Confirm}),
              std::vector<int>({d.TitleWeight, d.BoldWeight, d.SpanWeight, d.ShortWordSize,
                                d.ThresholdFrequency, 1}));
    // Left alone.
    EXPECT_EQ(std::vector<int>({s.PreserveCase, s.LargeWindow, s.IgnoreCommonWords,
                                s.IgnoreShortWords, s.DialogBoxForUnixFiles}),
              std::vector<int>({1, 1, 0, 0, 0}));
}

// --- Data folder ---

// Puts an environment variable back as it was when the test ends.
struct SavedEnv {
    explicit SavedEnv(const char* n)
        : name(n), had(std::getenv(n) != nullptr), value(had ? std::getenv(n) : "") {}
    ~SavedEnv() { had ? (void)::setenv(name, value.c_str(), 1) : (void)::unsetenv(name); }
    const char* name;
    bool had;
    std::string value;
};

using DataFolder = StateFile;

TEST_F(DataFolder, XdgConfigHomeThenHomeAndTheFailureMessage) {
    const SavedEnv xdgHome("XDG_CONFIG_HOME"), home("HOME");
    ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    std::string err;
    const std::string p = DataFilepath(StateFileName("Zelk"), "zelk", err);
    EXPECT_EQ(err, "");
    EXPECT_EQ(p, dir_ / "config/zelk/zelk.usr");
    EXPECT_TRUE(fs::is_directory(dir_ / "config/zelk"));
    EXPECT_EQ(DataFilepath("zelk.usr", "zelk", err), p);  // existing folder is fine
    // A relative or missing XDG_CONFIG_HOME: the folder under HOME.
    ::setenv("HOME", dir_.path().c_str(), 1);
    for (const char* xdg : {"relative/dir", static_cast<const char*>(nullptr)}) {
        if (xdg) ::setenv("XDG_CONFIG_HOME", xdg, 1);
        else ::unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(DataFilepath("zelk.usr", "zelk", err), dir_ / ".config/zelk/zelk.usr");
    }
    Write("a file where the folder should be");
    ::setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
    EXPECT_EQ(DataFilepath("zelk.usr", "zelk", err), "");
    EXPECT_EQ(err, "The folder for the settings of this program cannot be created:\r\n" + path_ +
                       "/zelk\r\nNot a directory.\r\nSettings will not be saved.");
}

}  // namespace
}  // namespace zelk
