#include "shell/ProgramText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/TempDir.h"

namespace zelk {
namespace {

class ProgramTextFile : public ::testing::Test {
protected:
    void Write(const std::string& bytes) { testing::WriteBytes(path_, bytes); }
    // Loads and returns the failure message ("" on success).
    std::string Load(const std::string& bytes) {
        Write(bytes);
        std::string message;
        texts_.LoadProgramText(path_, message);
        return message;
    }
    testing::TempDir dir_;
    std::string path_ = dir_ / "zelk.dat";
    ProgramText texts_;
};

// --- Loading ---

TEST_F(ProgramTextFile, LoadsNumberedTextsWithCommentsAndBothLineEnds) {
    EXPECT_EQ(Load("# comment\r\n1\tzelk\r\n\r\n   \n2\tsecond line\n310\t caf\xE9 \t"), "");
    EXPECT_EQ(_lt(path_, 0), 3);
    EXPECT_EQ(texts_.GetProgramText(1), "zelk");
    EXPECT_EQ(texts_.GetProgramText(2), "second line");
    EXPECT_EQ(texts_.GetProgramText(310), " caf\xE9 \t");
    EXPECT_EQ(texts_.GetProgramText(3), "");
    EXPECT_EQ(texts_.GetProgramText(-1), "");
}

TEST_F(ProgramTextFile, MissingFileNamesThePathOnASecondLine) {
    std::string message;
    EXPECT_FALSE(texts_.LoadProgramText(path_, message));
    EXPECT_EQ(message, "Cannot open file containing program text.\r\n" + path_);
    EXPECT_FALSE(texts_.LoadProgramText(dir_.path(), message));
    EXPECT_EQ(message, "Cannot open file containing program text.\r\n" + dir_.path());
}

TEST_F(ProgramTextFile, EmptyFileAndOnlyComments) {
    EXPECT_EQ(Load(""), "File is empty.");
    EXPECT_EQ(Load("# nothing here\r\n\r\n"), "No program text was read.");
}

TEST_F(ProgramTextFile, DuplicateNumberGivesItsLine) {
    EXPECT_EQ(Load("1\ta\r\n2\tb\r\n1\tc\r\n"), "Duplicate in program text at line 3.");
    EXPECT_EQ(_lt(path_, 0), -1503);
}

TEST_F(ProgramTextFile, NumberWithoutTextIsAMissingString) {
    EXPECT_EQ(Load("# c\r\n5\r\n"), "Missing string at line 2.");
    EXPECT_EQ(Load("5\t\r\n"), "Missing string at line 1.");
    EXPECT_EQ(_lt(path_, 0), -501);
}

TEST_F(ProgramTextFile, TextOf1024IsKeptAnd1025IsTooLong) {
    const std::string max(1024, 'a');
    EXPECT_EQ(Load("7\t" + max + "\r\n"), "");
    EXPECT_EQ(texts_.GetProgramText(7), max);
    EXPECT_EQ(Load("1\tx\r\n7\t" + max + "b\r\n"), "String too long at line 2.");
    EXPECT_EQ(_lt(path_, 0), -1002);
}

TEST_F(ProgramTextFile, MalformedLineAndTooManyLines) {
    EXPECT_EQ(Load("1\tok\r\nhello\r\n"), "Error -9");
    EXPECT_EQ(Load("1 no tab\r\n"), "Error -9");
    EXPECT_EQ(Load("40000\tbig\r\n"), "Error -9");
    std::string many;
    for (int i = 0; i <= kProgramTextMaxLines; ++i) many += "#\r\n";
    EXPECT_EQ(Load("1\tx\r\n" + many), "Too much program text.");
}

TEST_F(ProgramTextFile, FailedLoadLeavesNoTexts) {
    EXPECT_EQ(Load("1\tzelk\r\n"), "");
    EXPECT_EQ(Load("1\tzelk\r\n1\tagain\r\n"), "Duplicate in program text at line 2.");
    EXPECT_EQ(texts_.GetProgramText(1), "");
}

// --- The failure messages for every code ---

TEST(ProgramTextMessages, EveryCode) {
    EXPECT_EQ(ProgramTextLoadMessage(0, "p"), "No program text was read.");
    EXPECT_EQ(ProgramTextLoadMessage(-1, "/opt/zelk/zelk.dat"),
              "Cannot open file containing program text.\r\n/opt/zelk/zelk.dat");
    EXPECT_EQ(ProgramTextLoadMessage(-2, "p"), "Particular memory allocation error.");
    EXPECT_EQ(ProgramTextLoadMessage(-3, "p"), "Too much program text.");
    EXPECT_EQ(ProgramTextLoadMessage(-4, "p"), "Text not recovered.");
    EXPECT_EQ(ProgramTextLoadMessage(-5, "p"), "Error -5");
    EXPECT_EQ(ProgramTextLoadMessage(-6, "p"), "File is empty.");
    EXPECT_EQ(ProgramTextLoadMessage(-7, "p"), "Error reading file.");
    EXPECT_EQ(ProgramTextLoadMessage(-8, "p"), "General memory allocation error.");
    EXPECT_EQ(ProgramTextLoadMessage(-9, "p"), "Error -9");
    EXPECT_EQ(ProgramTextLoadMessage(-500, "p"), "Error -500");
    EXPECT_EQ(ProgramTextLoadMessage(-501, "p"), "Missing string at line 1.");
    EXPECT_EQ(ProgramTextLoadMessage(-1000, "p"), "Missing string at line 500.");
    EXPECT_EQ(ProgramTextLoadMessage(-1001, "p"), "String too long at line 1.");
    EXPECT_EQ(ProgramTextLoadMessage(-1500, "p"), "String too long at line 500.");
    EXPECT_EQ(ProgramTextLoadMessage(-1501, "p"), "Duplicate in program text at line 1.");
    EXPECT_EQ(ProgramTextLoadMessage(-1512, "p"), "Duplicate in program text at line 12.");
}

// --- Retrieval ---

TEST_F(ProgramTextFile, TildeMeansEmptyButTwoTildesStay) {
    EXPECT_EQ(Load("1\t~\r\n2\t~~\r\n3\t ~\r\n"), "");
    EXPECT_EQ(texts_.GetProgramText(1), "");
    EXPECT_EQ(texts_.GetProgramText(2), "~~");
    EXPECT_EQ(texts_.GetProgramText(3), " ~");
}

TEST_F(ProgramTextFile, GtCopiesAtMostSizeAndTerminatesOnlyWhenAsked) {
    ASSERT_EQ(Load("9\thello\r\n"), "");
    char buf[8];
    std::fill(buf, buf + 8, 'X');
    EXPECT_EQ(_gt(9, 0, buf, 3, 1), 3);
    EXPECT_EQ(std::string(buf, 4), "helX");
    EXPECT_EQ(_gt(9, 0, buf, 8, 0), 5);
    EXPECT_STREQ(buf, "hello");
    EXPECT_EQ(_gt(9, 1, buf, 8, 1), 0);  // no other language
    EXPECT_EQ(_gt(8, 0, buf, 8, 1), 0);
    EXPECT_EQ(_gt(9, 0, nullptr, 8, 1), -1);
    EXPECT_EQ(_gt(9, 0, buf, 0, 1), -1);
}

TEST(ProgramTextGlobals, VersionStringAndPath) {
    EXPECT_EQ(VersionString(1, 0), "1.07");
    EXPECT_EQ(VersionString(14, 2), "14.27");
    EXPECT_EQ(ProgramTextPath("/opt/zelk", "zelk.dat"), "/opt/zelk/zelk.dat");
    EXPECT_EQ(ProgramTextPath("/opt/zelk/", "zelk.dat"), "/opt/zelk/zelk.dat");
}

// --- The shipped file ---

TEST(ShippedProgramTexts, LoadAndHoldWhatTheProgramAsks) {
    ProgramText texts;
    std::string message;
    ASSERT_TRUE(texts.LoadProgramText(std::string(ZELK_SOURCE_DATA_DIR) + "/zelk.dat", message))
        << message;
    EXPECT_EQ(texts.GetProgramText(text::ProgramName), "zelk");
    EXPECT_EQ(texts.GetProgramText(text::ProgramShortName), "zelk");
    EXPECT_EQ(texts.GetProgramText(text::DataFolderName), "zelk");
    EXPECT_EQ(texts.GetProgramText(text::ListWordsCaption), "List words");
    EXPECT_EQ(texts.GetProgramText(text::PublisherPage), "zelk-about.html");
    EXPECT_EQ(texts.GetProgramText(text::UserManual), "zelk-manual.html");
    for (int n : {text::HelpLine1, text::HelpLine2, text::HelpTitle, text::CopyButtonCaption})
        EXPECT_NE(texts.GetProgramText(n), "") << n;
    const GlobalValues g = SetGlobalValues(texts);
    EXPECT_EQ(g.ProgramName, "zelk");
    EXPECT_EQ(g.ProgramShortName, "zelk");
    EXPECT_EQ(g.DataFolderName, "zelk");
    EXPECT_EQ(g.VersionString, VersionString(ZELK_VERSION_MAJOR, ZELK_VERSION_MINOR));
    EXPECT_EQ(texts.ListNames()[0], "English");
    EXPECT_EQ(texts.ListNames()[6], "all six languages");
}

}  // namespace
}  // namespace zelk
