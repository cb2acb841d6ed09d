#pragma once
// Scripted stand-ins for the pieces a battle talks to: combatants, a field
// sprite that records what is queued into it, a party and an enemy side,
// and a fixture that puts them into the combat registry beside a fresh
// combat manager and the managers scripts reach.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "combat/Character.h"
#include "combat/CombatEnemies.h"
#include "combat/CombatManager.h"
#include "combat/CombatParty.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatSprite.h"
#include "combat/GUICombatCommandWindow.h"
#include "combat/GUICombatMessageWindow.h"
#include "core/base/ByteBuffer.h"
#include "core/base/GenericQueue.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/base/Random.h"
#include "core/base/TextUtils.h"
#include "gui/DataBlock.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"

namespace combattest {

// Records every instruction as text ("100 1 2 0", "103 Moving", "200").
// Update plays the whole queue at once, raising and lowering the bound
// pending counter as a real sprite does over several ticks.
class ScriptedSprite : public CombatSprite {
public:
    void SetPendingCounter(int32_t* counter) override { pending = counter; }
    void PushPosition(float px, float py, float pz) override {
        queued.push_back("100 " + Num(px) + " " + Num(py) + " " + Num(pz));
    }
    void PushDisplayEntry(int32_t entry) override { queued.push_back("101 " + std::to_string(entry)); }
    void PushFacing(int32_t facing) override { queued.push_back("102 " + std::to_string(facing)); }
    void PushPose(const std::string& name) override { queued.push_back("103 " + name); }
    void PushWait(int32_t ticks) override { queued.push_back("104 " + std::to_string(ticks)); }
    void PushEndTick() override { queued.push_back("105"); }
    void PushRestart() override { queued.push_back("106"); }
    void PushSequenceStart() override { queued.push_back("200"); }
    void PushSequenceEnd() override { queued.push_back("201"); }
    float GetX() const override { return x; }
    float GetY() const override { return y; }
    float GetZ() const override { return z; }
    float GetAttackOffset() const override { return attackOffset; }
    void SetPosition(float px, float py, float pz) override {
        x = px;
        y = py;
        z = pz;
    }
    void PlayAnimation(const std::string& name) override { pose = name; }
    void SetVisible(bool on) override { visible = on; }
    int32_t GetSortKey() const override { return static_cast<int32_t>(y); }
    void Update() override {
        for (; played < queued.size(); ++played) {
            if (!pending) continue;
            if (queued[played] == "200") ++*pending;
            if (queued[played] == "201") --*pending;
        }
    }
    void Draw() override {
        ++draws;
        drawOrder().push_back(this);
    }
    // Every sprite drawn, in order, since the list was last cleared.
    static std::vector<const ScriptedSprite*>& drawOrder() {
        static std::vector<const ScriptedSprite*> order;
        return order;
    }

    static std::string Num(float value) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", value);
        return text;
    }

    std::vector<std::string> queued;
    size_t played = 0;
    int32_t* pending = nullptr;
    float x = 0, y = 0, z = 0, attackOffset = 0;
    std::string pose;
    bool visible = false;
    int draws = 0;
};

// A combatant with a recording sprite; it notes the experience it gains.
class TestCombatant : public Character {
public:
    TestCombatant(const std::string& name, int32_t hp, int32_t strength, int32_t toughness, int32_t speed) {
        SetName(name);
        SetBasicProperties(hp, 0, strength, toughness, 1, 1, 1, speed);
        auto owned = std::make_unique<ScriptedSprite>();
        sprite = owned.get();
        SetFieldSprite(std::move(owned));
        // No attack script: the tests that want one set it.
        SetAttackScript("");
    }
    void GainExperience(int32_t amount) override { gained.push_back(amount); }
    ScriptedSprite* sprite;
    std::vector<int32_t> gained;
};

// An enemy: the same, with the enemy's attack text.
class TestEnemy : public TestCombatant {
public:
    using TestCombatant::TestCombatant;
    void Attack(Character* target) override { AttackWith(target, "EnemyAttack", "%s Attacks"); }
    int32_t experience = 0;
};

inline Character* At(NamedList& list, int index) { return static_cast<Character*>(list.GetAt(index)); }

// One of the characters in `side` that the command may target, drawn from
// the random source; null when there is none (and then nothing is drawn).
inline Character* PickValidTarget(NamedList& side, int32_t command) {
    std::vector<Character*> valid;
    for (int i = 0; i < side.GetCount(); ++i)
        if (At(side, i)->IsValidTarget(command)) valid.push_back(At(side, i));
    return valid.empty() ? nullptr : valid[static_cast<size_t>(RandomNext()) % valid.size()];
}

// Adds a target entry to `list` (when there is one) for every character in
// `side` that the command may target.
inline void ListValidTargets(NamedList& side, NamedList* list, int32_t command) {
    for (int i = 0; list && i < side.GetCount(); ++i)
        if (At(side, i)->IsValidTarget(command))
            list->Add("X", CombatTarget::Make(At(side, i)->GetName().c_str(), At(side, i)->GetCombatId()));
}

class TestParty : public CombatParty {
public:
    ~TestParty() override {
        for (NamedList::Node* n = members.GetHead(); n; n = n->next) delete static_cast<Character*>(n->value);
    }
    TestCombatant* Add(const std::string& name, int32_t hp, int32_t strength, int32_t toughness, int32_t speed) {
        auto* member = new TestCombatant(name, hp, strength, toughness, speed);
        members.Add(name, member);
        current = member;
        return member;
    }
    NamedList* GetPartyList() override { return &members; }
    int32_t GetPartySize() const override { return members.GetCount(); }
    Character* GetActiveCharacter() const override { return active; }
    void ClearActive() override { active = nullptr; }
    Character* GetLeader() const override { return leader; }
    Character* GetCurrentCharacter() const override { return current; }
    void SetCurrentCharacter(Character* character) override { current = character; }
    void PrepareForBattle() override {
        active = nullptr;
        for (int i = 0; i < members.GetCount(); ++i) {
            Character* member = At(members, i);
            member->SetLeader(false);
            if (!active && member->IsAlive()) {
                active = leader = member;
                member->SetLeader(true);
                if (CombatManager* m = GetCombatRegistry().combatManager) m->FillCommandWindowFor(member);
            }
            member->ResetForBattle();
        }
    }
    bool NextActiveCharacter() override {
        int index = active ? members.IndexOfValue(active) : -1;
        if (index < 0) return false;
        for (int i = index + 1; i < members.GetCount(); ++i) {
            if (At(members, i)->IsAlive()) {
                active = At(members, i);
                if (CombatManager* m = GetCombatRegistry().combatManager) m->FillCommandWindowFor(active);
                return true;
            }
        }
        return false;
    }
    void SetCombatIds(int32_t* counter) override {
        for (int i = 0; i < members.GetCount(); ++i) At(members, i)->SetCombatId((*counter)++);
    }
    void PlaceParty(int32_t) override {
        for (int i = 0; i < members.GetCount(); ++i) {
            At(members, i)->SetHomePosition(i % 2 ? 550 : 500, 300 + 30 * i);
            At(members, i)->SetSide(1);
            At(members, i)->PutSpriteAtHome();
        }
    }
    void LoadFieldSprites() override {}
    void UpdateFieldSprites() override {
        for (int i = 0; i < members.GetCount(); ++i) At(members, i)->UpdateFieldSprite();
    }
    bool IsWipedOut() const override {
        for (NamedList::Node* n = members.GetHead(); n; n = n->next)
            if (static_cast<Character*>(n->value)->IsAlive()) return false;
        return true;
    }
    void ReviveKnockedOut() override {
        for (int i = 0; i < members.GetCount(); ++i) At(members, i)->ReviveIfKnockedOut(1);
    }
    std::string FormatExperienceMessage(int32_t amount) const override {
        return FormatString("%s and her friends got %i experience!", leader ? leader->GetName() : "", amount);
    }
    void ShareExperience(int32_t reward) override {
        for (int i = 0; i < members.GetCount(); ++i) At(members, i)->GainExperience(reward / members.GetCount());
    }
    Character* PickRandomTarget(int32_t command, int32_t) override { return PickValidTarget(members, command); }
    void ListTargets(NamedList* list, int32_t command, int32_t) override { ListValidTargets(members, list, command); }

    NamedList members{false};
    Character* active = nullptr;
    Character* leader = nullptr;
    Character* current = nullptr;
};

// Spawns one TestEnemy per roster entry at every battle start.
class TestEnemies : public CombatEnemies {
public:
    struct Spec {
        std::string name;
        int32_t hp, strength, toughness, speed, experience;
    };
    ~TestEnemies() override { ClearEnemies(); }
    NamedList* GetEnemyList() override { return &enemies; }
    int32_t GetEnemyCount() const override { return enemies.GetCount(); }
    Character* GetEnemyAt(int32_t index) const override { return static_cast<Character*>(enemies.GetAt(index)); }
    void ScanLibraryForEnemies(const char*) override { ++scans; }
    void ClearEnemies() override {
        while (!enemies.IsEmpty()) delete static_cast<Character*>(enemies.RemoveFirst());
        ++clears;
    }
    void SpawnEnemies(NamedList* preload) override {
        preloadSeen = preload;
        for (const Spec& spec : roster) {
            auto* enemy = new TestEnemy(spec.name, spec.hp, spec.strength, spec.toughness, spec.speed);
            enemy->experience = spec.experience;
            enemy->SnapshotShownStats();
            enemies.Add("X", enemy);
        }
    }
    void SetCombatIds(int32_t* counter) override {
        for (int i = 0; i < enemies.GetCount(); ++i) GetEnemyAt(i)->SetCombatId((*counter)++);
    }
    void LoadFieldSprites() override {}
    void PlaceEnemies(int32_t) override {
        for (int i = 0; i < enemies.GetCount(); ++i) {
            GetEnemyAt(i)->SetHomePosition(200, 300 + 75 * i);
            GetEnemyAt(i)->PutSpriteAtHome();
        }
    }
    void UpdateFieldSprites() override {
        for (int i = 0; i < enemies.GetCount(); ++i) GetEnemyAt(i)->UpdateFieldSprite();
    }
    void ChooseEnemyCommands() override {
        for (int i = 0; i < enemies.GetCount(); ++i) GetEnemyAt(i)->AutoChooseCommand();
    }
    void AddTurnKeys(std::vector<TurnKey>& keys) override {
        for (int i = 0; i < enemies.GetCount(); ++i) {
            int32_t m = RandomNext() % 20;
            float factor = static_cast<float>(1.0 + (m - 10) / 100.0);
            GetEnemyAt(i)->SnapshotShownStats();
            keys.push_back({-(static_cast<float>(GetEnemyAt(i)->GetStats()->speed) * factor), GetEnemyAt(i)});
        }
    }
    Character* PickRandomTarget(int32_t command, int32_t) override { return PickValidTarget(enemies, command); }
    void ListTargets(NamedList* list, int32_t command, int32_t) override { ListValidTargets(enemies, list, command); }
    bool AreAllDefeated() const override {
        for (int i = 0; i < enemies.GetCount(); ++i)
            if (GetEnemyAt(i)->IsAlive()) return false;
        return true;
    }
    int32_t SumExperienceReward() const override {
        int32_t sum = 0;
        for (int i = 0; i < enemies.GetCount(); ++i)
            if (!GetEnemyAt(i)->IsAlive()) sum += static_cast<TestEnemy*>(GetEnemyAt(i))->experience;
        return sum;
    }

    NamedList enemies{false};
    std::vector<Spec> roster;
    NamedList* preloadSeen = nullptr;
    int clears = 0;
    int scans = 0;
};

// Plays back a fixed list of draws, then zeros.
inline void ScriptRandom(std::vector<int> draws) {
    auto shared = std::make_shared<std::vector<int>>(std::move(draws));
    auto index = std::make_shared<size_t>(0);
    SetRandomSource([shared, index]() { return *index < shared->size() ? (*shared)[(*index)++] : 0; });
}

// The managers scripts reach, a fresh combat manager and the two sides in
// the combat registry; all put back as they were afterwards.
class CombatFixture : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        lua = std::make_unique<testsupport::LuaTestState>();
        // The test state's own registry members come back before it goes.
        saved = GetCombatRegistry();
        party = new TestParty;
        enemies = new TestEnemies;
        CombatRegistry& registry = GetCombatRegistry();
        registry = CombatRegistry{};
        registry.partyManager = party;
        registry.enemyManager = enemies;
        registry.combatManager = manager = new CombatManager;
    }
    void TearDown() override {
        SetRandomSource({});
        CombatRegistry& registry = GetCombatRegistry();
        delete registry.combatManager;
        delete registry.partyManager;
        delete registry.enemyManager;
        registry = saved;
        lua.reset();
    }
    // Builds the battle screen quietly (the sample fonts and images are
    // not registered in tests).
    void Start() {
        testsupport::StderrCapture quiet;
        manager->StartCombat();
    }
    GUICombatMessageWindow* Window() const { return manager->GetMessageWindow(); }
    void Tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            lua->Gui().HandleMouseEvent(-1);
            manager->Update();
        }
    }

    CombatRegistry saved;
    std::unique_ptr<testsupport::LuaTestState> lua;
    TestParty* party = nullptr;
    TestEnemies* enemies = nullptr;
    CombatManager* manager = nullptr;
};

// A started battle of Ana (40 hit points, strength and toughness 8, speed 5)
// against Bog (50 hit points, strength and toughness 8, speed 3, worth 10
// experience).
class DuelFixture : public CombatFixture {
protected:
    void SetUp() override {
        CombatFixture::SetUp();
        ana = party->Add("Ana", 40, 8, 8, 5);
        enemies->roster = {{"Bog", 50, 8, 8, 3, 10}};
        Start();
        bog = static_cast<TestEnemy*>(enemies->GetEnemyAt(0));
    }

    TestCombatant* ana = nullptr;
    TestEnemy* bog = nullptr;
};

// The queued actions of a message window, one text per record ("21
// PlayerAttack", "104 30", "105 2 11"); a run of characters (opcode 100)
// reads as one "text ..." entry. The queue is left as it was.
inline std::vector<std::string> DumpQueue(GUICombatMessageWindow* window) {
    std::vector<std::string> out;
    std::vector<void*> records;
    GenericQueue& queue = window->GetQueue();
    while (void* record = queue.Pop()) records.push_back(record);
    bool inText = false;
    for (void* value : records) {
        auto* block = static_cast<DataBlock*>(value);
        const std::vector<uint8_t>& bytes = block->value;
        uint32_t cursor = 0;
        if (block->type == GUICombatMessageWindow::kCharacter) {
            char c = static_cast<char>(BufferReadInt32BE(&cursor, bytes.data()) & 0xFF);
            if (!inText) out.push_back("text ");
            out.back() += c;
            inText = true;
            continue;
        }
        inText = false;
        std::string entry = std::to_string(block->type);
        if (block->type == DataBlock::kDelay && bytes.size() == 4) {
            entry += " " + std::to_string(BufferReadInt32BE(&cursor, bytes.data()));
        } else if (block->type < 100) {
            if (!bytes.empty()) entry += " " + std::string(reinterpret_cast<const char*>(bytes.data()));
        } else {
            while (cursor + 4 <= bytes.size()) entry += " " + std::to_string(BufferReadInt32BE(&cursor, bytes.data()));
        }
        out.push_back(entry);
    }
    for (void* record : records) queue.Push("X", record);
    return out;
}

// The party's classes number Defend 2, Items 5 and Run 6.
constexpr int32_t kDefend = 2;
constexpr int32_t kItems = 5;
constexpr int32_t kRun = 6;

// A fighter whose command window offers Attack, Defend and Aura on its first
// page and Items and Run on its second, as the party's classes fill theirs.
class Fighter : public TestCombatant {
public:
    using TestCombatant::TestCombatant;
    int32_t GetLastCommandPage() override { return 1; }
    void FillCommandWindow(GUICombatCommandWindow* window, int32_t page) override {
        window->DeleteChildren();
        struct Command {
            const char* label;
            int32_t command;
        };
        const std::vector<Command> commands =
            page == 0 ? std::vector<Command>{{"Attack", kCommandAttack}, {"Defend", kDefend}, {"Aura", kCommandNone}}
                      : std::vector<Command>{{"Items", kItems}, {"Run", kRun}};
        int y = 0;
        for (const auto& c : commands) {
            GUIButton* button = window->AddCommandButton(0, y, 107, 33, c.label);
            button->AllocData(4);
            button->SetFunction("CombatButton_OrderCommand");
            uint32_t cursor = 0;
            BufferWriteInt32BE(c.command, &cursor, button->GetData());
            y += 40;
        }
    }
};

}  // namespace combattest
