#pragma once
// The playable class Bramle; its numbers are row 1 of the class table.
#include "combat/PartyClass.h"

class Bramle : public PartyClass {
public:
    static constexpr int32_t kClassId = 1;
    Bramle();
};
