#include "world/AnimationState.h"

#include <cstdio>

AnimationState::AnimationState(int32_t index, const std::string& ownerKind, const std::string& owner,
                               const std::string& property, uint8_t compareValue)
    : m_index(index), m_compare(compareValue) {
    m_type = kTypeAnimationState;
    if (!m_watch.Bind(ownerKind, owner, property))
        std::fputs("Animation State Constructor:  Warning, Watch Pointer was found to be NULL\n", stderr);
}

AnimationState::~AnimationState() = default;

AnimationState* AnimationState::AddChild(const std::string& name, int32_t index, const std::string& ownerKind,
                                         const std::string& owner, const std::string& property,
                                         uint8_t compareValue) {
    return m_children.Add(name, new AnimationState(index, ownerKind, owner, property, compareValue));
}

int32_t AnimationState::Evaluate() const {
    // Any routed field is at least one byte long; its first byte is watched.
    const uint8_t* watched = static_cast<const uint8_t*>(m_watch.Get());
    if (!watched || *watched == m_compare) return -1;
    int32_t child = m_children.Evaluate();
    return child != -1 ? child : m_index;
}
