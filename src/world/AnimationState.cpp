#include "world/AnimationState.h"

#include <cstdio>

AnimationState::AnimationState(int32_t index, const std::string& ownerKind, const std::string& owner,
                               const std::string& property, uint8_t compareValue)
    : m_index(index), m_compare(compareValue) {
    m_type = kTypeAnimationState;
    if (!m_watch.Bind(ownerKind, owner, property)) {
        std::fputs("Animation State Constructor:  Warning, Watch Pointer was found to be NULL\n", stderr);
        return;
    }
    // Only a number held in the owner itself is watched: an address of a
    // whole object (an image, a list) says nothing as a flag and may be
    // freed under the watcher.
    double probe = 0;
    if (!m_watch.Read(probe)) {
        std::fprintf(stderr, "Animation State Constructor:  Warning, %s of %s is not a number and is not watched\n",
                     property.c_str(), owner.c_str());
        m_watch.Clear();
    }
}

AnimationState::~AnimationState() = default;

AnimationState* AnimationState::AddChild(const std::string& name, int32_t index, const std::string& ownerKind,
                                         const std::string& owner, const std::string& property, uint8_t compareValue) {
    return m_children.Add(name, new AnimationState(index, ownerKind, owner, property, compareValue));
}

int32_t AnimationState::Evaluate() const {
    // The watched number is read by its type; a watch whose owner or field
    // has gone reads nothing and the state stays inactive.
    double watched = 0;
    if (!m_watch.Read(watched) || watched == m_compare) return -1;
    int32_t child = m_children.Evaluate();
    return child != -1 ? child : m_index;
}
