#pragma once
// What the battle asks of the combat image library: the library implements
// it, and the combat registry's first slot holds it.
class CombatImages {
public:
    virtual ~CombatImages() = default;
    // Forgets and frees every image loaded for the battle.
    virtual void Clear() = 0;
};
