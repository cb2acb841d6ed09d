#pragma once
// The player: updated first in every main-game tick, moved by the keyboard
// through one of three movement controllers chosen by the game mode, and
// shown on screen by an avatar character that shares the player's position
// record and receives its animation state, timer and direction. It also
// holds the input locks and a per-tick snapshot of the key bindings.
//
// Game modes: 0 (and every value not listed) flat screen controls
// (controller B, on the ground while Z >= 0); 1 isometric controls over the
// map (controller A, ground from the map); 100 screen controls over the map
// (controller A); 2 side view (controller C: x and height only, the map's
// rows standing for height).
//
// The player is not in the entity manager's lists; the avatar is, in "NPC"
// under the player's name. The avatar is owned by the entity manager: when
// it is deleted there (a script removing it, a clear not bracketed by
// UnregisterAvatar / RegisterAvatar) the player notices, forgets it and goes
// back to a record of its own at the last known position.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/base/RootEntity.h"
#include "core/script/KeyboardManager.h"
#include "world/Dimensions.h"

class NonPlayingCharacter;
class PlayerInventory;

class PlayerVorn : public RootEntity {
public:
    static constexpr float kWalkSpeed = 1.5f;
    static constexpr float kTrotSpeed = 2.2f;
    static constexpr float kRunSpeed = 5.0f;
    static constexpr float kGravity = 0.3f;
    static constexpr float kJumpImpulse = -5.0f;
    static constexpr float kFallLimit = 7.0f;
    static constexpr float kRiseLimit = -7.0f;

    PlayerVorn();
    ~PlayerVorn() override;
    PlayerVorn(const PlayerVorn&) = delete;
    PlayerVorn& operator=(const PlayerVorn&) = delete;

    void Release() override;
    // Truncated centre of the record.
    void GetPosition(float* x, float* y, float* z) override;
    void Update() override;
    int GetDrawOrderKey() override;

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    // The position record in use: the avatar's once attached. Never null.
    Dimensions* GetDimensions();
    NonPlayingCharacter* GetAvatar();
    // The player's items; null once the player is released.
    PlayerInventory* GetInventory() const { return m_inventory.get(); }

    // Sets the centre and recomputes the box.
    void SetPosition(float x, float y, float z);
    void SetGameMode(int32_t mode);
    bool IsSideView() const { return m_sideView != 0; }
    bool UsesControllerA() const { return m_controllerA != 0; }
    bool IsFlatIsometric() const { return m_flatIsometric != 0; }
    // The grid mover on the record, then UpdateBox.
    void MoveWithCollision(double dx, double dy, double dz);
    // Side view: some cell of the row just under the centre is blocked
    // across the box's width.
    bool SolidUnderCentre();

    // Chooses the animation state from the movement flags and hands it to
    // the avatar (called before each drawing pass).
    void UpdateAnimationState();
    const std::string& GetAnimationStateName() const { return m_animState; }
    int32_t GetAnimationTimer() const { return m_animTimer; }
    int32_t GetAnimationDirection() const { return m_animDirection; }

    // ---- Avatar ---------------------------------------------------------
    void SetAvatarScript(const char* path);
    const std::string& GetAvatarScript() const { return m_avatarScript; }
    // Creates the avatar character from the avatar script (nothing when no
    // script is set). An avatar made before is destroyed first.
    void CreateAvatar();
    // The player takes the character's record as its own.
    void AttachAvatar(NonPlayingCharacter* character);
    // Out of / back into the entity manager's "NPC" list under the player's
    // name (around a map's clearing of the entities).
    void UnregisterAvatar();
    void RegisterAvatar();
    // Unregisters and deletes the avatar; the player keeps its position in a
    // record of its own.
    void DestroyAvatar();
    // Called by whoever deletes an entity: when it is the avatar, the player
    // goes back to a record of its own at the last known position. (Without
    // the call the player only notices when the avatar leaves the "NPC" list,
    // which a new character made at the same address would hide.)
    void ForgetAvatar(const RootEntity* entity);

    // ---- Input locks and the key snapshot -------------------------------
    // The locks live with the keyboard manager (nothing is held while there
    // is none); adding skips a null name or one already held.
    void AddInputLock(const char* name);
    void AddInputLock(const std::string& name) { AddInputLock(name.c_str()); }
    void RemoveInputLock(const char* name);
    void RemoveInputLock(const std::string& name) { RemoveInputLock(name.c_str()); }
    bool HasInputLock() const;
    bool HoldsInputLock(const std::string& name) const;
    bool WasLocked() const { return m_locked != 0; }
    // Copies the five flags of every binding (a fresh clone when the count
    // differs); cleared when there is no keyboard manager.
    void RefreshKeySnapshot();
    // Every entry: not pressed, repeat, released or held; ready.
    void ReleaseKeySnapshot();
    const KeyList& GetKeySnapshot() const { return m_keySnapshot; }

    // ---- Movement state -------------------------------------------------
    float GetXSpeed() const { return m_xSpeed; }
    float GetYSpeed() const { return m_ySpeed; }
    float GetZSpeed() const { return m_zSpeed; }
    void SetSpeeds(float x, float y, float z) {
        m_xSpeed = x;
        m_ySpeed = y;
        m_zSpeed = z;
    }
    float GetCurrentSpeed() const { return m_currentSpeed; }
    int32_t GetDirection() const { return m_direction; }
    void SetDirection(int32_t direction) { m_direction = direction; }
    bool IsStanding() const { return m_standing != 0; }
    bool IsRunning() const { return m_running != 0; }
    bool IsJumping() const { return m_jumping != 0; }
    bool IsFalling() const { return m_falling != 0; }
    bool IsSecondJumpUsed() const { return m_secondJumpUsed != 0; }
    bool IsOnGround() const { return m_onGround != 0; }
    bool GetRunToggle() const { return m_runToggle != 0; }
    bool GetTrotToggle() const { return m_trotToggle != 0; }
    int32_t GetAirTicks() const { return m_airTicks; }
    int32_t GetGroundTicks() const { return m_groundTicks; }

    // Address of a routed field ("XSpeed", "YSpeed", "ZSpeed", "Coord",
    // "Direction", "DrawXPos", "DrawYPos", "XCenter", "YCenter", "ZCenter");
    // the value type is left in the property router. *owner gets the object
    // the address lives in (the avatar for the record's fields once
    // attached), so kept addresses are cleared when it goes.
    void* GetPropertyAddress(const std::string& name, const void** owner = nullptr);

    // Player_SetPosition, Player_SetGameMode, Player_Enable, Player_Disable.
    static void RegisterLuaFunctions(lua_State* L);

private:
    static KeyboardManager* Keyboard();
    struct Keys;
    Keys ReadKeys() const;
    const KeyState* FindSnapshot(const char* name) const;
    // The record in use, after checking that an attached avatar still lives.
    Dimensions& Record();
    void CheckAvatar();
    static bool InNPCList(const NonPlayingCharacter* character);
    // Goes back to the player's own record (at the last known position).
    void DropAvatar();
    void RememberPosition();

    void ChooseGait(const Keys& keys, bool setRunning);
    void ControllerAB(bool controllerA);
    bool GroundTestAB(bool controllerA);
    void GroundHandlerAB(const Keys& keys, bool controllerA);
    void AirHandlerAB();
    void ControllerC();
    void GroundHandlerC(const Keys& keys);
    void AirHandlerC(const Keys& keys);
    void MoveSideView(double dx, double dz);
    bool FloorFree();
    bool CeilingFree();
    bool LeftFree();
    bool RightFree();

    std::string m_name;
    std::unique_ptr<PlayerInventory> m_inventory;
    NonPlayingCharacter* m_avatar = nullptr;
    bool m_avatarRegistered = false;
    std::string m_avatarScript;
    uint8_t m_sideView = 0;
    float m_xSpeed = 0.0f, m_ySpeed = 0.0f, m_zSpeed = 0.0f;
    float m_airSpeedCap = 0.0f;
    float m_gravity = kGravity;
    float m_jumpImpulse = kJumpImpulse;
    // The player's own record; with an avatar attached it keeps the last
    // known position, so the player never points into a deleted avatar.
    std::unique_ptr<Dimensions> m_ownRecord;
    Dimensions* m_record;
    float m_currentSpeed = kWalkSpeed;
    float m_walkSpeed = kWalkSpeed, m_trotSpeed = kTrotSpeed, m_runSpeed = kRunSpeed;
    float m_fallLimit = kFallLimit, m_riseLimit = kRiseLimit;
    int32_t m_drawXPos = 0, m_drawYPos = 0;
    int32_t m_direction = 4;
    int32_t m_airTicks = 0;
    int32_t m_groundTicks = 0;
    uint8_t m_standing = 0, m_running = 0, m_jumping = 0, m_secondJumpUsed = 0, m_falling = 0;
    int32_t m_animDirection = 0, m_animTimer = 0;
    std::string m_animState = "Stationary";
    uint8_t m_trotToggle = 1, m_runToggle = 0;
    KeyList m_keySnapshot;
    uint8_t m_locked = 0;
    uint8_t m_flatIsometric = 0;
    uint8_t m_controllerA = 1;
    uint8_t m_onGround = 0;
};
