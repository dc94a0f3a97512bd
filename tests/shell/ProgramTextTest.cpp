// The program text file: its format and the message of each failure a file
// can cause.
#include "shell/ProgramText.h"

#include <gtest/gtest.h>

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
    const std::vector<std::pair<int, std::string>> texts = {
        {1, "zelk"}, {2, ""}, {3, "~~"}, {4, " ~"}, {7, max}, {310, " caf\xE9 \t"}, {5, ""}};
    for (const auto& [n, text] : texts) EXPECT_EQ(texts_.GetProgramText(n), text) << n;
}

// Each failure leaves no texts from an earlier load behind.
TEST_F(ProgramTextFile, FailuresGiveTheirMessageAndLeaveNoTexts) {
    std::string many = "1\tx\r\n";
    for (int i = 0; i <= kProgramTextMaxLines; ++i) many += "#\r\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "File is empty."},
        {"# nothing here\r\n\r\n", "No program text was read."},
        {"1\ta\r\n2\tb\r\n1\tc\r\n", "Duplicate in program text at line 3."},
        {"# c\r\n5\r\n", "Missing string at line 2."},
        {"1\tx\r\n7\t" + std::string(1025, 'a') + "\r\n", "String too long at line 2."},
        {"1\tok\r\nhello\r\n", "Error -9"},
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

}  // namespace
}  // namespace zelk
