#pragma once
// The base of every combatant (the party classes and the enemies): its
// numbers and experience, its command for the round, its battle position,
// its field sprite, portrait and status display, the timing of its attack
// animation and the script that computes its leap. The virtual operations
// carry out a command (the damage rule lives here), take damage, queue the
// visible choreography into the message window's queue and the field
// sprites' queues, and let each class fill its command window and status
// display. Deleted through its virtual destructor.
#include <lua5.1/lua.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "combat/CombatStats.h"

class BitmapWrapper;
class CombatSprite;
class GUICombatCharDisplay;
class GUICombatCommandWindow;
class GUICombatMessageWindow;

// Where an attacker leaps from and to.
struct AttackMovement {
    float fromX = 0.0f;
    float fromY = 0.0f;
    float toX = 0.0f;
    float toY = 0.0f;
};

// What the attack script reads: the point count, then from and to.
struct MoveData {
    int32_t pointCount = 0;
    float fromX = 0.0f;
    float fromY = 0.0f;
    float toX = 0.0f;
    float toY = 0.0f;
};

// One point of a leap: a position and the display-list entry shown there.
struct MovePoint {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    int32_t entry = 0;
};

// Writes exactly four characters for value: its thousands, hundreds, tens
// and units digits, with the leading places blank as far as magnitude has
// fewer digits. Negative values count as 0.
void FormatStatNumber(char* buffer, int32_t magnitude, int32_t value);
std::string FormatStatNumber(int32_t magnitude, int32_t value);

class Character {
public:
    static constexpr int32_t kMovePoints = 25;
    // Longest strike animation, in ticks (one minute).
    static constexpr int64_t kMaxStrikeTicks = 3600;
    static constexpr const char* kDefaultAttackScript = "Data/Scripts/Combat/Algorithms/LeapToPoint.lua";
    // Commands with an effect in battle.
    static constexpr int32_t kCommandNone = 0;
    static constexpr int32_t kCommandAttack = 1;
    // Choreography modes of UpdateActionAnimation / UpdateHurtAnimation.
    enum AnimationMode : int32_t { kLeap = 0, kStrike = 1, kReturn = 3, kHurt = 4, kKnockedOut = 5 };

    Character();
    virtual ~Character();
    Character(const Character&) = delete;
    Character& operator=(const Character&) = delete;

    // ---- The twelve virtual operations -------------------------------------------
    virtual int32_t GetLastCommandPage();
    virtual void LoadFieldSprite();
    // Carries out the stored command against the stored target (retargeting
    // on the same side when that target is no longer valid), then clears it.
    virtual void ExecuteCommand();
    virtual void Attack(Character* target);
    virtual void TakeDamage(Character* attacker, int32_t damage);
    // Attack on a random party index.
    virtual void AutoChooseCommand();
    virtual void GainExperience(int32_t amount);
    // The fallback of a class without command buttons: one "Error" button.
    virtual void FillCommandWindow(GUICombatCommandWindow* window, int32_t page);
    virtual void FillStatusDisplay();
    virtual void UpdateActionAnimation(int32_t mode, Character* target, int32_t* pendingCounter);
    virtual void UpdateHurtAnimation(int32_t mode, Character* actor, int32_t* pendingCounter);
    virtual AttackMovement GetAttackMovement(Character* attacker, Character* target);

    // ---- Queries -----------------------------------------------------------------------
    const std::string& GetName() const { return m_name; }
    const std::string& GetKOText() const { return m_koText; }
    int32_t GetClassId() const { return m_classId; }
    CombatStats* GetStats() const { return m_stats.get(); }
    ExperienceRecord* GetExperience() const { return m_experience.get(); }
    int32_t GetCombatId() const { return m_combatId; }
    float GetRestoreMultiplier() const { return m_restoreMultiplier; }
    int32_t GetCommand() const { return m_command; }
    int32_t GetSubChoice() const { return m_subChoice; }
    int32_t GetTargetIndex() const { return m_targetIndex; }
    bool HasActed() const { return m_acted != 0; }
    bool IsLeader() const { return m_leader != 0; }
    int32_t GetHomeX() const { return m_homeX; }
    int32_t GetHomeY() const { return m_homeY; }
    int32_t GetSide() const { return m_side; }
    float GetLastDamage() const { return m_lastDamage; }
    const std::string& GetAttackScript() const { return m_attackScript; }
    int32_t GetHitFrame() const { return m_hitFrame; }
    int32_t GetStrikeFrames() const { return m_strikeFrames; }
    int32_t GetTicksPerStrikeFrame() const { return m_ticksPerStrikeFrame; }
    BitmapWrapper* GetPortrait() const { return m_portrait; }
    GUICombatCharDisplay* GetStatusDisplay() const { return m_statusDisplay; }
    // Null while no attack script runs.
    MovePoint* GetMoveBuffer() { return m_moveBufferActive ? m_moveBuffer.data() : nullptr; }
    MoveData GetMoveData() const { return m_moveData; }
    // True only for command 1 while HP is above 0.
    bool IsValidTarget(int32_t command) const;
    bool IsAlive() const { return m_stats->hp > 0; }

    // ---- Setters -----------------------------------------------------------------------
    void SetName(const std::string& name);
    // The KO text becomes the template with "<Name>" replaced by the name; a
    // broken template is taken as it stands.
    void SetKOMessage(const std::string& text);
    void SetLevel(int32_t level);
    // HP and max HP, MP and max MP, then the six statistics. A maximum below
    // 0 is taken as 0; HP set to 0 this way knocks a standing character out.
    void SetBasicProperties(int32_t hp, int32_t mp, int32_t strength, int32_t toughness, int32_t intellect,
                            int32_t cunning, int32_t agility, int32_t speed);
    // The hit frame becomes 0 when negative or not below the strike frames.
    void SetAttackAnimProperties(int32_t hitFrame, int32_t strikeFrames, int32_t ticksPerStrikeFrame, int32_t fourth,
                                 int32_t fifth);
    void SetHomePosition(int32_t x, int32_t y);
    void SetSide(int32_t side) { m_side = side; }
    void SetCombatId(int32_t id) { m_combatId = id; }
    void SetStatusDisplay(GUICombatCharDisplay* display) { m_statusDisplay = display; }
    void SetPortrait(BitmapWrapper* portrait) { m_portrait = portrait; }
    void SetLeader(bool leader) { m_leader = leader ? 1 : 0; }
    void SetAttackScript(const std::string& path) { m_attackScript = path; }
    void SetClassId(int32_t id) { m_classId = id; }
    void SetRestoreMultiplier(float value) { m_restoreMultiplier = value; }
    // Take ownership of the record; null is ignored.
    void SetStats(CombatStats* stats);
    void SetExperience(ExperienceRecord* experience);
    // Stores the three values only while HP is above 0; marks the character
    // as having acted either way.
    void SetCommand(int32_t command, int32_t subChoice, int32_t target);
    // One point of the move buffer, while it exists and for 0..24 only.
    void SetMovePoint(int32_t index, const MovePoint& point);

    // ---- HP and MP ---------------------------------------------------------------------
    // HP and MP change through these (a blow and a level-up through PutHP):
    // HP stays within [0, max HP] and MP within [0, max MP], and HP falling
    // from above 0 to 0 is a knock-out with its texts (KnockOut). A level-up
    // keeps a standing member at 1 HP at the least, unless its maximum is 0.
    void SetHP(int64_t value);
    void SetMP(int64_t value);
    // HP += amount, within [0, max HP]; prints "%s recovered %i HP!  %i/%i\n"
    // with the amount asked for, then the knock-out's texts when it was one.
    void RestoreHP(int32_t amount);
    // HP := value (within [0, max HP]) while HP is below 1.
    void ReviveIfKnockedOut(int32_t value);

    // ---- Battle ------------------------------------------------------------------------
    void ResetForBattle();
    void SnapshotShownStats();
    // Lowers the shown HP, never below 0 (message opcode 105).
    void LowerShownHP(int32_t amount);
    void PutSpriteAtHome();
    void UpdateFieldSprite();
    void DrawFieldSprite();
    CombatSprite* GetFieldSprite() const { return m_fieldSprite.get(); }
    // Takes ownership of the sprite (the character's constructor or its
    // class gives it one).
    void SetFieldSprite(std::unique_ptr<CombatSprite> sprite);
    void DrawPortrait(BitmapWrapper* target, int32_t x, int32_t y);

    // Damage of one blow (before truncation) for the attacker's strength and
    // level, the target's toughness and one random draw.
    static float ComputeDamage(int32_t strength, int32_t level, int32_t toughness, int32_t randomDraw);

    // The Character_ script functions.
    static void RegisterLuaFunctions(lua_State* L);

protected:
    // The attack with its sound cue and text format ("%s Attacks!" here).
    void AttackWith(Character* target, const char* cue, const char* textFormat);
    // HP := value within [0, max HP], without texts; true when this knocked
    // the character out (HP was above 0 and is 0 now).
    bool PutHP(int64_t value);
    // A knock-out outside a blow: shown HP := 0, and the knock-out texts go
    // into the message window while a battle runs, else the KO text goes to
    // stderr (there is no battle to show it in).
    void KnockOut();
    // The knock-out's choreography and text: the pose, a wait, the cue and the
    // KO text (an enemy's own cue and waits).
    virtual void QueueKnockOut(GUICombatMessageWindow& window);
    // Fills the move buffer with a straight path for the move, runs the
    // attack script on it as the party's current character and queues the
    // 25 points into the field sprite.
    void RunAttackScript(const MoveData& move);
    void QueueMovePoints();

    uint8_t m_acted = 0;
    uint8_t m_leader = 0;
    int32_t m_combatId = 0;
    int32_t m_classId = -1;
    std::string m_name = "Anonymous";
    std::string m_koText = "Anonymous has not set up the KO string!";
    std::unique_ptr<CombatStats> m_stats;
    std::unique_ptr<ExperienceRecord> m_experience;
    int32_t m_command = 0;
    int32_t m_subChoice = 0;
    int32_t m_targetIndex = 0;
    int32_t m_homeX = 0;
    int32_t m_homeY = 0;
    int32_t m_side = 0;
    std::unique_ptr<CombatSprite> m_fieldSprite;
    BitmapWrapper* m_portrait = nullptr;
    GUICombatCharDisplay* m_statusDisplay = nullptr;
    int32_t m_hitFrame = 5;
    int32_t m_strikeFrames = 9;
    int32_t m_fourthAnimValue = 5;
    int32_t m_ticksPerStrikeFrame = 6;
    int32_t m_fifthAnimValue = 6;
    float m_lastDamage = 0.0f;
    std::array<MovePoint, kMovePoints> m_moveBuffer{};
    bool m_moveBufferActive = false;
    std::string m_attackScript = kDefaultAttackScript;
    MoveData m_moveData;
    float m_restoreMultiplier = 1.0f;
};
