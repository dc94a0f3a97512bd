#include "analysis/WordList.h"

#include <cmath>
#include <cstdio>

#include "common/StrProc.h"

namespace zelk {

namespace {

std::string PadLeft(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

// Two decimals, "." and a leading zero. The value is first taken to 15
// significant digits and then rounded half away from zero, the way a
// decimal number format rounds what it shows: 0.125 gives "0.13", and
// 14.5 / 100 gives "0.15" although its binary value lies just below.
// Two decimals of the exact binary value, ties to even, "." and a leading
// zero: the plain C formatting, the same on every machine and locale.
std::string FormatDensity(double x) {
    if (!std::isfinite(x) || x <= 0) return "0.00";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", x);
    return buf;
}

}  // namespace

std::string ListWords(const WordTable& table, int32_t totalWords,
                      const std::function<void(const std::string& appended)>& flush) {
    const std::size_t count = table.entries.size();
    if (count == 0) {
        const std::string none = "No words";
        if (flush) flush(none);
        return none;
    }
    std::string box = "Rank Value Freq. Density\r\n";
    if (flush) flush(box);
    long long interval = RoundHalfEven(static_cast<double>(count) / 10.0);
    if (interval < 10) interval = 10;
    const std::size_t rankWidth = std::max<std::size_t>(4, std::to_string(count).size());

    std::string pending;
    auto emit = [&] {
        if (pending.empty()) return;
        box += pending;
        if (flush) flush(pending);
        pending.clear();
    };
    bool zeroNoted = false;
    for (std::size_t idx = 0; idx < count; ++idx) {
        const WordEntry& e = table.entries[idx];
        const long long i = static_cast<long long>(idx) + 1;
        const long long value = RoundHalfEven(static_cast<double>(e.KeyValue));
        if (value != 0) {
            const double density =
                totalWords > 0 ? static_cast<double>(e.Frequency) * 100.0 / totalWords : 0.0;
            pending += PadLeft(std::to_string(i), rankWidth) + " " +
                       PadLeft(std::to_string(value), 5) + " " +
                       PadLeft(std::to_string(e.Frequency), 4) + "  " +
                       PadLeft(FormatDensity(density), 4) + "%  " + e.Word + "\r\n";
            if (i % interval == 0) emit();
        } else if (!zeroNoted) {
            zeroNoted = true;
            emit();
            pending = "\r\nWords with key value 0 not shown.\r\n";
            emit();
        }
    }
    emit();
    return box;
}

}  // namespace zelk
