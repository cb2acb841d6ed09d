#pragma once
// The playable class Wistlemarn; its numbers are row 5 of the class table.
#include "combat/PartyClass.h"

class Wistlemarn : public PartyClass {
public:
    static constexpr int32_t kClassId = 5;
    Wistlemarn();
};
