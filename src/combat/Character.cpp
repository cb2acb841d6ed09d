#include "combat/Character.h"

#include <algorithm>
#include <cstdio>

#include "combat/CombatEnemies.h"
#include "combat/CombatManager.h"
#include "combat/CombatParty.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatSprite.h"
#include "combat/GUICombatCommandWindow.h"
#include "combat/GUICombatMessageWindow.h"
#include "core/base/ByteBuffer.h"
#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/base/Random.h"
#include "core/base/TextUtils.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/LuaManager.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIButton.h"

namespace {

GUICombatMessageWindow* MessageWindow() {
    CombatManager* manager = GetCombatRegistry().combatManager;
    return manager ? manager->GetMessageWindow() : nullptr;
}

// rand() mod 20 - 10, kept in range whatever the source gives.
int32_t FactorStep(int32_t draw) {
    int32_t m = draw % 20;
    if (m < 0) m += 20;
    return m - 10;
}

}  // namespace

// ---- FormatStatNumber ----------------------------------------------------------

void FormatStatNumber(char* buffer, int32_t magnitude, int32_t value) {
    if (!buffer) return;
    if (value < 0) value = 0;  // shown HP never goes below 0
    buffer[0] = static_cast<char>('0' + (value / 1000) % 10);
    buffer[1] = static_cast<char>('0' + (value / 100) % 10);
    buffer[2] = static_cast<char>('0' + (value / 10) % 10);
    buffer[3] = static_cast<char>('0' + value % 10);
    if (magnitude <= 999) buffer[0] = ' ';
    if (magnitude <= 99) buffer[1] = ' ';
    if (magnitude <= 9) buffer[2] = ' ';
}

std::string FormatStatNumber(int32_t magnitude, int32_t value) {
    char buffer[4];
    FormatStatNumber(buffer, magnitude, value);
    return std::string(buffer, 4);
}

// ---- Construction ----------------------------------------------------------------

Character::Character() : m_stats(std::make_unique<CombatStats>()), m_experience(std::make_unique<ExperienceRecord>()) {
    SetKOMessage("<Name> has not set up the KO string!");
}

Character::~Character() = default;

// ---- Queries and setters ---------------------------------------------------------

bool Character::IsValidTarget(int32_t command) const { return command == kCommandAttack && m_stats->hp > 0; }

void Character::SetName(const std::string& name) { m_name = name; }

void Character::SetKOMessage(const std::string& text) {
    WildcardPairs pairs = MakeWildcardPairs("<Name>", m_name);
    std::optional<std::string> built = ReplaceWildcards(text, pairs);
    m_koText = built ? *built : text;
}

void Character::SetLevel(int32_t level) { m_stats->level = level; }

void Character::SetBasicProperties(int32_t hp, int32_t mp, int32_t strength, int32_t toughness, int32_t intellect,
                                   int32_t cunning, int32_t agility, int32_t speed) {
    m_stats->maxHp = std::max(hp, 0);
    SetHP(hp);
    m_stats->maxMp = std::max(mp, 0);
    SetMP(mp);
    m_stats->strength = strength;
    m_stats->toughness = toughness;
    m_stats->intellect = intellect;
    m_stats->cunning = cunning;
    m_stats->agility = agility;
    m_stats->speed = speed;
}

void Character::SetAttackAnimProperties(int32_t hitFrame, int32_t strikeFrames, int32_t ticksPerStrikeFrame,
                                        int32_t fourth, int32_t fifth) {
    if (hitFrame < 0 || hitFrame >= strikeFrames) hitFrame = 0;
    m_hitFrame = hitFrame;
    m_strikeFrames = strikeFrames;
    m_ticksPerStrikeFrame = ticksPerStrikeFrame;
    m_fourthAnimValue = fourth;
    m_fifthAnimValue = fifth;
}

void Character::SetHomePosition(int32_t x, int32_t y) {
    m_homeX = x;
    m_homeY = y;
}

void Character::SetStats(CombatStats* stats) {
    if (stats) m_stats.reset(stats);
}

void Character::SetExperience(ExperienceRecord* experience) {
    if (experience) m_experience.reset(experience);
}

void Character::SetCommand(int32_t command, int32_t subChoice, int32_t target) {
    if (m_stats->hp > 0) {
        m_command = command;
        m_subChoice = subChoice;
        m_targetIndex = target;
    }
    m_acted = 1;
}

void Character::SetMovePoint(int32_t index, const MovePoint& point) {
    if (!m_moveBufferActive || index < 0 || index >= kMovePoints) return;
    m_moveBuffer[static_cast<size_t>(index)] = point;
}

void Character::SetFieldSprite(std::unique_ptr<CombatSprite> sprite) { m_fieldSprite = std::move(sprite); }

// ---- Battle ------------------------------------------------------------------------

void Character::ResetForBattle() {
    m_acted = 0;
    m_command = 0;
    m_subChoice = -1;
    m_targetIndex = -1;
    SnapshotShownStats();
    if (IsAlive() && m_fieldSprite) m_fieldSprite->PlayAnimation("Idling");
}

void Character::SnapshotShownStats() {
    m_stats->shownHp = m_stats->hp;
    m_stats->shownMp = m_stats->mp;
}

// ---- HP and MP -----------------------------------------------------------------------

bool Character::PutHP(int64_t value) {
    const bool standing = m_stats->hp > 0;
    m_stats->hp = static_cast<int32_t>(std::clamp<int64_t>(value, 0, std::max(m_stats->maxHp, 0)));
    return standing && m_stats->hp == 0;
}

void Character::SetHP(int64_t value) {
    if (PutHP(value)) KnockOut();
}

void Character::SetMP(int64_t value) {
    m_stats->mp = static_cast<int32_t>(std::clamp<int64_t>(value, 0, std::max(m_stats->maxMp, 0)));
}

void Character::RestoreHP(int32_t amount) {
    const bool knockedOut = PutHP(int64_t{m_stats->hp} + amount);
    std::fprintf(stderr, "%s recovered %i HP!  %i/%i\n", m_name.c_str(), amount, m_stats->hp, m_stats->maxHp);
    if (knockedOut) KnockOut();
}

void Character::ReviveIfKnockedOut(int32_t value) {
    if (m_stats->hp < 1) SetHP(value);
}

void Character::KnockOut() {
    m_stats->shownHp = 0;
    CombatManager* manager = GetCombatRegistry().combatManager;
    GUICombatMessageWindow* window = manager && manager->IsBattleRunning() ? manager->GetMessageWindow() : nullptr;
    if (!window) {
        std::fprintf(stderr, "%s\n", m_koText.c_str());
        return;
    }
    // No blow named an actor: without one the window plays no pose.
    window->PushSetActor(m_combatId);
    QueueKnockOut(*window);
}

void Character::QueueKnockOut(GUICombatMessageWindow& window) {
    window.PushSetTarget(m_combatId);
    window.PushAnimateTarget(kKnockedOut);
    window.PushWait(24);
    window.PushSound("PlayerKO");
    window.QueueText(m_koText);
    window.QueueLineBreak();
    window.PushWait(24);
}

void Character::LowerShownHP(int32_t amount) {
    int64_t shown = static_cast<int64_t>(m_stats->shownHp) - amount;
    if (shown < 0) shown = 0;
    if (shown > INT32_MAX) shown = INT32_MAX;
    m_stats->shownHp = static_cast<int32_t>(shown);
}

void Character::PutSpriteAtHome() {
    if (m_fieldSprite) m_fieldSprite->SetPosition(static_cast<float>(m_homeX), static_cast<float>(m_homeY), 0.0f);
}

void Character::UpdateFieldSprite() {
    if (m_fieldSprite) m_fieldSprite->Update();
    FillStatusDisplay();
}

void Character::DrawFieldSprite() {
    if (m_fieldSprite) m_fieldSprite->Draw();
}

void Character::DrawPortrait(BitmapWrapper* target, int32_t x, int32_t y) {
    if (!target || !m_portrait || !target->GetBitmap()) return;
    target->SetAsTarget();
    m_portrait->DrawDefault(x, y);
}

// ---- The virtual operations --------------------------------------------------------

int32_t Character::GetLastCommandPage() { return 1; }

void Character::LoadFieldSprite() {}

void Character::ExecuteCommand() {
    CombatRegistry& registry = GetCombatRegistry();
    if (m_stats->hp < 1) m_command = kCommandNone;
    Character* target = nullptr;
    if (m_targetIndex != -1) {
        CombatManager* manager = registry.combatManager;
        target = manager ? manager->FindCombatantByIndex(m_targetIndex) : nullptr;
        if (!target || !target->IsValidTarget(m_command)) {
            // The chosen target is gone: another on the same side.
            int32_t partySize = registry.partyManager ? registry.partyManager->GetPartySize() : 0;
            if (m_targetIndex >= partySize)
                target =
                    registry.enemyManager ? registry.enemyManager->PickRandomTarget(m_command, m_subChoice) : nullptr;
            else
                target =
                    registry.partyManager ? registry.partyManager->PickRandomTarget(m_command, m_subChoice) : nullptr;
        }
    }
    if (!target) m_command = kCommandNone;
    if (m_command == kCommandAttack) Attack(target);
    m_command = -1;
    m_subChoice = -1;
    m_targetIndex = -1;
}

float Character::ComputeDamage(int32_t strength, int32_t level, int32_t toughness, int32_t randomDraw) {
    float factor = static_cast<float>(1.0 + FactorStep(randomDraw) / 100.0);
    double reduction = toughness / 100.0;
    if (reduction >= 0.99) reduction = 0.99;
    const double s = strength;
    const double l = level;
    float damage = static_cast<float>((s + l * l * 2.0 * s / 256.0) * 1.5);
    damage = static_cast<float>(static_cast<double>(damage) * factor);
    damage = static_cast<float>(static_cast<double>(damage) * (1.0 - reduction) + 1.0);
    return damage;
}

void Character::Attack(Character* target) { AttackWith(target, "PlayerAttack", "%s Attacks!"); }

void Character::AttackWith(Character* target, const char* cue, const char* textFormat) {
    if (!target) return;
    m_lastDamage = ComputeDamage(m_stats->strength, m_stats->level, target->GetStats()->toughness, RandomNext());
    GUICombatMessageWindow* window = MessageWindow();
    const int32_t targetId = target->GetCombatId();
    if (window) {
        window->PushSound(cue);
        window->QueueActionText(FormatString(textFormat, m_name));
        window->QueueLineBreak();
        window->PushSetActor(m_combatId);
        window->PushSetTarget(targetId);
        window->PushAnimateActor(kLeap);
        window->PushSync();
        window->PushAnimateActor(kStrike);
        window->PushWait(static_cast<int32_t>(
            std::min<int64_t>(static_cast<int64_t>(m_hitFrame) * m_ticksPerStrikeFrame, kMaxStrikeTicks)));
    }
    // A blow never heals, and one beyond the integer range deals the most it
    // can: the float is clamped before it becomes an integer.
    target->TakeDamage(this, std::max(0, TruncateToInt32(m_lastDamage)));
    if (window) {
        window->PushSync();
        window->PushSetActor(m_combatId);
        window->PushSetTarget(targetId);
        window->PushAnimateActor(kReturn);
        window->PushWait(1);
        window->PushSync();
    }
}

void Character::TakeDamage(Character* attacker, int32_t damage) {
    PutHP(int64_t{m_stats->hp} - damage);
    GUICombatMessageWindow* window = MessageWindow();
    if (m_stats->hp > 0) {
        if (!window) return;
        window->PushSound("PlayerInjured");
        window->PushShowDamage(m_combatId, damage);
        window->QueueText(FormatString("%i points of damage to %s.", damage, m_name));
        window->QueueLineBreak();
        window->PushSetTarget(m_combatId);
        window->PushAnimateTarget(kHurt);
        return;
    }
    if (window) {
        window->PushSound("PlayerWounded");
        window->PushShowDamage(m_combatId, damage);
        window->QueueText(FormatString("%i points of knock-out damage to %s!", damage, m_name));
        window->QueueLineBreak();
        QueueKnockOut(*window);
    }
    m_stats->shownHp = 0;
}

void Character::AutoChooseCommand() {
    CombatParty* party = GetCombatRegistry().partyManager;
    int32_t size = party ? party->GetPartySize() : 0;
    m_command = kCommandAttack;
    m_subChoice = -1;
    // With no party there is nobody to attack.
    m_targetIndex = size > 0 ? RandomNext() % size : -1;
    if (m_targetIndex < 0 && size > 0) m_targetIndex += size;
}

void Character::GainExperience(int32_t) {}

void Character::FillCommandWindow(GUICombatCommandWindow* window, int32_t) {
    if (!window) return;
    window->DeleteChildren();
    window->SetColours(al_map_rgb(255, 255, 255), al_map_rgb(220, 220, 220), al_map_rgb(190, 190, 190));
    GUIButton* button = window->AddCommandButton(8, 8, 72, 29, "Error");
    if (button) {
        button->AllocData(4);
        button->SetFunction("CombatButton_OrderCommand");
        uint32_t cursor = 0;
        BufferWriteInt32BE(kCommandNone, &cursor, button->GetData());
    }
    std::fputs("Warning:  Base Character shouldn't be filling the command window!", stderr);
}

void Character::FillStatusDisplay() {}

void Character::UpdateActionAnimation(int32_t mode, Character* target, int32_t* pendingCounter) {
    CombatSprite* sprite = m_fieldSprite.get();
    switch (mode) {
        case kLeap: {
            if (m_attackScript.empty()) return;
            AttackMovement move = GetAttackMovement(this, target);
            RunAttackScript({kMovePoints, move.fromX, move.fromY, move.toX, move.toY});
            if (sprite) {
                sprite->SetPendingCounter(pendingCounter);
                sprite->PushSequenceStart();
                sprite->PushFacing(m_side);
                sprite->PushPose("Moving");
                QueueMovePoints();
                sprite->PushPose("Idling");
                sprite->PushSequenceEnd();
            }
            m_moveBufferActive = false;
            return;
        }
        case kStrike: {
            if (!sprite) return;
            sprite->SetPendingCounter(pendingCounter);
            sprite->PushSequenceStart();
            sprite->PushFacing(m_side);
            sprite->PushPose("HardAttacking");
            // Timing values come from scripts: a strike never runs longer
            // than the cap, so absurd values cannot flood the sprite's queue.
            const int64_t ticks =
                std::min<int64_t>(static_cast<int64_t>(m_strikeFrames) * m_ticksPerStrikeFrame, kMaxStrikeTicks);
            for (int64_t i = 0; i < ticks; ++i) {
                sprite->PushDisplayEntry(static_cast<int32_t>(i / m_ticksPerStrikeFrame));
                sprite->PushEndTick();
            }
            sprite->PushPose("Idling");
            sprite->PushSequenceEnd();
            return;
        }
        case kReturn: {
            if (m_attackScript.empty()) return;
            float x = sprite ? sprite->GetX() : static_cast<float>(m_homeX);
            float y = sprite ? sprite->GetY() : static_cast<float>(m_homeY);
            RunAttackScript({kMovePoints, x, y, static_cast<float>(m_homeX), static_cast<float>(m_homeY)});
            if (sprite) {
                sprite->SetPendingCounter(pendingCounter);
                sprite->PushSequenceStart();
                sprite->PushFacing(m_side ^ 1);  // turned away
                sprite->PushPose("Moving");
                QueueMovePoints();
                sprite->PushFacing(m_side);
                sprite->PushPose("Idling");
                sprite->PushSequenceEnd();
            }
            m_moveBufferActive = false;
            return;
        }
        default: return;
    }
}

void Character::UpdateHurtAnimation(int32_t mode, Character*, int32_t* pendingCounter) {
    CombatSprite* sprite = m_fieldSprite.get();
    if (!sprite) return;
    if (mode == kHurt) {
        sprite->SetPendingCounter(pendingCounter);
        sprite->PushSequenceStart();
        sprite->PushPose("Injured");
        for (int32_t i = 0; i < 24; ++i) {
            sprite->PushDisplayEntry((i % 16) / 8);
            sprite->PushEndTick();
        }
        sprite->PushPose("Idling");
        sprite->PushSequenceEnd();
    } else if (mode == kKnockedOut) {
        sprite->SetPendingCounter(pendingCounter);
        sprite->PushSequenceStart();
        sprite->PushPose("KnockedOut");
        sprite->PushSequenceEnd();
    }
}

AttackMovement Character::GetAttackMovement(Character* attacker, Character* target) {
    AttackMovement move;
    if (!attacker) return move;
    CombatSprite* from = attacker->GetFieldSprite();
    move.fromX = from ? from->GetX() : static_cast<float>(attacker->GetHomeX());
    move.fromY = from ? from->GetY() : static_cast<float>(attacker->GetHomeY());
    if (!target) {
        move.toX = move.fromX;
        move.toY = move.fromY;
        return move;
    }
    CombatSprite* to = target->GetFieldSprite();
    float targetX = to ? to->GetX() : static_cast<float>(target->GetHomeX());
    float offset = to ? to->GetAttackOffset() : 0.0f;
    move.toY = to ? to->GetY() : static_cast<float>(target->GetHomeY());
    move.toX = move.fromX < targetX ? targetX - offset : targetX + offset;
    return move;
}

// ---- The attack script ---------------------------------------------------------------

void Character::RunAttackScript(const MoveData& move) {
    m_moveData = move;
    // A straight path first, so points the script leaves alone (or a
    // missing script) still give a sane move.
    for (int32_t i = 0; i < kMovePoints; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(kMovePoints - 1);
        MovePoint& point = m_moveBuffer[static_cast<size_t>(i)];
        point.x = move.fromX + (move.toX - move.fromX) * t;
        point.y = move.fromY + (move.toY - move.fromY) * t;
        point.z = 0.0f;
        point.entry = 0;
    }
    m_moveBufferActive = true;
    CombatParty* party = GetCombatRegistry().partyManager;
    Character* saved = party ? party->GetCurrentCharacter() : nullptr;
    if (party) party->SetCurrentCharacter(this);
    if (LuaManager* lua = GetGlobalState()->luaManager) lua->RunFile(m_attackScript, -1);
    // The party's current character may not be this one: put it back.
    if ((party = GetCombatRegistry().partyManager)) party->SetCurrentCharacter(saved);
}

void Character::QueueMovePoints() {
    CombatSprite* sprite = m_fieldSprite.get();
    if (!sprite) return;
    for (const MovePoint& point : m_moveBuffer) {
        sprite->PushPosition(point.x, point.y, point.z);
        sprite->PushDisplayEntry(point.entry);
        sprite->PushEndTick();
    }
}
