#include "batch/gui/FrmParameters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "common/Settings.h"
#include "gui/GuiServices.h"
#include "gui/WindowLook.h"
#include "gui/Accessibility.h"

namespace zelk {

namespace {
constexpr int kWidthTwips = 5400;
constexpr int kHeightTwips = 3500;

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption, int top) {
    auto* c = new QCheckBox(QString::fromLatin1(caption), parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(Px(240), Px(top), Px(kWidthTwips - 480), Px(300));
    return c;
}

void Bind(QCheckBox* c, int& field) {
    QObject::connect(c, &QCheckBox::toggled, c, [&field](bool on) { field = on ? 1 : 0; });
}
}  // namespace

FrmParameters::FrmParameters(Settings& settings, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window), settings_(settings), main_(mainWindow) {
    InstallKeyboardAccess();
    setObjectName("frmParameters");
    setFixedSize(Px(kWidthTwips), Px(kHeightTwips));
    chkIncludeAllSubfolders =
        MakeCheck(this, "chkIncludeAllSubfolders", "Include all subfolders recursively", 100);
    chkPreserveExistingKWMT =
        MakeCheck(this, "chkPreserveExistingKWMT", "Preserve existing keywords meta tag", 480);
    chkPreserveExistingVPMT =
        MakeCheck(this, "chkPreserveExistingVPMT", "Preserve existing viewport meta tag", 900);
    chkConfirm =
        MakeCheck(this, "chkConfirm", "Inspect/edit keywords meta tag before inserting", 1300);
    chkSaveStateOnClose =
        MakeCheck(this, "chkSaveStateOnClose", "Save settings when closing this form", 1680);
    chkSaveStateOnQuit = MakeCheck(this, "chkSaveStateOnQuit", "Save setting on Quit", 2055);
    // Below the visible part of the window on purpose: the alert is always on.
    chkDialogBoxForUnixFiles = MakeCheck(this, "chkDialogBoxForUnixFiles",
                                         "Alert if a Unix/Linux file is encountered", 3700);
    chkDialogBoxForUnixFiles->setChecked(true);
    // Out of sight means out of reach: Tab must not land on it, nor Space
    // untick it, nor a screen reader offer it (a hidden widget is left out
    // of the accessible tree; its value is read all the same).
    chkDialogBoxForUnixFiles->setFocusPolicy(Qt::NoFocus);
    chkDialogBoxForUnixFiles->hide();

    Label1 = new QLabel(QStringLiteral("Pause in seconds in auto mode"), this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(Px(240), Px(2550), Px(2300), Px(300));
    cboPause = new QComboBox(this);
    cboPause->setObjectName("cboPause");
    Label1->setBuddy(cboPause);
    cboPause->setGeometry(Px(2600), Px(2520), Px(700), Px(330));
    for (int i = 1; i <= 5; ++i) cboPause->addItem(QString::number(i));
    cboPause->setCurrentIndex(2);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setAutoDefault(false);
    cmdClose->setGeometry(Px(3800), Px(2520), Px(1300), Px(375));

    Bind(chkIncludeAllSubfolders, settings_.IncludeAllSubfolders);
    Bind(chkPreserveExistingKWMT, settings_.PreserveExistingKWMT);
    Bind(chkPreserveExistingVPMT, settings_.PreserveExistingVPMT);
    Bind(chkConfirm, settings_.Confirm);
    Bind(chkSaveStateOnClose, settings_.SaveStateOnClose);
    Bind(chkSaveStateOnQuit, settings_.SaveStateOnQuit);
    Bind(chkDialogBoxForUnixFiles, settings_.DialogBoxForUnixFiles);
    connect(cboPause, &QComboBox::currentIndexChanged, this,
            [this](int i) { settings_.Pause = i; });
    connect(cboPause, &QComboBox::activated, this, [this](int) { cboPause_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, &FrmParameters::cmdClose_Click);
    Timer1_.setInterval(1000);
    connect(&Timer1_, &QTimer::timeout, this, [this] {
        // The selection highlight of the list goes with the first tick.
        if (QLineEdit* e = cboPause->lineEdit()) e->deselect();
        Timer1_.stop();
    });
    SetFromSettings();
}

void FrmParameters::SetFromSettings() {
    chkIncludeAllSubfolders->setChecked(settings_.IncludeAllSubfolders != 0);
    chkPreserveExistingKWMT->setChecked(settings_.PreserveExistingKWMT != 0);
    chkPreserveExistingVPMT->setChecked(settings_.PreserveExistingVPMT != 0);
    chkConfirm->setChecked(settings_.Confirm != 0);
    chkSaveStateOnClose->setChecked(settings_.SaveStateOnClose != 0);
    chkSaveStateOnQuit->setChecked(settings_.SaveStateOnQuit != 0);
    chkDialogBoxForUnixFiles->setChecked(settings_.DialogBoxForUnixFiles != 0);
    if (settings_.Pause >= 0 && settings_.Pause < cboPause->count())
        cboPause->setCurrentIndex(settings_.Pause);
}

void FrmParameters::Activate() {
    if (main_) {
        SetBackColorOfControls(this, main_->palette().color(QPalette::Window));
    }
    const QFont f = SansFont();
    for (QWidget* w : findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w)) w->setFont(f);
    }
    if (titleSource) setWindowTitle(titleSource());
    if (main_ && !main_->isMinimized()) {
        const QRect g = main_->frameGeometry();
        const int top = keywordsFrameTop ? keywordsFrameTop() : 0;
        move(g.left() + (g.width() - width()) / 2, g.top() + top + Px(400));
    } else if (const QScreen* s = screen()) {
        move((s->size().width() - width()) / 2, (s->size().height() - height()) / 2);
    }
    cmdClose->move(cmdClose->x(), cboPause->y());
}

bool FrmParameters::event(QEvent* e) {
    if (e->type() == QEvent::Show || e->type() == QEvent::WindowActivate) Activate();
    return QWidget::event(e);
}

void FrmParameters::cboPause_Click() {
    Timer1_.start();
    cmdClose->setFocus();
}

void FrmParameters::cmdClose_Click() {
    if (chkSaveStateOnClose->isChecked() && saveState) saveState();
    hide();
}

}  // namespace zelk
