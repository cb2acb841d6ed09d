// The Player_ script functions: place the player, choose its movement mode,
// and switch its updates on and off.
#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/PlayerVorn.h"

namespace {

PlayerVorn* Player(const char* function) {
    PlayerVorn* player = GetGlobalState()->player;
    if (!player) script::Fail(std::string(function) + ":  Failed, PlayerVorn does not exist\n");
    return player;
}

int Player_SetPosition(lua_State* L) {
    if (!script::HasArgs(L, 3)) return script::Fail("Player_SetPosition:  Failed, invalid argument lmIst\n");
    PlayerVorn* player = Player("Player_SetPosition");
    if (!player) return 0;
    player->SetPosition(static_cast<float>(script::GetNumber(L, 1)), static_cast<float>(script::GetNumber(L, 2)),
                        static_cast<float>(script::GetNumber(L, 3)));
    return 0;
}

int Player_SetGameMode(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("Player_SetGameMode:  Failed, invalid argument lmIst\n");
    PlayerVorn* player = Player("Player_SetGameMode");
    if (!player) return 0;
    player->SetGameMode(script::GetInt(L, 1));
    return 0;
}

int Player_Enable(lua_State*) {
    if (PlayerVorn* player = Player("Player_Enable")) player->Enable();
    return 0;
}

int Player_Disable(lua_State*) {
    if (PlayerVorn* player = Player("Player_Disable")) player->Disable();
    return 0;
}

const script::Function kFunctions[] = {
    {"Player_SetPosition", Player_SetPosition},
    {"Player_SetGameMode", Player_SetGameMode},
    {"Player_Enable", Player_Enable},
    {"Player_Disable", Player_Disable},
    {nullptr, nullptr},
};

}  // namespace

void PlayerVorn::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
