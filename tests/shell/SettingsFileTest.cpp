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

TEST_F(StateFile, DefaultsAreWrittenByteForByte) {
    std::string err;
    ASSERT_TRUE(SaveState(Settings{}, path_, err)) << err;
    EXPECT_EQ(Read(), kDefaultFile);
    EXPECT_EQ(StateFileText(Settings{}), kDefaultFile);
}

TEST_F(StateFile, EveryFieldHasItsLineAndForm) {
    EXPECT_EQ(StateFileText(Changed()),
              "<meta name=\"viewport\" content=\"width=500\">\r\n"
              "\"/home/ann/site/index.htm\"\r\n\"/home/ann/site\"\r\n\"caf\xE9, bar\"\r\n"
              "\"404.htm\"\r\n\"20\"\r\n\"200\"\r\n1\r\n1\r\n1\r\n6\r\n1\r\n1\r\n1\r\n0\r\n0\r\n4\r\n"
              "#FALSE#\r\n-2147483633\r\n");
}

TEST_F(StateFile, ReplacesExistingFileCompletely) {
    Write(std::string(5000, 'x'));
    std::string err;
    ASSERT_TRUE(SaveState(Settings{}, path_, err));
    EXPECT_EQ(Read(), kDefaultFile);
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
}

TEST_F(StateFile, ReadOnlyFileIsReportedAndKept) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores file permissions";
    Write("old");
    fs::permissions(path_, fs::perms::owner_read);
    std::string err;
    EXPECT_FALSE(SaveState(Settings{}, path_, err));
    EXPECT_EQ(err, "Permission denied");
    EXPECT_EQ(Read(), "old");
}

TEST_F(StateFile, FailedReplaceLeavesNoWorkingFile) {
    // A folder where the file should be: the new contents are written but
    // cannot take its place.
    fs::create_directory(path_);
    std::string err;
    EXPECT_FALSE(SaveState(Settings{}, path_, err));
    EXPECT_EQ(err, "Is a directory");
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
    EXPECT_TRUE(fs::is_directory(path_));
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
    EXPECT_TRUE(RestoreState(s, path_));
}

TEST_F(StateFile, MissingFolderIsReported) {
    std::string err;
    EXPECT_FALSE(SaveState(Settings{}, dir_ / "no/zelk.usr", err));
    EXPECT_EQ(err, "No such file or directory");
}

// --- Reading ---

TEST_F(StateFile, RoundTripRestoresEveryStoredField) {
    std::string err;
    ASSERT_TRUE(SaveState(Changed(), path_, err));
    Settings s;
    ASSERT_TRUE(RestoreState(s, path_));
    const Settings c = Changed();
    EXPECT_EQ(s.VPMT, c.VPMT);
    EXPECT_EQ(s.InputFile, c.InputFile);
    EXPECT_EQ(s.Folder, c.Folder);
    EXPECT_EQ(s.BeginMetaTagWith, c.BeginMetaTagWith);
    EXPECT_EQ(s.ExcludedFilepaths, c.ExcludedFilepaths);
    EXPECT_EQ(s.MaxNumKeywordsInMetaTag, "20");
    EXPECT_EQ(s.MaxNumBytesInMetaTag, "200");
    EXPECT_EQ(StateFileText(s), StateFileText(c));
}

TEST_F(StateFile, MissingFileFails) {
    Settings s;
    EXPECT_FALSE(RestoreState(s, path_));
}

TEST_F(StateFile, EmptyOrBlankFirstLineIsAccepted) {
    for (const char* first : {"", "   "}) {
        Write(WithLine(1, first));
        Settings s;
        EXPECT_TRUE(RestoreState(s, path_));
        EXPECT_EQ(s.VPMT, "");
    }
}

TEST_F(StateFile, CapitalMetaIsAcceptedAndTrailingBlanksTrimmed) {
    Write(WithLine(1, "<META NAME=\"viewport\" content=\"width=600\">  "));
    Settings s;
    s.VPMT.clear();
    EXPECT_TRUE(RestoreState(s, path_));
    EXPECT_EQ(s.VPMT, "<META NAME=\"viewport\" content=\"width=600\">");
}

TEST_F(StateFile, ForeignFirstLineIsRefusedBeforeAnythingIsPlaced) {
    Write(WithLine(1, " <meta name=\"viewport\">"));
    Settings s = Changed();
    EXPECT_FALSE(RestoreState(s, path_));
    EXPECT_EQ(StateFileText(s), StateFileText(Changed()));
    Write("[settings]\r\n");
    EXPECT_FALSE(RestoreState(s, path_));
}

TEST_F(StateFile, LanguageSevenFailsAfterTheEarlierLines) {
    std::string f = WithLine(11, "7");
    f = f.replace(f.find("\"\"\r\n"), 4, "\"/a.htm\"\r\n");
    Write(f);
    Settings s;
    s.Language = 3;
    s.InsertKWMT = 1;
    EXPECT_FALSE(RestoreState(s, path_));
    EXPECT_EQ(s.InputFile, "/a.htm");  // placed before the failure
    EXPECT_EQ(s.InsertKWMT, 0);         // line 9, placed
    EXPECT_EQ(s.Language, 3);           // refused value leaves the control alone
    SetDefaultValues(s);
    EXPECT_EQ(s.Language, 0);
    EXPECT_EQ(s.InputFile, "/a.htm");   // defaults leave the variable alone
}

TEST_F(StateFile, LanguageSixAndNegativeIndexes) {
    Write(WithLine(11, "6"));
    Settings s;
    EXPECT_TRUE(RestoreState(s, path_));
    EXPECT_EQ(s.Language, 6);
    Write(WithLine(11, "-1"));
    EXPECT_FALSE(RestoreState(s, path_));
    Write(WithLine(17, "5"));
    EXPECT_FALSE(RestoreState(s, path_));
    Write(WithLine(17, "4"));
    EXPECT_TRUE(RestoreState(s, path_));
    EXPECT_EQ(s.Pause, 4);
}

TEST_F(StateFile, Line18Variants) {
    for (const char* v : {"#TRUE#", "", "\"\"", "#false#", "0"}) {
        Write(WithLine(18, v));
        Settings s;
        s.SingleFile = false;
        EXPECT_TRUE(RestoreState(s, path_)) << v;
        EXPECT_TRUE(s.SingleFile) << v;
    }
    for (const char* v : {"#FALSE#", "\"#FALSE#\"", "#FALSE#   "}) {
        Write(WithLine(18, v));
        Settings s;
        EXPECT_TRUE(RestoreState(s, path_)) << v;
        EXPECT_FALSE(s.SingleFile) << v;
    }
}

TEST_F(StateFile, CheckBoxValueThreeFails) {
    Write(WithLine(8, "3"));
    Settings s;
    EXPECT_FALSE(RestoreState(s, path_));
    Write(WithLine(8, "2"));
    EXPECT_TRUE(RestoreState(s, path_));
    EXPECT_EQ(s.ForwardSlash, 2);
}

TEST_F(StateFile, NumbersAreTheLeadingNumberOfTheText) {
    std::string f = WithLine(9, "1abc");
    Write(f);
    Settings s;
    ASSERT_TRUE(RestoreState(s, path_));
    EXPECT_EQ(s.InsertKWMT, 1);
    Write(WithLine(9, "yes"));
    ASSERT_TRUE(RestoreState(s, path_));
    EXPECT_EQ(s.InsertKWMT, 0);
    Write(WithLine(19, "99999999999"));
    EXPECT_FALSE(RestoreState(s, path_));
}

TEST_F(StateFile, ShortFileFailsAtItsEnd) {
    std::string f = kDefaultFile.substr(0, kDefaultFile.rfind("14737632"));
    f.replace(f.find("\"\"\r\n"), 4, "\"/x.htm\"\r\n");
    Write(f);
    Settings s;
    s.SingleFile = false;
    EXPECT_FALSE(RestoreState(s, path_));
    EXPECT_EQ(s.InputFile, "/x.htm");
    EXPECT_TRUE(s.SingleFile);  // line 18 was read before the end
}

TEST_F(StateFile, LastLineWithoutLineEndIsRead) {
    Write(kDefaultFile.substr(0, kDefaultFile.size() - 2));
    Settings s;
    s.BackColor = 1;
    EXPECT_TRUE(RestoreState(s, path_));
    EXPECT_EQ(s.BackColor, 14737632);
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

TEST_F(StateFile, QuotedTextEndsAtCommaOrLineEnd) {
    Write(WithLine(4, "\"a\" , \"b\""));
    Settings s;
    EXPECT_FALSE(RestoreState(s, path_));
    EXPECT_EQ(s.BeginMetaTagWith, "a");
    EXPECT_EQ(s.ExcludedFilepaths, "b");
}

TEST_F(StateFile, UnquotedTextRunsToTheEndOfTheLine) {
    Write(WithLine(5, "a, b \"c\""));
    Settings s;
    EXPECT_TRUE(RestoreState(s, path_));
    EXPECT_EQ(s.ExcludedFilepaths, "a, b \"c\"");
}

TEST_F(StateFile, FolderBoxForcesMultipleFilesAfterAGoodRead) {
    Write(kDefaultFile);
    Settings s;
    std::vector<int> lines;
    EXPECT_TRUE(RestoreState(s, path_, "/site", [&](int n) { lines.push_back(n); }));
    EXPECT_FALSE(s.SingleFile);
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines.front(), 1);
    EXPECT_EQ(lines.back(), 20);
}

TEST_F(StateFile, PlacedReportsStopAtTheFailure) {
    Write(WithLine(11, "9"));
    Settings s;
    std::vector<int> lines;
    EXPECT_FALSE(RestoreState(s, path_, "", [&](int n) { lines.push_back(n); }));
    EXPECT_EQ(lines, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

// --- Defaults ---

TEST(SettingsDefaults, ResetTouchesExactlyTheResettableFields) {
    Settings s = Changed();
    s.TitleWeight = s.BoldWeight = s.SpanWeight = 0;
    s.ShortWordSize = s.ThresholdFrequency = 8;
    s.Confirm = 0;
    s.PreserveCase = 1;
    s.IgnoreCommonWords = 0;
    s.IgnoreShortWords = 0;
    s.LargeWindow = 1;
    s.DialogBoxForUnixFiles = 0;
    SetDefaultValues(s);
    // The file's fields: reset, except the paths, the tag boxes, the mode
    // and the colour.
    EXPECT_EQ(StateFileText(s),
              "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">\r\n"
              "\"/home/ann/site/index.htm\"\r\n\"/home/ann/site\"\r\n\"\"\r\n\"\"\r\n\"15\"\r\n"
              "\"150\"\r\n0\r\n1\r\n1\r\n0\r\n0\r\n0\r\n0\r\n1\r\n1\r\n2\r\n#FALSE#\r\n-2147483633\r\n");
    const Settings d;
    EXPECT_EQ(s.TitleWeight, d.TitleWeight);
    EXPECT_EQ(s.BoldWeight, d.BoldWeight);
    EXPECT_EQ(s.SpanWeight, d.SpanWeight);
    EXPECT_EQ(s.ShortWordSize, d.ShortWordSize);
    EXPECT_EQ(s.ThresholdFrequency, d.ThresholdFrequency);
    EXPECT_EQ(s.Confirm, 1);
    // Left alone.
    EXPECT_EQ(s.PreserveCase, 1);
    EXPECT_EQ(s.IgnoreCommonWords, 0);
    EXPECT_EQ(s.IgnoreShortWords, 0);
    EXPECT_EQ(s.LargeWindow, 1);
    EXPECT_EQ(s.DialogBoxForUnixFiles, 0);
}

// --- Data folder ---

class DataFolder : public StateFile {
protected:
    void SetUp() override {
        StateFile::SetUp();
        const char* x = std::getenv("XDG_CONFIG_HOME");
        const char* h = std::getenv("HOME");
        hadXdg_ = x != nullptr;
        if (x) xdg_ = x;
        if (h) home_ = h;
    }
    void TearDown() override {
        if (hadXdg_) ::setenv("XDG_CONFIG_HOME", xdg_.c_str(), 1);
        else ::unsetenv("XDG_CONFIG_HOME");
        ::setenv("HOME", home_.c_str(), 1);
        StateFile::TearDown();
    }
    bool hadXdg_ = false;
    std::string xdg_, home_;
};

TEST_F(DataFolder, XdgConfigHomeWinsAndFolderIsCreated) {
    ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    std::string err;
    const std::string p = DataFilepath(StateFileName("Zelk"), "zelk", err);
    EXPECT_EQ(err, "");
    EXPECT_EQ(p, dir_ / "config/zelk/zelk.usr");
    EXPECT_TRUE(fs::is_directory(dir_ / "config/zelk"));
    EXPECT_EQ(DataFilepath("zelk.usr", "zelk", err), p);  // existing folder is fine
}

TEST_F(DataFolder, HomeIsUsedWhenXdgIsUnsetOrRelative) {
    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    ::setenv("HOME", dir_.path().c_str(), 1);
    std::string err;
    EXPECT_EQ(DataFilepath("zelk.usr", "zelk", err), dir_ / ".config/zelk/zelk.usr");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(DataFilepath("zelk.usr", "zelk", err), dir_ / ".config/zelk/zelk.usr");
}

TEST_F(DataFolder, FolderThatCannotBeCreatedIsReported) {
    Write("a file where the folder should be");
    ::setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
    std::string err;
    EXPECT_EQ(DataFilepath("zelk.usr", "zelk", err), "");
    EXPECT_EQ(err.rfind("The folder for the settings of this program cannot be created:\r\n" + path_ +
                            "/zelk\r\n", 0),
              0u)
        << err;
    EXPECT_EQ(err.substr(err.size() - 30), ".\r\nSettings will not be saved.");
}

}  // namespace
}  // namespace zelk
