#include "world/AnimationStateList.h"

#include "world/AnimationState.h"

AnimationStateList::AnimationStateList() = default;

AnimationStateList::~AnimationStateList() = default;

AnimationState* AnimationStateList::Add(const std::string& name, AnimationState* state) {
    if (!state) return nullptr;
    m_states.emplace_back(name, std::unique_ptr<AnimationState>(state));
    return state;
}

AnimationState* AnimationStateList::Find(const std::string& name) const {
    for (const auto& [stateName, state] : m_states)
        if (stateName == name) return state.get();
    return nullptr;
}

AnimationState* AnimationStateList::GetAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return m_states[static_cast<size_t>(index)].second.get();
}

int32_t AnimationStateList::Evaluate() const {
    for (const auto& entry : m_states) {
        int32_t result = entry.second->Evaluate();
        if (result != -1) return result;
    }
    return -1;
}

bool AnimationStateList::Contains(const AnimationStateList* list) const {
    if (list == this) return true;
    for (const auto& entry : m_states)
        if (entry.second->GetChildren().Contains(list)) return true;
    return false;
}

bool AnimationStateList::Contains(const AnimationState* state) const {
    for (const auto& entry : m_states)
        if (entry.second.get() == state || entry.second->GetChildren().Contains(state)) return true;
    return false;
}
