#pragma once
// Wider numbers brought back into the 32-bit range. Positions, sizes and
// counts are kept in 32 bits, but they reach the engine unbounded from
// scripts and files: their sums and differences are taken in 64 bits or as
// doubles and then held at the ends of the range instead of wrapping.
#include <cmath>
#include <cstdint>

// A 64-bit value held to [INT32_MIN, INT32_MAX].
inline int32_t SaturateToInt32(int64_t value) {
    return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : static_cast<int32_t>(value);
}

// A double truncated toward zero and held to the 32-bit range; NaN gives 0.
inline int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}
