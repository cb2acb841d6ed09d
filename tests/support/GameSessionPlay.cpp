#include "support/GameSessionPlay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>

#include "support/TempDir.h"

namespace testsupport {

namespace {

constexpr double kStepTimeout = 30.0;

bool IsParchment(uint32_t p) { return Red(p) > 190 && Green(p) > 170 && Blue(p) > 120 && Red(p) > Blue(p) + 30; }

uint32_t U32At(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value |= uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
    return value;
}

void PutU32(std::string& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(value >> shift));
}

// A number the probe answered; nan for "nil", "error" or nothing.
double Number(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0' ? value : NAN;
}

// A position from three expressions evaluated in one tick, with the map's
// name read in the same tick.
Position ReadPosition(GameSession& game, std::vector<std::string> expressions, double timeoutSeconds) {
    expressions.push_back("TestMapName");
    const std::vector<std::string> values = game.Probe(expressions, timeoutSeconds);
    Position at;
    if (values.size() == 4) {
        at.x = Number(values[0]);
        at.y = Number(values[1]);
        at.z = Number(values[2]);
        at.map = values[3];
    }
    return at;
}

// The expression reading one of the named character's properties.
std::string CharacterProperty(const std::string& name, const std::string& property) {
    return "(function() EM_NPC_SetActiveNPC(\"" + name + "\") return PM_GetValue(\"NPC\", \"\", \"" + property +
           "\") end)()";
}

double SecondsLeft(std::chrono::steady_clock::time_point end) {
    return std::chrono::duration<double>(end - std::chrono::steady_clock::now()).count();
}

}  // namespace

bool CalmTheMeadowSlime(GameSession& game) {
    return game.AppendToScript("Data/Scripts/Maps/DebugRoom.lua",
                               "EM_NPC_SetActiveNPC(\"Zezazoru\")\n"
                               "NPC_WorldEnemy_SetDetectRange(1)\n"
                               "NPC_WorldEnemy_SetAggroRange(1)\n");
}

Position PlayerPosition(GameSession& game, double timeoutSeconds) {
    return ReadPosition(game,
                        {"PM_GetValue(\"Player\", \"\", \"XCenter\")", "PM_GetValue(\"Player\", \"\", \"YCenter\")",
                         "PM_GetValue(\"Player\", \"\", \"ZCenter\")"},
                        timeoutSeconds);
}

Position CharacterPosition(GameSession& game, const std::string& name, double timeoutSeconds) {
    return ReadPosition(
        game,
        {CharacterProperty(name, "XCenter"), CharacterProperty(name, "YCenter"), CharacterProperty(name, "ZCenter")},
        timeoutSeconds);
}

std::string Describe(const Position& at) {
    if (!at.Known()) return "the player's position could not be read (the world is held by a battle or a map change)";
    return "player at " + std::to_string(at.x) + ", " + std::to_string(at.y) + ", " + std::to_string(at.z) + " on " +
           at.map;
}

bool WalkUntil(GameSession& game, const std::string& key, const std::function<bool(const Position&)>& arrived,
               double timeoutSeconds) {
    Position last;
    bool lost = false;
    const bool done = game.Driver().Hold(
        key,
        [&] {
            const Position at = PlayerPosition(game);
            lost = !at.Known();
            if (!lost) last = at;
            return lost || arrived(at);
        },
        timeoutSeconds);
    if (lost) {
        ADD_FAILURE() << "Walking with " << key << ": " << Describe(Position{}) << "; last seen: " << Describe(last);
        return false;
    }
    return done;
}

namespace {

// The avatar trots 2.2 units a tick, 60 ticks a second.
constexpr double kTrotUnitsPerMs = 2.2 * 60 / 1000;
// A walk ends this near the spot.
constexpr double kNear = 4;
// Presses in a row that bring the player no nearer before a walk gives up.
constexpr int kFruitlessPresses = 12;

// Walks along one axis to within kNear of the target in key presses sized
// to a third of the distance left, reading the position back after each: a
// press carries the player past the spot only when it moves him three times
// as far as asked (on a loaded machine twice as far was seen). The pace is
// the fastest seen so far: on a loaded machine a press can be held longer
// than asked, or the game can catch up on ticks while the key is down, and
// the next presses are shorter for it. A press that moved nothing (a frame
// that missed the key) is doubled next time. False, with the reason, when
// the player leaves the map, cannot be found, gets no nearer or the time
// is up.
bool Approach(GameSession& game, double Position::*axis, double target, const char* less, const char* more,
              const std::string& map, std::chrono::steady_clock::time_point end, std::string& failure) {
    double pace = kTrotUnitsPerMs;
    double nearest = INFINITY;
    int fruitless = 0, boost = 1, pressed = 0;
    Position before;
    // The last positions read, for a failure to show the way it went.
    std::deque<std::string> trail;
    auto way = [&] {
        std::string text = "; the way there:";
        for (const std::string& point : trail) text += " " + point;
        return text;
    };
    while (true) {
        const Position at = PlayerPosition(game);
        if (!at.Known()) {
            failure = Describe(at) + "; last seen: " + Describe(before) + way();
            return false;
        }
        if (at.map != map) {
            failure = "the walk left " + map + "; " + Describe(at) + way();
            return false;
        }
        trail.push_back(std::to_string(static_cast<int>(at.x)) + "," + std::to_string(static_cast<int>(at.y)));
        if (trail.size() > 8) trail.pop_front();
        if (pressed > 0) {
            const double moved = std::abs(at.*axis - before.*axis);
            if (moved == 0) {
                boost = std::min(boost * 2, 8);
            } else {
                boost = 1;
                pace = std::clamp(moved / pressed, pace, 4 * kTrotUnitsPerMs);
            }
        }
        const double left = target - at.*axis;
        if (std::abs(left) <= kNear) return true;
        if (SecondsLeft(end) <= 0) {
            failure = "not there in time; " + Describe(at) + way();
            return false;
        }
        if (std::abs(left) < nearest - 0.5) {
            nearest = std::abs(left);
            fruitless = 0;
        } else if (++fruitless >= kFruitlessPresses) {
            failure = "no nearer after " + std::to_string(kFruitlessPresses) + " presses; " + Describe(at) + way();
            return false;
        }
        pressed = std::clamp(static_cast<int>(std::abs(left) / 3 / pace) * boost, 20, 400);
        game.Driver().Press(left < 0 ? less : more, pressed);
        before = at;
    }
}

}  // namespace

bool WalkTo(GameSession& game, double x, double y, double timeoutSeconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                            std::chrono::duration<double>(timeoutSeconds));
    const Position start = PlayerPosition(game);
    std::string failure = Describe(start);
    if (start.Known() && Approach(game, &Position::x, x, "Left", "Right", start.map, end, failure) &&
        Approach(game, &Position::y, y, "Up", "Down", start.map, end, failure))
        return true;
    ADD_FAILURE() << "Walking to " << x << ", " << y << ": " << failure;
    return false;
}

bool WalkIntoBattle(GameSession& game, const std::string& enemy) {
    // The player's offset from the enemy, both read in one tick.
    const std::vector<std::string> offset = {
        "PM_GetValue(\"Player\", \"\", \"XCenter\") - " + CharacterProperty(enemy, "XCenter"),
        "PM_GetValue(\"Player\", \"\", \"YCenter\") - " + CharacterProperty(enemy, "YCenter"), "0"};
    for (int step = 0; step < 80 && !InBattle(game); ++step) {
        const Position at = ReadPosition(game, offset, 2.0);
        if (!at.Known()) continue;
        const double dx = at.x, dy = at.y;
        const char* key = std::abs(dx) > std::abs(dy) ? (dx > 0 ? "Left" : "Right") : (dy > 0 ? "Up" : "Down");
        game.Driver().Press(key, 300);
    }
    if (WaitFor([&] { return InBattle(game); }, kStepTimeout)) return true;
    ADD_FAILURE() << "No battle with " << enemy << " began; " << Describe(PlayerPosition(game));
    return false;
}

double Share(const Screenshot& shot, const std::function<bool(uint32_t)>& test) {
    if (shot.Empty()) return 0.0;
    return static_cast<double>(shot.Count(test)) / static_cast<double>(shot.pixels.size());
}

bool InBattle(GameSession& game) { return Share(game.Driver().Capture(0, 150, 110, 190), IsParchment) > 0.4; }

bool WinBattleWithClicks(GameSession& game) {
    WindowDriver& player = game.Driver();
    for (int i = 0; i < 200; ++i) {
        if (InBattle(game)) {
            player.Click(708, 446);  // Attack
            player.Click(572, 451);  // the first target
            player.Tap("space");     // on past the message
            continue;
        }
        // The status plates can be gone while the battle still waits for a
        // key or its screen fades: it is over once the world answers again.
        if (PlayerPosition(game, 3.0).Known()) return true;
        player.Tap("space");
    }
    return false;
}

size_t UseItemOnMember(GameSession& game, int slot, int member) {
    WindowDriver& player = game.Driver();
    const size_t from = game.Output().size();
    for (int i = 0; i < slot % 10; ++i) player.Tap("Right");
    for (int i = 0; i < slot / 10; ++i) player.Tap("Down");
    player.Tap("z");  // the item: its menu
    player.Tap("z");  // Use: the party
    // The target window lists the party on its next tick.
    WaitFor([] { return false; }, 0.5);
    for (int i = 0; i < member; ++i) player.Tap("Down");
    player.Tap("z");
    const size_t used = game.WaitForOutput(" HP!  ", from, kStepTimeout);
    // Back out of the windows: the inventory closes.
    player.Tap("x");
    player.Tap("x");
    return used;
}

bool ParseSave(const std::string& bytes, SaveFile& save, std::string& why) {
    constexpr size_t kHeader = 18;
    save = SaveFile{};
    if (bytes.size() < kHeader + 4) {
        why = "shorter than its header";
        return false;
    }
    save.header = bytes.substr(0, kHeader);
    const uint32_t count = U32At(bytes, kHeader);
    size_t at = kHeader + 4;
    for (uint32_t i = 0; i < count; ++i) {
        SaveRecord record;
        if (bytes.size() - at < 10) {
            why = "record " + std::to_string(i) + " is cut short";
            return false;
        }
        record.type = U32At(bytes, at);
        record.version = U32At(bytes, at + 4);
        const size_t nameLength =
            static_cast<unsigned char>(bytes[at + 8]) | size_t{static_cast<unsigned char>(bytes[at + 9])} << 8;
        at += 10;
        if (bytes.size() - at < nameLength + 4) {
            why = "record " + std::to_string(i) + "'s name is cut short";
            return false;
        }
        record.name = bytes.substr(at, nameLength);
        at += nameLength;
        const size_t dataLength = U32At(bytes, at);
        at += 4;
        if (bytes.size() - at < dataLength) {
            why = "record " + std::to_string(i) + "'s data is cut short";
            return false;
        }
        record.data = bytes.substr(at, dataLength);
        at += dataLength;
        save.records.push_back(record);
    }
    if (at != bytes.size()) {
        why = std::to_string(bytes.size() - at) + " bytes after the last record";
        return false;
    }
    return true;
}

SavedMember ReadMember(const SaveRecord& record) {
    SavedMember member;
    member.name = record.name;
    if (record.data.size() < 16) return member;
    member.classId = static_cast<int32_t>(U32At(record.data, 0));
    member.level = static_cast<int32_t>(U32At(record.data, 4));
    member.hp = static_cast<int32_t>(U32At(record.data, 8));
    member.maxHp = static_cast<int32_t>(U32At(record.data, 12));
    return member;
}

void SetMemberHp(SaveRecord& record, int32_t hp) {
    if (record.data.size() < 12) return;
    std::string bytes;
    PutU32(bytes, static_cast<uint32_t>(hp));
    record.data.replace(8, 4, bytes);
}

std::string WriteSave(const SaveFile& save) {
    std::string bytes = save.header;
    PutU32(bytes, static_cast<uint32_t>(save.records.size()));
    for (const SaveRecord& record : save.records) {
        PutU32(bytes, record.type);
        PutU32(bytes, record.version);
        bytes.push_back(static_cast<char>(record.name.size()));
        bytes.push_back(static_cast<char>(record.name.size() >> 8));
        bytes += record.name;
        PutU32(bytes, static_cast<uint32_t>(record.data.size()));
        bytes += record.data;
    }
    return bytes;
}

std::string SaveThroughProbe(GameSession& game, const std::string& fileName) {
    const std::string path = game.GameDir() + "/" + fileName;
    std::remove(path.c_str());
    if (game.ProbeOne("(function() SFM_IssueSave(\"" + fileName + "\") return 1 end)()") != "1") return "";
    return ReadFile(path);
}

bool LoadThroughProbe(GameSession& game, const std::string& fileName) {
    return game.ProbeOne("(function() SFM_IssueLoad(\"" + fileName + "\") return 1 end)()") == "1";
}

std::vector<std::pair<uint32_t, uint32_t>> ReadInventory(const SaveRecord& record) {
    std::vector<std::pair<uint32_t, uint32_t>> slots;
    if (record.data.size() < 4) return slots;
    const uint32_t count = U32At(record.data, 0);
    for (size_t i = 0; i < count && 4 + 8 * i + 8 <= record.data.size(); ++i)
        slots.emplace_back(U32At(record.data, 4 + 8 * i), U32At(record.data, 8 + 8 * i));
    return slots;
}

}  // namespace testsupport
