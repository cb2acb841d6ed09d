#include "core/media/BitmapWrapper.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

bool ColorsEqual(ALLEGRO_COLOR a, ALLEGRO_COLOR b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }

namespace {

// Bitmaps of no area cannot be created; such wrappers hold no bitmap.
ALLEGRO_BITMAP* CreateBitmap(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    return al_create_bitmap(width, height);
}

}  // namespace

BitmapWrapper::BitmapWrapper(int width, int height, uint8_t* openGLFlag)
    : m_mode(0),
      m_width(std::max(width, 0)),
      m_height(std::max(height, 0)),
      m_openGLFlag(openGLFlag),
      m_bitmap(CreateBitmap(width, height)) {}

BitmapWrapper* BitmapWrapper::WrapBitmap(ALLEGRO_BITMAP* bitmap, uint8_t* openGLFlag) {
    auto* wrapper = new BitmapWrapper();
    wrapper->m_mode = 1;
    wrapper->m_openGLFlag = openGLFlag;
    wrapper->m_bitmap = bitmap;
    if (bitmap) {
        wrapper->m_width = al_get_bitmap_width(bitmap);
        wrapper->m_height = al_get_bitmap_height(bitmap);
    }
    return wrapper;
}

BitmapWrapper::~BitmapWrapper() {
    FreeVariantCopies();
    if (m_mode != 1 && m_bitmap) al_destroy_bitmap(m_bitmap);
    m_bitmap = nullptr;
}

BitmapWrapper* BitmapWrapper::CreatePending(int width, int height, const uint8_t* rgba,
                                            std::shared_ptr<const void> owner, uint8_t* openGLFlag) {
    auto* wrapper = new BitmapWrapper();
    wrapper->m_openGLFlag = openGLFlag;
    wrapper->m_width = std::max(width, 0);
    wrapper->m_height = std::max(height, 0);
    if (width > 0 && height > 0 && rgba) {
        wrapper->m_pending = std::make_unique<PendingPixels>();
        wrapper->m_pending->owner = std::move(owner);
        wrapper->m_pending->rgba = rgba;
        wrapper->m_pending->newFlags = al_get_new_bitmap_flags();
        wrapper->m_pending->newFormat = al_get_new_bitmap_format();
    }
    return wrapper;
}

void BitmapWrapper::MakePendingBitmap() const {
    std::unique_ptr<PendingPixels> pending = std::move(m_pending);
    // Drawing held for a batch is sent first, so that making this bitmap
    // in the middle of a frame leaves the batch whole.
    const bool held = al_is_bitmap_drawing_held();
    if (held) al_hold_bitmap_drawing(false);
    const int flags = al_get_new_bitmap_flags(), format = al_get_new_bitmap_format();
    al_set_new_bitmap_flags(pending->newFlags);
    al_set_new_bitmap_format(pending->newFormat);
    m_bitmap = CreateBitmap(m_width, m_height);
    al_set_new_bitmap_flags(flags);
    al_set_new_bitmap_format(format);
    // Rows copied whole: the bytes are the lock format's own order.
    ALLEGRO_BITMAP* previousTarget = al_get_target_bitmap();
    ALLEGRO_LOCKED_REGION* region =
        m_bitmap ? al_lock_bitmap(m_bitmap, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_WRITEONLY) : nullptr;
    if (!region) {
        if (m_bitmap) al_destroy_bitmap(m_bitmap);
        m_bitmap = nullptr;
        std::fprintf(stderr, "BitmapWrapper - Warning, cannot make a bitmap of %i x %i\n", m_width, m_height);
        if (held) al_hold_bitmap_drawing(true);
        return;
    }
    const size_t rowBytes = static_cast<size_t>(m_width) * 4;
    for (int row = 0; row < m_height; ++row)
        std::memcpy(static_cast<uint8_t*>(region->data) + static_cast<ptrdiff_t>(row) * region->pitch,
                    pending->rgba + static_cast<size_t>(row) * rowBytes, rowBytes);
    al_unlock_bitmap(m_bitmap);
    al_set_target_bitmap(previousTarget);
    if (held) al_hold_bitmap_drawing(true);
}

void BitmapWrapper::Delete(void* wrapper) { delete static_cast<BitmapWrapper*>(wrapper); }

void BitmapWrapper::SetOffset(int x, int y) {
    m_offsetX = x;
    m_offsetY = y;
}

void BitmapWrapper::SetAsTarget() {
    if (GetBitmap()) al_set_target_bitmap(m_bitmap);
}

BitmapWrapper* BitmapWrapper::SetFlags(int flags) {
    m_defaultFlags = flags;
    return this;
}

BitmapWrapper* BitmapWrapper::AddFlags(int bits) {
    m_defaultFlags |= bits;
    return this;
}

void BitmapWrapper::Resize(int width, int height) {
    if (m_mode != 0) return;
    m_pending.reset();
    if (m_bitmap) al_destroy_bitmap(m_bitmap);
    FreePaletteIndexMap();
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_bitmap = CreateBitmap(width, height);
    ClearToTransparent();
}

void BitmapWrapper::ResizeKeep(int width, int height) {
    if (m_mode != 0) return;
    ALLEGRO_BITMAP* old = GetBitmap();
    FreePaletteIndexMap();
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_bitmap = CreateBitmap(width, height);
    ClearToTransparent();
    if (old) {
        if (m_bitmap) al_draw_bitmap(old, 0, 0, 0);
        al_destroy_bitmap(old);
    }
}

void BitmapWrapper::ClearToBlack() { ClearToRGBA(0, 0, 0, 255); }

void BitmapWrapper::ClearToTransparent() { ClearToRGBA(0, 0, 0, 0); }

void BitmapWrapper::ClearToRGBA(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (!GetBitmap()) return;
    al_set_target_bitmap(m_bitmap);
    al_clear_to_color(al_map_rgba(r, g, b, a));
}

void BitmapWrapper::ClearToColor(ALLEGRO_COLOR colour) {
    if (!GetBitmap()) return;
    al_set_target_bitmap(m_bitmap);
    al_clear_to_color(colour);
}

ALLEGRO_LOCKED_REGION* BitmapWrapper::Lock(int format, int flags) {
    return GetBitmap() ? al_lock_bitmap(m_bitmap, format, flags) : nullptr;
}

void BitmapWrapper::Unlock() {
    if (m_bitmap && al_is_bitmap_locked(m_bitmap)) al_unlock_bitmap(m_bitmap);
}

void BitmapWrapper::BuildPaletteIndexMap(Palette* palette, int32_t* selector) {
    if (!palette || !GetBitmap() || m_hasMap || !selector) return;
    m_hasMap = 1;
    m_palette = palette;
    m_selector = selector;

    const std::vector<ALLEGRO_COLOR>* reference = palette->variants.empty() ? nullptr : &palette->variants[0];
    size_t colours = reference ? std::min<size_t>(palette->colourCount, reference->size()) : 0;

    bool locked = !al_is_bitmap_locked(m_bitmap) &&
                  al_lock_bitmap(m_bitmap, ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_READONLY) != nullptr;
    m_paletteMap.assign(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), 0);
    for (int x = 0; x < m_width; ++x) {
        for (int y = 0; y < m_height; ++y) {
            ALLEGRO_COLOR pixel = al_get_pixel(m_bitmap, x, y);
            for (size_t c = 0; c < colours; ++c) {
                if (ColorsEqual(pixel, (*reference)[c])) {
                    m_paletteMap[static_cast<size_t>(x) * m_height + y] = static_cast<int32_t>(c + 1);
                    break;
                }
            }
        }
    }
    if (locked) al_unlock_bitmap(m_bitmap);
}

void BitmapWrapper::FreePaletteIndexMap() {
    FreeVariantCopies();
    m_paletteMap.clear();
    m_paletteMap.shrink_to_fit();
    m_hasMap = 0;
    m_palette = nullptr;
}

void BitmapWrapper::FreeVariantCopies() {
    for (VariantCopySlot& slot : m_variantCopies)
        if (slot.bitmap) al_destroy_bitmap(slot.bitmap);
    m_variantCopies.clear();
}

ALLEGRO_BITMAP* BitmapWrapper::VariantCopy(size_t variantIndex) {
    if (m_variantCopies.size() <= variantIndex) m_variantCopies.resize(variantIndex + 1);
    VariantCopySlot& slot = m_variantCopies[variantIndex];
    if (slot.made) return slot.bitmap;
    slot.made = true;
    const std::vector<ALLEGRO_COLOR>& variant = m_palette->variants[variantIndex];
    for (const ALLEGRO_COLOR& colour : variant)
        if (colour.a != 1.0f) return nullptr;
    ALLEGRO_BITMAP* copy = CreateBitmap(m_width, m_height);
    if (!copy) return nullptr;
    ALLEGRO_LOCKED_REGION* region = al_lock_bitmap(copy, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_WRITEONLY);
    if (!region) {
        al_destroy_bitmap(copy);
        return nullptr;
    }
    for (int y = 0; y < m_height; ++y) {
        uint8_t* row = static_cast<uint8_t*>(region->data) + static_cast<ptrdiff_t>(y) * region->pitch;
        for (int x = 0; x < m_width; ++x) {
            int32_t k = m_paletteMap[static_cast<size_t>(x) * m_height + y];
            uint8_t* pixel = row + static_cast<size_t>(x) * 4;
            if (k > 0 && static_cast<size_t>(k - 1) < variant.size()) {
                al_unmap_rgba(variant[k - 1], &pixel[0], &pixel[1], &pixel[2], &pixel[3]);
            } else {
                pixel[0] = pixel[1] = pixel[2] = pixel[3] = 0;
            }
        }
    }
    al_unlock_bitmap(copy);
    slot.bitmap = copy;
    return copy;
}

void BitmapWrapper::DrawPaletteMapped(int x, int y, int flags) {
    ALLEGRO_BITMAP* target = al_get_target_bitmap();
    if (!target || !m_selector) return;
    // A variant the palette does not have draws nothing rather than reading
    // outside the palette.
    int32_t variantIndex = *m_selector;
    if (variantIndex < 0 || static_cast<uint32_t>(variantIndex) >= m_palette->variantCount ||
        static_cast<size_t>(variantIndex) >= m_palette->variants.size())
        return;
    const std::vector<ALLEGRO_COLOR>& variant = m_palette->variants[variantIndex];

    // The variant's copy, drawn over the target with the normal blender:
    // its opaque pixels replace the target's and its transparent ones leave
    // them, as writing the mapped pixels one by one does, without reading
    // the target back.
    if (!al_is_bitmap_locked(target)) {
        if (ALLEGRO_BITMAP* copy = VariantCopy(static_cast<size_t>(variantIndex))) {
            int op, src, dst, aop, asrc, adst;
            al_get_separate_blender(&op, &src, &dst, &aop, &asrc, &adst);
            al_set_blender(ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_INVERSE_ALPHA);
            al_draw_bitmap(copy, static_cast<float>(x), static_cast<float>(y), flags);
            al_set_separate_blender(op, src, dst, aop, asrc, adst);
            return;
        }
    }

    // Only the destination rectangle, clipped to the target and its clipping
    // rectangle, is locked; the lock reads the target too so that pixels left
    // unwritten keep their content on video bitmaps.
    int clipX, clipY, clipW, clipH;
    al_get_clipping_rectangle(&clipX, &clipY, &clipW, &clipH);
    int64_t left = std::max<int64_t>({x, 0, clipX});
    int64_t top = std::max<int64_t>({y, 0, clipY});
    int64_t right = std::min<int64_t>(
        {static_cast<int64_t>(x) + m_width, al_get_bitmap_width(target), static_cast<int64_t>(clipX) + clipW});
    int64_t bottom = std::min<int64_t>(
        {static_cast<int64_t>(y) + m_height, al_get_bitmap_height(target), static_cast<int64_t>(clipY) + clipH});
    if (left >= right || top >= bottom) return;

    bool alreadyLocked = al_is_bitmap_locked(target);
    if (!alreadyLocked &&
        !al_lock_bitmap_region(target, static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                               static_cast<int>(bottom - top), ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_READWRITE))
        return;

    bool mirrorX = (flags & ALLEGRO_FLIP_HORIZONTAL) != 0;
    bool mirrorY = (flags & ALLEGRO_FLIP_VERTICAL) != 0;
    for (int64_t dx = left; dx < right; ++dx) {
        int64_t column = dx - x;
        if (mirrorX) column = m_width - 1 - column;
        const int32_t* entries = &m_paletteMap[static_cast<size_t>(column) * m_height];
        for (int64_t dy = top; dy < bottom; ++dy) {
            int64_t row = dy - y;
            if (mirrorY) row = m_height - 1 - row;
            int32_t k = entries[row];
            if (k > 0 && static_cast<size_t>(k - 1) < variant.size())
                al_put_pixel(static_cast<int>(dx), static_cast<int>(dy), variant[k - 1]);
        }
    }
    if (!alreadyLocked) al_unlock_bitmap(target);
}

void BitmapWrapper::Draw(int x, int y, int flags) {
    if (!GetBitmap()) return;
    x += m_offsetX;
    y += m_offsetY;
    if (m_hasMap && m_palette) {
        DrawPaletteMapped(x, y, flags);
        return;
    }
    al_draw_bitmap(m_bitmap, static_cast<float>(x), static_cast<float>(y), flags);
}

void BitmapWrapper::DrawDefault(int x, int y) { Draw(x, y, m_defaultFlags); }

bool BitmapWrapper::PrepareTarget(ALLEGRO_BITMAP* target) {
    if (!target) return false;
    al_set_target_bitmap(target);
    return true;
}

void BitmapWrapper::DrawTo(ALLEGRO_BITMAP* target, int x, int y, int flags) {
    if (PrepareTarget(target)) Draw(x, y, flags);
}

void BitmapWrapper::DrawToDefault(ALLEGRO_BITMAP* target, int x, int y) { DrawTo(target, x, y, m_defaultFlags); }

void BitmapWrapper::DrawRegionToCurrent(int sx, int sy, int sw, int sh, int dx, int dy, int flags) {
    if (!GetBitmap()) return;
    al_draw_bitmap_region(m_bitmap, static_cast<float>(sx), static_cast<float>(sy), static_cast<float>(sw),
                          static_cast<float>(sh), static_cast<float>(dx + m_offsetX),
                          static_cast<float>(dy + m_offsetY), flags);
}

void BitmapWrapper::DrawRegionDefault(int sx, int sy, int sw, int sh, int dx, int dy) {
    DrawRegionToCurrent(sx, sy, sw, sh, dx, dy, m_defaultFlags);
}

void BitmapWrapper::DrawRegionTo(ALLEGRO_BITMAP* target, int sx, int sy, int sw, int sh, int dx, int dy, int flags) {
    if (PrepareTarget(target)) DrawRegionToCurrent(sx, sy, sw, sh, dx, dy, flags);
}

void BitmapWrapper::DrawRegionToDefault(ALLEGRO_BITMAP* target, int sx, int sy, int sw, int sh, int dx, int dy) {
    DrawRegionTo(target, sx, sy, sw, sh, dx, dy, m_defaultFlags);
}

void BitmapWrapper::DrawScaledToCurrent(int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh, int flags) {
    if (!GetBitmap()) return;
    al_draw_scaled_bitmap(m_bitmap, static_cast<float>(sx), static_cast<float>(sy), static_cast<float>(sw),
                          static_cast<float>(sh), static_cast<float>(dx + m_offsetX),
                          static_cast<float>(dy + m_offsetY), static_cast<float>(dw), static_cast<float>(dh), flags);
}

void BitmapWrapper::DrawScaledDefault(int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh) {
    DrawScaledToCurrent(sx, sy, sw, sh, dx, dy, dw, dh, m_defaultFlags);
}

void BitmapWrapper::DrawScaledTo(ALLEGRO_BITMAP* target, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh,
                                 int flags) {
    if (PrepareTarget(target)) DrawScaledToCurrent(sx, sy, sw, sh, dx, dy, dw, dh, flags);
}

void BitmapWrapper::DrawScaledToDefault(ALLEGRO_BITMAP* target, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                                        int dh) {
    DrawScaledTo(target, sx, sy, sw, sh, dx, dy, dw, dh, m_defaultFlags);
}

void BitmapWrapper::DrawRotatedToCurrent(int cx, int cy, int dx, int dy, float angle, int flags) {
    if (!GetBitmap()) return;
    al_draw_rotated_bitmap(m_bitmap, static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(dx + m_offsetX),
                           static_cast<float>(dy + m_offsetY), angle, flags);
}

void BitmapWrapper::DrawRotatedDefault(int cx, int cy, int dx, int dy, float angle) {
    DrawRotatedToCurrent(cx, cy, dx, dy, angle, m_defaultFlags);
}

void BitmapWrapper::DrawRotatedTo(ALLEGRO_BITMAP* target, int cx, int cy, int dx, int dy, float angle, int flags) {
    if (PrepareTarget(target)) DrawRotatedToCurrent(cx, cy, dx, dy, angle, flags);
}

void BitmapWrapper::DrawRotatedToDefault(ALLEGRO_BITMAP* target, int cx, int cy, int dx, int dy, float angle) {
    DrawRotatedTo(target, cx, cy, dx, dy, angle, m_defaultFlags);
}

void BitmapWrapper::DrawRotatedCentred(int dx, int dy, float angle, int flags) {
    DrawRotatedToCurrent(m_width / 2, m_height / 2, dx, dy, angle, flags);
}

void BitmapWrapper::DrawRotatedCentredDefault(int dx, int dy, float angle) {
    DrawRotatedCentred(dx, dy, angle, m_defaultFlags);
}

void BitmapWrapper::DrawRotatedCentredTo(ALLEGRO_BITMAP* target, int dx, int dy, float angle, int flags) {
    DrawRotatedTo(target, m_width / 2, m_height / 2, dx, dy, angle, flags);
}

void BitmapWrapper::DrawRotatedCentredToDefault(ALLEGRO_BITMAP* target, int dx, int dy, float angle) {
    DrawRotatedCentredTo(target, dx, dy, angle, m_defaultFlags);
}

void BitmapWrapper::DrawTinted(ALLEGRO_COLOR tint, int x, int y, int flags) {
    if (!GetBitmap()) return;
    al_draw_tinted_bitmap(m_bitmap, tint, static_cast<float>(x), static_cast<float>(y), flags);
}
