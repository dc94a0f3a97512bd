#include "shell/ProgramText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/TempDir.h"

namespace zelk {
namespace {

class ProgramTextFile : public ::testing::Test {
protected:
    // Loads and returns the failure message ("" on success).
    std::string Load(const std::string& bytes) {
        testing::WriteBytes(path_, bytes);
        std::string message;
        texts_.LoadProgramText(path_, message);
        return message;
    }
    testing::TempDir dir_;
    std::string path_ = dir_ / "zelk.dat";
    ProgramText texts_;
};

TEST_F(ProgramTextFile, LoadsNumberedTextsWithCommentsBothLineEndsAndTildes) {
    const std::string max(1024, 'a');
    EXPECT_EQ(Load("# comment\r\n1\tzelk\r\n\r\n   \n2\t~\r\n3\t~~\n4\t ~\n7\t" + max +
                   "\n310\t caf\xE9 \t"),
              "");
    EXPECT_EQ(_lt(path_, 0), 6);
    EXPECT_EQ(texts_.GetProgramText(1), "zelk");
    EXPECT_EQ(texts_.GetProgramText(2), "");  // "~" means empty, other tildes stay
    EXPECT_EQ(texts_.GetProgramText(3), "~~");
    EXPECT_EQ(texts_.GetProgramText(4), " ~");
    EXPECT_EQ(texts_.GetProgramText(7), max);
    EXPECT_EQ(texts_.GetProgramText(310), " caf\xE9 \t");
    EXPECT_EQ(texts_.GetProgramText(5), "");
    EXPECT_EQ(texts_.GetProgramText(-1), "");
    // A copy into a caller's buffer: at most its size, terminated only when asked.
    char buf[8];
    std::fill(buf, buf + 8, 'X');
    EXPECT_EQ(_gt(1, 0, buf, 3, 1), 3);
    EXPECT_EQ(std::string(buf, 4), "zelX");
    EXPECT_EQ(_gt(1, 0, buf, 8, 0), 4);
    EXPECT_STREQ(buf, "zelk");
    EXPECT_EQ(_gt(1, 1, buf, 8, 1), 0);  // no other language
    EXPECT_EQ(_gt(9, 0, nullptr, 8, 1), -1);
    EXPECT_EQ(_gt(1, 0, buf, 0, 1), -1);
}

TEST_F(ProgramTextFile, FailuresGiveTheirMessageAndLeaveNoTexts) {
    std::string many = "1\tx\r\n";
    for (int i = 0; i <= kProgramTextMaxLines; ++i) many += "#\r\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "File is empty."},
        {"# nothing here\r\n\r\n", "No program text was read."},
        {"1\ta\r\n2\tb\r\n1\tc\r\n", "Duplicate in program text at line 3."},
        {"# c\r\n5\r\n", "Missing string at line 2."},
        {"5\t\r\n", "Missing string at line 1."},
        {"1\tx\r\n7\t" + std::string(1025, 'a') + "\r\n", "String too long at line 2."},
        {"1\tok\r\nhello\r\n", "Error -9"},
        {"1 no tab\r\n", "Error -9"},
        {"40000\tbig\r\n", "Error -9"},
        {many, "Too much program text."},
    };
    for (const auto& [file, message] : cases) {
        EXPECT_EQ(Load("1\tzelk\r\n"), "");
        EXPECT_EQ(Load(file), message);
        EXPECT_EQ(texts_.GetProgramText(1), "") << message;
    }
    std::string message;
    EXPECT_FALSE(texts_.LoadProgramText(dir_.path(), message));
    EXPECT_EQ(message, "Cannot open file containing program text.\r\n" + dir_.path());
}

TEST(ProgramTextMessages, CodesNoFileGives) {
    const std::vector<std::pair<int, std::string>> rows = {
        {-1, "Cannot open file containing program text.\r\n/opt/zelk/zelk.dat"},
        {-2, "Particular memory allocation error."}, {-4, "Text not recovered."},
        {-5, "Error -5"}, {-7, "Error reading file."}, {-8, "General memory allocation error."},
        {-500, "Error -500"}, {-1000, "Missing string at line 500."},
        {-1500, "String too long at line 500."}, {-1512, "Duplicate in program text at line 12."},
    };
    for (const auto& [code, text] : rows)
        EXPECT_EQ(ProgramTextLoadMessage(code, "/opt/zelk/zelk.dat"), text) << code;
}

// --- The shipped file ---

TEST(ShippedProgramTexts, LoadAndHoldWhatTheProgramAsks) {
    ProgramText texts;
    std::string message;
    ASSERT_TRUE(texts.LoadProgramText(std::string(ZELK_SOURCE_DATA_DIR) + "/zelk.dat", message))
        << message;
    EXPECT_EQ(texts.GetProgramText(text::ListWordsCaption), "List words");
    EXPECT_EQ(texts.GetProgramText(text::PublisherPage), "zelk-about.html");
    EXPECT_EQ(texts.GetProgramText(text::UserManual), "zelk-manual.html");
    for (int n : {text::HelpLine1, text::HelpLine2, text::HelpTitle, text::CopyButtonCaption})
        EXPECT_NE(texts.GetProgramText(n), "") << n;
    const GlobalValues g = SetGlobalValues(texts);
    EXPECT_EQ(g.ProgramName, "zelk");
    EXPECT_EQ(g.ProgramShortName, "zelk");
    EXPECT_EQ(g.DataFolderName, "zelk");
    EXPECT_EQ(texts.ListNames()[0], "English");
    EXPECT_EQ(texts.ListNames()[6], "all six languages");
}

}  // namespace
}  // namespace zelk
