// Waits that keep the windows alive: while a run pauses between files or
// after a Stop, clicks (Stop, Break, Pause, Quit) and repaints are handled
// as they come. The clock is a seam, so the tests can let time pass without
// sleeping.
#pragma once

#include <chrono>
#include <functional>

namespace zelk {

class WaitClock {
public:
    virtual ~WaitClock() = default;
    virtual std::chrono::milliseconds Now() = 0;
    // Handles the window's events for at most `span`. False when events can
    // no longer be waited for because the program is ending.
    virtual bool RunEvents(std::chrono::milliseconds span) = 0;
};

// The real clock: the steady clock of the machine, and an event loop that
// blocks until the next event or the end of the span.
class SteadyWaitClock : public WaitClock {
public:
    std::chrono::milliseconds Now() override;
    bool RunEvents(std::chrono::milliseconds span) override;
};

// How often a wait looks at its end condition: well under the 100 ms in
// which a click must take effect.
inline constexpr std::chrono::milliseconds kWaitSlice{20};

// Waits `seconds` while handling events; ends early as soon as `ended`
// (when given) returns true. A pause held by a click during the wait (the
// report window's Pause button) holds the wait with it.
void WaitKeepingEventsFlowing(double seconds, WaitClock& clock,
                              const std::function<bool()>& ended = {});

}  // namespace zelk
