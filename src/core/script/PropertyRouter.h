#pragma once
// Turns (owner kind, owner name, property name) into the address of a live
// field of an engine object plus a value-type code, so that scripts can read
// and write fields by name (PM_ functions) and so that AI packages, animation
// states and widgets can follow fields of other objects every tick.
//
// Every owner's property lookup leaves the type of the address it returns in
// the router (PropertyRouter::Report), which is how a caller of Route learns
// what the address points to. The code is only meaningful directly after the
// lookup.
//
// Value types and what the address points to:
//   0   nothing (null)            1   uint8_t used as a boolean
//   2   int32_t                   3   std::string
//   4   float                     5   double
//   6   int32_t (an id)           50  a physics pack (the object itself)
//   100 a world object's box      101 a Dimensions record
//   10, 40, 1200: a character's appearance, variable list, drawing list
#include <lua5.1/lua.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class PropertyRouter {
public:
    enum ValueType : int32_t {
        kNone = 0,
        kByte = 1,
        kInt = 2,
        kString = 3,
        kFloat = 4,
        kDouble = 5,
        kId = 6,
        kAppearance = 10,
        kVariableList = 40,
        kPhysicsPack = 50,
        kObjectBox = 100,
        kDimensions = 101,
        kDrawingList = 1200,
    };

    // A kept address of a routed field that is cleared when its owner goes.
    // Bind routes once; Get gives the address, or null once the owner has
    // gone: owners with a liveness token (GUI objects) are checked through
    // it, the others announce their end with PropertyRouter::ForgetOwner.
    // It is also null once the router is gone. Keepers (AI packages,
    // widgets, animation states) hold one of these instead of a raw pointer.
    class SyncPointer {
    public:
        SyncPointer() = default;
        ~SyncPointer();
        SyncPointer(const SyncPointer&) = delete;
        SyncPointer& operator=(const SyncPointer&) = delete;

        // Routes through the global router; false (and cleared) when nothing
        // was found or no router exists. The value type is kept with it.
        bool Bind(const std::string& kind, const std::string& owner, const std::string& property);
        void Clear();

        void* Get() const { return OwnerAlive() ? m_address : nullptr; }
        int32_t GetValueType() const { return Get() ? m_type : kNone; }
        const void* GetOwner() const { return OwnerAlive() ? m_owner : nullptr; }

        // Typed access that checks the kept type: see ReadNumber/WriteNumber.
        bool Read(double& out) const { return ReadNumber(Get(), GetValueType(), out); }
        bool Write(double value) const { return WriteNumber(Get(), GetValueType(), value); }
        std::string* AsString() const {
            return GetValueType() == kString ? static_cast<std::string*>(m_address) : nullptr;
        }

    private:
        friend class PropertyRouter;
        bool OwnerAlive() const { return !m_hasLife || !m_life.expired(); }

        void* m_address = nullptr;
        int32_t m_type = kNone;
        const void* m_owner = nullptr;
        std::weak_ptr<void> m_life;
        bool m_hasLife = false;
        PropertyRouter* m_router = nullptr;
    };

    // Registers the PM_ script functions on the script host's state (when it
    // exists).
    PropertyRouter();
    ~PropertyRouter();
    PropertyRouter(const PropertyRouter&) = delete;
    PropertyRouter& operator=(const PropertyRouter&) = delete;

    int32_t GetValueType() const { return m_valueType; }
    void SetValueType(int32_t code) { m_valueType = code; }

    // Owners' property lookups call this to leave the type of the address
    // they return; nothing happens while no router exists.
    static void Report(int32_t code);

    // What an owner kind's resolver found: the field's address (null when
    // nothing), the object it belongs to, and that object's liveness token
    // when it has one.
    struct Target {
        void* address = nullptr;
        const void* source = nullptr;
        std::weak_ptr<void> life;
        bool hasLife = false;
    };
    // Looks (owner, property) up among one kind of owner and prints its own
    // failure lines; the owner reports the value type (Report) as it looks.
    using Resolver = Target (*)(const std::string& owner, const std::string& property);
    // Sets or replaces the resolver of an owner kind, for every router. Each
    // owner's layer is above this one, so the kinds are registered at
    // start-up by the owners' layers (gui/GUILayerWiring.cpp gives "GUI",
    // world/PropertyRoutes.cpp the others). kOwnerKinds names them all: a
    // test checks that start-up registers exactly these, no fewer and no
    // more, so a kind added on one side only fails it.
    static void SetResolver(const std::string& kind, Resolver resolver);
    static constexpr const char* kOwnerKinds[] = {"Player", "GUI",    "AIManager", "ActiveAIDrawingList",
                                                  "NPC",    "Object", "ChatLog",   "BackgroundManager"};
    // The kind has a resolver that is not null.
    static bool HasResolver(const std::string& kind);
    // Every kind that has a resolver that is not null, in name order.
    static std::vector<std::string> ResolverKinds();

    // Sets the value type to 0, then resolves through the resolver of the
    // owner kind (exact, case-sensitive). Null when the kind has none or
    // nothing is found; the value type is then 0.
    void* Route(const std::string& kind, const std::string& owner, const std::string& property);

    // The object whose field the last successful Route addressed (null after
    // a failed one). Used to tie kept addresses to their owner.
    const void* GetLastOwner() const { return m_lastOwner; }

    // Writes an int through Route when the value type is 2; a warning line
    // otherwise.
    void SetPropertyPointerInt(int32_t value, const std::string& kind, const std::string& owner,
                               const std::string& property);

    // An owner whose fields may be kept calls this as it is destroyed: every
    // SyncPointer into it is cleared. Nothing happens while no router exists.
    static void ForgetOwner(const void* owner);
    // An owner that frees one of its parts (an image, an array) calls this
    // first: every SyncPointer into those bytes is cleared, the others stay.
    static void ForgetAddresses(const void* begin, size_t bytes);

    // Reads a primitive through an address of the given type: 1 as 0 or 1,
    // 2 and 6 as integers, 4 as float, 5 as double. False (out untouched)
    // for a null address or any other type.
    static bool ReadNumber(const void* address, int32_t type, double& out);
    // Writes a primitive: 1 stores 1 unless the value is exactly 0; 2 and 6
    // truncate toward zero (clamped to 32 bits); 4 float; 5 double. False
    // (nothing written) for a null address or any other type.
    static bool WriteNumber(void* address, int32_t type, double value);

    static void RegisterLuaFunctions(lua_State* L);

private:
    void Attach(SyncPointer* link);
    void Detach(SyncPointer* link);

    int32_t m_valueType = kNone;
    const void* m_lastOwner = nullptr;
    // The liveness token of that owner, when it has one.
    std::weak_ptr<void> m_lastLife;
    bool m_lastHasLife = false;
    std::vector<SyncPointer*> m_links;
};
