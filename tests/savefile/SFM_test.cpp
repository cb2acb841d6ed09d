// Save files: the exact bytes of a save, a round trip through the party and
// the inventory, and damaged or strange files that must change nothing or
// be read as far as they make sense.
#include "savefile/SFM.h"

#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "combat/Character.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatStats.h"
#include "combat/PartyManager.h"
#include "core/base/ClaimedFile.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/script/DataLibrary.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/PlayerVorn.h"
#include "world/items/ItemPrototype.h"
#include "world/items/PlayerInventory.h"

using testsupport::StderrCapture;

namespace {
// What each fsync of this program was given: the file's name and whether the
// save was already in place by then.
std::vector<std::string> g_synced;
}  // namespace

// Stands in for the C library's fsync in this test program, and syncs too.
extern "C" int fsync(int fd) {
    std::error_code error;
    const std::string path = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), error).string();
    g_synced.push_back(std::filesystem::path(path).filename().string() +
                       (std::filesystem::exists("save.dat") ? " after" : " before"));
    return static_cast<int>(syscall(SYS_fsync, fd));
}

namespace {

// Little-endian pieces of a hand-made file.
struct Bytes {
    std::string data;
    Bytes& U32(uint32_t v) {
        for (int s = 0; s < 32; s += 8) data.push_back(static_cast<char>(v >> s));
        return *this;
    }
    Bytes& U16(uint16_t v) {
        data.push_back(static_cast<char>(v));
        data.push_back(static_cast<char>(v >> 8));
        return *this;
    }
    Bytes& Text(const std::string& text) {
        data += text;
        return *this;
    }
    // A whole record with the given payload.
    Bytes& Record(uint32_t type, uint32_t version, const std::string& name, const std::string& payload) {
        U32(type).U32(version).U16(static_cast<uint16_t>(name.size())).Text(name);
        return U32(static_cast<uint32_t>(payload.size())).Text(payload);
    }
};

std::string CharacterPayload(int32_t classId, int32_t hp, int32_t level = 3, int32_t strength = 11) {
    Bytes b;
    b.U32(static_cast<uint32_t>(classId));
    const int32_t stats[13] = {level, hp, 90, 4, 40, hp, 4, strength, 12, 13, 14, 15, 16};
    for (int32_t s : stats) b.U32(static_cast<uint32_t>(s));
    return b.U32(100).U32(55).data;
}

std::string InventoryPayload(uint32_t count, const std::vector<std::pair<uint32_t, uint32_t>>& slots) {
    Bytes b;
    b.U32(count);
    for (const auto& [code, quantity] : slots) b.U32(code).U32(quantity);
    return b.data;
}

class SaveFileTest : public ::testing::Test {
protected:
    SaveFileTest() {
        testsupport::EnsureAllegro();
        GetGlobalState()->player = player;
        GetGlobalState()->savefileManager = sfm;
        party = static_cast<PartyManager*>(GetCombatRegistry().partyManager);
        DataLibrary& library = lua.Library();
        library.AddSection("ItemPrototypes");
        library.AddCatalogue("ItemPrototypes", "All");
        library.AddHeading("ItemPrototypes", "All", "Items");
        potion.SetName("Potion");
        potion.SetCode(1);
        potion.SetStackProperties(true, 9);
        herb.SetName("Herb");
        herb.SetCode(2);
        library.Register("ItemPrototypes", "All", "Items", "Potion", &potion, DataKind::ItemPrototype);
        library.Register("ItemPrototypes", "All", "Items", "Herb", &herb, DataKind::ItemPrototype);
        inventory = player->GetInventory();
        // A load builds the members' field sprites from their scripts.
        for (const char* name : {"Orravine", "Bramle", "Sesket", "Kell", "Tamberlyx", "Wistlemarn"})
            dir.WriteFile(std::string("Data/Scripts/Combat/FieldSprites/") + name + "FieldSprite.lua", "");
    }
    ~SaveFileTest() override {
        delete player;
        GetGlobalState()->savefileManager = nullptr;
        delete sfm;
    }
    // The party of the examples, and two potions in slot 0 and a herb in 3.
    void MakeGame() {
        StderrCapture quiet;
        for (const char* name : {"Orravine", "Bramle", "Sesket"}) party->AddCharacter(name);
        inventory->AddItem("Potion", &potion, false);
        inventory->AddItem("Potion", &potion, false);
        std::unique_ptr<ItemInstance> item = std::make_unique<ItemInstance>(&herb, false);
        inventory->PutItemInSlot(item, 3);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (NamedList::Node* n = party->GetPartyList()->GetHead(); n; n = n->next)
            names.push_back(static_cast<Character*>(n->value)->GetName());
        return names;
    }
    // What a load must leave alone: member addresses and names, items and
    // quantities.
    std::string State() const {
        std::string text;
        for (NamedList::Node* n = party->GetPartyList()->GetHead(); n; n = n->next)
            text += n->name + "/" + static_cast<Character*>(n->value)->GetName() + "@" +
                    std::to_string(reinterpret_cast<uintptr_t>(n->value)) + " ";
        for (int i = 0; i < inventory->GetSlotCount(); ++i)
            if (ItemInstance* item = inventory->GetItemAt(i))
                text += std::to_string(i) + ":" + item->GetName() + "x" + std::to_string(item->GetQuantity()) + " ";
        return text;
    }
    std::string Load(const std::string& path) {
        StderrCapture cap;
        sfm->IssueLoad(path);
        return cap.Take();
    }

    testsupport::TempDir dir;
    testsupport::LuaTestState lua;
    PlayerVorn* player = new PlayerVorn;
    SFM* sfm = new SFM;
    PartyManager* party = nullptr;
    PlayerInventory* inventory = nullptr;
    ItemPrototype potion;
    ItemPrototype herb;
};

}  // namespace

TEST_F(SaveFileTest, ASaveHasTheExactBytes) {
    MakeGame();
    Character* bramle = party->GetMemberAt(1);
    bramle->GetStats()->hp = 7;
    bramle->GetExperience()->gained = 1234;
    ASSERT_TRUE(lua.Run("SFM_IssueSave('save.dat')"));
    const std::string file = testsupport::ReadFile("save.dat");
    ASSERT_EQ(file.size(), 707u);  // 22 + (14 + 8 + 64) + (14 + 10 + 64) + (14 + 6 + 64) + (14 + 9 + 404)

    Bytes expected;
    expected.Text("TamskCube Savefile").U32(4);
    for (int i = 0; i < 3; ++i) {
        Character* member = party->GetMemberAt(i);
        const CombatStats& s = *member->GetStats();
        Bytes payload;
        payload.U32(static_cast<uint32_t>(member->GetClassId()));
        for (int32_t v : {s.level, s.hp, s.maxHp, s.mp, s.maxMp, s.shownHp, s.shownMp, s.strength, s.toughness,
                          s.intellect, s.cunning, s.agility, s.speed})
            payload.U32(static_cast<uint32_t>(v));
        payload.U32(static_cast<uint32_t>(member->GetExperience()->needed));
        payload.U32(static_cast<uint32_t>(member->GetExperience()->gained));
        expected.Record(1, 0, member->GetName(), payload.data);
    }
    std::vector<std::pair<uint32_t, uint32_t>> slots(50, {0, 0});
    slots[0] = {1, 2};
    slots[3] = {2, 1};
    expected.Record(2, 0, "Inventory", InventoryPayload(50, slots));
    EXPECT_EQ(file, expected.data);
    // The class ids of Orravine, Bramle and Sesket, and Bramle's numbers.
    EXPECT_EQ(file.substr(22 + 14 + 8, 4), std::string("\0\0\0\0", 4));
    EXPECT_EQ(file.substr(22 + 86 + 14 + 10, 4), std::string("\1\0\0\0", 4));
    EXPECT_EQ(file.substr(22 + 86 + 14 + 10 + 8, 4), std::string("\7\0\0\0", 4));
    EXPECT_EQ(file.substr(22 + 86 + 88 + 14 + 6, 4), std::string("\3\0\0\0", 4));
}

TEST_F(SaveFileTest, ALoadRestoresThePartyAndTheInventory) {
    MakeGame();
    party->GetMemberAt(1)->GetStats()->hp = 7;
    party->GetMemberAt(1)->GetExperience()->gained = 1234;
    party->GetMemberAt(2)->GetStats()->strength = 99;
    const CombatStats bramle = *party->GetMemberAt(1)->GetStats();
    {
        StderrCapture quiet;
        sfm->IssueSave("save.dat");
        // Everything changes.
        party->ClearParty();
        party->AddCharacter("Kell");
        inventory->Clear();
        inventory->AddItem("Herb", &herb, false);
    }
    EXPECT_EQ(Load("save.dat"), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Orravine", "Bramle Vey", "Sesket"}));
    const CombatStats& loaded = *party->GetMemberAt(1)->GetStats();
    EXPECT_EQ(loaded.hp, 7);
    EXPECT_EQ(loaded.maxHp, bramle.maxHp);
    EXPECT_EQ(loaded.speed, bramle.speed);
    EXPECT_EQ(party->GetMemberAt(1)->GetExperience()->gained, 1234);
    EXPECT_EQ(party->GetMemberAt(2)->GetStats()->strength, 99);
    EXPECT_EQ(party->GetCurrentCharacter(), nullptr);
    EXPECT_EQ(party->GetActiveCharacter(), nullptr);
    EXPECT_EQ(party->GetLeader(), nullptr);
    EXPECT_EQ(inventory->GetItemAt(0)->GetQuantity(), 2);
    EXPECT_EQ(inventory->GetItemAt(3)->GetName(), "Herb");
    EXPECT_EQ(inventory->CountItems(), 2);

    // Loaded members are found by the name they were made by.
    ASSERT_TRUE(lua.Run("PartyManager_DelCharacter('Bramle', 0)"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Orravine", "Sesket"}));
}

TEST_F(SaveFileTest, ATruncatedFileChangesNothing) {
    MakeGame();
    {
        StderrCapture quiet;
        sfm->IssueSave("whole.dat");
    }
    const std::string whole = testsupport::ReadFile("whole.dat");
    const std::string before = State();
    for (size_t length = 0; length < whole.size(); ++length) {
        dir.WriteFile("cut.dat", whole.substr(0, length));
        ASSERT_EQ(Load("cut.dat"), "Problem opening cut.dat.\n") << length;
        ASSERT_EQ(State(), before) << length;
    }
    EXPECT_EQ(Load("missing.dat"), "Problem opening missing.dat.\n");
    EXPECT_EQ(State(), before);
}

TEST_F(SaveFileTest, DamagedFilesAreRefusedWhole) {
    MakeGame();
    const std::string before = State();
    const std::string good = CharacterPayload(0, 50);
    const std::string slots = InventoryPayload(1, {{1, 1}});
    const std::pair<const char*, std::string> cases[] = {
        {"wrong magic", Bytes().Text("TamskCube Savefilf").U32(0).data},
        {"short magic", Bytes().Text("TamskCube").data},
        {"huge count", Bytes().Text("TamskCube Savefile").U32(0xFFFFFFFFu).Record(1, 0, "A", good).data},
        {"count past the records", Bytes().Text("TamskCube Savefile").U32(2).Record(1, 0, "A", good).data},
        {"bytes after the records", Bytes().Text("TamskCube Savefile").U32(1).Record(1, 0, "A", good).Text("x").data},
        {"name past the end", Bytes().Text("TamskCube Savefile").U32(1).U32(1).U32(0).U16(0xFFFF).Text("A").data},
        {"data size past the end",
         Bytes().Text("TamskCube Savefile").U32(1).U32(1).U32(0).U16(1).Text("A").U32(0xFFFFFFFFu).data},
        {"short character", Bytes().Text("TamskCube Savefile").U32(1).Record(1, 0, "A", good.substr(0, 63)).data},
        {"long character", Bytes().Text("TamskCube Savefile").U32(1).Record(1, 0, "A", good + "x").data},
        {"level 0", Bytes().Text("TamskCube Savefile").U32(1).Record(1, 0, "A", CharacterPayload(0, 5, 0)).data},
        {"level -2^31",
         Bytes().Text("TamskCube Savefile").U32(1).Record(1, 0, "A", CharacterPayload(0, 5, INT32_MIN)).data},
        {"inventory without its count",
         Bytes().Text("TamskCube Savefile").U32(1).Record(2, 0, "Inventory", "abc").data},
        {"inventory counting past its data",
         Bytes().Text("TamskCube Savefile").U32(1).Record(2, 0, "Inventory", InventoryPayload(2, {{1, 1}})).data},
        {"inventory with bytes past its slots",
         Bytes().Text("TamskCube Savefile").U32(1).Record(2, 0, "Inventory", InventoryPayload(1, {{1, 1}}) + "x").data},
        {"inventory count 2^32-1", Bytes()
                                       .Text("TamskCube Savefile")
                                       .U32(1)
                                       .Record(2, 0, "Inventory", InventoryPayload(0xFFFFFFFFu, {{1, 1}}))
                                       .data},
        {"a good record, then a bad one",
         Bytes().Text("TamskCube Savefile").U32(2).Record(2, 0, "Inventory", slots).Record(1, 0, "B", "").data},
    };
    for (const auto& [what, bytes] : cases) {
        dir.WriteFile("bad.dat", bytes);
        EXPECT_EQ(Load("bad.dat"), "Problem opening bad.dat.\n") << what;
        EXPECT_EQ(State(), before) << what;
    }
}

TEST_F(SaveFileTest, UnknownPartsAreSkippedWithTheirWarnings) {
    MakeGame();
    std::vector<std::pair<uint32_t, uint32_t>> sixty(60, {0, 0});
    sixty[0] = {1, 5};
    sixty[1] = {99, 1};           // no such item
    sixty[2] = {2, 0};            // no quantity
    sixty[4] = {0xFFFFFFFFu, 3};  // not a code
    sixty[5] = {1, 0x80000000u};  // not a quantity
    sixty[49] = {2, 2};
    sixty[55] = {1, 1};  // past the inventory's 50 slots
    const std::string file = Bytes()
                                 .Text("TamskCube Savefile")
                                 .U32(6)
                                 .Record(1, 0, "Kell", CharacterPayload(4, 20))
                                 .Record(7, 0, "Odd", "whatever")
                                 .Record(1, 0, "Ghost", CharacterPayload(9, 20))
                                 .Record(1, 2, "Later", "any size")
                                 .Record(2, 3, "Inventory", InventoryPayload(60, sixty))
                                 .Record(1, 0, "Orravine", CharacterPayload(0, 33, 99))
                                 .data;
    dir.WriteFile("odd.dat", file);
    EXPECT_EQ(Load("odd.dat"),
              "SFM::GetModuleSubtype - Warning, Unresolved type 7 in module!\n"
              "SavefileModule::Interperet - Warning, base class should not be used.\n"
              "Warning, unresolved character 9 in CharacterModule.\n"
              "SFCharacterModule - Warning, unhandled version 2.\n"
              "PI::BuildItemFromPrototypeCode:  Failed, code 99 not found\n"
              "SFIM::Interperet - Warning, unresolved code 99\n"
              "SFIM::Interperet - Warning, unresolved code -1\n"
              "SFIM::Interperet - Warning, quantity 2147483648 in slot 5 is out of range, loaded as 2147483647\n");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Kell", "Orravine"}));
    EXPECT_EQ(party->GetMemberAt(1)->GetStats()->hp, 33);
    EXPECT_EQ(party->GetMemberAt(1)->GetStats()->level, 99);
    EXPECT_EQ(party->GetMemberAt(0)->GetStats()->strength, 11);
    EXPECT_EQ(inventory->GetItemAt(0)->GetQuantity(), 5);
    ASSERT_NE(inventory->GetItemAt(5), nullptr);
    EXPECT_EQ(inventory->GetItemAt(5)->GetQuantity(), INT32_MAX);
    EXPECT_EQ(inventory->GetItemAt(49)->GetQuantity(), 2);
    EXPECT_EQ(inventory->CountItems(), 3);

    // A file of no records empties the party and leaves the inventory.
    dir.WriteFile("empty.dat", Bytes().Text("TamskCube Savefile").U32(0).data);
    EXPECT_EQ(Load("empty.dat"), "");
    EXPECT_TRUE(Names().empty());
    EXPECT_EQ(inventory->CountItems(), 3);
}

TEST_F(SaveFileTest, NumbersNoClassReachesAreLoadedAtTheNearestItReaches) {
    MakeGame();
    struct Case {
        int32_t level, hp, strength;
        const char* lines;
        int32_t loadedLevel, loadedHp, loadedStrength;
    } cases[] = {
        {99, 33, 401, "", 99, 33, 401},
        {100, 33, 11, "SFCharacterModule - Warning, Kell: level 100 is out of range, loaded as 99.\n", 99, 33, 11},
        {INT32_MAX, 33, 11, "SFCharacterModule - Warning, Kell: level 2147483647 is out of range, loaded as 99.\n", 99,
         33, 11},
        // HP is kept within [0, max HP], as every change of it keeps it.
        {5, -2000000000, 11, "SFCharacterModule - Warning, Kell: HP -2000000000 is out of range, loaded as 0.\n", 5, 0,
         11},
        {5, 91, 11, "SFCharacterModule - Warning, Kell: HP 91 is out of range, loaded as 90.\n", 5, 90, 11},
        // Any other number is one a script may have set: kept as it is.
        {99, 33, INT32_MAX, "", 99, 33, INT32_MAX},
        {5, 33, -7, "", 5, 33, -7},
    };
    for (const Case& c : cases) {
        // One member, four letters of name: 104 bytes.
        const std::string file = Bytes()
                                     .Text("TamskCube Savefile")
                                     .U32(1)
                                     .Record(1, 0, "Kell", CharacterPayload(4, c.hp, c.level, c.strength))
                                     .data;
        ASSERT_EQ(file.size(), 104u);
        dir.WriteFile("high.dat", file);
        EXPECT_EQ(Load("high.dat"), c.lines) << c.level << " " << c.strength;
        ASSERT_EQ(Names(), (std::vector<std::string>{"Kell"}));
        const CombatStats& s = *party->GetMemberAt(0)->GetStats();
        EXPECT_EQ(s.level, c.loadedLevel);
        EXPECT_EQ(s.hp, c.loadedHp);
        EXPECT_EQ(s.strength, c.loadedStrength);
        EXPECT_EQ(s.maxHp, 90);
    }
}

// Every saved number of a member, in the file's order.
static std::vector<int64_t> Numbers(const Character& c) {
    const CombatStats& s = *c.GetStats();
    return {s.level,
            s.hp,
            s.maxHp,
            s.mp,
            s.maxMp,
            s.shownHp,
            s.shownMp,
            s.strength,
            s.toughness,
            s.intellect,
            s.cunning,
            s.agility,
            s.speed,
            c.GetExperience()->needed,
            c.GetExperience()->gained};
}

TEST_F(SaveFileTest, WhatScriptsSetLoadsBackUnchangedAndStillFights) {
    const char* const cases[] = {
        "5000, 0, 1000, 5, 4, 4, 8, 10",
        "2147483647, 2147483647, 2147483647, 2147483647, 2147483647, 2147483647, 2147483647, 2147483647",
        "-2147483648, -1, -2147483648, -2147483648, -5, -2147483648, -2147483648, -2147483648",
    };
    for (const char* numbers : cases) {
        party->ClearParty();
        ASSERT_TRUE(lua.Run(std::string("PartyManager_AddCharacter('Kell') Character_SetBasicProperties(") + numbers +
                            ") SFM_IssueSave('round.dat')"));
        const std::vector<int64_t> saved = Numbers(*party->GetMemberAt(0));
        StderrCapture cap;
        ASSERT_TRUE(lua.Run("SFM_IssueLoad('round.dat')"));
        EXPECT_EQ(cap.Take(), "") << numbers;
        ASSERT_EQ(party->GetPartySize(), 1);
        Character& kell = *party->GetMemberAt(0);
        EXPECT_EQ(Numbers(kell), saved) << numbers;

        // A blow lowers HP in full, to 0 at the least. Then level by level to
        // the top: HP moves by what max HP moved, within [0, max HP] and not
        // below 1 for a member standing before the level.
        int64_t hp = std::max<int64_t>(0, saved[1] - 1000);
        kell.TakeDamage(nullptr, 1000);
        EXPECT_EQ(kell.GetStats()->hp, hp) << numbers;
        for (int32_t level = 2; level <= 99; ++level) {
            const int64_t maxBefore = kell.GetStats()->maxHp;
            kell.GainExperience(kell.GetExperience()->needed - kell.GetExperience()->gained);
            ASSERT_EQ(kell.GetStats()->level, level) << numbers;
            const int64_t maxHp = kell.GetStats()->maxHp;
            hp = std::clamp<int64_t>(hp + maxHp - maxBefore, hp > 0 && maxHp > 0 ? 1 : 0, maxHp);
            ASSERT_EQ(kell.GetStats()->hp, hp) << numbers << ", level " << level;
        }
    }
}

TEST_F(SaveFileTest, AnItemWithoutCodeIsNamedWhenSavedAndWhenLoaded) {
    MakeGame();
    ItemPrototype stone;  // never given a code
    stone.SetName("Stone");
    std::unique_ptr<ItemInstance> item = std::make_unique<ItemInstance>(&stone, false);
    inventory->PutItemInSlot(item, 7);
    StderrCapture cap;
    sfm->IssueSave("save.dat");
    EXPECT_EQ(cap.Take(), "SFInventoryModule - Warning, Stone in slot 7 has no item code and will not load.\n");
    EXPECT_EQ(Load("save.dat"), "SFIM::Interperet - Warning, unresolved code -1\n");
    EXPECT_EQ(inventory->GetItemAt(7), nullptr);
    EXPECT_EQ(inventory->CountItems(), 2);
}

// A temporary file that a game stopped mid-save left beside the save goes;
// one that another game, in any process namespace, is writing stays.
TEST_F(SaveFileTest, TheNewFileReachesTheDiskBeforeItTakesTheName) {
    MakeGame();
    dir.WriteFile("save.dat.abcdef.tmp", "left");
    ClaimedFile other;
    ASSERT_TRUE(other.Create("", "save.dat.", ".tmp"));
    g_synced.clear();
    EXPECT_TRUE(sfm->IssueSave("save.dat"));
    ASSERT_EQ(g_synced.size(), 2u);
    EXPECT_TRUE(g_synced[0].starts_with("save.dat.") && g_synced[0].ends_with(".tmp before")) << g_synced[0];
    EXPECT_EQ(g_synced[1], std::filesystem::current_path().filename().string() + " after");
    EXPECT_EQ(testsupport::FileNames(".", ".tmp"), std::set<std::string>{other.GetName()});
}

// A save that cannot be written says why, and SFM_IssueSave answers false;
// the old save stays whole and nothing is left beside it. The sample's blue
// stone tells the player whether it was written.
TEST_F(SaveFileTest, AFailedSaveKeepsTheOldFileAndSaysSo) {
    MakeGame();
    ASSERT_TRUE(sfm->IssueSave("Save1.sav"));
    const std::string old = testsupport::ReadFile("Save1.sav");
    party->AddCharacter("Kell");
    const std::string stone = "function StoneNotice(text) answer = text end dofile('" QEL_SOURCE_DIR
                              "/game/Data/Scripts/Items/SaveGame.lua')";
    const struct {
        const char* what;
        bool full;  // the disk is full: no file grows past 300 bytes
        std::string lua, printed, answer;
    } rows[] = {
        {"no such folder", false, "answer = tostring(SFM_IssueSave('no\x1b[2J/Save1.sav'))",
         "Problem saving no\\x1b[2J/Save1.sav (" + std::string(std::strerror(ENOENT)) + ").\n", "false"},
        {"the blue stone, a full disk", true, stone,
         "Problem saving Save1.sav (" + std::string(std::strerror(EFBIG)) + ").\nGame not saved to Save1.sav\n",
         "The blue stone cannot keep your journey."},
        {"the blue stone", false, stone, "Game saved to Save1.sav\n", "The blue stone keeps your journey."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        StderrCapture cap;
        testsupport::FileSizeLimit full(row.full ? 300 : RLIM_INFINITY);
        EXPECT_TRUE(lua.Run(row.lua)) << lua.LastError();
        EXPECT_EQ(cap.Take(), row.printed);
        EXPECT_EQ(lua.GetString("answer"), row.answer);
        EXPECT_TRUE(!row.full || testsupport::ReadFile("Save1.sav") == old);
        EXPECT_EQ(testsupport::FileNames(".", ".tmp"), std::set<std::string>{});
    }
    EXPECT_FALSE(sfm->WriteFile(""));
}

TEST_F(SaveFileTest, TheHeaderCountsOnlyWrittenRecords) {
    sfm->ClearModules();
    auto named = std::make_unique<SavefileModule>();
    named->SetName("Named only");
    sfm->AddModule(std::move(named));
    auto whole = std::make_unique<SavefileModule>();
    whole->SetName("Whole");
    whole->SetData({1, 2});
    sfm->AddModule(std::move(whole));
    ASSERT_TRUE(sfm->WriteFile("two.dat"));
    EXPECT_EQ(testsupport::ReadFile("two.dat"),
              Bytes().Text("TamskCube Savefile").U32(1).Record(0, 0, "Whole", "\1\2").data);
    EXPECT_NE(sfm->FindModule("Whole"), nullptr);
    sfm->RemoveModule("Whole");
    EXPECT_EQ(sfm->FindModule("Whole"), nullptr);
}
