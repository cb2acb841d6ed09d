#include "world/PlayerVorn.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/base/NamedList.h"
#include "core/script/LuaManager.h"
#include "core/script/PropertyRouter.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/PhysicsMovement.h"
#include "world/Terrain.h"
#include "world/items/PlayerInventory.h"

namespace {

Dimensions MakeOwnRecord() {
    Dimensions d;
    d.x1 = -5.0;
    d.y1 = -5.0;
    d.x2 = 5.0;
    d.y2 = 5.0;
    d.z1 = -28.0;
    d.z2 = 0.0;
    d.XSize = 18.0;
    d.YSize = 26.0;
    d.ZSize = 28.0;
    d.UpdateBox();
    return d;
}

float ClampSpeed(float value, float low, float high) { return std::min(std::max(value, low), high); }

// First whole number not below the limit, held to the 32-bit range (NaN ends
// at once): integer walks "while i < limit" stop within the map's range even
// when a script put the player at a huge or infinite position.
int64_t WalkEnd(double limit) {
    if (std::isnan(limit)) return std::numeric_limits<int32_t>::min();
    return std::clamp<double>(std::ceil(limit), std::numeric_limits<int32_t>::min(),
                              std::numeric_limits<int32_t>::max());
}

}  // namespace

// This tick's view of the movement bindings; opposite keys cancel.
struct PlayerVorn::Keys {
    bool runHoldHeld = false;
    bool runTogglePressed = false;
    bool trotTogglePressed = false;
    bool jumpPressed = false;
    bool up = false, down = false, left = false, right = false;
};

PlayerVorn::PlayerVorn()
    : m_inventory(std::make_unique<PlayerInventory>()),
      m_ownRecord(std::make_unique<Dimensions>(MakeOwnRecord())),
      m_record(m_ownRecord.get()) {
    m_type = kTypePlayer;
    m_active = 1;
}

PlayerVorn::~PlayerVorn() {
    PropertyRouter::ForgetOwner(this);
    PlayerVorn::Release();
    // Nothing may reach a player that is gone through the global slot.
    if (GetGlobalState()->player == this) GetGlobalState()->player = nullptr;
}

void PlayerVorn::Release() {
    m_keySnapshot.clear();
    // The locks are taken through the player: they go with it.
    if (KeyboardManager* keyboard = Keyboard()) keyboard->ClearInputLocks();
    m_inventory.reset();
}

// ---- Record and avatar ------------------------------------------------------

bool PlayerVorn::InNPCList(const NonPlayingCharacter* character) {
    EntityManager* entities = GetGlobalState()->entityManager;
    NamedList* npcs = entities ? entities->GetSubList(EntityManager::kNPC) : nullptr;
    return npcs && npcs->ContainsValue(character);
}

void PlayerVorn::ForgetAvatar(const RootEntity* entity) {
    if (!entity || entity != static_cast<const RootEntity*>(m_avatar)) return;
    RememberPosition();
    DropAvatar();
}

void PlayerVorn::CheckAvatar() {
    if (!m_avatar || !m_avatarRegistered) return;
    // Without an entity manager nobody can have deleted the avatar.
    if (!GetGlobalState()->entityManager) return;
    if (!InNPCList(m_avatar)) DropAvatar();
}

void PlayerVorn::DropAvatar() {
    m_avatar = nullptr;
    m_avatarRegistered = false;
    m_record = m_ownRecord.get();
}

void PlayerVorn::RememberPosition() {
    if (m_record != m_ownRecord.get()) *m_ownRecord = *m_record;
}

Dimensions& PlayerVorn::Record() {
    CheckAvatar();
    return *m_record;
}

Dimensions* PlayerVorn::GetDimensions() { return &Record(); }

NonPlayingCharacter* PlayerVorn::GetAvatar() {
    CheckAvatar();
    return m_avatar;
}

void PlayerVorn::SetAvatarScript(const char* path) {
    if (path) m_avatarScript = path;
}

void PlayerVorn::CreateAvatar() {
    if (m_avatarScript.empty()) return;
    GlobalState* state = GetGlobalState();
    EntityManager* entities = state->entityManager;
    if (!entities) {
        std::fputs("PlayerVorn::CreateAvatar:  Failed, EntityManager does not exist\n", stderr);
        return;
    }
    DestroyAvatar();
    auto* character = new NonPlayingCharacter;
    entities->RegisterPointer(EntityManager::kNPC, m_name.c_str(), character);
    entities->SetActiveEntity(character);
    if (state->luaManager) state->luaManager->RunFile(m_avatarScript, -1);
    // The script may have removed (and so deleted) the character.
    if (!InNPCList(character)) {
        std::fputs("PlayerVorn::CreateAvatar:  Failed, the avatar was removed by its script\n", stderr);
        return;
    }
    character->SetInternalName(m_name);
    AttachAvatar(character);
    m_avatarRegistered = true;
}

void PlayerVorn::AttachAvatar(NonPlayingCharacter* character) {
    if (!character) return;
    CheckAvatar();
    if (m_record != m_ownRecord.get()) RememberPosition();
    m_avatar = character;
    m_record = character->GetDimensionsPointer();
    // Attached by hand: registered only when the entity manager holds it.
    m_avatarRegistered = InNPCList(character);
}

void PlayerVorn::UnregisterAvatar() {
    CheckAvatar();
    if (!m_avatar || !m_avatarRegistered) return;
    EntityManager* entities = GetGlobalState()->entityManager;
    if (!entities) return;
    NamedList* npcs = entities->GetSubList(EntityManager::kNPC);
    if (!npcs || npcs->Find(m_name) != m_avatar) {
        // Another character of the player's name stands first; taking out
        // by name would take that one instead.
        std::fputs("PlayerVorn::UnregisterAvatar:  Warning, another character carries the player's name\n", stderr);
        return;
    }
    entities->RemovePointer(EntityManager::kNPC, m_name.c_str());
    m_avatarRegistered = false;
}

void PlayerVorn::RegisterAvatar() {
    if (!m_avatar || m_avatarRegistered) return;
    EntityManager* entities = GetGlobalState()->entityManager;
    if (!entities) return;
    entities->RegisterPointer(EntityManager::kNPC, m_name.c_str(), m_avatar);
    m_avatarRegistered = true;
}

void PlayerVorn::DestroyAvatar() {
    CheckAvatar();
    if (!m_avatar) return;
    RememberPosition();
    NonPlayingCharacter* avatar = m_avatar;
    EntityManager* entities = GetGlobalState()->entityManager;
    if (m_avatarRegistered && entities) {
        // The entity manager takes it out of every list and clears what
        // points at it before deleting.
        DropAvatar();
        entities->DeleteEntity(avatar);
    } else {
        DropAvatar();
        delete avatar;
    }
}

// ---- Position and mode ------------------------------------------------------

void PlayerVorn::GetPosition(float* x, float* y, float* z) {
    const Dimensions& d = Record();
    if (x) *x = static_cast<float>(TruncateToInt32(d.X));
    if (y) *y = static_cast<float>(TruncateToInt32(d.Y));
    if (z) *z = static_cast<float>(TruncateToInt32(d.Z));
}

void PlayerVorn::SetPosition(float x, float y, float z) {
    Dimensions& d = Record();
    d.X = x;
    d.Y = y;
    d.Z = z;
    d.UpdateBox();
    RememberPosition();
}

void PlayerVorn::SetGameMode(int32_t mode) {
    m_sideView = 0;
    m_controllerA = 0;
    m_flatIsometric = 0;
    if (mode == 1) {
        m_controllerA = 1;
    } else if (mode == 2) {
        m_sideView = 1;
    } else if (mode == 100) {
        m_controllerA = 1;
        m_flatIsometric = 1;
    }
}

void PlayerVorn::MoveWithCollision(double dx, double dy, double dz) {
    Dimensions& d = Record();
    ::MoveWithCollision(dx, dy, dz, &d);
    d.UpdateBox();
}

int PlayerVorn::GetDrawOrderKey() {
    const Dimensions& d = Record();
    Terrain* terrain = CurrentTerrain();
    if (terrain && terrain->IsIsometric()) return TruncateToInt32((d.X + d.Y + d.ZSize + d.YSize) / 2.0);
    int offset = 0;
    switch (m_direction) {
        case 0: offset = 3; break;
        case 1:
        case 3:
        case 5:
        case 7: offset = -2; break;
        case 2:
        case 6: offset = -1; break;
        default: offset = 0; break;
    }
    return static_cast<int>(std::clamp<int64_t>(int64_t{TruncateToInt32(d.Y)} + offset, INT32_MIN, INT32_MAX));
}

// ---- Input locks and the key snapshot ---------------------------------------

KeyboardManager* PlayerVorn::Keyboard() { return GetGlobalState()->keyboardManager; }

void PlayerVorn::AddInputLock(const char* name) {
    if (KeyboardManager* keyboard = Keyboard()) keyboard->AddInputLock(name);
}

void PlayerVorn::RemoveInputLock(const char* name) {
    if (KeyboardManager* keyboard = Keyboard()) keyboard->RemoveInputLock(name);
}

bool PlayerVorn::HasInputLock() const {
    const KeyboardManager* keyboard = Keyboard();
    return keyboard && keyboard->HasInputLock();
}

bool PlayerVorn::HoldsInputLock(const std::string& name) const {
    const KeyboardManager* keyboard = Keyboard();
    return keyboard && keyboard->HoldsInputLock(name);
}

void PlayerVorn::RefreshKeySnapshot() {
    KeyboardManager* keyboard = GetGlobalState()->keyboardManager;
    if (!keyboard) {
        ReleaseKeySnapshot();
        return;
    }
    const KeyList& bindings = keyboard->GetBindings();
    if (m_keySnapshot.size() != bindings.size()) {
        m_keySnapshot = keyboard->CloneBindings();
        return;
    }
    for (size_t i = 0; i < bindings.size(); ++i) KeyState::CopyFlags(bindings[i].second, m_keySnapshot[i].second);
}

void PlayerVorn::ReleaseKeySnapshot() {
    for (auto& entry : m_keySnapshot) {
        KeyState& key = entry.second;
        key.pressed = 0;
        key.repeat = 0;
        key.released = 0;
        key.held = 0;
        key.ready = 1;
    }
}

const KeyState* PlayerVorn::FindSnapshot(const char* name) const {
    for (const auto& entry : m_keySnapshot)
        if (entry.first == name) return &entry.second;
    return nullptr;
}

PlayerVorn::Keys PlayerVorn::ReadKeys() const {
    // A binding that is missing reads as never pressed.
    auto held = [this](const char* name) {
        const KeyState* key = FindSnapshot(name);
        return key && key->held;
    };
    auto pressed = [this](const char* name) {
        const KeyState* key = FindSnapshot(name);
        return key && key->pressed;
    };
    Keys keys;
    keys.runHoldHeld = held("RunHold");
    keys.runTogglePressed = pressed("RunToggle");
    keys.trotTogglePressed = pressed("TrotToggle");
    keys.jumpPressed = pressed("Jump");
    const bool up = held("Up"), down = held("Down"), left = held("Left"), right = held("Right");
    keys.up = up && !down;
    keys.down = down && !up;
    keys.left = left && !right;
    keys.right = right && !left;
    return keys;
}

// ---- Update -----------------------------------------------------------------

void PlayerVorn::Update() {
    m_locked = 0;
    if (HasInputLock()) {
        m_locked = 1;
        ReleaseKeySnapshot();
    } else {
        RefreshKeySnapshot();
    }
    CheckAvatar();
    if (m_sideView)
        ControllerC();
    else
        ControllerAB(m_controllerA != 0);
    RememberPosition();
}

void PlayerVorn::ChooseGait(const Keys& keys, bool setRunning) {
    m_currentSpeed = m_walkSpeed;
    if (setRunning) m_running = 0;
    if (keys.runHoldHeld != (m_runToggle != 0)) {
        m_currentSpeed = m_runSpeed;
        if (setRunning) m_running = 1;
    } else if (m_trotToggle) {
        m_currentSpeed = m_trotSpeed;
    }
}

bool PlayerVorn::GroundTestAB(bool controllerA) {
    const Dimensions& d = *m_record;
    if (controllerA) return AnySolidInSquare(&d, 3, TruncateToInt32(d.zmax + 1.0));
    return d.Z >= 0.0;
}

void PlayerVorn::ControllerAB(bool controllerA) {
    const Keys keys = ReadKeys();
    if (keys.runTogglePressed) m_runToggle = !m_runToggle;
    if (keys.trotTogglePressed) m_trotToggle = !m_trotToggle;
    ChooseGait(keys, true);

    Dimensions& d = *m_record;
    d.UpdateBox();
    m_onGround = GroundTestAB(controllerA);
    if (m_onGround)
        GroundHandlerAB(keys, controllerA);
    else
        AirHandlerAB();
    m_zSpeed = ClampSpeed(m_zSpeed, m_riseLimit, m_fallLimit);

    d.UpdateBox();
    ::MoveWithCollision(m_xSpeed, m_ySpeed, m_zSpeed, &d);
    d.UpdateBox();
    m_onGround = GroundTestAB(controllerA);
    if ((m_jumping || m_falling) && m_onGround) {
        m_zSpeed = 0.0f;
        m_jumping = 0;
        m_falling = 0;
        // On a flat level the floor is z = 0, but nothing there stops the
        // mover at it: the last tick of a fall can carry the feet a few
        // units below. They land on the floor, and the next jump starts
        // from it with no fraction left over.
        if (!controllerA && d.Z > 0.0) {
            d.Z = 0.0;
            d.carryZ = 0.0;
            d.UpdateBox();
        }
    }
}

void PlayerVorn::GroundHandlerAB(const Keys& keys, bool controllerA) {
    ++m_groundTicks;
    m_standing = 0;
    const float s = m_currentSpeed;
    const float d = 0.707f;
    const float sd = s * d;
    // Controller A outside mode 100 moves over the isometric grid, whose
    // axes lie diagonally on screen.
    const bool isometric = controllerA && !m_flatIsometric;
    struct Move {
        int32_t direction;
        float screenX, screenY, isoX, isoY;
    };
    const Move* move = nullptr;
    static const Move kNone{-1, 0, 0, 0, 0};
    const Move table[8] = {
        {7, -sd, -sd, -s, 0},  // up + left
        {1, sd, -sd, 0, -s},   // up + right
        {0, 0, -s, -sd, -sd},  // up
        {6, -s, 0, -sd, sd},   // left
        {2, s, 0, sd, -sd},    // right
        {5, -sd, sd, 0, s},    // down + left
        {3, sd, sd, s, 0},     // down + right
        {4, 0, s, sd, sd},     // down
    };
    if (keys.up && keys.left)
        move = &table[0];
    else if (keys.up && keys.right)
        move = &table[1];
    else if (keys.up)
        move = &table[2];
    else if (keys.down && keys.left)
        move = &table[5];
    else if (keys.down && keys.right)
        move = &table[6];
    else if (keys.down)
        move = &table[7];
    else if (keys.left)
        move = &table[3];
    else if (keys.right)
        move = &table[4];
    else
        move = &kNone;

    if (move->direction < 0) {
        m_xSpeed = 0.0f;
        m_ySpeed = 0.0f;
        m_standing = 1;
    } else {
        m_direction = move->direction;
        m_xSpeed = isometric ? move->isoX : move->screenX;
        m_ySpeed = isometric ? move->isoY : move->screenY;
    }

    if (keys.jumpPressed && !m_jumping) {
        m_jumping = 1;
        m_airTicks = 0;
        m_groundTicks = 0;
        m_zSpeed = m_jumpImpulse;
    }
    if (controllerA) {
        if (!m_standing) ++m_animTimer;
    } else {
        m_animTimer = m_standing ? 0 : m_animTimer + 1;
    }
}

void PlayerVorn::AirHandlerAB() {
    if (m_jumping) {
        m_zSpeed += m_gravity;
        ++m_airTicks;
        m_groundTicks = 0;
    } else if (m_falling) {
        m_zSpeed += m_gravity;
        m_groundTicks = 0;
    } else {
        // The first tick off an edge adds no gravity.
        m_falling = 1;
    }
}

// ---- Side view ----------------------------------------------------------------

bool PlayerVorn::FloorFree() {
    const Dimensions& d = *m_record;
    const int32_t row = TruncateToInt32(d.zmax + 1.0);
    for (int64_t x = TruncateToInt32(d.xmin), end = WalkEnd(d.xmax); x < end; ++x)
        if (MapCellBlocked(static_cast<int32_t>(x), row, 0)) return false;
    return true;
}

bool PlayerVorn::CeilingFree() {
    const Dimensions& d = *m_record;
    const int32_t row = TruncateToInt32(d.zmin - 1.0);
    for (int64_t x = TruncateToInt32(d.xmin), end = WalkEnd(d.xmax); x < end; ++x)
        if (MapCellBlocked(static_cast<int32_t>(x), row, 0)) return false;
    return true;
}

bool PlayerVorn::LeftFree() {
    const Dimensions& d = *m_record;
    const int32_t column = TruncateToInt32(d.xmin - 1.0);
    for (int64_t z = TruncateToInt32(d.zmin), end = WalkEnd(d.zmax); z < end; ++z)
        if (MapCellBlocked(column, static_cast<int32_t>(z), 0)) return false;
    return true;
}

bool PlayerVorn::RightFree() {
    const Dimensions& d = *m_record;
    const int32_t column = TruncateToInt32(d.xmax + 1.0);
    for (int64_t z = TruncateToInt32(d.zmin), end = WalkEnd(d.zmax); z < end; ++z)
        if (MapCellBlocked(column, static_cast<int32_t>(z), 0)) return false;
    return true;
}

bool PlayerVorn::SolidUnderCentre() {
    const Dimensions& d = *m_record;
    const int32_t row = TruncateToInt32(d.Z + 1.0);
    for (int64_t x = TruncateToInt32(d.xmin), end = WalkEnd(d.xmax); x < end; ++x)
        if (MapCellBlocked(static_cast<int32_t>(x), row, 0)) return true;
    return false;
}

void PlayerVorn::MoveSideView(double dx, double dz) {
    Dimensions& d = *m_record;
    int64_t sx = TruncateToInt32(dx), sz = TruncateToInt32(dz);
    int passes = 0;
    while (sx != 0 || sz != 0) {
        if (sx > 0) {
            if (RightFree()) d.X += 1;
            d.UpdateBox();
            --sx;
        } else if (sx < 0) {
            if (LeftFree()) d.X -= 1;
            d.UpdateBox();
            ++sx;
        }
        if (sz > 0) {
            if (FloorFree()) d.Z += 1;
            d.UpdateBox();
            --sz;
        } else if (sz < 0) {
            if (CeilingFree()) d.Z -= 1;
            d.UpdateBox();
            ++sz;
        }
        if (++passes >= kMaxMovePasses) {
            if (sx != 0 || sz != 0) std::fputs("Movement loop got caught\n", stderr);
            break;
        }
    }
}

void PlayerVorn::ControllerC() {
    const Keys keys = ReadKeys();
    if (keys.runTogglePressed) m_runToggle = 1;
    if (keys.trotTogglePressed) m_trotToggle = 1;
    ChooseGait(keys, false);
    if (m_direction != 2 && m_direction != 6) m_direction = 2;

    Dimensions& d = *m_record;
    d.UpdateBox();
    m_onGround = !FloorFree();
    if (m_onGround)
        GroundHandlerC(keys);
    else
        AirHandlerC(keys);
    m_zSpeed = ClampSpeed(m_zSpeed, m_riseLimit, m_fallLimit);
    d.UpdateBox();
    MoveSideView(m_xSpeed, m_zSpeed);
    d.UpdateBox();

    m_onGround = !FloorFree();
    if (m_onGround) {
        m_zSpeed = 0.0f;
        m_secondJumpUsed = 0;
        m_jumping = 0;
        m_falling = 0;
    }
}

void PlayerVorn::GroundHandlerC(const Keys& keys) {
    ++m_groundTicks;
    const float s = m_currentSpeed;
    if (keys.left) {
        m_direction = 6;
        m_xSpeed = -s;
    } else if (keys.right) {
        m_direction = 2;
        m_xSpeed = s;
    } else {
        m_xSpeed = 0.0f;
    }
    if (keys.jumpPressed && !m_jumping) {
        m_jumping = 1;
        m_airTicks = 0;
        m_groundTicks = 0;
        m_zSpeed = 2.0f * m_jumpImpulse;
        m_airSpeedCap = m_currentSpeed;
    }
    m_animTimer = m_standing ? 0 : m_animTimer + 1;
}

void PlayerVorn::AirHandlerC(const Keys& keys) {
    m_zSpeed += m_gravity;
    if (keys.jumpPressed && !m_secondJumpUsed) {
        // A double jump, or a jump after walking off an edge.
        m_jumping = 1;
        m_secondJumpUsed = 1;
        m_airTicks = 0;
        m_groundTicks = 0;
        m_zSpeed = 2.0f * m_jumpImpulse;
    } else if (m_jumping) {
        ++m_airTicks;
        m_groundTicks = 0;
        if (keys.left) {
            if (m_direction == 2 && m_xSpeed <= 0) m_direction = 6;
            m_xSpeed -= 0.2f;
        } else if (keys.right) {
            if (m_direction == 6 && m_xSpeed >= 0) m_direction = 2;
            m_xSpeed += 0.2f;
        }
    } else if (m_falling) {
        m_groundTicks = 0;
    }
    m_xSpeed = ClampSpeed(m_xSpeed, -m_airSpeedCap, m_airSpeedCap);
}

// ---- Animation and properties -------------------------------------------------

void PlayerVorn::UpdateAnimationState() {
    m_animDirection = m_direction;
    m_animState = "Stationary";
    if (m_jumping) {
        m_animState = "Jumping";
        m_animTimer = m_airTicks <= 3 ? 0 : (m_zSpeed >= 2.7f ? 2 : 1);
    } else if (m_falling) {
        m_animState = "Jumping";
        m_animTimer = 2;
    } else if (m_standing) {
        if (m_groundTicks > 3) {
            m_animState = "Stationary";
            m_animTimer = 0;
        } else {
            m_animState = "Jumping";
            m_animTimer = 3;
        }
    } else if (m_running) {
        m_animState = "Running";
    } else if (m_trotToggle) {
        m_animState = "Trotting";
    } else {
        m_animState = "Walking";
    }
    if (NonPlayingCharacter* avatar = GetAvatar()) {
        avatar->SetActiveStateByName(m_animState.c_str());
        avatar->SetAnimTimerAndDirection(m_animTimer, m_animDirection);
        avatar->MarkAppearanceDirty();
    }
}

void* PlayerVorn::GetPropertyAddress(const std::string& name, const void** owner) {
    Dimensions& d = Record();
    const void* recordOwner = m_avatar ? static_cast<const void*>(m_avatar) : static_cast<const void*>(this);
    void* address = nullptr;
    int32_t type = PropertyRouter::kNone;
    const void* source = this;
    if (name == "XSpeed" || name == "YSpeed" || name == "ZSpeed") {
        address = name[0] == 'X' ? &m_xSpeed : name[0] == 'Y' ? &m_ySpeed : &m_zSpeed;
        type = PropertyRouter::kFloat;
    } else if (name == "Coord") {
        address = &d;
        type = PropertyRouter::kDimensions;
        source = recordOwner;
    } else if (name == "Direction") {
        address = &m_direction;
        type = PropertyRouter::kInt;
    } else if (name == "DrawXPos") {
        address = &m_drawXPos;
        type = PropertyRouter::kInt;
    } else if (name == "DrawYPos") {
        address = &m_drawYPos;
        type = PropertyRouter::kInt;
    } else if (name == "XCenter" || name == "YCenter" || name == "ZCenter") {
        address = name[0] == 'X' ? &d.X : name[0] == 'Y' ? &d.Y : &d.Z;
        type = PropertyRouter::kDouble;
        source = recordOwner;
    }
    PropertyRouter::Report(type);
    if (owner) *owner = address ? source : nullptr;
    return address;
}
