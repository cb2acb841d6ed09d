#pragma once
// An item lying on the ground: a 16 x 16 x 16 box moved by its own physics
// pack, drawn with a shadow under it and spun by its physics.
#include <lua5.1/lua.hpp>

#include <array>
#include <cstdint>
#include <string>

#include "world/ObjectBase.h"

class ObjectItem : public ObjectBase {
public:
    // Names of the shadow images under "Images"/"Misc"/"Shadows", largest to
    // smallest; the table keeps this order.
    static constexpr const char* kShadowNames[4] = {"ShadowL", "ShadowM", "ShadowS", "ShadowT"};

    // Takes the shadows from the data library, makes and binds its physics
    // pack and computes its box.
    ObjectItem();
    ~ObjectItem() override;

    // One physics step, then the box from the position and dimensions.
    void Update() override;
    // A push from (x, y, z) reaches the item within 19 units on every axis;
    // the y and z forces get a random part.
    void Nudge(int32_t x, int32_t y, int32_t z, float fx, float fy, float fz) override;
    // The shadow at the floor and the image 16 x 16, rotated by the angle,
    // lifted by its height.
    void DrawAtCamera(BitmapWrapper* target, Camera* camera) override;
    void DrawAt(BitmapWrapper* target, int32_t x, int32_t y) override;
    // The physics pack's properties ("XSpeed", "YSpeed", "ZSpeed").
    void* RoutePointer(const std::string& name) override;

    // x1 = X - XDim / 2, x2 = X + XDim / 2, and likewise for y and z.
    virtual void UpdateBounds();

    // The image is not owned. A null image is stored with a warning.
    void SetImage(BitmapWrapper* image);
    BitmapWrapper* GetImage() const { return m_itemImage; }
    BitmapWrapper* GetShadow(int index) const { return m_shadows.at(static_cast<size_t>(index)); }

    // Hook_OBJI_SetImage.
    static void RegisterLuaFunctions(lua_State* L);

private:
    BitmapWrapper* m_itemImage = nullptr;
    std::array<BitmapWrapper*, 4> m_shadows{};
};
