// What the windows need from the desktop beyond their own widgets: message
// boxes, file and folder pickers, the web browser, blocking waits and the
// pop-up notice. The program passes the real ones; the GUI tests pass
// scripted ones, answer by script and record what was shown.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

#include "common/Ui.h"

class QWidget;

namespace zelk {

class FilePicker {
public:
    virtual ~FilePicker() = default;
    // The path of the chosen file, or "" when cancelled.
    virtual QString PickInputFile(QWidget* owner, const QString& title, const QString& filter) = 0;
    // The path of the chosen folder, or "" when cancelled.
    virtual QString PickFolder(QWidget* owner, const QString& title) = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // Opens an address with the user's default handler; false on failure.
    virtual bool OpenUrl(const QUrl& url) = 0;
    // Blocking wait (the pause after each common-word list at start-up).
    virtual void Wait(double seconds) = 0;
    // The waits of a batch run: the windows keep handling clicks and
    // repaints meanwhile; the wait ends early once `ended` returns true.
    virtual void KeepAliveWait(double seconds, const std::function<bool()>& ended) = 0;
    // The modal pop-up notice shown inside a window; sizes and offsets in
    // twips, relative to the window's top-left corner.
    virtual void PopUpInForm(QWidget* frm, const QString& message, int width, int height,
                             int interval, int top, int left) = 0;
};

struct GuiServices {
    Prompter* prompter = nullptr;
    FilePicker* picker = nullptr;
    Desktop* desktop = nullptr;
};

// Twips to pixels: the window layout is given at 15 twips per pixel.
constexpr int Px(int twips) { return twips / 15; }
constexpr int Twips(int px) { return px * 15; }
// The window sizes given in twips count the title bar and borders (about 30
// pixels in all); the client areas here are that much smaller.
constexpr int kFrameAllowancePx = 30;

}  // namespace zelk
