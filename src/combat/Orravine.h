#pragma once
// The playable class Orravine; its numbers are row 0 of the class table.
#include "combat/PartyClass.h"

class Orravine : public PartyClass {
public:
    static constexpr int32_t kClassId = 0;
    Orravine();
};
