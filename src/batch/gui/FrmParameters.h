// The settings window for multiple files: options of a batch run over a
// folder tree. Its controls are bound to the settings record, so every part
// of the program reads the current value at the moment it needs it.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace zelk {

struct Settings;

class FrmParameters : public QWidget {
    Q_OBJECT
public:
    FrmParameters(Settings& settings, QWidget* mainWindow);

    // Filled in by the main window.
    std::function<QString()> titleSource;       // caption of cmdShowExistingKeywordMetaTag
    std::function<int()> keywordsFrameTop;      // top of fraKWMT in the main window, pixels
    std::function<void()> saveState;            // the main window's SaveState

    // Puts the record's values into the controls (after a restore or reset).
    void SetFromSettings();
    void Activate();

    QCheckBox* chkIncludeAllSubfolders;
    QCheckBox* chkPreserveExistingKWMT;
    QCheckBox* chkPreserveExistingVPMT;
    QCheckBox* chkConfirm;
    QCheckBox* chkSaveStateOnClose;
    QCheckBox* chkSaveStateOnQuit;
    QCheckBox* chkDialogBoxForUnixFiles;
    QLabel* Label1;
    QComboBox* cboPause;
    QPushButton* cmdClose;

protected:
    bool event(QEvent* e) override;

private:
    void cmdClose_Click();
    void cboPause_Click();

    Settings& settings_;
    QWidget* main_;  // the main window, which outlives this one
    QTimer Timer1_;
};

}  // namespace zelk
