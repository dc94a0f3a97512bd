// Which command buttons are shown, enabled and captioned how: the tag
// choice, the button tables of the two modes, the busy state and the
// one-second tick that derives the Clear buttons and the copy button from
// what the boxes hold.
#include <QCheckBox>
#include <QClipboard>
#include <QApplication>
#include <QGuiApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "analysis/Analyzer.h"
#include "analysis/TextFile.h"
#include "batch/gui/FrmParameters.h"
#include "batch/gui/FrmReport.h"
#include "common/StrProc.h"
#include "insertion/Viewport.h"
#include "shell/SettingsFile.h"
#include "shell/gui/FrmMain.h"
#include "shell/gui/MainAnalysisHost.h"
#include "gui/QtText.h"
#include "gui/WindowLook.h"


namespace zelk {

// ---------------------------------------------------------------- tag choice and buttons

namespace {
void SetBold(QWidget* w, bool bold) {
    QFont f = w->font();
    if (f.bold() == bold) return;
    f.setBold(bold);
    w->setFont(f);
}
}  // namespace

void FrmMain::chkInsertKWMT_Click() {
    const bool on = chkInsertKWMT->isChecked();
    SetBold(chkInsertKWMT, on);
    fraKWMT->setVisible(on);
    lblLanguageOfText->setVisible(on);
    cboLanguage->setVisible(on);
    cmdListWords->setVisible(on);
    lblNumberOfWords->setVisible(on);
    SetGenerateButton();
    SetActionButtons();
}

void FrmMain::chkInsertVPMT_Click() {
    if (chkInsertVPMT->isChecked()) {
        std::string tag = FromQLine(txbVPMT->text());
        int16_t validity = 0;
        VPMTvalid(tag, validity);
        if (validity != 1) {
            chkInsertVPMT->setChecked(false);  // runs this handler again
            return;
        }
    }
    SetBold(chkInsertVPMT, chkInsertVPMT->isChecked());
    SetActionButtons();
}

void FrmMain::SetActionButtons() {
    if (!blnStartUpCompleted) return;
    cmdGenerateKeywordMetaTag->hide();
    cmdGenerateKeywordMetaTag->setEnabled(false);
    cmdInsert->hide();
    cmdInsert->setEnabled(false);
    const bool K = chkInsertKWMT->isChecked();
    const bool V = chkInsertVPMT->isChecked();
    const bool A = DocumentAnalysed();
    if (SingleFileMode()) {
        cmdListWords->show();
        if (!K && V) {
            cmdInsert->setText(QStringLiteral("Insert viewport meta tag into file"));
            cmdInsert->show();
            cmdInsert->setEnabled(true);
        } else if (K && !V) {
            cmdGenerateKeywordMetaTag->setText(QStringLiteral("Generate/show/edit keywords meta tag"));
            cmdGenerateKeywordMetaTag->show();
            cmdGenerateKeywordMetaTag->setEnabled(A);
            if (A) {
                cmdInsert->setText(QStringLiteral("Insert keywords meta tag into file"));
                cmdInsert->show();
            }
        } else if (K && V && A) {
            cmdGenerateKeywordMetaTag->show();
            cmdGenerateKeywordMetaTag->setEnabled(true);
            cmdInsert->setText(QStringLiteral("Insert both meta tags into file"));
            cmdInsert->show();
        }
    } else {
        cmdListWords->hide();
        if (K) {
            cmdGenerateKeywordMetaTag->setText(QStringLiteral("Show/edit/insert keywords meta tags into files"));
            cmdGenerateKeywordMetaTag->show();
            cmdGenerateKeywordMetaTag->setEnabled(true);
        } else if (V) {
            cmdGenerateKeywordMetaTag->setText(QStringLiteral("Insert viewport meta tag into files"));
            cmdGenerateKeywordMetaTag->show();
            cmdGenerateKeywordMetaTag->setEnabled(true);
        }
    }
}

void FrmMain::SetGenerateButton() {
    if (!blnStartUpCompleted) return;
    const bool K = chkInsertKWMT->isChecked();
    if (SingleFileMode()) {
        if (K) {
            cmdGenerateKeywordMetaTag->setText(QStringLiteral("Generate and show keywords meta tag"));
            cmdGenerateKeywordMetaTag->show();
            cmdGenerateKeywordMetaTag->setEnabled(DocumentAnalysed());
        } else {
            cmdGenerateKeywordMetaTag->hide();
        }
    } else {
        if (K) {
            cmdGenerateKeywordMetaTag->setText(QStringLiteral("Generate/show/insert keywords meta tag"));
            cmdGenerateKeywordMetaTag->show();
        } else {
            cmdGenerateKeywordMetaTag->hide();
        }
    }
    SetInsertButton();
}

void FrmMain::SetInsertButton() {
    if (!SingleFileMode()) {
        cmdInsert->hide();
        return;
    }
    const bool K = chkInsertKWMT->isChecked();
    const bool V = chkInsertVPMT->isChecked();
    const bool T = !txbMetaTag->toPlainText().isEmpty();
    if (K && V && T) {
        cmdInsert->setText(QStringLiteral("Insert both meta tags into file"));
        cmdInsert->show();
    } else if (K && T) {
        cmdInsert->setText(QStringLiteral("Insert keywords meta tag into file"));
        cmdInsert->show();
    } else if (V) {
        cmdInsert->setText(QStringLiteral("Insert viewport meta tag into file"));
        cmdInsert->show();
    } else {
        cmdInsert->hide();
    }
}

void FrmMain::EnableDisableButtons(bool blnX) {
    busy_ = !blnX;
    if (!blnX) {
        // Disabling the focused button would let the toolkit pass the focus
        // on to the next control, often a text box whose leaving handler
        // would then run at the end of the operation. Park it on the Stop
        // button (or the output box) instead.
        QWidget* f = QApplication::focusWidget();
        if (f && f != cmdListWords && f != txbMetaTag && isAncestorOf(f)) {
            if (!cmdListWords->isHidden()) cmdListWords->setFocus(Qt::OtherFocusReason);
            else txbMetaTag->setFocus(Qt::OtherFocusReason);
        }
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             cmdSave, cmdReset, cmdShowExistingKeywordMetaTag, cmdGenerateKeywordMetaTag,
             cmdClearInputFile, cmdClearBeginMetaTagWith, cmdHelp, cmdClearOutput, cmdCopyMetaTag,
             cmdClearVPMT, cmdClearExcludedFilepaths})
        w->setEnabled(blnX);
    if (!SingleFileMode()) {
        cmdInputFile->setEnabled(false);
        cmdClearInputFile->setEnabled(false);
        cmdFolder->setEnabled(blnX);
        cmdClearFolder->setEnabled(blnX);
        cmdListWords->setText(QStringLiteral("Stop"));
        cmdListWords->setEnabled(!blnX);
    } else {
        cmdInputFile->setEnabled(blnX);
        cmdClearInputFile->setEnabled(blnX);
        cmdFolder->setEnabled(false);
        cmdClearFolder->setEnabled(false);
        cmdListWords->setEnabled(true);
        cmdListWords->setText(blnX ? QStringLiteral("List words") : QStringLiteral("Stop"));
    }
    txbMaxNumKeywordsInMetaTag->setEnabled(blnX);
    txbMaxNumBytesInMetaTag->setEnabled(blnX);
    optSingleFile->setVisible(blnX);
    optMultipleFiles->setVisible(blnX);
    txbInputFile->setReadOnly(!blnX);
    txbFolder->setReadOnly(!blnX);
    txbBeginMetaTagWith->setEnabled(blnX);
    repaint();
}

void FrmMain::Timer1_Timer() {
    const QString out = txbMetaTag->toPlainText();
    // The output box counts its line ends as CR LF, as the core does.
    const qsizetype outLength = out.size() + out.count(QLatin1Char('\n'));
    if (!cmdShowExistingKeywordMetaTag->isEnabled()) {
        chkLargeWindow->hide();
        cmdClearOutput->setEnabled(false);
    } else {
        chkLargeWindow->setVisible(outLength > 200);
        cmdClearOutput->setEnabled(!out.isEmpty());
    }
    const bool single = SingleFileMode();
    cmdClearInputFile->setEnabled(single && !txbInputFile->text().isEmpty());
    cmdClearFolder->setEnabled(!single && !txbFolder->text().isEmpty());
    cmdClearExcludedFilepaths->setEnabled(!txbExcludedFilepaths->text().isEmpty());
    cmdClearVPMT->setEnabled(!txbVPMT->text().isEmpty());
    cmdClearBeginMetaTagWith->setEnabled(!txbBeginMetaTagWith->text().isEmpty());
    cmdListWords->setVisible(single && !txbInputFile->text().isEmpty());
    if (ReportVisible()) {
        frmReport_->setWindowTitle(blnAutomaticInsertion ? QStringLiteral("Report -- auto mode")
                                                         : QStringLiteral("Report"));
        frmReport_->update();
    }
    cmdCopyMetaTag->setVisible(single && !out.isEmpty());
    cmdClearOutput->setVisible(single && !out.isEmpty());
}

}  // namespace zelk
