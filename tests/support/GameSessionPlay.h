#pragma once
// Moves of a player in the sample game, shared by the end-to-end tests that
// play it through a GameSession: where the player stands, walking with the
// arrow keys, the inventory steered from the keyboard, a battle won with
// clicks, and the save files the game writes.
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/GameSession.h"

namespace testsupport {

// Test-only set-up: the meadow's slime notices no one, so walks go the same
// way every time (where it wanders is random). False when the script is
// missing.
bool CalmTheMeadowSlime(GameSession& game);

// A position in the world ("nan" when the probe did not answer: it runs
// only while the world does, not during a battle or a map change), and the
// name of the map it was read on ("" when unknown).
struct Position {
    double x = NAN, y = NAN, z = NAN;
    std::string map;
    bool Known() const { return !std::isnan(x) && !std::isnan(y) && !std::isnan(z); }
};
Position PlayerPosition(GameSession& game, double timeoutSeconds = 20.0);
// Where the named character stands. The "NPC" properties are those of the
// active character whatever owner name is given, and the player's avatar
// becomes the active character whenever its default script runs (every
// step): the character is made active in the same request.
Position CharacterPosition(GameSession& game, const std::string& name, double timeoutSeconds = 20.0);
// "player at x, y, z on <map>", or that the position could not be read.
std::string Describe(const Position& at);

// Holds a key until the player's position passes the test (it may lead
// onto another map). False (with a test failure saying so) when the
// position cannot be read any more.
bool WalkUntil(GameSession& game, const std::string& key, const std::function<bool(const Position&)>& arrived,
               double timeoutSeconds = 30.0);
// Walks across, then up or down, until the player stands within a few units
// of the spot, on the map the walk began on. It steers by the position read
// back after every key press: each press is sized to cover about a third
// of what is left, so a slow machine makes the walk slower, not longer, and a
// press that carried the player past the spot is answered by one back.
// Gives up, as a test failure saying where the player is and on which map,
// when the walk leaves the map, the position cannot be read, presses bring
// the player no nearer, or the walk outlasts the timeout.
bool WalkTo(GameSession& game, double x, double y, double timeoutSeconds = 90.0);
// Steps towards the named world enemy, a few steps at a time, until its
// battle begins. False, with a test failure saying where the player is,
// when no battle began within the steps.
bool WalkIntoBattle(GameSession& game, const std::string& enemy);

// Share of a picture's pixels for which the test holds (0 for an empty one).
double Share(const Screenshot& shot, const std::function<bool(uint32_t)>& test);

// The battle screen is up: the party's parchment status plates at the left.
bool InBattle(GameSession& game);
// Clicks Attack and the first target for whoever acts, and a key for every
// message, until the battle is over and the world answers the probe again.
// False when it outlasted the tries.
bool WinBattleWithClicks(GameSession& game);

// The inventory's windows, steered from the keyboard: I opens it, the arrow
// keys move over the grid, Z chooses and X goes back.
// With the inventory open at its first cell, chooses the item in the slot,
// Use, and the party member at that place in the target list; then closes
// the inventory again. Returns the position after the line the use printed
// ("<name> recovered <n> HP!  <hp>/<max>"), or npos.
size_t UseItemOnMember(GameSession& game, int slot, int member);

// A save file as the game writes it: a header, the number of records, and
// the records (a character per party member, then the inventory).
struct SaveRecord {
    uint32_t type = 0;
    uint32_t version = 0;
    std::string name;
    std::string data;
};
struct SaveFile {
    std::string header;
    std::vector<SaveRecord> records;
};
// Reads the bytes; false (with the reason) unless they hold exactly the
// header, the count and that many whole records.
bool ParseSave(const std::string& bytes, SaveFile& save, std::string& why);

// What a character record holds, in its saved order.
struct SavedMember {
    std::string name;
    int32_t classId = 0, level = 0, hp = 0, maxHp = 0;
};
SavedMember ReadMember(const SaveRecord& record);
// Sets a character record's HP.
void SetMemberHp(SaveRecord& record, int32_t hp);
// The inventory record's slots: item code and quantity, 0 for an empty slot.
std::vector<std::pair<uint32_t, uint32_t>> ReadInventory(const SaveRecord& record);
// The bytes of a save file holding these records.
std::string WriteSave(const SaveFile& save);

// Test-only: the running game writes its party and inventory into a file
// of its folder, as its save stone does; returns the file's bytes ("" when
// none came).
std::string SaveThroughProbe(GameSession& game, const std::string& fileName);
// Test-only: the running game loads a save file of its folder.
bool LoadThroughProbe(GameSession& game, const std::string& fileName);

}  // namespace testsupport
