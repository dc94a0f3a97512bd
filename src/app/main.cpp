// zelk, the desktop program.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include "shell/gui/FrmMain.h"
#include "gui/QtPrompter.h"
#include "gui/QtText.h"
#include "gui/RealDesktop.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The installed icon (share/icons/hicolor); every window takes it.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("zelk")));

    // Hidden options for the documentation's pictures:
    //   --screenshot FILE [--multiple] [--input PAGE]
    // ticks both tags, picks the mode (and in single-file mode analyses PAGE
    // and generates its tag), grabs the main window and ends the program.
    QString screenshot, input;
    bool multiple = false;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size()) screenshot = args[++i];
        else if (args[i] == QLatin1String("--input") && i + 1 < args.size()) input = args[++i];
        else if (args[i] == QLatin1String("--multiple")) multiple = true;
    }

    zelk::QtPrompter prompter;
    zelk::QtFilePicker picker;
    zelk::RealDesktop desktop;
    zelk::GuiServices services{&prompter, &picker, &desktop};
    zelk::FrmMain frm(services, QApplication::applicationDirPath().toStdString());
    prompter.SetParent(&frm);
    frm.onQuit = [] { QApplication::quit(); };
    if (!frm.Form_Load()) return 1;

    if (!screenshot.isEmpty()) {
        frm.chkInsertKWMT->setChecked(true);
        frm.chkInsertVPMT->setChecked(true);
        if (multiple) {
            frm.optMultipleFiles->setChecked(true);
        } else if (!input.isEmpty()) {
            frm.txbInputFile->setText(input);
            frm.cmdListWords_Click();
            frm.cmdGenerateKeywordMetaTag_Click();
            frm.Timer1_Timer();
        }
        QTimer::singleShot(500, &frm, [&frm, screenshot] {
            frm.grab().save(screenshot);
            QApplication::exit(0);
        });
    }
    return app.exec();
}
