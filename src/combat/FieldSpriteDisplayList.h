#pragma once
// A field sprite's pose: named layers, each its own copy of an animation,
// composed in the order added.
#include <cstdint>

struct lua_State;
class FieldSpriteanimation;
class NamedList;

class FieldSpriteDisplayList {
public:
    FieldSpriteDisplayList();
    ~FieldSpriteDisplayList();  // deletes its layers
    FieldSpriteDisplayList(const FieldSpriteDisplayList&) = delete;
    FieldSpriteDisplayList& operator=(const FieldSpriteDisplayList&) = delete;

    static void Delete(void* list);

    // Appends a copy of the animation under the name (each pose keeps its
    // own timing); nothing when either is null.
    void AddAnimation(const char* name, const FieldSpriteanimation* animation);

    void SetFrameIndexAll(int32_t index);
    void AdvanceAll();
    void RestartAll();
    // Every layer's current frame at (0, 0) on the current target, in order.
    void DrawAll();
    void DrawAllWithFlags(int x, int y, int flags);

    NamedList* GetLayers() const { return m_layers; }
    int GetLayerCount() const;

    // Lists made by a script and not yet handed to a sprite ("loose"): the
    // class keeps them until a sprite takes one (Adopt) or the script that
    // made them is done (ReleaseAllLoose).
    static FieldSpriteDisplayList* CreateLoose();
    static void Adopt(FieldSpriteDisplayList* list);
    static bool IsLoose(const FieldSpriteDisplayList* list);
    static void ReleaseAllLoose();

private:
    NamedList* m_layers;
};

// The four FSpriteDL_ functions.
void RegisterFieldSpriteDisplayListLuaFunctions(lua_State* L);
