// Scripted stand-ins for the desktop services and a fixture that starts the
// main window headless with its own per-user settings folder. Message boxes
// are recorded by the shared RecordingPrompter (tests/support).
#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <deque>
#include <filesystem>
#include <memory>

#include "batch/gui/FrmEditMetaTag.h"
#include "batch/gui/FrmParameters.h"
#include "batch/gui/FrmReport.h"
#include "gui/EventWait.h"
#include "gui/GuiServices.h"
#include "shell/gui/FrmMain.h"
#include "support/RecordingPrompter.h"
#include "support/TempDir.h"

namespace zelk::testing {

namespace fs = std::filesystem;

// Failures show the box by its title and text.
inline void PrintTo(const ShownBox& b, std::ostream* os) {
    *os << ::testing::PrintToString(b.title + ": " + b.text);
}

// A box with only an OK button, as Prompter::Message shows it.
inline ShownBox OkBox(const std::string& text, const std::string& title, Icon icon) {
    return {text, title, icon, Buttons::Ok, Answer::Ok};
}

class ScriptedPicker : public FilePicker {
public:
    QString PickInputFile(QWidget*, const QString& title, const QString&) override {
        titles.push_back(title.toStdString());
        return nextFile;
    }
    QString PickFolder(QWidget*, const QString& title) override {
        titles.push_back(title.toStdString());
        return nextFolder;
    }
    QString nextFile, nextFolder;
    std::vector<std::string> titles;
};

// The run's waits go by a fake clock: time passes only while a wait runs,
// each slice handling the pending events and then moving the clock on by the
// whole slice, so clicks posted before or during a wait are handled inside it.
class ScriptedDesktop : public Desktop, public WaitClock {
public:
    std::chrono::milliseconds Now() override { return now; }
    bool RunEvents(std::chrono::milliseconds span) override {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        now += span;
        return true;
    }
    void KeepAliveWait(double seconds, const std::function<bool()>& ended) override {
        if (onKeepAliveWait) onKeepAliveWait(seconds);
        WaitKeepingEventsFlowing(seconds, *this, ended);
    }
    bool OpenUrl(const QUrl& url) override {
        opened.push_back(url);
        return openSucceeds;
    }
    void Wait(double) override {
        ++waits;
        if (onWait) onWait();
    }
    void PopUpInForm(QWidget*, const QString& message, int, int, int, int, int) override {
        notices.push_back(message.toStdString());
    }
    std::chrono::milliseconds now{0};
    std::function<void(double)> onKeepAliveWait;
    std::function<void()> onWait;
    std::vector<QUrl> opened;
    bool openSucceeds = true;
    int waits = 0;
    std::vector<std::string> notices;
};

// The main window started as the program starts it, with scripted services,
// the data files of the build and a private settings folder (and an empty
// XDG_DATA_HOME, or the user's settings there would be carried over).
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", xdg_.path().c_str(), 1);
        setenv("XDG_DATA_HOME", (xdg_ / "data").c_str(), 1);
    }
    void TearDown() override {
        frm.reset();
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
    }
    std::string StateFile() const { return xdg_ / "zelk/zelk.usr"; }

    // Creates the window and runs its start-up; returns what Form_Load did.
    bool Start() {
        frm = std::make_unique<FrmMain>(GuiServices{&prompter, &picker, &desktop}, programFolder);
        frm->onQuit = [this] { ++quits; };
        const bool ok = frm->Form_Load();
        if (ok) {
            frm->activateWindow();
            QApplication::setActiveWindow(frm.get());
            QCoreApplication::processEvents();
        }
        return ok;
    }
    bool Restart() {
        frm.reset();
        prompter.shown.clear();
        desktop.waits = 0;
        return Start();
    }
    // Shown in its window (not merely because the window is hidden).
    static bool Shown(const QWidget* w) { return !w->isHidden(); }
    static std::string Text(const QAbstractButton* b) { return b->text().toStdString(); }
    // Picks a file with the "Single file" button.
    void Pick(const std::string& path) {
        picker.nextFile = QString::fromStdString(path);
        frm->cmdInputFile->click();
    }

    // Starts the window in multiple-files mode on a folder, subfolders included.
    void StartOnFolder(const std::string& folder, bool keywords, bool viewport, bool inspect) {
        ASSERT_TRUE(Start());
        frm->chkInsertKWMT->setChecked(keywords);
        frm->chkInsertVPMT->setChecked(viewport);
        frm->optMultipleFiles->setChecked(true);
        frm->txbFolder->setText(QString::fromStdString(folder));
        frm->Parameters()->chkIncludeAllSubfolders->setChecked(true);
        frm->Parameters()->chkConfirm->setChecked(inspect);
        frm->Parameters()->hide();
        prompter.shown.clear();
    }
    // Clicks Generate; each time the edit dialog comes up the next step runs in it.
    using Step = std::function<void(FrmEditMetaTag&)>;
    void Generate(std::deque<Step> steps = {}) {
        FrmEditMetaTag* d = frm->EditDialog();
        auto c = QObject::connect(d, &FrmEditMetaTag::Activated, d, [&steps, d] {
            if (steps.empty()) {
                ADD_FAILURE() << "unexpected dialog for " << d->lblFile->text().toStdString();
                return d->cmdCancel->click();
            }
            const Step s = std::move(steps.front());
            steps.pop_front();
            s(*d);
        });
        QTest::mouseClick(frm->cmdGenerateKeywordMetaTag, Qt::LeftButton);
        QObject::disconnect(c);
        EXPECT_TRUE(steps.empty());
    }

    std::string programFolder = ZELK_RUNTIME_DIR;
    RecordingPrompter prompter;
    ScriptedPicker picker;
    ScriptedDesktop desktop;
    std::unique_ptr<FrmMain> frm;
    int quits = 0;

private:
    TempDir xdg_;
};

}  // namespace zelk::testing
