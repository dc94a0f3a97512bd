// The commands of the main window: List words / Stop, Generate, Show
// existing, Insert, Save settings, Reset, Help, the two links.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <exception>
#include <new>

#include "analysis/Analyzer.h"
#include "batch/gui/FrmParameters.h"
#include "batch/gui/FrmReport.h"
#include "common/FileProc.h"
#include "common/StrProc.h"
#include "insertion/ExistingTags.h"
#include "insertion/Insert.h"
#include "shell/gui/FrmMain.h"
#include "shell/gui/MainAnalysisHost.h"
#include "gui/QtText.h"

namespace zelk {

void FrmMain::DoIt(bool generate) { analyzer_->DoIt(generate); }

void FrmMain::Guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::bad_alloc&) {
        prompter().Message("Not enough memory: the command was abandoned.", "Error",
                           Icon::Exclamation);
    } catch (const std::exception& e) {
        prompter().Message(std::string("The command was abandoned: ") + e.what(), "Error",
                           Icon::Exclamation);
    }
}

void FrmMain::cmdListWords_Click() {
    if (cmdListWords->text() == QStringLiteral("Stop")) {
        analyzer_->blnStop = true;
        return;
    }
    if (!SingleFileMode()) return;
    DoIt(false);
    SetActionButtons();
}

void FrmMain::cmdGenerateKeywordMetaTag_Click() {
    if (RunGoing()) return;  // a folder run is going on: it owns the report
    blnAutomaticInsertion = false;
    if (frmReport_) frmReport_->hide();
    reportLog.Clear();
    if (SingleFileMode()) {
        cmdInsert->hide();
        DoIt(true);
        return;
    }
    GenerateForFolder();
}

void FrmMain::cmdShowExistingKeywordMetaTag_Click() {
    if (!SingleFileMode()) {
        frmParameters_->show();
        frmParameters_->raise();
        frmParameters_->activateWindow();
        return;
    }
    const std::string path = Trim(FromQLine(txbInputFile->text()));
    txbInputFile->setText(ToQLine(path));
    if (const auto out = ShowExistingMetaTags(path, prompter())) SetOutputText(*out);
}

void FrmMain::cmdInsert_Click() {
    if (BreakStopPressed()) return;  // the Break/Stop button of an automatic run
    QFont f = cmdInsert->font();
    f.setBold(false);
    cmdInsert->setFont(f);
    cmdInsert->setEnabled(false);

    InsertCommand command;
    command.inputFileText = FromQLine(txbInputFile->text());
    command.request.insertVPMT = chkInsertVPMT->isChecked();
    command.request.insertKWMT = chkInsertKWMT->isChecked();
    command.request.vpmtText = FromQLine(txbVPMT->text());
    command.request.singleFile = SingleFileMode();
    command.request.preserveExistingVPMT = settings.PreserveExistingVPMT != 0;
    command.request.preserveExistingKWMT = settings.PreserveExistingKWMT != 0;
    command.request.mainMetaTagText = OutputText();
    command.keywordsGenerated = analyzer_->KeywordsGenerated;
    command.insertCaption = FromQLine(cmdInsert->text());
    // The report window is not brought up here: it collects the lines of a
    // single-file insertion and shows them when it is next opened.
    Report();
    if (zelk::cmdInsert_Click(command, prompter(), reportLog)) {
        // The document has changed on disk: the next request reads it again.
        analyzer_->DocumentAnalysed = false;
    }
    // The command trims both boxes.
    txbInputFile->setText(ToQLine(Trim(command.inputFileText)));
    const std::string trimmedOut = Trim(OutputText());
    if (trimmedOut != OutputText()) SetOutputText(trimmedOut);
    SetTheFocus();
}

void FrmMain::PopUpNotice(const QString& message, QWidget* button, int leftOffset) {
    if (!services_.desktop) return;
    const QPoint at = button->mapTo(this, QPoint(0, 0));
    services_.desktop->PopUpInForm(this, message, 1800, 300, 2000, Twips(at.y()) + 700,
                                   Twips(at.x()) + leftOffset);
}

void FrmMain::cmdSave_Click() {
    if (SaveState()) PopUpNotice(QStringLiteral("Settings saved"), cmdSave, -100);
    SetTheFocus();
}

void FrmMain::cmdReset_Click() {
    SetDefaultValues();
    PopUpNotice(QStringLiteral("Reset done"), cmdReset, 230);
    SetTheFocus();
}

void FrmMain::cmdHelp_Click() {
    prompter().Message(programText.GetProgramText(text::HelpLine1) + std::string(CRLF) +
                           programText.GetProgramText(text::HelpLine2),
                       programText.GetProgramText(text::HelpTitle), Icon::None);
}

void FrmMain::lblPublisher_Click() { OpenWebPage(programText.GetProgramText(text::PublisherPage)); }

void FrmMain::lblOnlineDocumentation_Click() {
    OpenWebPage(programText.GetProgramText(text::UserManual));
}

// An address with a scheme goes to the browser as it is; one without names a
// page installed beside the program. The desktop reports only success or
// failure, so the message tells the two failures apart by number, as its
// text reads them: 2 for a page that is not there (try again), 31 for an
// address no program takes (no program is set up for its kind).
void FrmMain::OpenWebPage(const std::string& address) {
    const QString a = ToQLine(address);
    QUrl url;
    int error = 0;
    if (a.contains(QStringLiteral("://")) || a.startsWith(QStringLiteral("mailto:"))) {
        url = QUrl(a);
    } else {
        const QString path = QDir(ToQLine(programFolder_)).filePath(a);
        if (a.isEmpty() || !QFileInfo(path).isFile()) error = 2;
        url = QUrl::fromLocalFile(path);
    }
    if (error == 0 && services_.desktop && services_.desktop->OpenUrl(url)) return;
    if (error == 0) error = 31;
    std::string msg = "Error launching web browser, error code =" + S(error) + ".";
    if (error == 31) {
        msg += std::string(CRLF) + std::string(CRLF) + "File extension '" + FileExtension(address, true) +
               "' is not associated with any application program.";
    } else if (error == 2) {
        msg += std::string(CRLF) + std::string(CRLF) + "Please try once more.";
    }
    prompter().Message(msg, "Cannot launch web browser", Icon::Exclamation);
}

}  // namespace zelk
