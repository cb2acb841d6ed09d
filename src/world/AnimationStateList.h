#pragma once
// An ordered, owning list of named animation states: a drawing list's state
// trees, or the children of one state. Names may repeat; lookups take the
// first.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class AnimationState;

class AnimationStateList {
public:
    AnimationStateList();
    ~AnimationStateList();
    AnimationStateList(const AnimationStateList&) = delete;
    AnimationStateList& operator=(const AnimationStateList&) = delete;

    // Appends; the list owns the state from then on (null is ignored).
    AnimationState* Add(const std::string& name, AnimationState* state);
    AnimationState* Find(const std::string& name) const;
    int GetCount() const { return static_cast<int>(m_states.size()); }
    AnimationState* GetAt(int index) const;

    // The first result other than -1 of the states in list order; -1 when
    // none.
    int32_t Evaluate() const;

    // True when this list is `list` or holds it somewhere below.
    bool Contains(const AnimationStateList* list) const;
    // True when `state` is in this list or somewhere below.
    bool Contains(const AnimationState* state) const;

private:
    std::vector<std::pair<std::string, std::unique_ptr<AnimationState>>> m_states;
};
