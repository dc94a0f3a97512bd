// Start-up of the main window and the settings file it reads and writes:
// the defaults, a round trip through Save, Quit and restarts, a damaged
// file, Reset, the settings window's Close, and the messages of what can go
// wrong on the way. The file's lines one by one are the core's tests
// (tests/shell/SettingsFileTest.cpp).
#include "GuiTestSupport.h"

namespace zelk::testing {
namespace {

const std::string kDefaultTag =
    "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">";
const std::string kDefaultsFile =
    kDefaultTag +
    "\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"15\"\r\n\"150\"\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
    "1\r\n1\r\n2\r\n#TRUE#\r\n14737632\r\n";

using StartupTest = MainWindowTest;

TEST_F(StartupTest, FirstStartGivesTheDefaultsAndTheyAreWrittenWhenAsked) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(frm->windowTitle().toStdString(), "zelk 1.07");
    EXPECT_EQ(frm->focusWidget(), frm->cmdInputFile);
    EXPECT_EQ(frm->cboLanguage->itemText(6), "All 6 languages");
    // The settings window's Close writes them only when ticked; Quit, or
    // closing the main window, writes them unless switched off.
    frm->Parameters()->chkSaveStateOnClose->setChecked(false);
    frm->Parameters()->cmdClose->click();
    EXPECT_FALSE(fs::exists(StateFile()));
    frm->Parameters()->chkSaveStateOnClose->setChecked(true);
    frm->Parameters()->cmdClose->click();
    EXPECT_EQ(ReadBytes(StateFile()), kDefaultsFile);
    fs::remove(StateFile());
    frm->cmdQuit->click();
    EXPECT_EQ(ReadBytes(StateFile()), kDefaultsFile);
    fs::remove(StateFile());
    Restart();
    frm->close();
    EXPECT_EQ(ReadBytes(StateFile()), kDefaultsFile);
    fs::remove(StateFile());
    Restart();
    frm->Parameters()->chkSaveStateOnQuit->setChecked(false);
    frm->cmdQuit->click();
    EXPECT_FALSE(fs::exists(StateFile()));
    EXPECT_EQ(quits, 3);
    EXPECT_TRUE(prompter.shown.empty());
}

// While the common-word lists are read the output box tells how far it got
// and the window is busy; Quit meanwhile ends the waits.
TEST_F(StartupTest, ProgressWhileTheListsAreReadAndQuitMeanwhile) {
    std::vector<std::string> seen;
    desktop.onWait = [&] {
        seen.push_back(frm->OutputText());
        EXPECT_FALSE(frm->cmdListWords->isEnabled() || frm->cmdSave->isEnabled());
    };
    ASSERT_TRUE(Start());
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[6],
              "Reading common words in English, German, Spanish, Portuguese, Italian, French, and "
              "all six languages");
    EXPECT_TRUE(frm->OutputText().empty());
    EXPECT_TRUE(frm->cmdListWords->isEnabled() && frm->cmdSave->isEnabled());
    desktop.onWait = [&] {
        if (desktop.waits == 1) frm->cmdQuit->click();
    };
    Restart();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(desktop.waits, 1);  // no wait after Quit
    EXPECT_FALSE(frm->isVisible());
}

// The controls go into the file on Save and come back on the next start,
// the keyword limit excepted; multiple-files mode comes back with its
// folder and its settings window. Reset puts the defaults back.
TEST_F(StartupTest, SettingsRoundTripThroughTheWindow) {
    ASSERT_TRUE(Start());
    const std::string page = ZELK_EXAMPLES_DIR "/garden.html";
    Pick(page);
    frm->chkInsertKWMT->setChecked(true);
    frm->cboLanguage->setCurrentIndex(1);
    frm->txbBeginMetaTagWith->setText("Start");
    frm->txbMaxNumKeywordsInMetaTag->setText("20");
    frm->txbMaxNumBytesInMetaTag->setText("250");
    frm->Parameters()->chkPreserveExistingVPMT->setChecked(true);
    frm->Parameters()->cboPause->setCurrentIndex(0);
    frm->cmdSave->click();
    EXPECT_EQ(desktop.notices, std::vector<std::string>{"Settings saved"});
    std::string file =
        kDefaultTag + "\r\n\"" + page +
        "\"\r\n\"\"\r\n\"Start\"\r\n\"\"\r\n\"20\"\r\n\"250\"\r\n0\r\n1\r\n0\r\n1\r\n0\r\n0\r\n"
        "1\r\n1\r\n1\r\n0\r\n#TRUE#\r\n14737632\r\n";
    EXPECT_EQ(ReadBytes(StateFile()), file);
    // Saved again after a restart, the controls give the same file back.
    Restart();
    EXPECT_EQ(frm->cboLanguage->currentText(), "French");
    frm->cmdSave->click();
    EXPECT_EQ(ReadBytes(StateFile()), file.replace(file.find("\"20\""), 4, "\"15\""));

    frm->optMultipleFiles->click();
    picker.nextFolder = ZELK_EXAMPLES_DIR;
    frm->cmdFolder->click();
    frm->cmdQuit->click();
    Restart();
    EXPECT_TRUE(frm->optMultipleFiles->isChecked());
    EXPECT_EQ(frm->txbFolder->text(), ZELK_EXAMPLES_DIR);
    EXPECT_TRUE(frm->Parameters()->isVisible());

    const std::string saved = ReadBytes(StateFile());
    frm->cboBoldWeight->setCurrentIndex(9);
    frm->cmdReset->click();
    EXPECT_EQ(frm->cboBoldWeight->currentText(), "4");
    EXPECT_EQ(desktop.notices.back(), "Reset done");
    EXPECT_EQ(ReadBytes(StateFile()), saved);  // Reset writes nothing
}

TEST_F(StartupTest, DamagedSettingsFileGivesTheDefaultsSilently) {
    fs::create_directories(fs::path(StateFile()).parent_path());
    // Line 4 is read, then line 11 holds a language outside the list.
    std::string file = kDefaultsFile;
    file.replace(file.find("\"\"\r\n\"\"\r\n\"15"), 4, "\"Begin\"\r\n");
    WriteBytes(StateFile(), file.replace(file.find("0\r\n0\r\n0\r\n0"), 10, "1\r\n0\r\n0\r\n7"));
    ASSERT_TRUE(Start());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(frm->cboLanguage->currentIndex(), 0);
    EXPECT_TRUE(frm->txbBeginMetaTagWith->text().isEmpty());
    EXPECT_FALSE(frm->chkForwardSlash->isChecked());
}

// An unusable settings folder is reported once and nothing is saved; a
// missing program text file ends the start with its message.
TEST_F(StartupTest, FailuresAtStartUp) {
    TempDir t;
    const std::string file = t.Write("not-a-folder", "x");
    setenv("XDG_CONFIG_HOME", file.c_str(), 1);
    ASSERT_TRUE(Start());
    frm->cmdSave->click();
    frm->cmdQuit->click();
    const std::string text = "The folder for the settings of this program cannot be created:\r\n" +
                             file + "/zelk\r\nNot a directory.\r\nSettings will not be saved.";
    EXPECT_EQ(prompter.shown, std::vector<ShownBox>{OkBox(text, "zelk", Icon::Exclamation)});
    EXPECT_TRUE(desktop.notices.empty());
    EXPECT_EQ(quits, 1);
    programFolder = t.path();
    EXPECT_FALSE(Restart());
    EXPECT_EQ(prompter.shown, std::vector<ShownBox>{OkBox(
                                  "Cannot open file containing program text.\r\n" + t / "zelk.dat",
                                  "", Icon::Critical)});
    EXPECT_FALSE(frm->isVisible());
}

TEST_F(StartupTest, SaveHelpAndLinkFailuresGiveTheirMessages) {
    ASSERT_TRUE(Start());
    fs::create_directories(StateFile());  // a folder where the file should be
    frm->cmdSave->click();
    frm->cmdHelp->click();
    frm->OpenWebPage("missing-page.HTM");
    desktop.openSucceeds = false;
    frm->OpenWebPage("https://example.org/manual.HTM");
    const std::string browser = "Cannot launch web browser";
    EXPECT_EQ(
        prompter.shown,
        (std::vector<ShownBox>{
            OkBox("Error when attempting to save settings: Is a directory", "List words",
                  Icon::Exclamation),
            OkBox(
                frm->programText.GetProgramText(16) + "\r\n" + frm->programText.GetProgramText(17),
                "zelk help", Icon::None),
            OkBox("Error launching web browser, error code = 2.\r\n\r\nPlease try once more.",
                  browser, Icon::Exclamation),
            OkBox(
                "Error launching web browser, error code = 31.\r\n\r\nFile extension 'htm' is not "
                "associated with any application program.",
                browser, Icon::Exclamation)}));
    EXPECT_TRUE(desktop.notices.empty());
}

}  // namespace
}  // namespace zelk::testing
