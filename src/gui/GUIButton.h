#pragma once
// The clickable widget: three state images (normal, hovered, pressed), or
// three text faces it paints itself, an optional centred caption, a click
// sound, and a click action that is either a Lua file run with an integer
// argument or a C callback chosen by name.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>
#include <string>

#include "gui/GUIBaseObject.h"
#include "gui/GUIButtonCallbacks.h"

class GUIButton : public GUIBaseObject {
public:
    GUIButton();
    // Frees the three images only when the button made them.
    ~GUIButton() override;

    // Each name is looked up as Images/GUI/Buttons/<name>; a missing entry
    // leaves that image null. The button does not own them.
    void SetImagesByName(const std::string& normal, const std::string& hover, const std::string& pressed);
    void SetImages(BitmapWrapper* normal, BitmapWrapper* hover, BitmapWrapper* pressed);
    // With a text and a font: the caption, its left end at x minus half the
    // text's width. A null text or font removes the caption.
    void SetCaption(ALLEGRO_FONT* font, int x, int y, ALLEGRO_COLOR colour, const char* text);
    // Three faces of the button's size: a frame, a fill and an inner line,
    // with the text centred in white (the system font); the hover face is
    // 10% brighter, the pressed one 10% darker. The images exist from this
    // call on, but are painted when first drawn or asked for: painting costs
    // far more than making them, and many buttons wait in closed menus.
    void BuildTextImages(ALLEGRO_COLOR frame, ALLEGRO_COLOR fill, ALLEGRO_COLOR inner, const char* text);
    // True while text faces wait to be painted.
    bool HasUnpaintedFaces() const { return m_faces != nullptr; }
    void SetDisplayData(float value, int drawFlags);
    // The click runs the file with the argument.
    void SetScript(const std::string& path, int32_t argument);
    // The click calls the callback of that name (none for an unknown name).
    void SetFunction(const std::string& name);
    void SetCallback(ButtonCallback callback);
    // A size of 0 or more replaces the data buffer; a negative one does nothing.
    void AllocData(int size);
    uint8_t* GetData() const { return m_data.get(); }
    int GetDataSize() const { return m_dataSize; }
    void SetTargetName(const std::string& name);
    const std::string* GetTargetName() const { return m_hasTargetName ? &m_targetName : nullptr; }
    void SetClickSound(const std::string& name);
    // Runs the click action as a click does (keyboard navigation chooses
    // buttons this way); the button may be gone when it returns.
    void Fire() { Click(); }

    float GetDisplayValue() const { return m_displayValue; }
    int GetDrawFlags() const { return m_drawFlags; }
    bool IsPressed() const { return m_pressed; }
    bool IsHovered() const { return m_hovered; }
    bool IsScriptMode() const { return m_scriptMode; }
    const std::string& GetScriptPath() const { return m_scriptPath; }
    int32_t GetScriptArgument() const { return m_scriptArgument; }
    ButtonCallback GetCallback() const { return m_callback; }
    bool OwnsImages() const { return m_ownsImages; }
    // Text faces still waiting are painted first.
    BitmapWrapper* GetNormalImage() const {
        PaintFaces();
        return m_normalImage;
    }
    BitmapWrapper* GetHoverImage() const {
        PaintFaces();
        return m_hoverImage;
    }
    BitmapWrapper* GetPressedImage() const {
        PaintFaces();
        return m_pressedImage;
    }
    int GetCaptionX() const { return m_captionX; }
    const std::string* GetCaption() const { return m_hasCaption ? &m_caption : nullptr; }

    bool OnEvent(int event, int x, int y) override;
    void Render() override;
    void* GetProperty(const std::string& name) override;

    // The GUIB_ script functions.
    static void RegisterLuaFunctions(lua_State* L);

private:
    // Runs the click action; the button may be gone when it returns.
    void Click();
    void FreeOwnedImages();
    // Paints the text faces BuildTextImages left waiting, once.
    void PaintFaces() const {
        if (m_faces) PaintWaitingFaces();
    }
    void PaintWaitingFaces() const;

    // What the text faces are painted from, as BuildTextImages was given it.
    struct FaceRecipe {
        ALLEGRO_COLOR frame, fill, inner;
        ALLEGRO_FONT* font;
        std::string text;
        int blender[6];
    };

    std::unique_ptr<uint8_t[]> m_data;
    int m_dataSize = 0;
    ALLEGRO_FONT* m_captionFont = nullptr;
    ALLEGRO_COLOR m_captionColour{0, 0, 0, 0};
    int32_t m_captionX = 0;
    int32_t m_captionY = 0;
    std::string m_caption;
    bool m_hasCaption = false;
    float m_displayValue = 0.0f;
    bool m_pressed = false;
    bool m_hovered = false;
    bool m_releasedInside = false;
    int32_t m_drawFlags = 0;
    bool m_ownsImages = false;
    BitmapWrapper* m_hoverImage = nullptr;
    BitmapWrapper* m_normalImage = nullptr;
    BitmapWrapper* m_pressedImage = nullptr;
    mutable std::unique_ptr<FaceRecipe> m_faces;
    ButtonCallback m_callback = nullptr;
    bool m_scriptMode = false;
    std::string m_scriptPath;
    int32_t m_scriptArgument = -1;
    std::string m_targetName;
    bool m_hasTargetName = false;
    std::string m_clickSound;
    bool m_hasClickSound = false;
};
