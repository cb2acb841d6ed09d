#include "savefile/SFCharacterModule.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "combat/Character.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatStats.h"
#include "combat/PartyClass.h"
#include "combat/PartyManager.h"
#include "core/base/TextUtils.h"

namespace {

constexpr size_t kStatCount = 13;

void PutI32(std::vector<uint8_t>& out, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

int32_t GetI32(const std::vector<uint8_t>& in, size_t offset) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v |= uint32_t{in[offset + i]} << (8 * i);
    return static_cast<int32_t>(v);
}

// The statistics in their saved order.
int32_t* StatFields(CombatStats& s, size_t index) {
    int32_t* fields[kStatCount] = {&s.level,   &s.hp,      &s.maxHp,    &s.mp,        &s.maxMp,
                                   &s.shownHp, &s.shownMp, &s.strength, &s.toughness, &s.intellect,
                                   &s.cunning, &s.agility, &s.speed};
    return fields[index];
}

void BringWithin(const std::string& name, const char* what, int32_t& value, int32_t low, int32_t high) {
    if (value >= low && value <= high) return;
    const int32_t loaded = std::clamp(value, low, high);
    std::fprintf(stderr, "SFCharacterModule - Warning, %s: %s %i is out of range, loaded as %i.\n",
                 PrintableText(name.c_str()).c_str(), what, value, loaded);
    value = loaded;
}

// A level above the cap is brought down to it, and HP and MP (with their
// maxima) into [0, max] as every change of them keeps them, saying so.
// Every other number is kept as saved: scripts may set any of them, and the
// battle's arithmetic holds whatever 32-bit values it meets.
void KeepWithinReach(const std::string& name, CombatStats& stats) {
    BringWithin(name, "level", stats.level, INT32_MIN, PartyClass::kMaxLevel);
    BringWithin(name, "max HP", stats.maxHp, 0, INT32_MAX);
    BringWithin(name, "HP", stats.hp, 0, stats.maxHp);
    BringWithin(name, "max MP", stats.maxMp, 0, INT32_MAX);
    BringWithin(name, "MP", stats.mp, 0, stats.maxMp);
}

}  // namespace

void SFCharacterModule::Fill(const Character* character) {
    m_version = 0;
    if (!character || !character->GetStats() || !character->GetExperience()) return;
    SetName(character->GetName());
    std::vector<uint8_t> data;
    data.reserve(kPayloadSize);
    PutI32(data, character->GetClassId());
    CombatStats stats = *character->GetStats();
    for (size_t i = 0; i < kStatCount; ++i) PutI32(data, *StatFields(stats, i));
    PutI32(data, character->GetExperience()->needed);
    PutI32(data, character->GetExperience()->gained);
    SetData(std::move(data));
}

bool SFCharacterModule::Validate() const {
    if (m_version != 0) return true;
    // A level above the cap is brought down to it on load; one below 1 has
    // no meaning.
    if (m_data.size() != kPayloadSize) return false;
    return GetI32(m_data, 4) >= 1;
}

void SFCharacterModule::UpdateOldVersion() {
    if (m_version != 0) std::fprintf(stderr, "SFCharacterModule - Warning, unhandled version %i.\n", m_version);
}

void SFCharacterModule::Interperet() {
    UpdateOldVersion();
    if (m_version != 0 || m_data.size() != kPayloadSize) return;
    const int32_t classId = GetI32(m_data, 0);
    if (classId < 0 || classId >= PartyClass::kClassCount) {
        std::fprintf(stderr, "Warning, unresolved character %i in CharacterModule.\n", classId);
        return;
    }
    auto* party = dynamic_cast<PartyManager*>(GetCombatRegistry().partyManager);
    if (!party) return;
    // Listed under its class's creation name, as a member made by a script
    // is, so scripts find it again by that name.
    Character* member = party->AddCharacter(PartyClass::GetClassData(classId).creationName);
    if (!member) return;
    auto stats = std::make_unique<CombatStats>();
    for (size_t i = 0; i < kStatCount; ++i) *StatFields(*stats, i) = GetI32(m_data, 4 + 4 * i);
    KeepWithinReach(GetName(), *stats);
    auto experience = std::make_unique<ExperienceRecord>();
    experience->needed = GetI32(m_data, 56);
    experience->gained = GetI32(m_data, 60);
    member->SetStats(stats.release());
    member->SetExperience(experience.release());
}
