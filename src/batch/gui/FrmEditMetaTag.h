// The edit dialog of a batch run in inspection mode: the new tag of one
// file (editable), the file and its size, and the four ways on: Insert,
// Continue to next file, Continue automatically, Cancel operation. The
// dialog is a view of the run's EditSession; what a button does to the run
// is decided there.
#pragma once

#include <QDialog>
#include <QRect>
#include <functional>
#include <string>

class QEventLoop;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zelk {

class EditSession;

class FrmEditMetaTag : public QDialog {
    Q_OBJECT
public:
    // mainWindow: the window the dialog is modal over and placed on.
    explicit FrmEditMetaTag(QWidget* mainWindow);

    // Where the dialog goes, read from the main window when a file comes up.
    struct Placement {
        QRect mainFrame;           // the main window's frame, screen coordinates
        int mainClientTop = 0;     // top of its client area, screen coordinates
        int mainClientWidth = 0;   // width of its client area
        int keywordsFrameTop = 0;  // top of fraKWMT in the main window's client area
        int boxLeft = 0;           // the main window's txbMetaTag: left in the client area,
        int boxWidth = 0;          // width,
        int boxScreenTop = 0;      // and top on the screen
    };
    std::function<Placement()> placement;
    // The bottom window (the main window's output box) follows the session.
    std::function<void(const std::string&)> showBottomText;
    // True while the program is ending: the dialog stops waiting.
    std::function<bool()> quitting;

    // "512 bytes", "2.00 Kb", "3.00 Mb" with the decimal and grouping
    // separators of the user's locale; "" for a negative size.
    static QString SizeText(long long bytes, int decimals);

    // Shows the dialog modally for the session's file and returns when the
    // session has hidden it (or the program ends).
    void Inspect(EditSession& session, bool keywordsRequested);

    QLabel* lblFile;
    QLabel* lblEditMetaTag;
    QPlainTextEdit* txbMetaTag;
    QPushButton* cmdInsert;
    QPushButton* cmdNextFile;
    QPushButton* cmdContinueAutomatically;
    QPushButton* cmdCancel;
    QLabel* lblInserting;

    void cmdInsert_Click();
    void cmdNextFile_Click();
    void cmdContinueAutomatically_Click();
    void cmdCancel_Click();
    void txbMetaTag_KeyUp();

signals:
    // Emitted once the dialog is up and waiting for the user (queued, so it
    // arrives inside the modal wait).
    void Activated();

public:
    void reject() override;  // Esc: Cancel operation, as the close box

protected:
    void closeEvent(QCloseEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place(bool keywordsRequested);
    void LayOut(int width, int height, int boxLeft, int boxWidth);
    void TakeBoxText();
    void AfterAction();
    void ShowSession();

    EditSession* session_ = nullptr;
    QEventLoop* loop_ = nullptr;  // the modal wait of Inspect
};

}  // namespace zelk
