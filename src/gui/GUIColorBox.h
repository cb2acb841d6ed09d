#pragma once
// A rectangle filled with one colour (red, green, blue and alpha, each
// taken as a byte).
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>

#include "gui/GUIBaseObject.h"

class GUIColorBox : public GUIBaseObject {
public:
    GUIColorBox();
    ~GUIColorBox() override;

    void SetColor(int red, int green, int blue, int alpha);
    int32_t GetRed() const { return m_red; }
    int32_t GetGreen() const { return m_green; }
    int32_t GetBlue() const { return m_blue; }
    int32_t GetAlpha() const { return m_alpha; }

    bool OnEvent(int event, int x, int y) override;
    void Render() override;
    // "Red", "Green", "Blue", "Alpha": int32 (value type 2).
    void* GetProperty(const std::string& name) override;

    // GUIColB_SetColorData.
    static void RegisterLuaFunctions(lua_State* L);

private:
    // Its colour can be written through its properties.
    bool ShownStateChanged() const override;

    int32_t m_red = 0;
    int32_t m_green = 0;
    int32_t m_blue = 0;
    int32_t m_alpha = 0;
    // The colour the last Render filled with.
    int32_t m_drawn[4] = {0, 0, 0, 0};
};
