#pragma once
// The record of one party character: its class id, its 13 statistics and
// its 2 experience numbers, 64 bytes, little-endian.
#include "savefile/SavefileModule.h"

class Character;

class SFCharacterModule : public SavefileModule {
public:
    static constexpr uint32_t kPayloadSize = 64;

    SFCharacterModule() : SavefileModule(kTypeCharacter) {}

    // Name, version 0 and payload from the character; a null character
    // leaves the module without name and data.
    void Fill(const Character* character);
    // A new member of the saved class with the saved numbers joins the party
    // (found again by its class's creation name); a number beyond what any
    // class reaches is brought within reach with a line. Versions other than
    // 0 and unknown classes are reported and skipped.
    void Interperet() override;
    void UpdateOldVersion() override;
    // Version 0 payloads are exactly 64 bytes, with a level of 1 or more.
    bool Validate() const override;
};
