#pragma once
// What the six playable classes share: they differ only in data (class id,
// names, knock-out text, starting statistics, growth formulas, command
// buttons, button colours, status lines, race label and field-sprite
// script), so each class hands its row of the class table to this base.
#include <cstdint>
#include <memory>
#include <string>

#include "combat/Character.h"
#include "combat/CombatStats.h"

class FieldSprite;
class GUICombatMessageWindow;

// One growth formula: x^exponent (when the exponent is not 0) + factor x +
// constant, truncated toward zero.
struct GrowthFormula {
    float exponent;
    int32_t factor;
    int32_t constant;
};

struct CommandButton {
    const char* label;
    int32_t command;
    int32_t y;
};

struct PartyClassData {
    const char* creationName;
    int32_t classId;
    const char* displayName;
    const char* koText;
    int32_t hp;
    int32_t mp;                  // used when setsMp
    bool setsMp;                 // otherwise MP stays at the character default
    bool hasMp;                  // grows MP and shows the MP line
    int32_t stats[6];            // Strength, Toughness, Intellect, Cunning, Agility, Speed
    int32_t firstThresholdBase;  // first threshold: rand() mod 3 + this
    int32_t stepConstant;        // experience step factor 5L + this
    GrowthFormula maxHp;
    GrowthFormula maxMp;
    GrowthFormula growth[6];
    CommandButton page0[4];
    int32_t page0Count;
    uint8_t colours[3][3];
    const char* raceLabel;
    const char* fieldSpriteScript;
};

class PartyClass : public Character {
public:
    // No level beyond this one; experience past it is kept but levels no more.
    static constexpr int32_t kMaxLevel = 99;
    // The number of party classes and their rows, by class id.
    static constexpr int32_t kClassCount = 6;
    static const PartyClassData& GetClassData(int32_t classId);

    explicit PartyClass(const PartyClassData& data);
    ~PartyClass() override;

    int32_t GetLastCommandPage() override { return 1; }
    void LoadFieldSprite() override;
    void GainExperience(int32_t amount) override;
    void FillCommandWindow(GUICombatCommandWindow* window, int32_t page) override;
    void FillStatusDisplay() override;

    const PartyClassData& GetData() const { return m_data; }
    FieldSprite* GetSprite() const { return m_sprite; }
    // True once the field-sprite script has run for this member.
    bool HasLoadedFieldSprite() const { return m_spriteLoaded; }

private:
    void LevelUp(GUICombatMessageWindow* window);

    const PartyClassData& m_data;
    FieldSprite* m_sprite;  // owned by Character
    bool m_spriteLoaded = false;
};

// A new member of the class with that id (0 to 5), or null.
std::unique_ptr<PartyClass> CreatePartyClass(int32_t classId);
