// The start-up benchmark behind the hidden option --startup-times: the time
// from the start of the process to the first complete frame of the main
// window, and to the end of the start-up.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <string>
#include <unistd.h>

namespace zelk {

// Milliseconds since this process was started, from the kernel's record of
// its start (clock ticks since boot) and the boot-time clock.
inline double MsSinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const std::string all = stat.readAll().toStdString();
    const auto close = all.rfind(')');
    if (close == std::string::npos) return -1;
    // Field 22 (starttime) counted from field 3, which follows the ") ".
    std::size_t pos = close + 2;
    for (int field = 3; field < 22; ++field) pos = all.find(' ', pos) + 1;
    const double startTicks = std::stod(all.substr(pos, all.find(' ', pos) - pos));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
    return nowMs - startTicks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

inline void PrintStartupTime(const char* what) {
    std::printf("%s %.0f ms\n", what, MsSinceProcessStart());
    std::fflush(stdout);
}

// Prints "first-frame" once the main window has been painted for the first
// time: the paint of the window and all its controls is one pass, and the
// zero timer runs when that pass (and its flush to the screen) is over.
// With a picture path, the screen as it stands then is saved there.
inline void ReportStartupTimes(QWidget& window, const QString& picture) {
    struct FirstPaint : QObject {
        bool seen = false;
        QWidget* window = nullptr;
        QString picture;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint && !seen) {
                seen = true;
                QTimer::singleShot(0, [w = window, path = picture] {
                    PrintStartupTime("first-frame");
                    if (!path.isEmpty() && w->screen()) w->screen()->grabWindow(0).save(path);
                });
            }
            return false;
        }
    };
    auto* filter = new FirstPaint;
    filter->window = &window;
    filter->picture = picture;
    filter->setParent(&window);
    window.installEventFilter(filter);
}

}  // namespace zelk
