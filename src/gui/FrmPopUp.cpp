#include "gui/FrmPopUp.h"

#include <QEvent>
#include <QLabel>
#include <QScreen>

#include "gui/GuiServices.h"
#include "gui/WindowLook.h"

namespace zelk {

FrmPopUp::FrmPopUp(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), lblMessage_(new QLabel(this)) {
    setObjectName("frmPopUp");
    setModal(true);
    lblMessage_->setObjectName("lblMessage");
    lblMessage_->setAlignment(Qt::AlignCenter);
    lblMessage_->setFont(SansFont("Tahoma"));
    lblMessage_->setFrameShape(QFrame::Box);
    lblMessage_->setAutoFillBackground(true);
    QPalette pal = lblMessage_->palette();
    pal.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xE1));
    pal.setColor(QPalette::WindowText, Qt::black);
    lblMessage_->setPalette(pal);
    lblMessage_->installEventFilter(this);
    Timer1_.setObjectName("Timer1");
    Timer1_.setSingleShot(false);
    connect(&Timer1_, &QTimer::timeout, this, &FrmPopUp::CloseNotice);
}

bool FrmPopUp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblMessage_ && event->type() == QEvent::MouseButtonRelease) {
        CloseNotice();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmPopUp::CloseNotice() {
    Timer1_.stop();
    hide();
    done(0);
}

void FrmPopUp::ShowModal(int intInterval) {
    Timer1_.setInterval(intInterval);
    Timer1_.start();
    exec();
    raise();
}

void FrmPopUp::PopUp(const QString& strMessage, int intWidth, int intHeight, int intInterval,
                     int intTop, int intLeft) {
    lblMessage_->setText(strMessage);
    setFixedSize(Px(intWidth), Px(intHeight));
    lblMessage_->setGeometry(0, 0, Px(intWidth), Px(intHeight));
    move(Px(intLeft), Px(intTop));
    ShowModal(intInterval);
}

void FrmPopUp::PopUpCenterScreen(const QString& strMessage, int intWidth, int intHeight,
                                 int intInterval) {
    // The centre is taken from the notice's size before the new size applies.
    const QScreen* screen = this->screen();
    const QSize s = screen ? screen->size() : QSize(1024, 768);
    const int left = Twips((s.width() - width()) / 2);
    const int top = Twips((s.height() - height()) / 2);
    PopUp(strMessage, intWidth, intHeight, intInterval, top, left);
}

void FrmPopUp::PopUpInForm(QWidget* frm, const QString& strMessage, int intWidth, int intHeight,
                           int intInterval, int intTop, int intLeft) {
    const QPoint origin = frm ? frm->pos() : QPoint(0, 0);
    move(origin.x() + Px(intLeft), origin.y() + Px(intTop));
    lblMessage_->setText(strMessage);
    setFixedSize(Px(intWidth), Px(intHeight));
    lblMessage_->setGeometry(0, 0, Px(intWidth), Px(intHeight));
    ShowModal(intInterval);
}

}  // namespace zelk
