#pragma once
// The engine's random source scripted for a test: it hands out the given
// numbers in order, then 0, until the object goes and the default source is
// back.
//
//   testsupport::ScriptedRandom random({3, 14});
#include <cstddef>
#include <vector>

namespace testsupport {

class ScriptedRandom {
public:
    explicit ScriptedRandom(std::vector<int> values);
    ~ScriptedRandom();
    ScriptedRandom(const ScriptedRandom&) = delete;
    ScriptedRandom& operator=(const ScriptedRandom&) = delete;

    // How many numbers were drawn.
    size_t Used() const { return m_at; }

private:
    std::vector<int> m_values;
    size_t m_at = 0;
};

}  // namespace testsupport
