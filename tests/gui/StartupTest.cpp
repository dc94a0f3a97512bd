// Start-up of the main window: no settings file, a valid one, a damaged one,
// a missing program text file, an unusable settings folder; Save, Reset and
// Quit with the settings file they leave behind.
#include "Boxes.h"

#include "analysis/CommonWords.h"
#include "batch/gui/FrmParameters.h"

namespace zelk::test {
namespace {

const std::string kDefaultTag =
    "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">";

std::string DefaultsFile() {
    return kDefaultTag +
           "\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"15\"\r\n\"150\"\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
           "1\r\n1\r\n2\r\n#TRUE#\r\n14737632\r\n";
}

using StartupTest = MainWindowTest;

TEST_F(StartupTest, NoSettingsFileGivesTheDefaultsSilently) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(frm->windowTitle().toStdString(), "zelk 1.07");
    EXPECT_EQ(frm->focusWidget(), frm->cmdInputFile);
    // The lists and boxes the settings file does not hold.
    const std::vector<std::pair<QComboBox*, const char*>> lists = {
        {frm->cboTitleWeight, "90"}, {frm->cboBoldWeight, "4"},   {frm->cboTableWeight, "1"},
        {frm->cboDivWeight, "2"},    {frm->cboShortWordSize, "2"}, {frm->cboThresholdFrequency, "2"},
        {frm->cboLanguage, "English"}};
    for (const auto& [list, value] : lists) EXPECT_EQ(list->currentText().toStdString(), value);
    EXPECT_EQ(frm->cboLanguage->itemText(6), "All 6 languages");
    EXPECT_TRUE(frm->chkIgnoreCommonWords->isChecked() && frm->chkIgnoreShortWords->isChecked());
    EXPECT_FALSE(frm->chkPreserveCase->isChecked());
    EXPECT_EQ(Text(frm->cmdCopyMetaTag), "Copy to clipboard");
    EXPECT_EQ(Text(frm->cmdShowExistingKeywordMetaTag), "Show existing keywords, etc.");
    EXPECT_TRUE(std::filesystem::is_directory(StateFile().parent_path()));
    EXPECT_FALSE(std::filesystem::exists(StateFile()));
    EXPECT_EQ(frm->width(), 708);
    EXPECT_EQ(frm->pos(), QPoint(66, 66));
    // Quit, or closing the window, writes the defaults; not when switched off.
    frm->cmdQuit->click();
    EXPECT_EQ(ReadFile(StateFile()), DefaultsFile());
    std::filesystem::remove(StateFile());
    Restart();
    frm->close();
    EXPECT_EQ(ReadFile(StateFile()), DefaultsFile());
    std::filesystem::remove(StateFile());
    Restart();
    frm->Parameters()->chkSaveStateOnQuit->setChecked(false);
    frm->cmdQuit->click();
    EXPECT_FALSE(std::filesystem::exists(StateFile()));
    EXPECT_EQ(quits, 3);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(StartupTest, ProgressTextWhileTheCommonWordListsAreRead) {
    std::vector<std::string> seen;
    desktop.onWait = [&] {
        seen.push_back(frm->OutputText());
        // Busy meanwhile: List words is disabled, the commands too.
        EXPECT_FALSE(frm->cmdListWords->isEnabled());
        EXPECT_FALSE(frm->cmdSave->isEnabled());
    };
    ASSERT_TRUE(Start());
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[0], "Reading common words in English");
    EXPECT_EQ(seen[1], "Reading common words in English, German");
    EXPECT_EQ(seen[6],
              "Reading common words in English, German, Spanish, Portuguese, Italian, French, and "
              "all six languages");
    EXPECT_TRUE(frm->OutputText().empty());
    EXPECT_TRUE(frm->cmdListWords->isEnabled());
    EXPECT_TRUE(frm->cmdSave->isEnabled());
}

TEST_F(StartupTest, QuitWhileTheListsLoadEndsTheWaits) {
    desktop.onWait = [&] {
        if (desktop.waits.size() == 1) frm->cmdQuit->click();
    };
    ASSERT_TRUE(Start());
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(desktop.waits.size(), 1u);  // no wait after Quit
    EXPECT_FALSE(frm->isVisible());
}

TEST_F(StartupTest, ValidSettingsFileIsRestoredButTheKeywordLimitGoesBackTo15) {
    std::filesystem::create_directories(StateFile().parent_path());
    WriteFile(StateFile(),
              "<META name=\"viewport\" content=\"width=500\">\r\n\"/a.htm\"\r\n\"/srv/www\"\r\n\"Begin\"\r\n"
              "\"404.htm\"\r\n\"20\"\r\n\"200\"\r\n1\r\n1\r\n1\r\n2\r\n1\r\n1\r\n0\r\n1\r\n0\r\n4\r\n#TRUE#\r\n255\r\n");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(frm->txbInputFile->text(), "/a.htm");
    EXPECT_TRUE(frm->txbFolder->text().isEmpty());
    EXPECT_EQ(frm->txbMaxNumKeywordsInMetaTag->text(), "15");
    EXPECT_EQ(frm->txbMaxNumBytesInMetaTag->text(), "200");
    EXPECT_EQ(frm->cboLanguage->currentText(), "German");
    EXPECT_EQ(frm->Parameters()->cboPause->currentText(), "5");
    // Both tags ticked, nothing analysed yet: neither command button shows.
    EXPECT_FALSE(Shown(frm->cmdGenerateKeywordMetaTag) || Shown(frm->cmdInsert));
}

TEST_F(StartupTest, FalseOnLine18SelectsMultipleFilesWithTheFolder) {
    std::filesystem::create_directories(StateFile().parent_path());
    std::string file = DefaultsFile();
    file.replace(file.find("\"\"\r\n\"\""), 6, "\"/a/b.htm\"\r\n\"/srv/www\"");
    WriteFile(StateFile(), file.replace(file.find("#TRUE#"), 6, "#FALSE#"));
    ASSERT_TRUE(Start());
    EXPECT_TRUE(frm->optMultipleFiles->isChecked());
    EXPECT_EQ(frm->txbFolder->text(), "/srv/www");
    EXPECT_TRUE(frm->txbInputFile->text().isEmpty());
    // The settings window for multiple files opens at start-up with a folder.
    EXPECT_TRUE(frm->Parameters()->isVisible());
    EXPECT_EQ(frm->Parameters()->windowTitle(), "Settings for multiple files");
}

TEST_F(StartupTest, DamagedSettingsFileGivesTheDefaultsWithoutMessage) {
    std::filesystem::create_directories(StateFile().parent_path());
    // Line 11 holds a language outside the list: the read fails part-way.
    std::string file = DefaultsFile();
    file.replace(file.find("\"\"\r\n\"\"\r\n\"15"), 4, "\"Begin\"\r\n");
    WriteFile(StateFile(), file.replace(file.find("0\r\n0\r\n0\r\n0"), 10, "1\r\n0\r\n0\r\n7"));
    ASSERT_TRUE(Start());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(frm->cboLanguage->currentIndex(), 0);
    EXPECT_TRUE(frm->txbBeginMetaTagWith->text().isEmpty());
    EXPECT_FALSE(frm->chkForwardSlash->isChecked());
}

TEST_F(StartupTest, MissingProgramTextFileEndsWithTheMessage) {
    TempDir empty;
    programFolder = empty.path().string();
    EXPECT_FALSE(Start());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(Boxes(prompter), (std::vector<Box>{{"Cannot open file containing program text.\r\n" +
                                                      (empty.path() / "zelk.dat").string(),
                                                  "", Icon::Critical}}));
    EXPECT_FALSE(frm->isVisible());
}

TEST_F(StartupTest, UnusableSettingsFolderIsReportedOnceAndNothingIsSaved) {
    // The configuration home is a file: the settings folder cannot be created.
    TempDir t;
    const auto file = t.path() / "not-a-folder";
    WriteFile(file, "x");
    setenv("XDG_CONFIG_HOME", file.c_str(), 1);
    ASSERT_TRUE(Start());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "zelk");
    EXPECT_EQ(prompter.shown[0].icon, Icon::Exclamation);
    EXPECT_NE(prompter.shown[0].text.find(file.string()), std::string::npos);
    frm->cmdSave->click();
    frm->cmdQuit->click();
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(desktop.notices.empty());
    EXPECT_EQ(quits, 1);
}

TEST_F(StartupTest, SaveShowsTheNoticeAndRestartRestores) {
    ASSERT_TRUE(Start());
    frm->chkInsertKWMT->setChecked(true);
    frm->cboLanguage->setCurrentIndex(1);
    frm->txbBeginMetaTagWith->setText("Start");
    frm->txbMaxNumBytesInMetaTag->setText("250");
    frm->Parameters()->chkPreserveExistingVPMT->setChecked(true);
    frm->Parameters()->cboPause->setCurrentIndex(0);
    frm->cmdSave->click();
    ASSERT_EQ(desktop.notices.size(), 1u);
    EXPECT_EQ(desktop.notices[0].message, "Settings saved");
    EXPECT_EQ(ReadFile(StateFile()),
              kDefaultTag +
                  "\r\n\"\"\r\n\"\"\r\n\"Start\"\r\n\"\"\r\n\"15\"\r\n\"250\"\r\n0\r\n1\r\n0\r\n1\r\n0\r\n0\r\n1\r\n"
                  "1\r\n1\r\n0\r\n#TRUE#\r\n14737632\r\n");
    Restart();
    EXPECT_EQ(frm->cboLanguage->currentText(), "French");
    EXPECT_EQ(frm->Parameters()->cboPause->currentIndex(), 0);
}

TEST_F(StartupTest, SaveErrorShowsTheMessageAndNoNotice) {
    ASSERT_TRUE(Start());
    // A folder where the file should be: the write fails.
    std::filesystem::create_directories(StateFile());
    frm->cmdSave->click();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text.rfind("Error when attempting to save settings: ", 0), 0u);
    EXPECT_EQ(prompter.shown[0].title, "List words");
    EXPECT_EQ(prompter.shown[0].icon, Icon::Exclamation);
    EXPECT_TRUE(desktop.notices.empty());
}

TEST_F(StartupTest, ResetPutsTheDefaultsBackAndShowsTheNotice) {
    ASSERT_TRUE(Start());
    frm->chkInsertVPMT->setChecked(true);
    frm->cboBoldWeight->setCurrentIndex(9);
    frm->txbVPMT->setText("<meta name=\"viewport\" content=\"a\">");
    frm->cmdReset->click();
    EXPECT_EQ(frm->cboBoldWeight->currentText(), "4");
    EXPECT_EQ(frm->txbVPMT->text().toStdString(), kDefaultTag);
    EXPECT_TRUE(frm->chkInsertVPMT->isChecked());  // Reset leaves the tag choice alone
    ASSERT_EQ(desktop.notices.size(), 1u);
    EXPECT_EQ(desktop.notices[0].message, "Reset done");
    EXPECT_FALSE(std::filesystem::exists(StateFile()));
}

TEST_F(StartupTest, ParametersCloseSavesOnlyWhenTicked) {
    ASSERT_TRUE(Start());
    frm->Parameters()->chkSaveStateOnClose->setChecked(false);
    frm->Parameters()->cmdClose->click();
    EXPECT_FALSE(std::filesystem::exists(StateFile()));
    frm->Parameters()->chkSaveStateOnClose->setChecked(true);
    frm->Parameters()->show();
    frm->Parameters()->cmdClose->click();
    EXPECT_TRUE(std::filesystem::exists(StateFile()));
    EXPECT_FALSE(frm->Parameters()->isVisible());
}

TEST_F(StartupTest, HelpAndLinkFailuresGiveTheirMessages) {
    ASSERT_TRUE(Start());
    frm->cmdHelp->click();
    frm->OpenWebPage("missing-page.HTM");
    desktop.openSucceeds = false;
    frm->OpenWebPage("https://example.org/manual.HTM");
    const std::string browser = "Cannot launch web browser";
    EXPECT_EQ(Boxes(prompter),
              (std::vector<Box>{
                  {frm->programText.GetProgramText(16) + "\r\n" + frm->programText.GetProgramText(17),
                   "zelk help", Icon::None},
                  {"Error launching web browser, error code = 2.\r\n\r\nPlease try once more.",
                   browser, Icon::Exclamation},
                  {"Error launching web browser, error code = 31.\r\n\r\nFile extension 'htm' is "
                   "not associated with any application program.",
                   browser, Icon::Exclamation}}));
}

}  // namespace
}  // namespace zelk::test
