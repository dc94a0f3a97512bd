#include "gui/RealDesktop.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QEventLoop>
#include <QTimer>

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
    if (ending_ || seconds <= 0) return;
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    waitLoops_.push_back(&loop);
    loop.exec();
    waitLoops_.pop_back();
}

void RealDesktop::EndWaits() {
    ending_ = true;
    for (QEventLoop* loop : waitLoops_) loop->quit();
}

void RealDesktop::KeepAliveWait(double seconds, const std::function<bool()>& ended) {
    if (ending_) return;
    WaitKeepingEventsFlowing(seconds, clock_, [this, &ended] { return ending_ || (ended && ended()); });
}

void RealDesktop::PopUpInForm(QWidget* frm, const QString& message, int width, int height,
                              int interval, int top, int left) {
    // Created on first use, then only hidden and shown again.
    if (!popUp_) popUp_ = std::make_unique<FrmPopUp>();
    popUp_->PopUpInForm(frm, message, width, height, interval, top, left);
}

}  // namespace zelk
