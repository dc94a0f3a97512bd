#include "gui/RealDesktop.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QThread>

#include "gui/FrmPopUp.h"

namespace zelk {

QString QtFilePicker::PickInputFile(QWidget* owner, const QString& title, const QString& filter) {
    // Only existing files can be chosen; read-only files are offered too.
    return QFileDialog::getOpenFileName(owner, title, QString(), filter);
}

QString QtFilePicker::PickFolder(QWidget* owner, const QString& title) {
    return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}

RealDesktop::RealDesktop() = default;
RealDesktop::~RealDesktop() = default;

bool RealDesktop::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

void RealDesktop::Wait(double seconds) {
    QThread::msleep(static_cast<unsigned long>(seconds * 1000));
}

void RealDesktop::PopUpInForm(QWidget* frm, const QString& message, int width, int height,
                              int interval, int top, int left) {
    // Created on first use, then only hidden and shown again.
    if (!popUp_) popUp_ = std::make_unique<FrmPopUp>();
    popUp_->PopUpInForm(frm, message, width, height, interval, top, left);
}

}  // namespace zelk
