// The pop-up notice: a small modal window with one line of text that closes
// by itself after its interval or when clicked. The caller waits meanwhile.
#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace zelk {

class FrmPopUp : public QDialog {
    Q_OBJECT
public:
    explicit FrmPopUp(QWidget* parent = nullptr);

    // Sizes and positions in twips, the interval in milliseconds.
    void PopUp(const QString& strMessage, int intWidth, int intHeight, int intInterval, int intTop,
               int intLeft);
    void PopUpCenterScreen(const QString& strMessage, int intWidth, int intHeight,
                           int intInterval);
    // Top and left are relative to the top-left corner of frm.
    void PopUpInForm(QWidget* frm, const QString& strMessage, int intWidth, int intHeight,
                     int intInterval, int intTop, int intLeft);

    QLabel* lblMessage() const { return lblMessage_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CloseNotice();
    void ShowModal(int intInterval);

    QLabel* lblMessage_;
    QTimer Timer1_;
};

}  // namespace zelk
