#include "gui/EventWait.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace zelk {

std::chrono::milliseconds SteadyWaitClock::Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void SteadyWaitClock::RunEvents(std::chrono::milliseconds span) {
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
}

void WaitKeepingEventsFlowing(double seconds, WaitClock& clock,
                              const std::function<bool()>& ended) {
    if (!(seconds > 0)) return;
    const auto deadline =
        clock.Now() + std::chrono::milliseconds(std::llround(seconds * 1000.0));
    for (;;) {
        if (ended && ended()) return;
        const auto now = clock.Now();
        if (now >= deadline) return;
        clock.RunEvents(std::min(kWaitSlice, deadline - now));
    }
}

}  // namespace zelk
