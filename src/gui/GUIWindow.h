#pragma once
// A panel that holds other widgets, optionally filled with a background
// colour. It keeps its picture until it or something it holds changes. The
// scrollable and resize windows build on it.
#include <allegro5/allegro.h>
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>

#include "gui/GUIBaseObject.h"

class GUIWindow : public GUIBaseObject {
public:
    GUIWindow();
    ~GUIWindow() override;

    // No fill: the window is cleared to transparent before its children draw.
    void SetTransparent();
    // Each component is taken modulo 256; the fill goes on.
    void SetBackgroundColor(int red, int green, int blue);
    bool IsTransparent() const { return m_noFill; }
    ALLEGRO_COLOR GetBackgroundColor() const { return m_backgroundColor; }

    bool OnEvent(int event, int x, int y) override;
    // Fills (or clears) the backing bitmap and draws the children onto it.
    void Render() override;
    void* GetProperty(const std::string& name) override;

    // The GUIRSW_, GUISW_ and GUIW_ script functions, in that order.
    static void RegisterLuaFunctions(lua_State* L);

protected:
    // Makes the backing bitmap the drawing target.
    void TargetBacking();
    // Draws the children onto the backing bitmap: the end of every window's
    // Render.
    void FinishRender();

    bool m_noFill = true;
    ALLEGRO_COLOR m_backgroundColor;
    // Drag state of the subclasses (kept apart from the border drag of the
    // base object).
    int32_t m_windowLastMouseX = 0;
    int32_t m_windowLastMouseY = 0;
    bool m_pressed = false;
    bool m_windowDragging = false;
};
