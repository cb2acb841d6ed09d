#pragma once
// World objects: the non-character entities that map scripts place (items on
// the ground, one-shot animations, position markers, transition zones and
// objects that run a script periodically). Every one has an integer position
// and box, lives in the entity manager's "Object" list, and is updated every
// tick. The entity manager's draw pass shows nothing of them; DrawAtCamera
// and DrawAt are offered to callers that want to draw one.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/base/RootEntity.h"
#include "core/script/ScriptArgs.h"
#include "world/PhysicsObjectBox.h"

class BasePhysicsPack;
class BitmapWrapper;
class Camera;
class EntityManager;

// Type ids of the world-object classes. The auto-script object shares its id
// with the static base, so it is told apart by its class.
constexpr int32_t kTypeObjectItem = 2100;
constexpr int32_t kTypeObjectStaticBase = 2300;
constexpr int32_t kTypeObjectStaticAnimation = 2301;
constexpr int32_t kTypeObjectStaticPosition = 2302;
constexpr int32_t kTypeObjectStaticTransition = 2303;
constexpr int32_t kTypeObjectStaticAutoScript = 2300;

class ObjectBase : public RootEntity {
public:
    ObjectBase();
    // Deletes the physics pack and the image; kept addresses into the object
    // are cleared.
    ~ObjectBase() override;
    ObjectBase(const ObjectBase&) = delete;
    ObjectBase& operator=(const ObjectBase&) = delete;

    // X, Y, Z.
    void GetPosition(float* x, float* y, float* z) override;
    // On an isometric map (X + Y + ZDim + YDim) / 2, else Y + YDim / 2.
    int GetDrawOrderKey() override;

    // A push from something at (x, y, z); nothing here.
    virtual void Nudge(int32_t x, int32_t y, int32_t z, float fx, float fy, float fz);
    // Runs the kill script with its code when one is set and the object has
    // not been marked removed.
    virtual void RunKillScript();
    // Draws at the object's place in the camera's view: here the image at
    // the box's top-left corner.
    virtual void DrawAtCamera(BitmapWrapper* target, Camera* camera);
    virtual void DrawAt(BitmapWrapper* target, int32_t x, int32_t y);
    // The subclass's own routable properties; null (value type 0) here.
    virtual void* RoutePointer(const std::string& name);

    void SetCoordinates(int32_t x, int32_t y, int32_t z);
    void SetDimensions(int32_t x, int32_t y, int32_t z);
    void SetKillScript(const std::string& path, int32_t code);
    // Takes the pack (null: none), deletes the old one and binds the new one
    // to the box and the spin angle.
    void SetPhysics(std::unique_ptr<BasePhysicsPack> physics);

    // The property router's lookup: RoutePointer first, then "XPos", "YPos",
    // "ZPos" (ints), "PhysicsPtr" (the pack itself), "Dimensions" (the box
    // record). The value type is left in the router; null when not found.
    void* GetPropertyAddress(const std::string& name);

    const ObjectBox& GetBox() const { return m_box; }
    float GetAngle() const { return m_angle; }
    bool IsRemoved() const { return m_removed != 0; }
    BasePhysicsPack* GetPhysics() const { return m_physics.get(); }
    const std::optional<std::string>& GetKillScript() const { return m_killScript; }
    int32_t GetKillScriptCode() const { return m_killScriptCode; }

    // The entity manager's active entity when it is a world object; null
    // otherwise and without an entity manager.
    static ObjectBase* GetActive();
    // For the object families' script functions: the active world object as
    // a T, or null after the function's line ("EntityManager does not exist",
    // "Active Object not set", or `wrongKind` for an object of another class).
    template <class T = ObjectBase>
    static T* GetActiveForScript(const script::Lines& lines, const char* wrongKind = nullptr) {
        return script::ActiveObject<T>(lines, Entities(), &ActiveOf,
                                       {"EntityManager does not exist", "Active Object not set", wrongKind});
    }

    // OBJ_ script functions.
    static void RegisterLuaFunctions(lua_State* L);

protected:
    static EntityManager* Entities();
    // The manager's active entity when it is a world object.
    static ObjectBase* ActiveOf(EntityManager* entities);

    uint8_t m_removed = 0;
    ObjectBox m_box;
    std::unique_ptr<BasePhysicsPack> m_physics;
    float m_angle = 0.0f;
    std::unique_ptr<BitmapWrapper> m_image;
    std::optional<std::string> m_killScript;
    int32_t m_killScriptCode = -1;
};
