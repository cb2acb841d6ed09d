#include "support/ScriptedRandom.h"

#include <utility>

#include "core/base/Random.h"

namespace testsupport {

ScriptedRandom::ScriptedRandom(std::vector<int> values) : m_values(std::move(values)) {
    SetRandomSource([this] { return m_at < m_values.size() ? m_values[m_at++] : 0; });
}

ScriptedRandom::~ScriptedRandom() { SetRandomSource({}); }

}  // namespace testsupport
