#include "gui/GUIButton.h"

#include <algorithm>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/SoundManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "gui/GUIManager.h"

namespace {

// The fixed text height the faces centre their text on.
constexpr int kFaceTextHeight = 21;

ALLEGRO_COLOR ScaleOpaque(ALLEGRO_COLOR colour, float factor) {
    auto scale = [factor](float value) { return std::clamp(value * factor, 0.0f, 1.0f); };
    return al_map_rgba_f(scale(colour.r), scale(colour.g), scale(colour.b), 1.0f);
}

void PaintFace(BitmapWrapper* image, ALLEGRO_COLOR frame, ALLEGRO_COLOR fill, ALLEGRO_COLOR inner, ALLEGRO_FONT* font,
               const std::string& text) {
    if (!image || !image->GetBitmap()) return;
    image->ClearToColor(fill);
    const int w = image->GetWidth();
    const int h = image->GetHeight();
    if (image->Lock(ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_READWRITE)) {
        image->SetAsTarget();
        for (int x = 0; x < w; ++x) {
            al_put_pixel(x, 0, frame);
            al_put_pixel(x, h - 1, frame);
            if (2 < x && x < w - 2) {
                al_put_pixel(x, 2, inner);
                al_put_pixel(x, h - 3, inner);
            }
        }
        for (int y = 0; y < h; ++y) {
            al_put_pixel(0, y, frame);
            al_put_pixel(w - 1, y, frame);
            if (2 < y && y < h - 2) {
                al_put_pixel(3, y, inner);
                al_put_pixel(w - 3, y, inner);
            }
        }
        image->Unlock();
    }
    image->SetAsTarget();
    const int textWidth = al_get_text_width(font, text.c_str());
    const int x = textWidth > w ? 4 : (w - textWidth) / 2;
    const int y = (h - kFaceTextHeight) / 2;
    al_draw_text(font, al_map_rgb(255, 255, 255), x, y, 0, text.c_str());
}

}  // namespace

GUIButton::GUIButton() {
    m_type = kTypeGUIButton;
    m_redrawEveryPulse = false;
}

GUIButton::~GUIButton() { FreeOwnedImages(); }

void GUIButton::FreeOwnedImages() {
    m_faces.reset();
    if (m_ownsImages) {
        delete m_normalImage;
        delete m_hoverImage;
        delete m_pressedImage;
    }
    m_normalImage = m_hoverImage = m_pressedImage = nullptr;
    m_ownsImages = false;
}

void GUIButton::SetImagesByName(const std::string& normal, const std::string& hover, const std::string& pressed) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return;
    auto find = [library](const std::string& name) {
        return library->Get<BitmapWrapper>("Images", "GUI", "Buttons", name.c_str(), DataKind::Bitmap);
    };
    BitmapWrapper* n = find(normal);
    BitmapWrapper* h = find(hover);
    BitmapWrapper* p = find(pressed);
    SetImages(n, h, p);
}

void GUIButton::SetImages(BitmapWrapper* normal, BitmapWrapper* hover, BitmapWrapper* pressed) {
    // Faces the button painted itself are freed, not left behind.
    FreeOwnedImages();
    m_normalImage = normal;
    m_hoverImage = hover;
    m_pressedImage = pressed;
    MarkDirty();
}

void GUIButton::SetCaption(ALLEGRO_FONT* font, int x, int y, ALLEGRO_COLOR colour, const char* text) {
    if (!text || !font) {
        if (m_hasCaption) MarkDirty();
        m_caption.clear();
        m_hasCaption = false;
        return;
    }
    m_caption = text;
    m_hasCaption = true;
    m_captionX = SaturateToInt32(int64_t{x} - al_get_text_width(font, text) / 2);
    m_captionY = y;
    m_captionColour = colour;
    m_captionFont = font;
    MarkDirty();
}

void GUIButton::BuildTextImages(ALLEGRO_COLOR frame, ALLEGRO_COLOR fill, ALLEGRO_COLOR inner, const char* text) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!text || !library) return;
    auto* font = library->Get<ALLEGRO_FONT>("Fonts", "General", "System", "SystemFont", DataKind::Font);
    if (!font) return;
    FreeOwnedImages();
    uint8_t* openGL = &GetGlobalState()->openGLMode;
    m_ownsImages = true;
    m_normalImage = new BitmapWrapper(m_width, m_height, openGL);
    m_hoverImage = new BitmapWrapper(m_width, m_height, openGL);
    m_pressedImage = new BitmapWrapper(m_width, m_height, openGL);
    // The text is drawn later with the blender of this moment, so the faces
    // come out as they would have now.
    auto recipe = std::make_unique<FaceRecipe>(FaceRecipe{frame, fill, inner, font, text, {}});
    int* b = recipe->blender;
    al_get_separate_blender(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5]);
    m_faces = std::move(recipe);
    MarkDirty();
}

void GUIButton::PaintWaitingFaces() const {
    const std::unique_ptr<FaceRecipe> recipe = std::move(m_faces);
    if (!recipe) return;
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    int saved[6];
    al_get_separate_blender(&saved[0], &saved[1], &saved[2], &saved[3], &saved[4], &saved[5]);
    const int* b = recipe->blender;
    al_set_separate_blender(b[0], b[1], b[2], b[3], b[4], b[5]);
    const FaceRecipe& r = *recipe;
    PaintFace(m_normalImage, r.frame, r.fill, r.inner, r.font, r.text);
    PaintFace(m_hoverImage, ScaleOpaque(r.frame, 1.1f), ScaleOpaque(r.fill, 1.1f), ScaleOpaque(r.inner, 1.1f), r.font,
              r.text);
    PaintFace(m_pressedImage, ScaleOpaque(r.frame, 0.9f), ScaleOpaque(r.fill, 0.9f), ScaleOpaque(r.inner, 0.9f), r.font,
              r.text);
    al_set_separate_blender(saved[0], saved[1], saved[2], saved[3], saved[4], saved[5]);
    if (previous) al_set_target_bitmap(previous);
}

void GUIButton::SetDisplayData(float value, int drawFlags) {
    m_displayValue = value;
    if (drawFlags == m_drawFlags) return;
    m_drawFlags = drawFlags;
    MarkDirty();
}

void GUIButton::SetScript(const std::string& path, int32_t argument) {
    m_callback = nullptr;
    m_scriptMode = true;
    m_scriptPath = path;
    m_scriptArgument = argument;
}

void GUIButton::SetFunction(const std::string& name) { SetCallback(FindButtonCallback(name)); }

void GUIButton::SetCallback(ButtonCallback callback) {
    m_callback = callback;
    m_scriptMode = false;
    m_scriptPath.clear();
}

void GUIButton::AllocData(int size) {
    if (size < 0) return;
    // A buffer of at least one byte, so an empty buffer is still "a buffer".
    m_data.reset(new uint8_t[size > 0 ? static_cast<size_t>(size) : 1]);
    m_dataSize = size;
}

void GUIButton::SetTargetName(const std::string& name) {
    m_targetName = name;
    m_hasTargetName = true;
}

void GUIButton::SetClickSound(const std::string& name) {
    m_clickSound = name;
    m_hasClickSound = true;
}

void* GUIButton::GetProperty(const std::string&) { return nullptr; }

bool GUIButton::OnEvent(int event, int, int) {
    // The face shown follows the hovered and pressed states: the button is
    // drawn again when either changes.
    const bool hovered = m_hovered;
    const bool pressed = m_pressed;
    auto markOnChange = [this, hovered, pressed] {
        if (m_hovered != hovered || m_pressed != pressed) MarkDirty();
    };
    switch (event) {
        case kGUIEventPulse:
            m_hovered = IsMouseInside();
            markOnChange();
            return false;
        case kGUIEventPress:
            m_pressed = IsMouseInside();
            markOnChange();
            return m_pressed;
        case kGUIEventRelease: {
            m_releasedInside = IsMouseInside();
            const bool click = m_pressed && m_releasedInside;
            m_pressed = m_releasedInside = false;
            markOnChange();
            if (!click) return false;
            Click();  // the last use of this object: the action may delete it
            return true;
        }
        default: return false;
    }
}

void GUIButton::Click() {
    GlobalState* state = GetGlobalState();
    if (state->guiManager) state->guiManager->SetClickedButton(this);
    std::weak_ptr<char> life = GetLifeToken();
    if (m_hasClickSound && state->soundManager) state->soundManager->PlaySound(m_clickSound);
    if (m_scriptMode) {
        // Copies: the script may delete this button.
        const std::string path = m_scriptPath;
        const int32_t argument = m_scriptArgument;
        if (state->luaManager) state->luaManager->RunFile(path, argument);
        return;
    }
    if (!m_callback || life.expired()) return;
    if (m_hasTargetName) {
        GUIBaseObject* target = state->guiManager ? state->guiManager->FindObject(m_targetName) : nullptr;
        if (!target) return;
        const std::string name = target->GetName();
        m_callback(const_cast<char*>(name.c_str()));
        return;
    }
    m_callback(m_data ? static_cast<void*>(m_data.get()) : static_cast<void*>(this));
}

void GUIButton::Render() {
    PaintFaces();
    if (Backing() && Backing()->GetBitmap()) Backing()->SetAsTarget();
    BitmapWrapper* image = nullptr;
    if (m_pressed && m_pressedImage)
        image = m_pressedImage;
    else if (m_hovered && m_hoverImage)
        image = m_hoverImage;
    else
        image = m_normalImage;
    if (image) image->Draw(m_drawX, m_drawY, m_drawFlags);
    if (m_hasCaption && m_captionFont)
        al_draw_text(m_captionFont, m_captionColour, m_drawX + m_captionX, m_drawY + m_captionY, 0, m_caption.c_str());
    DrawChildren(Backing());
    m_dirty = false;
}
