#pragma once
// The engine's image: one Allegro bitmap (owned or borrowed) with a drawing
// offset, a default flags word and an optional palette index map that lets the
// bitmap be drawn in any variant of its palette.
#include <allegro5/allegro.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/media/Palette.h"

// True when the r, g, b and a components of both colours are exactly equal.
bool ColorsEqual(ALLEGRO_COLOR a, ALLEGRO_COLOR b);

class BitmapWrapper {
public:
    // Owned bitmap made with al_create_bitmap; its content is undefined until
    // cleared or drawn over. openGLFlag is the address of the global OpenGL
    // mode flag; every mode draws alike, so it only tells which mode runs.
    BitmapWrapper(int width, int height, uint8_t* openGLFlag);
    // Wraps a bitmap that belongs to someone else; it is never destroyed here.
    // A null bitmap gives an empty 0 x 0 wrapper whose draws do nothing.
    static BitmapWrapper* WrapBitmap(ALLEGRO_BITMAP* bitmap, uint8_t* openGLFlag);
    ~BitmapWrapper();
    BitmapWrapper(const BitmapWrapper&) = delete;
    BitmapWrapper& operator=(const BitmapWrapper&) = delete;

    // Owned bitmap whose pixels (R, G, B, A bytes, rows of width * 4, at
    // rgba inside the block `owner` keeps alive) wait until it is first
    // used: the bitmap is made then, with the new bitmap flags and format
    // of this call, and filled. Making textures is what costs, so images
    // that are never shown never pay it. Null pixels give an empty wrapper.
    static BitmapWrapper* CreatePending(int width, int height, const uint8_t* rgba, std::shared_ptr<const void> owner,
                                        uint8_t* openGLFlag);
    // True until the held pixels have gone into a bitmap.
    bool IsPending() const { return m_pending != nullptr; }

    // Deleter for owning lists: deletes a BitmapWrapper given as void*.
    static void Delete(void* wrapper);

    // A pending bitmap is made here, on first use.
    ALLEGRO_BITMAP* GetBitmap() const {
        if (m_pending) MakePendingBitmap();
        return m_bitmap;
    }
    ALLEGRO_BITMAP** GetBitmapAddress() {
        GetBitmap();
        return &m_bitmap;
    }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetOffsetX() const { return m_offsetX; }
    int GetOffsetY() const { return m_offsetY; }
    void SetOffset(int x, int y);
    bool IsWrapped() const { return m_mode == 1; }
    void SetAsTarget();
    BitmapWrapper* SetFlags(int flags);
    BitmapWrapper* AddFlags(int bits);
    int GetFlags() const { return m_defaultFlags; }

    // Owned wrappers only: a new transparent bitmap of the new size (the old
    // content dropped, or drawn at 0, 0 by ResizeKeep); the palette map goes.
    void Resize(int width, int height);
    void ResizeKeep(int width, int height);

    void ClearToBlack();
    void ClearToTransparent();
    void ClearToRGBA(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    void ClearToColor(ALLEGRO_COLOR colour);

    ALLEGRO_LOCKED_REGION* Lock(int format, int flags);
    void Unlock();

    // Records, per pixel, which colour of the palette's variant 0 it has.
    // Built at most once; selector is the address of the
    // global palette variant index, read at every draw.
    void BuildPaletteIndexMap(Palette* palette, int32_t* selector);
    void FreePaletteIndexMap();
    bool HasPaletteMap() const { return m_hasMap != 0; }
    Palette* GetPalette() const { return m_palette; }

    // Draws on the current target at (x, y) plus the offset.
    void Draw(int x, int y, int flags);
    void DrawDefault(int x, int y);
    // Target-taking forms: nothing for a null target; the target becomes the
    // drawing target first.
    void DrawTo(ALLEGRO_BITMAP* target, int x, int y, int flags);
    void DrawToDefault(ALLEGRO_BITMAP* target, int x, int y);

    void DrawRegionToCurrent(int sx, int sy, int sw, int sh, int dx, int dy, int flags);
    void DrawRegionDefault(int sx, int sy, int sw, int sh, int dx, int dy);
    void DrawRegionTo(ALLEGRO_BITMAP* target, int sx, int sy, int sw, int sh, int dx, int dy, int flags);
    void DrawRegionToDefault(ALLEGRO_BITMAP* target, int sx, int sy, int sw, int sh, int dx, int dy);

    void DrawScaledToCurrent(int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh, int flags);
    void DrawScaledDefault(int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh);
    void DrawScaledTo(ALLEGRO_BITMAP* target, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh,
                      int flags);
    void DrawScaledToDefault(ALLEGRO_BITMAP* target, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh);

    // The pivot (cx, cy) of the bitmap is placed at (dx, dy) plus the offset.
    void DrawRotatedToCurrent(int cx, int cy, int dx, int dy, float angle, int flags);
    void DrawRotatedDefault(int cx, int cy, int dx, int dy, float angle);
    void DrawRotatedTo(ALLEGRO_BITMAP* target, int cx, int cy, int dx, int dy, float angle, int flags);
    void DrawRotatedToDefault(ALLEGRO_BITMAP* target, int cx, int cy, int dx, int dy, float angle);
    // Pivot at (width / 2, height / 2), integer halves.
    void DrawRotatedCentred(int dx, int dy, float angle, int flags);
    void DrawRotatedCentredDefault(int dx, int dy, float angle);
    void DrawRotatedCentredTo(ALLEGRO_BITMAP* target, int dx, int dy, float angle, int flags);
    void DrawRotatedCentredToDefault(ALLEGRO_BITMAP* target, int dx, int dy, float angle);

    // Tinted draw at (x, y) on the current target; the offset is not added.
    void DrawTinted(ALLEGRO_COLOR tint, int x, int y, int flags);

private:
    BitmapWrapper() = default;
    struct PendingPixels {
        std::shared_ptr<const void> owner;
        const uint8_t* rgba = nullptr;
        int newFlags = 0;
        int newFormat = 0;
    };
    // Makes the bitmap of a pending wrapper and fills it; the drawing
    // target stays. On failure the wrapper holds no bitmap (and says so).
    void MakePendingBitmap() const;
    bool OpenGLMode() const { return m_openGLFlag && *m_openGLFlag; }
    // Selects the target for a target-taking draw; false when there is none.
    bool PrepareTarget(ALLEGRO_BITMAP* target);
    void DrawPaletteMapped(int x, int y, int flags);
    // The picture in one variant's colours, made on its first draw: mapped
    // pixels in the variant's colour, the others transparent. Null when the
    // variant has a colour that is not opaque (a copy drawn with blending
    // would not replace such pixels as the pixel-by-pixel draw does).
    ALLEGRO_BITMAP* VariantCopy(size_t variantIndex);
    void FreeVariantCopies();

    uint8_t m_mode = 0;  // 0 owned, 1 wrapped
    int32_t m_offsetX = 0;
    int32_t m_offsetY = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    uint8_t* m_openGLFlag = nullptr;
    std::vector<int32_t> m_paletteMap;  // [x * height + y]: 0 none, k = colour k-1
    int32_t* m_selector = nullptr;
    uint8_t m_hasMap = 0;
    Palette* m_palette = nullptr;
    // By variant: not made yet (empty slot), or made (null when not possible).
    struct VariantCopySlot {
        bool made = false;
        ALLEGRO_BITMAP* bitmap = nullptr;
    };
    std::vector<VariantCopySlot> m_variantCopies;
    mutable ALLEGRO_BITMAP* m_bitmap = nullptr;
    mutable std::unique_ptr<PendingPixels> m_pending;
    int32_t m_defaultFlags = 0;
};
