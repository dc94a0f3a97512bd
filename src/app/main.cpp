// zelk, the desktop program.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include <QScreen>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "ZelkVersion.h"
#include "batch/gui/FrmEditMetaTag.h"
#include "batch/gui/FrmParameters.h"
#include "shell/gui/FrmMain.h"
#include "gui/QtPrompter.h"
#include "gui/QtText.h"
#include "gui/RealDesktop.h"
#include "StartupTimes.h"

namespace {

const char kHelp[] =
    "Usage: zelk [OPTION]\n"
    "Opens the zelk window: keywords and viewport meta tags for HTML files.\n"
    "\n"
    "  -h, --help     this text\n"
    "  --version      \"zelk\" and the version number\n"
    "\n"
    "The settings are kept in $XDG_CONFIG_HOME/zelk/zelk.usr (~/.config/zelk/zelk.usr\n"
    "when XDG_CONFIG_HOME is not set). zelk-cli does the same work without a window;\n"
    "see zelk-cli --help and the manual pages zelk(1) and zelk-cli(1).\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before QApplication exists, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("zelk %s\n", zelk::kZelkVersion);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    // A file-size limit makes a write fail like a full disk, reported and
    // survived, instead of killing the program half-way through a rewrite.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // Ties the window to its desktop entry (taskbar icon and name on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zelk.zelk"));
    // The installed icon (share/icons/hicolor); every window takes it.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("zelk")));

    // Hidden options for the documentation's pictures:
    //   --screenshot FILE [--multiple] [--input PAGE] [--edit-dialog FOLDER]
    // ticks both tags, picks the mode (and in single-file mode analyses PAGE
    // and generates its tag), grabs the main window and ends the program.
    // With --edit-dialog, a run in inspection mode starts on FOLDER and the
    // screen area of the main window is grabbed with the edit dialog of the
    // first file over it; the program then ends without touching the file.
    //   --startup-times [PICTURE]
    // prints the times from the process start to the first complete frame
    // of the main window and to the end of the start-up, then ends
    // (scripts/bench-startup.sh); PICTURE receives the screen at the first frame.
    QString screenshot, input, editFolder;
    bool multiple = false;
    bool startupTimes = false;
    QString firstFrame;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size()) screenshot = args[++i];
        else if (args[i] == QLatin1String("--input") && i + 1 < args.size()) input = args[++i];
        else if (args[i] == QLatin1String("--multiple")) multiple = true;
        else if (args[i] == QLatin1String("--startup-times")) {
            startupTimes = true;
            if (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1String("--"))) firstFrame = args[++i];
        }
        else if (args[i] == QLatin1String("--edit-dialog") && i + 1 < args.size()) editFolder = args[++i];
    }

    zelk::QtPrompter prompter;
    zelk::QtFilePicker picker;
    zelk::RealDesktop desktop;
    zelk::GuiServices services{&prompter, &picker, &desktop};
    zelk::FrmMain frm(services, QApplication::applicationDirPath().toStdString());
    prompter.SetParent(&frm);
    bool quitRequested = false;
    frm.onQuit = [&] {
        quitRequested = true;
        desktop.EndWaits();
        QApplication::quit();
    };
    if (startupTimes) zelk::ReportStartupTimes(frm, firstFrame);
    if (!frm.Form_Load()) return 1;
    if (quitRequested) return 0;  // Quit during the start-up, before the event loop runs
    if (startupTimes) {
        zelk::PrintStartupTime("ready");
        return 0;
    }

    if (!screenshot.isEmpty() && !editFolder.isEmpty()) {
        frm.chkInsertKWMT->setChecked(true);
        frm.chkInsertVPMT->setChecked(true);
        frm.optMultipleFiles->setChecked(true);
        frm.txbFolder->setText(editFolder);
        frm.Parameters()->chkConfirm->setChecked(true);
        frm.Parameters()->hide();
        QObject::connect(frm.EditDialog(), &zelk::FrmEditMetaTag::Activated, &frm, [&frm, screenshot] {
            frm.Timer1_Timer();  // the buttons as the tick shows them
            QTimer::singleShot(500, &frm, [&frm, screenshot] {
                const QRect r = frm.frameGeometry();
                frm.screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).save(screenshot);
                // Every event loop ends; the dialog takes that as Cancel operation.
                QApplication::exit(0);
            });
        });
        QTimer::singleShot(0, &frm, [&frm] { frm.cmdGenerateKeywordMetaTag_Click(); });
    } else if (!screenshot.isEmpty()) {
        frm.chkInsertKWMT->setChecked(true);
        frm.chkInsertVPMT->setChecked(true);
        if (multiple) {
            frm.optMultipleFiles->setChecked(true);
        } else if (!input.isEmpty()) {
            frm.txbInputFile->setText(input);
            frm.cmdListWords_Click();
            frm.cmdGenerateKeywordMetaTag_Click();
        }
        frm.Timer1_Timer();  // the Clear and copy buttons as the tick leaves them
        QTimer::singleShot(500, &frm, [&frm, screenshot] {
            frm.grab().save(screenshot);
            QApplication::exit(0);
        });
    }
    return app.exec();
}
