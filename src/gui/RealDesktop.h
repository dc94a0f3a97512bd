// The real desktop services: Qt's file and folder dialogs, the system's URL
// handler, waits that keep the windows alive, and the pop-up notice.
#pragma once

#include <memory>
#include <vector>

class QEventLoop;

#include "gui/EventWait.h"
#include "gui/GuiServices.h"

namespace zelk {

class FrmPopUp;

class QtFilePicker : public FilePicker {
public:
    QString PickInputFile(QWidget* owner, const QString& title, const QString& filter) override;
    QString PickFolder(QWidget* owner, const QString& title) override;
};

class RealDesktop : public Desktop {
public:
    RealDesktop();
    ~RealDesktop() override;
    bool OpenUrl(const QUrl& url) override;
    // Returns after the given time; meanwhile events keep flowing, so the
    // windows paint, the tick runs and Quit is taken at once.
    void Wait(double seconds) override;
    // Ends the wait under way and makes later ones return at once: the
    // program is ending.
    void EndWaits();
    void KeepAliveWait(double seconds, const std::function<bool()>& ended) override;
    void PopUpInForm(QWidget* frm, const QString& message, int width, int height, int interval,
                     int top, int left) override;

private:
    std::unique_ptr<FrmPopUp> popUp_;
    std::vector<QEventLoop*> waitLoops_;  // nested waits, innermost last
    bool ending_ = false;
    SteadyWaitClock clock_;
};

}  // namespace zelk
