#pragma once
// The playable class Sesket; its numbers are row 3 of the class table.
#include "combat/PartyClass.h"

class Sesket : public PartyClass {
public:
    static constexpr int32_t kClassId = 3;
    Sesket();
};
