// The combat side's outside data under damage: the enemy image archive
// ("Data/Enemies.sif") read at battle start through each enemy prototype's
// loading instructions, the frame lists the enemies' field-sprite scripts
// build from those images, and the battle background read by name from
// "Data/Backgrounds.sif".
//
// Input: a flag byte (bit 0: the rest after the instructions is the archive
// file as it stands; otherwise it is the inflated layout, compressed here),
// a byte with the instruction count (bits 0-2, at most 4) and the enemy
// count (bit 4: one or two), then per instruction a name byte and a
// two-byte count (a signed 16-bit number, so that refused counts occur). A
// name byte below 0x80 picks one of a few fixed base names; from 0x80 on it
// picks an entry of the archive's table, trailing digits cut off.
//
// Promises: the battle's library holds exactly the images the instructions
// name that the archive has, each with the pixels the archive reader gives;
// a refused archive loads nothing and leaves no cache copy; the library is
// closed after loading and empty after the battle, and the enemies' frames
// that showed its images draw nothing afterwards (without reading freed
// images). The background is the archive's image of that name.
#include <allegro5/allegro.h>
#include <lua5.1/lua.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "combat/CombatImageLibrary.h"
#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "combat/EnemyManager.h"
#include "combat/EnemyPrototype.h"
#include "core/base/NamedList.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"
#include "support/FuzzSupport.h"
#include "support/LuaTestState.h"
#include "support/StartsAllegro.h"

using fuzzsupport::Check;

namespace {

constexpr const char* kSpriteScript = "Data/Fuzz/EnemySprite.lua";
// Frames the sprite script puts into one pose.
constexpr size_t kMaxFrames = 8;
// Images larger than this are compared by size only.
constexpr int kMaxCompared = 256 * 256;

struct Battle {
    testsupport::LuaTestState lua;
    EnemyManager* enemies = nullptr;
    CombatManager* combat = nullptr;
    CombatImageLibrary* images = nullptr;
};

Battle& TheBattle() {
    static Battle* battle = nullptr;
    if (battle) return *battle;
    fuzzsupport::EnterWorkFolder();
    // One pose from the frames the harness lists in FuzzFrames, as the
    // game's enemy sprite scripts build theirs.
    fuzzsupport::WriteWholeFile(kSpriteScript,
                                "FSprite_SetCanvasSize(16, 16)\n"
                                "FSpriteDL_CreateAndPush()\n"
                                "DL_PushActiveEntity()\n"
                                "DL_CreateHotFieldSpriteAnimation()\n"
                                "FSpriteAnim_SetFrameData(#FuzzFrames, 1)\n"
                                "for i, name in ipairs(FuzzFrames) do\n"
                                "  FSpriteAnim_CDL_SetFrameImage(i - 1, name, 2, 0)\n"
                                "end\n"
                                "FSpriteAnim_FinishAndLock()\n"
                                "FSpriteDL_RegisterAnimByPop('Body')\n"
                                "FSpriteDL_PopAndHook('Idling')\n");
    battle = new Battle;
    battle->enemies = dynamic_cast<EnemyManager*>(GetCombatRegistry().enemyManager);
    battle->combat = GetCombatRegistry().combatManager;
    battle->images = GetCombatImageLibrary();
    if (!battle->enemies || !battle->combat || !battle->images) fuzzsupport::Broken("the combat managers are missing");
    return *battle;
}

// The RGBA rows of two bitmaps are the same (large ones: the same size).
bool SamePicture(BitmapWrapper* a, BitmapWrapper* b) {
    ALLEGRO_BITMAP* x = a->GetBitmap();
    ALLEGRO_BITMAP* y = b->GetBitmap();
    const int w = al_get_bitmap_width(x), h = al_get_bitmap_height(x);
    if (w != al_get_bitmap_width(y) || h != al_get_bitmap_height(y)) return false;
    if (int64_t{w} * h > kMaxCompared) return true;
    ALLEGRO_LOCKED_REGION* rx = al_lock_bitmap(x, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_READONLY);
    ALLEGRO_LOCKED_REGION* ry = al_lock_bitmap(y, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_READONLY);
    bool same = rx && ry;
    for (int row = 0; same && row < h; ++row)
        same = std::memcmp(static_cast<const uint8_t*>(rx->data) + row * rx->pitch,
                           static_cast<const uint8_t*>(ry->data) + row * ry->pitch, size_t(w) * 4) == 0;
    if (rx) al_unlock_bitmap(x);
    if (ry) al_unlock_bitmap(y);
    return same;
}

std::string WithoutTrailingDigits(std::string name) {
    while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.back()))) name.pop_back();
    return name;
}

void SetFrameList(lua_State* L, const std::vector<std::string>& names) {
    lua_newtable(L);
    for (size_t i = 0; i < names.size() && i < kMaxFrames; ++i) {
        lua_pushlstring(L, names[i].data(), names[i].size());
        lua_rawseti(L, -2, static_cast<int>(i + 1));
    }
    lua_setglobal(L, "FuzzFrames");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Battle& battle = TheBattle();
    fuzzsupport::InputReader input(data, size);
    const uint8_t flags = input.Byte();
    const uint8_t counts = input.Byte();
    struct Instruction {
        uint8_t name;
        int32_t count;
    };
    std::vector<Instruction> wanted(std::min(counts & 7, 4));
    for (Instruction& instruction : wanted) {
        instruction.name = input.Byte();
        instruction.count = static_cast<int16_t>(input.U16());
    }
    const int enemyCount = (counts & 0x10) ? 2 : 1;

    const std::string enemyCache = ExternalImageManager::CachePath(CombatImageLibrary::kArchive);
    const std::string backgroundCache = ExternalImageManager::CachePath(CombatManager::kBackgroundArchive);
    fuzzsupport::RemoveFile(enemyCache);
    fuzzsupport::RemoveFile(backgroundCache);
    const std::string file = fuzzsupport::Payload(input, !(flags & 1));
    fuzzsupport::WriteWholeFile(CombatImageLibrary::kArchive, file);
    fuzzsupport::WriteWholeFile(CombatManager::kBackgroundArchive, file);

    // The archive as the reader alone sees it; its cache copy is removed so
    // that the battle opens the archive as the first battle of a game does.
    ExternalImageManager reference;
    const bool readable = reference.OpenFile(CombatImageLibrary::kArchive);
    fuzzsupport::RemoveFile(enemyCache);
    const std::vector<ArchiveEntry>& table = reference.GetEntryTable();

    static const std::string kFixedNames[] = {"Slime", "Bat", "", std::string(300, 'x')};
    EnemyPrototype prototype;
    prototype.SetCombatName("Slime");
    prototype.SetCombatStats(1, 10, 0, 1, 1, 1, 1, 1, 1);
    prototype.SetLoadingInstructionPath(kSpriteScript);
    for (const Instruction& instruction : wanted) {
        std::string base = kFixedNames[instruction.name % 4];
        if (instruction.name >= 0x80 && !table.empty())
            base = WithoutTrailingDigits(table[(instruction.name & 0x7F) % table.size()].name);
        const bool added = prototype.AddLoadingInstruction(base, instruction.count);
        Check(added == (instruction.count >= 0 && instruction.count <= EnemyPrototype::kMaxImageCount),
              "a loading instruction's count was judged wrongly");
    }
    // The names the instructions give, once per enemy, and those the
    // archive has.
    std::vector<std::string> named;
    for (const EnemyPrototype::LoadingInstruction& instruction : prototype.GetLoadingInstructions())
        for (int32_t k = 0; k < instruction.count; ++k) {
            std::string name = instruction.baseName + std::to_string(k);
            if (name.size() > CombatImageLibrary::kMaxImageName) name.resize(CombatImageLibrary::kMaxImageName);
            named.push_back(std::move(name));
        }
    std::vector<std::pair<std::string, std::unique_ptr<BitmapWrapper>>> present;
    for (const std::string& name : named)
        if (readable)
            if (BitmapWrapper* image = reference.GetBitmapFromActiveFile(name)) present.emplace_back(name, image);
    SetFrameList(battle.lua.L(), named);

    NamedList preload(false);
    for (int i = 0; i < enemyCount; ++i) preload.Add("X", &prototype);
    battle.enemies->ClearEnemies();
    battle.enemies->SpawnEnemies(&preload);
    battle.enemies->LoadFieldSprites();

    Check(!battle.images->IsOpen(), "the enemy archive stays open after loading");
    if (!readable) Check(!fuzzsupport::FileExists(enemyCache), "a refused enemy archive left a cache copy");
    Check(battle.images->GetImageCount() == static_cast<int>(present.size()) * enemyCount,
          "the battle holds other images than the instructions name");
    for (const auto& [name, image] : present) {
        BitmapWrapper* loaded = battle.images->FindImage(name.c_str());
        Check(loaded != nullptr, "an image the instructions name is missing");
        Check(SamePicture(loaded, image.get()), "an image of the battle differs from the archive's");
    }

    BitmapWrapper target(32, 32, nullptr);
    target.SetAsTarget();
    for (int tick = 0; tick < 3; ++tick) {
        battle.enemies->UpdateFieldSprites();
        battle.enemies->DrawFieldSprites();
    }
    // The battle ends: its images go, and the frames that showed them
    // forget them.
    battle.images->Clear();
    Check(battle.images->GetImageCount() == 0, "the battle's images outlive it");
    battle.enemies->UpdateFieldSprites();
    battle.enemies->DrawFieldSprites();
    battle.enemies->ClearEnemies();

    // The background, by the name the battle uses and by the first name
    // the instructions give.
    std::vector<std::string> backgrounds = {CombatManager::kDefaultBackground};
    if (!named.empty()) backgrounds.push_back(named.front());
    for (const std::string& name : backgrounds) {
        battle.combat->LoadBackground(name);
        std::unique_ptr<BitmapWrapper> expected(readable ? reference.GetBitmapFromActiveFile(name) : nullptr);
        BitmapWrapper* background = battle.combat->GetBackground();
        Check((background != nullptr) == (expected != nullptr), "the background is not the archive's image");
        if (background) Check(SamePicture(background, expected.get()), "the background differs from the archive's");
        if (!readable)
            Check(!fuzzsupport::FileExists(backgroundCache), "a refused background archive left a cache copy");
    }
    // What the input left in the script host goes now: otherwise every
    // input ends with allocations outstanding and the fuzzer scans the
    // whole heap for leaks after each one.
    lua_pushnil(battle.lua.L());
    lua_setglobal(battle.lua.L(), "FuzzFrames");
    lua_gc(battle.lua.L(), LUA_GCCOLLECT, 0);
    return 0;
}
