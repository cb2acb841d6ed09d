#pragma once
#include <chrono>
#include <cstdint>

// Milliseconds of a monotonic clock (never jumps with the wall clock).
inline int64_t MonotonicMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
