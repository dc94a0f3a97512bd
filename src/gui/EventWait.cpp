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

bool SteadyWaitClock::RunEvents(std::chrono::milliseconds span) {
    // The loop blocks until events come or the span is over; it ends with
    // another code only when the program tells every event loop to stop.
    constexpr int kSpanOver = 1;
    QEventLoop loop;
    QTimer::singleShot(span, &loop, [&loop] { loop.exit(kSpanOver); });
    return loop.exec() == kSpanOver;
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
        if (!clock.RunEvents(std::min(kWaitSlice, deadline - now))) return;
    }
}

}  // namespace zelk
