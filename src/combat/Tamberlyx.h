#pragma once
// The playable class Tamberlyx; its numbers are row 2 of the class table.
#include "combat/PartyClass.h"

class Tamberlyx : public PartyClass {
public:
    static constexpr int32_t kClassId = 2;
    Tamberlyx();
};
