#pragma once
// One party member's status display. Every display shares one base image;
// the member's class draws its texts over it.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>

#include "gui/GUIBaseObject.h"

class BitmapWrapper;

class GUICombatCharDisplay : public GUIBaseObject {
public:
    GUICombatCharDisplay();
    ~GUICombatCharDisplay() override;

    // The shared base image := that data-library image (null when missing).
    static BitmapWrapper* SetBaseImage(const char* section, const char* catalogue, const char* heading,
                                       const char* name);
    static BitmapWrapper* GetBaseImage();
    static void SetBaseImage(BitmapWrapper* image);
    // Makes the display's bitmap the target, draws the base image at (0, 0)
    // and clears the redraw flag. False (nothing drawn) without a bitmap.
    bool DrawBase();

    bool OnEvent(int event, int x, int y) override { return false; }
    // Draws the children only while the base image is set.
    void Render() override;
    void* GetProperty(const std::string& name) override { return nullptr; }

    // GUICCD_SetBaseImage.
    static void RegisterLuaFunctions(lua_State* L);
};
