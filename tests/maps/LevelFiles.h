#pragma once
// Level files for the map tests, made with the level writer.
#include <string>
#include <vector>

#include "LevelWriter.h"

namespace testlevels {

inline std::string Bytes(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The level file of a writer.
inline std::string LevelFile(const plf::LevelWriter& level) { return Bytes(level.BuildFile()); }

// An empty level of one chunk.
inline std::string TinyLevel() { return LevelFile(plf::LevelWriter(1, 1)); }

}  // namespace testlevels
