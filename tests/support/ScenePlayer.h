#pragma once
// The player of a world scene in a test: a player that is the global
// state's player while it lives, with no map transition pending and no game
// state switch requested. When it goes, the global state's player is the
// one it found there again, and whatever transition or switch the scene
// asked for is dropped.
//
//   testsupport::LuaTestState lua;
//   testsupport::ScenePlayer player;   // after the script host
#include "world/PlayerVorn.h"

namespace testsupport {

class ScenePlayer : public PlayerVorn {
public:
    ScenePlayer();
    ~ScenePlayer() override;
    ScenePlayer(const ScenePlayer&) = delete;
    ScenePlayer& operator=(const ScenePlayer&) = delete;

private:
    PlayerVorn* m_saved = nullptr;
};

}  // namespace testsupport
