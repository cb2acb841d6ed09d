#include "core/script/TimerManager.h"

#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/script/LuaManager.h"

namespace {
void DeleteCounter(void* value) { delete static_cast<int32_t*>(value); }
}  // namespace

TimerManager::TimerManager() : m_timers(std::make_unique<NamedList>(true)) {
    m_timers->SetDefaultDeleter(DeleteCounter);
    LuaManager* lua = GetGlobalState()->luaManager;
    if (lua && lua->GetLuaState()) RegisterLuaFunctions(lua->GetLuaState());
}

TimerManager::~TimerManager() = default;

void TimerManager::AddTimer(const std::string& name, int32_t start) { m_timers->Add(name, new int32_t(start)); }

int32_t TimerManager::GetTimer(const std::string& name) const {
    const int32_t* counter = m_timers->FindAs<int32_t>(name);
    return counter ? *counter : -700;
}

void TimerManager::DelTimer(const std::string& name) {
    int index = m_timers->IndexOfName(name);
    if (index >= 0) m_timers->RemoveAt(index);
}

void TimerManager::Tick() {
    for (NamedList::Node* node = m_timers->GetHead(); node; node = node->next) {
        auto* counter = static_cast<int32_t*>(node->value);
        // A counter left running for years stops at the top instead of
        // wrapping to a negative count.
        if (counter && *counter < INT32_MAX) ++*counter;
    }
}
