// The real desktop services: Qt's file and folder dialogs, the system's URL
// handler, blocking waits that keep the window painted, and the pop-up notice.
#pragma once

#include <memory>

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
    void Wait(double seconds) override;
    void PopUpInForm(QWidget* frm, const QString& message, int width, int height, int interval,
                     int top, int left) override;

private:
    std::unique_ptr<FrmPopUp> popUp_;
};

}  // namespace zelk
