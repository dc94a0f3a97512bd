// Scripted stand-ins for the desktop services and a fixture that starts the
// main window headless with its own per-user data folder.
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/StrProc.h"
#include "common/Ui.h"
#include "gui/Accessibility.h"
#include "shell/gui/FrmMain.h"
#include "gui/EventWait.h"
#include "gui/GuiServices.h"

namespace zelk::test {

struct ShownMessage {
    std::string text, title;
    Icon icon;
    Buttons buttons;
    Answer defaultButton;
};

class ScriptedPrompter : public Prompter {
public:
    using Prompter::Ask;
    Answer Ask(const std::string& text, const std::string& title, Icon icon, Buttons buttons,
               Answer defaultButton) override {
        shown.push_back({text, title, icon, buttons, defaultButton});
        if (onAsk) onAsk(shown.back());
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return defaultButton;
    }
    std::vector<ShownMessage> shown;
    std::deque<Answer> answers;
    std::function<void(const ShownMessage&)> onAsk;
};

class ScriptedPicker : public FilePicker {
public:
    QString PickInputFile(QWidget*, const QString& title, const QString& filter) override {
        fileTitles.push_back(title.toStdString());
        filters.push_back(filter.toStdString());
        return nextFile;
    }
    QString PickFolder(QWidget*, const QString& title) override {
        folderTitles.push_back(title.toStdString());
        return nextFolder;
    }
    QString nextFile, nextFolder;
    std::vector<std::string> fileTitles, filters, folderTitles;
};

struct Notice {
    std::string message;
    int width, height, interval, top, left;
};

// Time that passes only while a wait runs: each slice handles the pending
// events and then moves the clock on by the whole slice.
class FakeWaitClock : public WaitClock {
public:
    std::chrono::milliseconds Now() override { return now; }
    bool RunEvents(std::chrono::milliseconds span) override {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        now += span;
        return true;
    }
    std::chrono::milliseconds now{0};
};

class ScriptedDesktop : public Desktop {
public:
    // The run's waits: recorded, then run on the fake clock, so clicks
    // posted before or during the wait are handled inside it.
    void KeepAliveWait(double seconds, const std::function<bool()>& ended) override {
        keepAliveWaits.push_back(seconds);
        if (onKeepAliveWait) onKeepAliveWait(seconds);
        WaitKeepingEventsFlowing(seconds, clock, ended);
    }
    FakeWaitClock clock;
    std::vector<double> keepAliveWaits;
    std::function<void(double)> onKeepAliveWait;

    bool OpenUrl(const QUrl& url) override {
        opened.push_back(url);
        return openSucceeds;
    }
    void Wait(double seconds) override {
        waits.push_back(seconds);
        if (onWait) onWait();
    }
    std::function<void()> onWait;
    void PopUpInForm(QWidget*, const QString& message, int width, int height, int interval,
                     int top, int left) override {
        notices.push_back({message.toStdString(), width, height, interval, top, left});
    }
    std::vector<QUrl> opened;
    bool openSucceeds = true;
    std::vector<double> waits;
    std::vector<Notice> notices;
};

inline std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
inline void WriteFile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A temporary folder, removed at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "zelk-gui-XXXXXX").string();
        path_ = mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A page of distinct words, 12 to a line: long enough for a scan that
// yields to the window many times.
inline std::filesystem::path LongPage(const std::filesystem::path& dir, int lines) {
    std::string s = "<html>\r\n<head><title>Long page</title></head>\r\n<body>\r\n";
    for (int i = 0; i < lines; ++i) {
        s += "<p>";
        for (int k = 0; k < 12; ++k) {
            int n = i * 12 + k;
            std::string w;
            for (int d = 0; d < 4; ++d) {
                w += static_cast<char>('a' + n % 26);
                n /= 26;
            }
            s += "word" + w + "x ";
        }
        s += "</p>\r\n";
    }
    s += "</body>\r\n</html>\r\n";
    const auto p = dir / "long.html";
    WriteFile(p, s);
    return p;
}

// The main window started as the program starts it, with scripted services,
// the data files of the build and a private XDG data home.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        xdg_ = std::make_unique<TempDir>();
        setenv("XDG_CONFIG_HOME", xdg_->path().c_str(), 1);
        programFolder = ZELK_RUNTIME_DIR;
    }
    void TearDown() override {
        frm.reset();
        unsetenv("XDG_CONFIG_HOME");
    }

    std::filesystem::path StateFile() const { return xdg_->path() / "zelk" / "zelk.usr"; }
    const std::filesystem::path& Xdg() const { return xdg_->path(); }

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
    void Restart() {
        frm.reset();
        prompter.shown.clear();
        desktop.notices.clear();
        desktop.waits.clear();
        Start();
    }

    template <class T>
    T* W(const char* name) {
        T* w = frm->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Shown in its window (not merely because the window is hidden).
    static bool Shown(const QWidget* w) { return !w->isHidden(); }
    static std::string Text(const QAbstractButton* b) { return b->text().toStdString(); }

    // Picks a file with the "Single file" button.
    void Pick(const std::filesystem::path& p) {
        picker.nextFile = QString::fromStdString(p.string());
        frm->cmdInputFile->click();
    }

    // Types into a box and moves the focus away, as a user would.
    void TypeAndLeave(QLineEdit* box, const QString& text, QWidget* next) {
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
        next->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }

    std::string programFolder;
    ScriptedPrompter prompter;
    ScriptedPicker picker;
    ScriptedDesktop desktop;
    std::unique_ptr<FrmMain> frm;
    int quits = 0;

private:
    std::unique_ptr<TempDir> xdg_;
};

}  // namespace zelk::test
