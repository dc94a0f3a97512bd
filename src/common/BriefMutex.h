// A lock held only for a few look-ups in memory. A thread that finds it
// taken tries again for a moment before it sleeps: sleeping costs two
// system calls, and the kernel tends to wake the sleeper on the core of the
// thread that woke it, where the two then share one core for milliseconds
// while another idles.
#pragma once

#include <mutex>

namespace zelk {

class BriefMutex {
public:
    void lock() {
        for (int i = 0; i < kTries; ++i) {
            if (mutex_.try_lock()) return;
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#endif
        }
        mutex_.lock();
    }
    bool try_lock() { return mutex_.try_lock(); }
    void unlock() { mutex_.unlock(); }

private:
    // A few microseconds: longer than a few look-ups take.
    static constexpr int kTries = 200;
    std::mutex mutex_;
};

}  // namespace zelk
