// The main window: every setting, the input file or folder, the output box
// and the command buttons. The window is split over a few files by concern:
// FrmMainLayout.cpp (controls and geometry), FrmMainState.cpp (start-up,
// Quit, modes, focus), FrmMainSettings.cpp (the settings and their
// controls), FrmMainButtons.cpp (button states, busy state, the tick),
// FrmMainFields.cpp (input fields and their checks), FrmMainCommands.cpp
// (the commands), MainAnalysisHost.cpp (the window side of an analysis).
// Keyboard and screen-reader access follows the rules of Accessibility.h.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/ReportLog.h"
#include "analysis/CommonWords.h"
#include "shell/ProgramText.h"
#include "common/Settings.h"
#include "gui/GuiServices.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace zelk {

class LinkLabel;

class Analyzer;
class BatchRun;
class FrmEditMetaTag;
class FrmParameters;
class FrmReport;
class MainAnalysisHost;
class MainBatchUser;

class FrmMain : public QWidget {
    Q_OBJECT
public:
    // programFolder: the folder of the executable, which holds the program
    // text file and the common-word lists.
    FrmMain(GuiServices services, std::string programFolder);
    ~FrmMain() override;

    // The start-up sequence. False when the program texts cannot be loaded
    // (the message has been shown and the program must end).
    bool Form_Load();

    // Public methods of the window used by other parts of the program.
    void EnableDisableButtons(bool blnX);
    void SetTheFocus();
    void SetActionButtons();
    bool SaveState();
    void DoIt(bool generate);
    void txbVPMT_LostFocus();
    void txbExcludedFilepaths_LostFocus();
    bool DocumentAnalysed() const;
    void InvalidateAnalysis();
    // The report window, created when it does not exist yet.
    FrmReport* Report();
    bool ReportVisible() const;
    FrmParameters* Parameters() const { return frmParameters_; }
    Analyzer& analyzer() { return *analyzer_; }
    // The run over a folder tree and its edit dialog (FrmMainBatch.cpp);
    // both created on first use.
    BatchRun& Run();
    FrmEditMetaTag* EditDialog();

    // Called by Quit once the settings are written; the program ends there.
    std::function<void()> onQuit;

    // State of the window.
    Settings settings;
    ReportLog reportLog;
    CommonWords commonWords;
    ProgramText programText;
    GlobalValues globals;
    bool blnStartUpCompleted = false;
    bool blnAutomaticInsertion = false;
    std::string strProgramTextFile;
    std::string StateFilepath;
    std::string strDefaultViewportMetaTag;
    std::vector<std::string> ExcludedFilepaths;  // the exclusion array of the batch run
    std::string strNowProcessing;
    std::string strNowGenerating;

    // Controls, named by what they hold (the tests find them by these names too).
    QRadioButton* optSingleFile;
    QRadioButton* optMultipleFiles;
    QPushButton* cmdInputFile;
    QLineEdit* txbInputFile;
    QPushButton* cmdClearInputFile;
    QPushButton* cmdFolder;
    QLineEdit* txbFolder;
    QPushButton* cmdClearFolder;
    QLabel* lblExcludeFilepathsContaining;
    QLineEdit* txbExcludedFilepaths;
    QPushButton* cmdClearExcludedFilepaths;
    QLabel* lblInsert;
    QCheckBox* chkInsertVPMT;
    QCheckBox* chkInsertKWMT;
    QLabel* lblVPMT;
    QLineEdit* txbVPMT;
    QPushButton* cmdClearVPMT;
    QGroupBox* fraKWMT;
    QLabel* lblTitleWeight;
    QComboBox* cboTitleWeight;
    QLabel* lblDescriptionWeight;
    QComboBox* cboDescriptionWeight;
    QLabel* lblExistingKeywordsWeight;
    QComboBox* cboExistingKeywordsWeight;
    QLabel* lblBoldWeight;
    QComboBox* cboBoldWeight;
    QLabel* lblItalicWeight;
    QComboBox* cboItalicWeight;
    QLabel* lblTableWeight;
    QComboBox* cboTableWeight;
    QLabel* lblDivWeight;
    QComboBox* cboDivWeight;
    QLabel* lblSpanWeight;
    QComboBox* cboSpanWeight;
    QLabel* lblMaxNumKeywordsInMetaTag;
    QLineEdit* txbMaxNumKeywordsInMetaTag;
    QLabel* lblMaxNumBytesInMetaTag;
    QLineEdit* txbMaxNumBytesInMetaTag;
    QLabel* lblBeginMetaTagWith;
    QLineEdit* txbBeginMetaTagWith;
    QPushButton* cmdClearBeginMetaTagWith;
    QCheckBox* chkForwardSlash;
    QCheckBox* chkPreserveCase;
    QCheckBox* chkIgnoreCommonWords;
    QLabel* lblLanguageOfText;
    QComboBox* cboLanguage;
    QCheckBox* chkIgnoreShortWords;
    QComboBox* cboShortWordSize;
    QLabel* lblCharsOrLess;
    QLabel* lblThresholdFrequency;
    QComboBox* cboThresholdFrequency;
    QPushButton* cmdListWords;
    QPushButton* cmdGenerateKeywordMetaTag;
    QPushButton* cmdShowExistingKeywordMetaTag;
    QPushButton* cmdInsert;
    QLabel* lblNumberOfWords;
    QPlainTextEdit* txbMetaTag;
    QFrame* Frame1;
    QPushButton* cmdClearOutput;
    QPushButton* cmdCopyMetaTag;
    QCheckBox* chkLargeWindow;
    QPushButton* cmdSave;
    QPushButton* cmdReset;
    QPushButton* cmdHelp;
    QPushButton* cmdQuit;
    LinkLabel* lblPublisher;
    QLabel* lblMetaTagInserted;
    LinkLabel* lblOnlineDocumentation;
    QTimer Timer1;

    // Output box text as the core sees it (Windows-1252, CR LF).
    std::string OutputText() const;
    void SetOutputText(const std::string& text);

    // Handlers (public so that the tests and other windows can run them).
    void cmdQuit_Click();
    void optSingleFile_Click();
    void optMultipleFiles_Click();
    void chkInsertKWMT_Click();
    void chkInsertVPMT_Click();
    void chkLargeWindow_Click();
    void Timer1_Timer();
    void cmdCopyMetaTag_Click();
    void cmdInputFile_Click();
    void txbInputFile_LostFocus();
    void cmdClearInputFile_Click();
    void cmdFolder_Click();
    void txbFolder_LostFocus();
    void cmdClearFolder_Click();
    void cmdClearExcludedFilepaths_Click();
    void cmdClearVPMT_Click();
    void cmdClearBeginMetaTagWith_Click();
    void cmdClearOutput_Click();
    void txbMaxNumKeywordsInMetaTag_LostFocus();
    void txbMaxNumBytesInMetaTag_LostFocus();
    void cmdListWords_Click();
    void cmdGenerateKeywordMetaTag_Click();
    void cmdShowExistingKeywordMetaTag_Click();
    void cmdInsert_Click();
    // Runs a command handler so that no exception leaves it into Qt: a
    // failure (out of memory included) becomes a message box.
    void Guarded(const std::function<void()>& command);
    void cmdSave_Click();
    void cmdReset_Click();
    void cmdHelp_Click();
    void lblPublisher_Click();
    void lblOnlineDocumentation_Click();
    void OpenWebPage(const std::string& address);

    static void KeepInteger(std::string& s, bool allowMinus);

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class MainAnalysisHost;
    friend class MainBatchUser;

    // The batch run (FrmMainBatch.cpp): Generate in multiple-files mode,
    // the Insert button as Break/Stop, Quit during a run.
    void GenerateForFolder();
    bool RunGoing() const;
    bool BreakStopPressed();
    void StopRunForQuit();

    // Layout (FrmMainLayout.cpp).
    void CreateControls();
    void PlaceControls();
    void ConnectControls();
    void ApplyOutputBoxFormula();

    // State (FrmMainState.cpp).
    void FillComboBoxes();
    void InitializeVariables();
    void SetDefaultValues();
    void RestoreState();
    void PushSetting(int line);
    void PushAllSettings();
    void SetStateFilepath();
    void SetGenerateButton();
    void SetInsertButton();
    void PopUpNotice(const QString& message, QWidget* button, int leftOffset);
    bool SingleFileMode() const;
    void Wait(double seconds);
    void PaintNow();
    void FocusAfterFieldChange();

    // Fields (FrmMainFields.cpp).
    void AnalysisSettingChanged();
    void cboLanguage_Click();

    Prompter& prompter() { return *services_.prompter; }

    GuiServices services_;
    std::string programFolder_;
    std::unique_ptr<MainAnalysisHost> host_;
    std::unique_ptr<Analyzer> analyzer_;
    // Shared pointers only for their type-erased deleters: the window's
    // other files need not see these types.
    std::shared_ptr<MainBatchUser> batchUser_;
    std::shared_ptr<BatchRun> run_;
    FrmEditMetaTag* frmEditMetaTag_ = nullptr;  // a child of this window
    bool runGoing_ = false;  // Generate has started a folder run that is not over
    FrmReport* frmReport_ = nullptr;  // reset when the window is discarded
    FrmParameters* frmParameters_ = nullptr;
    std::string singleFileOutput_;
    std::string multipleFilesOutput_;
    bool quitting_ = false;
    bool pushingSettings_ = false;
    bool busy_ = false;             // between EnableDisableButtons(false) and (true)
    bool keyboardMove_ = false;     // the focus is leaving a box by Tab or Shift+Tab
    int twipsPerPixel_ = 15;
};

}  // namespace zelk
