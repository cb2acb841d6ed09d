#pragma once
// Shows one image (not owned) at an offset inside its rectangle.
#include <lua5.1/lua.hpp>

#include <string>

#include "gui/GUIBaseObject.h"

class GUIImage : public GUIBaseObject {
public:
    GUIImage();
    ~GUIImage() override;

    // Looked up by name anywhere in the data library (bitmaps only); a name
    // it does not have leaves the image as it was.
    void SetImageByName(const std::string& name);
    // A found image sets the width and height to its own and has content;
    // the rectangle and backing bitmap stay. Null is ignored.
    void SetImage(BitmapWrapper* image);
    BitmapWrapper* GetImage() const { return m_image; }
    void SetImageOffset(int x, int y);

    bool OnEvent(int event, int x, int y) override;
    void Render() override;
    void* GetProperty(const std::string& name) override;

    // GUII_SetImage.
    static void RegisterLuaFunctions(lua_State* L);

private:
    BitmapWrapper* m_image = nullptr;
    int32_t m_imageX = 0;
    int32_t m_imageY = 0;
};
