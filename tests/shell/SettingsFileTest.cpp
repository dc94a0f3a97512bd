// The settings file: its bytes, its rewrite through the safe write path, the
// reading of damaged and hand-edited files, the defaults and its folder.
#include "shell/SettingsFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <vector>

#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;
using namespace testing;

const std::string kDefaultFile =
    "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">\r\n"
    "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"15\"\r\n\"150\"\r\n"
    "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n1\r\n2\r\n#TRUE#\r\n14737632\r\n";
// Every line away from its default.
const std::string kChangedFile =
    "<meta name=\"viewport\" content=\"width=500\">\r\n"
    "\"/home/ann/site/index.htm\"\r\n\"/home/ann/site\"\r\n\"caf\xE9, bar\"\r\n\"404.htm\"\r\n"
    "\"20\"\r\n\"200\"\r\n1\r\n1\r\n1\r\n6\r\n1\r\n1\r\n1\r\n0\r\n0\r\n4\r\n#FALSE#\r\n-"
    "2147483633\r\n";

class StateFile : public ::testing::Test {
protected:
    // The default file with line n (1-based) replaced.
    static std::string WithLine(int n, const std::string& text) {
        std::string out, line;
        std::istringstream in(kDefaultFile);
        for (int i = 1; std::getline(in, line); ++i)
            out += (i == n ? text : line.substr(0, line.size() - 1)) + "\r\n";
        return out;
    }
    // Reads the file holding bytes into s.
    bool Restore(Settings& s, const std::string& bytes) {
        WriteBytes(path_, bytes);
        return RestoreState(s, path_);
    }
    TempDir dir_;
    std::string path_ = dir_ / "zelk.usr";
};

TEST_F(StateFile, ReadWrittenAgainByteForByteAndReset) {
    Settings s;
    ASSERT_TRUE(Restore(s, kChangedFile));
    EXPECT_EQ(s.BeginMetaTagWith, "caf\xE9, bar");
    EXPECT_EQ(std::vector<int>({s.ForwardSlash, s.Language, s.Pause, s.SingleFile, s.BackColor}),
              std::vector<int>({1, 6, 4, 0, -2147483633}));
    WriteBytes(path_, std::string(5000, 'x'));
    std::string err;
    ASSERT_TRUE(SaveState(s, path_, err)) << err;
    EXPECT_EQ(ReadBytes(path_), kChangedFile);
    EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"zelk.usr"});
    // Reset keeps the paths, the ticked tags, the mode and the colour.
    SetDefaultValues(s);
    EXPECT_EQ(
        StateFileText(s),
        "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">\r\n"
        "\"/home/ann/site/index.htm\"\r\n\"/home/ann/site\"\r\n\"\"\r\n\"\"\r\n\"15\"\r\n"
        "\"150\"\r\n0\r\n1\r\n1\r\n0\r\n0\r\n0\r\n0\r\n1\r\n1\r\n2\r\n#FALSE#\r\n-2147483633\r\n");
}

TEST_F(StateFile, SaveGoesThroughTheSafePathAndSaysWhyItFailed) {
    // The new file must be on the device before it replaces the old one:
    // a failing flush keeps the old file and says why.
    WriteBytes(path_, kChangedFile);
    std::string err;
    FaultyFileSystem faulty(RealFileSystem());
    faulty.FailAt(FaultyFileSystem::Step::Sync, 1, ENOSPC);
    EXPECT_FALSE(SaveState(Settings{}, path_, err, faulty));
    EXPECT_EQ(err, "No space left on device");
    EXPECT_EQ(ReadBytes(path_), kChangedFile);
    // A link at the working name is removed, not followed.
    WriteBytes(dir_ / "other", "other");
    fs::create_symlink(dir_ / "other", path_ + ".tmp");
    EXPECT_TRUE(SaveState(Settings{}, path_, err)) << err;
    EXPECT_EQ(ReadBytes(path_), kDefaultFile);
    EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"other", "zelk.usr"}));
    EXPECT_EQ(ReadBytes(dir_ / "other"), "other");
}

TEST_F(StateFile, EachLineIsReadAndWrittenBackInItsForm) {
    struct Row {
        int line;
        std::string text;
        bool ok;
        std::string savedAs;  // the line as the restored settings write it
    };
    const std::vector<Row> rows = {
        {1, "   ", true, ""},
        {1, "<META NAME=\"viewport\" content=\"width=600\">  ", true,
         "<META NAME=\"viewport\" content=\"width=600\">"},
        {1, " <meta name=\"viewport\">", false, ""},
        {5, "a, b \"c\"", true, "\"a, b \"c\"\""},  // unquoted: to the end of the line
        {8, "2", true, "2"},
        {8, "3", false, ""},
        {9, "1abc", true, "1"},  // the leading number of the text
        {9, "yes", true, "0"},
        {17, "5", false, ""},
        {18, "#false#", true, "#TRUE#"},
        {18, "#FALSE#   ", true, "#FALSE#"},
        {18, "\"#FALSE#\"", true, "#FALSE#"},
        {19, "99999999999", false, ""},
    };
    for (const Row& r : rows) {
        Settings s;
        EXPECT_EQ(Restore(s, WithLine(r.line, r.text)), r.ok) << r.line << ": " << r.text;
        if (r.ok) {
            EXPECT_EQ(StateFileText(s), WithLine(r.line, r.savedAs)) << r.text;
        }
    }
    // The last line needs no line end; a missing or unreadable file is no file.
    Settings s;
    EXPECT_TRUE(Restore(s, kDefaultFile.substr(0, kDefaultFile.size() - 2)));
    FaultyFileSystem faulty(RealFileSystem());
    faulty.FailAt(FaultyFileSystem::Step::Read);
    EXPECT_FALSE(RestoreState(s, path_, faulty));
    EXPECT_TRUE(faulty.Fired());
    EXPECT_FALSE(RestoreState(s, dir_ / "missing.usr"));
}

// The caller then puts back the defaults, which leave the paths, the ticked
// tags and the mode as the lines before the failure placed them.
TEST_F(StateFile, FailedReadKeepsTheLinesBeforeTheFailure) {
    // Language 7 on line 11: lines 1 to 10 are placed, line 11 is not.
    std::string f = WithLine(11, "7");
    Settings s;
    s.Language = 3;
    s.InsertKWMT = 1;
    EXPECT_FALSE(Restore(s, f.replace(f.find("\"\"\r\n"), 4, "\"/a.htm\"\r\n")));
    EXPECT_EQ(s.InputFile, "/a.htm");
    EXPECT_EQ(s.InsertKWMT, 0);
    EXPECT_EQ(s.Language, 3);
    // A quoted text ends at its closing quote, and what follows starts the
    // next value; a quote inside a saved text therefore shifts the values
    // after it until a number lands on a check box.
    s.BeginMetaTagWith = "say \"hi\"";
    std::string err;
    ASSERT_TRUE(SaveState(s, path_, err));
    EXPECT_FALSE(RestoreState(s, path_));
    EXPECT_EQ(s.BeginMetaTagWith, "say ");
    EXPECT_EQ(s.ExcludedFilepaths, "hi\"\"");
}

// Where the settings file lives when XDG_CONFIG_HOME is not an absolute path
// (the GUI tests run with an absolute one); a file left in the earlier place
// is copied over once, never over a newer one; the message when the folder
// cannot be made (the window shows it once).
TEST(DataFolder, HomeConfigFolderCarryOverAndTheFailureMessage) {
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        saved.emplace_back(
            name, std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt);
    TempDir dir;
    ::setenv("HOME", dir.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    fs::create_directories(dir / "data/zelk");
    const std::string old = dir.Write("data/zelk/zelk.usr", "old\r\n");
    std::string err;
    const std::string path = DataFilepath(StateFileName("Zelk"), "zelk", err);
    EXPECT_EQ(path, dir / ".config/zelk/zelk.usr");
    EXPECT_EQ(ReadBytes(path), "old\r\n");
    EXPECT_EQ(ReadBytes(old), "old\r\n");
    WriteBytes(path, "new\r\n");
    EXPECT_EQ(DataFilepath("zelk.usr", "zelk", err), path);
    EXPECT_EQ(ReadBytes(path), "new\r\n");
    ::setenv("XDG_CONFIG_HOME", dir.Write("file", "a file where the folder should be").c_str(), 1);
    EXPECT_EQ(DataFilepath("zelk.usr", "zelk", err), "");
    EXPECT_EQ(err, "The folder for the settings of this program cannot be created:\r\n" +
                       dir / "file" + "/zelk\r\nNot a directory.\r\nSettings will not be saved.");
    for (const auto& [name, value] : saved)
        value ? (void)::setenv(name.c_str(), value->c_str(), 1) : (void)::unsetenv(name.c_str());
}

}  // namespace
}  // namespace zelk
