#pragma once
// One node of a tree that chooses a character's animation from its state
// flags. A state is active while its watched number (a flag, an int, a
// float) differs from its compare value; a watch of anything but a number is
// refused. The deepest active state along the first active branch gives the
// animation index.
#include <cstdint>
#include <string>

#include "core/base/RootObject.h"
#include "core/script/PropertyRouter.h"
#include "world/AnimationStateList.h"

class AnimationState : public RootObject {
public:
    // The watched byte is routed through the PropertyRouter from (owner
    // kind, owner, property); when nothing is found a warning is printed and
    // the state never becomes active.
    AnimationState(int32_t index, const std::string& ownerKind, const std::string& owner, const std::string& property,
                   uint8_t compareValue);
    ~AnimationState();
    AnimationState(const AnimationState&) = delete;
    AnimationState& operator=(const AnimationState&) = delete;

    AnimationState* AddChild(const std::string& name, int32_t index, const std::string& ownerKind,
                             const std::string& owner, const std::string& property, uint8_t compareValue);
    AnimationState* FindChild(const std::string& name) const { return m_children.Find(name); }
    AnimationStateList& GetChildren() { return m_children; }
    const AnimationStateList& GetChildren() const { return m_children; }

    void SetIndex(int32_t index) { m_index = index; }
    int32_t GetIndex() const { return m_index; }
    void SetValue(uint8_t value) { m_compare = value; }
    uint8_t GetValue() const { return m_compare; }
    bool HasWatch() const { return m_watch.Get() != nullptr; }

    // -1 while inactive (no watched byte, or it equals the compare value);
    // else the first child result other than -1, else the own index.
    int32_t Evaluate() const;

private:
    int32_t m_index;
    PropertyRouter::SyncPointer m_watch;
    uint8_t m_compare;
    AnimationStateList m_children;
};
