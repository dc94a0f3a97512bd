// Searches for one byte value, inline: the scanner asks for the next ">",
// ";", blank or "=" at every tag, usually a few dozen bytes ahead, where a
// call to memchr costs more than the search itself.
#pragma once

#include <cstddef>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zelk {

// Index of the first byte equal to c in [p, p + n), or n.
inline std::size_t FindByte(const char* p, std::size_t n, char c) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i want = _mm_set1_epi8(c);
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(v, want));
        if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    for (; i < n; ++i)
        if (p[i] == c) return i;
    return n;
}

}  // namespace zelk
