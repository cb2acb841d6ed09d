#pragma once
// For tests of containers that own their values: eight distinct values to
// store (V(0) to V(7)) and a deleter, Record, that logs each value it is
// handed, in order, in g_released (cleared by the test).
#include <vector>

namespace testsupport::release_log {

inline std::vector<void*> g_released;
inline void Record(void* value) { g_released.push_back(value); }
inline int g_values[8];
inline void* V(int i) { return &g_values[i]; }

}  // namespace testsupport::release_log
