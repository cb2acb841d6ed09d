#pragma once
// The playable class Kell; its numbers are row 4 of the class table.
#include "combat/PartyClass.h"

class Kell : public PartyClass {
public:
    static constexpr int32_t kClassId = 4;
    Kell();
};
