#include "combat/PartyClass.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "combat/Bramle.h"
#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "combat/FieldSprite.h"
#include "combat/GUICombatCharDisplay.h"
#include "combat/GUICombatCommandWindow.h"
#include "combat/GUICombatMessageWindow.h"
#include "combat/Kell.h"
#include "combat/Orravine.h"
#include "combat/Sesket.h"
#include "combat/Tamberlyx.h"
#include "combat/Wistlemarn.h"
#include "core/base/ByteBuffer.h"
#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/base/Random.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"

namespace {

constexpr float P11 = 1.1f;
constexpr float P12 = 1.2f;

// clang-format off
// Rows in class-id order.
const PartyClassData kClasses[PartyClass::kClassCount] = {
    {"Orravine", 0, "Orravine", "Orravine got hurt and collapsed!", 65, 43, true, true, {7, 8, 10, 9, 5, 5}, 15, 8,
     {P11, 5, 60}, {P12, 5, 38},
     {{0, 3, 4}, {0, 3, 5}, {0, 5, 5}, {0, 5, 5}, {0, 2, 3}, {0, 2, 3}},
     {{"Attack", 1, 0}, {"Defend", 2, 40}, {"Abilities", 3, 120}}, 3,
     {{195, 150, 210}, {168, 124, 183}, {154, 113, 169}}, "LabelThessik",
     "Data/Scripts/Combat/FieldSprites/OrravineFieldSprite.lua"},
    {"Bramle", 1, "Bramle Vey", "Bramle Vey was too injured to stand!", 72, 0, true, false, {8, 6, 5, 5, 6, 5}, 18,
     6, {P12, 5, 68}, {0, 0, 0},
     {{0, 4, 4}, {0, 4, 2}, {0, 2, 3}, {0, 3, 2}, {0, 3, 3}, {0, 3, 2}},
     {{"Attack", 1, 0}, {"Defend", 2, 40}, {"Aura", 0, 80}, {"Abilities", 3, 120}}, 4,
     {{228, 172, 197}, {212, 152, 180}, {193, 117, 156}}, "LabelEarthVorn",
     "Data/Scripts/Combat/FieldSprites/BramleFieldSprite.lua"},
    {"Tamberlyx", 2, "Tamberlyx", "Tamberlyx got hurt and collapsed!", 92, 1, false, false, {8, 8, 3, 4, 8, 7}, 15,
     8, {P11, 5, 87}, {0, 0, 0},
     {{0, 4, 4}, {0, 4, 4}, {0, 2, 1}, {0, 2, 2}, {0, 4, 3}, {0, 4, 5}},
     {{"Attack", 1, 0}, {"Defend", 2, 40}, {"Abilities", 4, 120}}, 3,
     {{195, 150, 210}, {168, 124, 183}, {154, 113, 169}}, "LabelEarthVorn",
     "Data/Scripts/Combat/FieldSprites/YQFieldSprite.lua"},
    {"Sesket", 3, "Sesket", "Sesket slumped over...", 55, 29, true, true, {6, 7, 9, 10, 5, 5}, 15, 8, {P11, 5, 50},
     {P12, 5, 24},
     {{0, 3, 3}, {0, 3, 4}, {0, 5, 4}, {0, 5, 5}, {0, 2, 3}, {0, 2, 3}},
     {{"Attack", 1, 0}, {"Defend", 2, 40}, {"Analyze", 10, 80}, {"Spells", 3, 120}}, 4,
     {{195, 150, 210}, {168, 124, 183}, {154, 113, 169}}, "LabelThessik",
     "Data/Scripts/Combat/FieldSprites/SesketFieldSprite.lua"},
    {"Kell", 4, "Kell", "Vostrin Kell could not go on...", 60, 1, false, false, {7, 5, 4, 4, 8, 10}, 15, 8,
     {P11, 5, 55}, {0, 0, 0},
     {{0, 4, 3}, {0, 3, 2}, {0, 2, 2}, {0, 2, 2}, {0, 4, 4}, {0, 5, 5}},
     {{"Attack", 1, 0}, {"Defend", 2, 40}, {"Analyze", 10, 80}, {"Spells", 3, 120}}, 4,
     {{195, 150, 210}, {168, 124, 183}, {154, 113, 169}}, "LabelQuorrel",
     "Data/Scripts/Combat/FieldSprites/KellFieldSprite.lua"},
    {"Wistlemarn", 5, "Wistlemarn", "Wistlemarn collapsed!", 31, 0, true, false, {3, 4, 4, 6, 7, 7}, 15, 8,
     {P11, 3, 28}, {0, 0, 0},
     {{0, 2, 1}, {0, 2, 2}, {0, 2, 2}, {0, 3, 3}, {0, 3, 4}, {0, 3, 4}},
     {{"Attack", 1, 0}, {"Defend", 2, 40}, {"Analyze", 10, 80}, {"Spells", 3, 120}}, 4,
     {{195, 150, 210}, {168, 124, 183}, {154, 113, 169}}, "LabelQuorrel",
     "Data/Scripts/Combat/FieldSprites/WistlemarnFieldSprite.lua"},
};
// clang-format on

// The linear part is single precision (x is a 32-bit float): factor x is
// rounded to a float, and without a power the constant is added in float too.
// The power is taken in double and the sum with it is double.
int32_t Evaluate(const GrowthFormula& formula, float x) {
    const float linear = static_cast<float>(formula.factor) * x;
    if (formula.exponent == 0.0f) {
        const float value = linear + static_cast<float>(formula.constant);
        return TruncateToInt32(std::trunc(static_cast<double>(value)));
    }
    const double power = std::pow(static_cast<double>(x), static_cast<double>(formula.exponent));
    return TruncateToInt32(std::trunc(power + static_cast<double>(linear) + formula.constant));
}

// L plus or minus 0.35 for a draw.
float XAt(int32_t level, int32_t draw) {
    return static_cast<float>(level) + static_cast<float>(draw % 71 - 35) / 100.0f;
}

float DrawX(int32_t level) { return XAt(level, RandomNext()); }

// A change for the level-up texts, held to the 32-bit range.
int32_t Change(int32_t now, int32_t before) { return SaturateToInt32(int64_t{now} - before); }

template <typename... Args> std::string Format(const char* format, Args... values) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

GUICombatMessageWindow* FindMessageWindow() {
    GUIManager* gui = GetGlobalState()->guiManager;
    return gui ? dynamic_cast<GUICombatMessageWindow*>(gui->FindObject("CombatMessageWindow")) : nullptr;
}

}  // namespace

const PartyClassData& PartyClass::GetClassData(int32_t classId) {
    return kClasses[std::clamp(classId, 0, kClassCount - 1)];
}

PartyClass::PartyClass(const PartyClassData& data) : m_data(data), m_sprite(new FieldSprite()) {
    SetFieldSprite(std::unique_ptr<CombatSprite>(m_sprite));
    SetClassId(data.classId);
    SetName(data.displayName);
    m_koText = data.koText;
    CombatStats& s = *GetStats();
    s.level = 1;
    s.hp = s.maxHp = data.hp;
    if (data.setsMp) s.mp = s.maxMp = data.mp;
    s.strength = data.stats[0];
    s.toughness = data.stats[1];
    s.intellect = data.stats[2];
    s.cunning = data.stats[3];
    s.agility = data.stats[4];
    s.speed = data.stats[5];
    ExperienceRecord& e = *GetExperience();
    e.needed = RandomNext() % 3 + data.firstThresholdBase;
    e.gained = 0;
    m_command = 0;
    m_subChoice = 0;
    m_targetIndex = 0;
}

PartyClass::~PartyClass() = default;

void PartyClass::LoadFieldSprite() {
    m_spriteLoaded = true;
    m_sprite->LoadFromScript(m_data.fieldSpriteScript);
}

void PartyClass::GainExperience(int32_t amount) {
    GUICombatMessageWindow* window = FindMessageWindow();
    ExperienceRecord& e = *GetExperience();
    // 64-bit sums, kept within the record's range; the level cap ends the
    // loop even when the threshold can grow no further.
    e.gained = TruncateToInt32(static_cast<double>(e.gained) + amount);
    while (e.gained >= e.needed && GetStats()->level < kMaxLevel) LevelUp(window);
}

void PartyClass::LevelUp(GUICombatMessageWindow* window) {
    CombatStats& s = *GetStats();
    ExperienceRecord& e = *GetExperience();
    s.level += 1;
    const int32_t level = s.level;
    const float f = 1.0f + static_cast<float>(RandomNext() % 21 - 10) / 100.0f;
    // needed + step x f + 1 in single precision, as f is a 32-bit float.
    const int64_t step = (5LL * level + m_data.stepConstant) * level;
    const float raised = static_cast<float>(e.needed) + static_cast<float>(step) * f;
    e.needed = TruncateToInt32(std::trunc(static_cast<double>(raised + 1.0f)));

    const int32_t oldMaxHp = s.maxHp;
    const int32_t oldMaxMp = s.maxMp;
    int32_t* stats[6] = {&s.strength, &s.toughness, &s.intellect, &s.cunning, &s.agility, &s.speed};
    int32_t old[6];
    for (int i = 0; i < 6; ++i) old[i] = *stats[i];

    // A maximum is never below 0, whatever its formula gives.
    s.maxHp = std::max(Evaluate(m_data.maxHp, DrawX(level)), 0);
    if (m_data.hasMp) s.maxMp = std::max(Evaluate(m_data.maxMp, DrawX(level)), 0);
    for (int i = 0; i < 6; ++i) *stats[i] = Evaluate(m_data.growth[i], DrawX(level));
    // HP and MP move with their maxima, within [0, max]. A member who stood
    // keeps at least 1 HP however far its maximum falls (one a script set
    // above the formulas); only a maximum of 0 leaves it none, which knocks
    // it out, its texts following the level's.
    const int64_t hp = int64_t{s.hp} + (int64_t{s.maxHp} - oldMaxHp);
    const bool knockedOut = PutHP(s.hp > 0 ? std::max<int64_t>(hp, 1) : hp);
    if (m_data.hasMp) SetMP(int64_t{s.mp} + (int64_t{s.maxMp} - oldMaxMp));
    if (window) {
        auto line = [window](const std::string& text) {
            window->QueueText(text);
            window->QueueLineBreak();
            window->PushWait(16);
        };
        static const char* const kStatLines[6] = {"Strength increased by %i.",  "Toughness increased by %i.",
                                                  "Intellect increased by %i.", "Cunning increased by %i.",
                                                  "Agility increased by %i.",   "Speed increased by %i."};
        line(Format("%s is now level %i!", GetName().c_str(), level));
        line(Format("Max HP increased by %i.", Change(s.maxHp, oldMaxHp)));
        if (m_data.hasMp) line(Format("Max MP increased by %i.", Change(s.maxMp, oldMaxMp)));
        for (int i = 0; i < 6; ++i) line(Format(kStatLines[i], Change(*stats[i], old[i])));
        window->QueueLineBreak();
    }
    if (knockedOut) KnockOut();
}

void PartyClass::FillCommandWindow(GUICombatCommandWindow* window, int32_t page) {
    if (!window) return;
    window->DeleteChildren();
    const auto& c = m_data.colours;
    window->SetColours(al_map_rgb(c[0][0], c[0][1], c[0][2]), al_map_rgb(c[1][0], c[1][1], c[1][2]),
                       al_map_rgb(c[2][0], c[2][1], c[2][2]));
    auto add = [window](const CommandButton& entry) {
        GUIButton* button = window->AddCommandButton(0, entry.y, 107, 33, entry.label);
        if (!button) return;
        button->AllocData(4);
        button->SetFunction("CombatButton_OrderCommand");
        button->SetClickSound("Accept");
        uint32_t cursor = 0;
        BufferWriteInt32BE(entry.command, &cursor, button->GetData());
    };
    if (page == 0) {
        for (int32_t i = 0; i < m_data.page0Count; ++i) add(m_data.page0[i]);
    } else if (page == 1) {
        add({"Items", 5, 0});
        if (IsLeader()) {
            add({"Run", 6, 40});
            add({"Auto", 0, 80});
        }
    }
}

void PartyClass::FillStatusDisplay() {
    GUICombatCharDisplay* display = GetStatusDisplay();
    if (!display) return;
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    if (!display->DrawBase()) return;
    CombatManager* manager = GetCombatRegistry().combatManager;
    ALLEGRO_FONT* font = manager ? manager->GetFont() : nullptr;
    if (font) {
        const ALLEGRO_COLOR black = al_map_rgb(0, 0, 0);
        const CombatStats& s = *GetStats();
        al_draw_textf(font, black, 9, 2, 0, "%s", m_data.displayName);
        al_draw_textf(font, black, 3, 19, 0, "HP %s/%i", FormatStatNumber(s.maxHp, s.shownHp).c_str(), s.maxHp);
        if (m_data.hasMp)
            al_draw_textf(font, black, 3, 35, 0, "MP %s/%i", FormatStatNumber(s.maxMp, s.shownMp).c_str(), s.maxMp);
        if (DataLibrary* library = GetGlobalState()->dataLibrary) {
            // Looked up every tick: a missing label stays silent.
            auto* label =
                library->GetQuietly<BitmapWrapper>("Images", "GUI", "Combat", m_data.raceLabel, DataKind::Bitmap);
            if (label) label->DrawDefault(19, 53);
        }
    }
    if (previous) al_set_target_bitmap(previous);
}

std::unique_ptr<PartyClass> CreatePartyClass(int32_t classId) {
    switch (classId) {
        case 0: return std::make_unique<Orravine>();
        case 1: return std::make_unique<Bramle>();
        case 2: return std::make_unique<Tamberlyx>();
        case 3: return std::make_unique<Sesket>();
        case 4: return std::make_unique<Kell>();
        case 5: return std::make_unique<Wistlemarn>();
        default: return nullptr;
    }
}
