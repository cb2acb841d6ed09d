// A crowd of characters drawn frame after frame onto a video bitmap, compared
// pixel for pixel with the same crowd drawn the way every character once
// drew itself: its whole picture painted again into a cleared image of its
// own on every frame, that image then drawn at its screen position.
#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/Palette.h"
#include "core/script/DataLibrary.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "world/Animation.h"
#include "world/AnimationState.h"
#include "world/Camera.h"
#include "world/EntityManager.h"
#include "world/NPCStaticDialogue.h"
#include "world/NonPlayingCharacter.h"
#include "world/ai/AIDrawingList.h"
#include "world/ai/AIDrawingPackage.h"
#include "world/ai/AIManager.h"

namespace {

constexpr int kW = 200, kH = 150;

// How one kind of character is set up.
struct Look {
    const char* name;
    int layers;          // drawing-list entries
    bool paletted;       // frames drawn through a palette
    int32_t palette;     // the entries' palette (-1: the current selection; variant 1 has a
                         // colour that is not opaque)
    int offsetX;         // frame offset inside the picture (negative: partly outside)
    bool walking;        // timer and direction change every frame
    bool talks = false;  // a character that talks when clicked
};

const Look kLooks[] = {
    {"plain", 1, false, 0, 0, false},
    {"walker", 1, false, 0, 1, true},
    {"layered", 2, false, 0, 0, true},
    {"paletted", 1, true, 0, 0, true},
    {"translucent palette", 1, true, 1, 0, false},
    {"selected palette", 1, true, -1, 0, true},
    {"talking walker", 1, false, 0, 0, true, true},
    {"talking, layered", 2, false, 0, 0, false, true},
    {"clipped", 1, false, 0, -3, true},
};

// Frames with opaque, half-transparent and empty pixels, differing by
// direction and frame number.
ALLEGRO_BITMAP* MakeFrame(int direction, int frame, int layer) {
    ALLEGRO_BITMAP* bitmap = al_create_bitmap(10, 14);
    al_set_target_bitmap(bitmap);
    al_clear_to_color(al_map_rgba(0, 0, 0, 0));
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 10; ++x) {
            if ((x + y + frame + layer) % 3 == 0) continue;
            bool half = (x * y + direction) % 5 == 0;
            // Premultiplied, as Allegro keeps its pixels.
            unsigned char a = half ? 128 : 255;
            unsigned char r = static_cast<unsigned char>((40 * direction + 20 * layer) % 256 * a / 255);
            unsigned char g = static_cast<unsigned char>((60 * frame + x * 9) % 256 * a / 255);
            al_put_pixel(x, y, al_map_rgba(r, g, static_cast<unsigned char>(y * 17 * a / 255), a));
        }
    }
    return bitmap;
}

struct CrowdScene {
    testsupport::LuaTestState lua;
    Palette palette;
    std::vector<std::unique_ptr<BitmapWrapper>> frames;
    std::vector<NonPlayingCharacter*> characters;
    std::vector<const Look*> looks;

    AIDrawingPackage* MakePackage(int layer, bool paletted, int offsetX) {
        std::string heading = "Layer" + std::to_string(layer) + (paletted ? "P" : "") + std::to_string(offsetX);
        lua.Library().AddSection("Images");
        lua.Library().AddCatalogue("Images", "Crowd");
        lua.Library().AddHeading("Images", "Crowd", heading.c_str());
        auto* walk = new Animation();
        walk->SetDirections(4);
        walk->SetFrames(3);
        walk->AllocateTable();
        walk->SetActiveHeading("Images", "Crowd", heading.c_str());
        for (int d = 0; d < 4; ++d) {
            for (int f = 0; f < 3; ++f) {
                auto frame = std::unique_ptr<BitmapWrapper>(
                    BitmapWrapper::WrapBitmap(MakeFrame(d, f, layer), &GetGlobalState()->openGLMode));
                frame->SetOffset(offsetX, 1);
                // The program's palette selection picks the variant, as for
                // the images scripts take out with a palette.
                if (paletted) frame->BuildPaletteIndexMap(&palette, &GetGlobalState()->paletteIndex);
                std::string name = "F" + std::to_string(d) + std::to_string(f);
                lua.Library().Register("Images", "Crowd", heading.c_str(), name.c_str(), frame.get(), DataKind::Bitmap);
                walk->SetAnimationFrame(d, f, name.c_str());
                frames.push_back(std::move(frame));
            }
        }
        walk->SetDuration(2);
        lua.AI().AddAnimation(heading, walk);
        auto* package = new AIDrawingPackage();
        package->AllocateSpace(1);
        package->SetAnimation(0, walk);
        lua.AI().AddDrawingPackage(heading, package);
        return package;
    }

    explicit CrowdScene(int count) {
        // Palette variant 0 is the reference, variant 1 has a colour that is
        // not opaque; the frames' colours are matched against variant 0.
        palette.variantCount = 2;
        palette.colourCount = 2;
        ALLEGRO_BITMAP* probe = MakeFrame(0, 0, 0);
        palette.variants = {{al_get_pixel(probe, 1, 0), al_get_pixel(probe, 2, 0)},
                            {al_map_rgba(0, 0, 255, 255), al_map_rgba(0, 64, 0, 64)}};
        al_destroy_bitmap(probe);
        for (int i = 0; i < count; ++i) {
            const Look& look = kLooks[i % std::size(kLooks)];
            NonPlayingCharacter* npc = look.talks ? new NPCStaticDialogue() : new NonPlayingCharacter();
            std::string name = "C" + std::to_string(i);
            npc->SetInternalName(name);
            npc->SetShadowSet(nullptr);
            lua.Entities().RegisterPointer(EntityManager::kNPC, name.c_str(), npc);
            lua.Entities().SetActiveEntity(npc);
            npc->SetDisplayData(-6, -16, 12, 16);
            npc->AllocateStateVariables(1);
            npc->SetStateVariable(0, "On", 1);
            for (int layer = 0; layer < look.layers; ++layer) {
                std::string entry = "E" + std::to_string(layer);
                npc->GetDrawingList()->AddAI(entry, MakePackage(layer, look.paletted, look.offsetX));
                npc->GetDrawingList()->SetAIPalette(entry, look.palette);
            }
            npc->GetDrawingList()->GetStateTrees().Add("On", new AnimationState(0, "NPC", "", "St|On", 0));
            npc->SetCoordinates(10 + (i * 37) % (kW - 20), 20 + (i * 53) % (kH - 30), 0);
            npc->SetAnimTimerAndDirection(i, i % 4);
            characters.push_back(npc);
            looks.push_back(&look);
        }
    }

    void Step(int frame) {
        for (size_t i = 0; i < characters.size(); ++i) {
            NonPlayingCharacter* npc = characters[i];
            if (looks[i]->walking) npc->SetAnimTimerAndDirection(npc->GetAnimTimer() + 1, (frame / 4 + i) % 4);
            // Now and then a character turns its picture off and on again.
            if ((frame + i) % 7 == 0) npc->SetActiveStateByIndex(frame % 2 == 0 ? 0 : -1);
            if ((frame + i) % 7 == 3) npc->SetStateVariable(0, "On", (frame / 3) % 2);
        }
        // Characters switch palettes now and then; the selection left by the
        // last draw carries over to those that keep their own (-1).
        for (size_t i = 0; i < characters.size(); ++i)
            if (looks[i]->paletted && looks[i]->palette >= 0 && (frame + i) % 5 == 0)
                characters[i]->GetDrawingList()->SetAIPalette("E0", (frame / 5) % 2);
        GetGlobalState()->paletteIndex = (frame / 3) % 2;
    }

    // As the engine draws now.
    void DrawEngine(BitmapWrapper& target, Camera& camera) {
        target.ClearToRGBA(30, 60, 90, 255);
        for (NonPlayingCharacter* npc : characters) {
            // The tick marks talking characters' pictures as changed.
            npc->HandleMouseState(-1);
            npc->Draw(&target, &camera);
        }
    }

    // As every character drew itself before: a fresh picture every frame.
    void DrawBefore(BitmapWrapper& target, Camera& camera) {
        target.ClearToRGBA(30, 60, 90, 255);
        for (NonPlayingCharacter* npc : characters) {
            BitmapWrapper picture(npc->GetImageWidth(), npc->GetImageHeight(), &GetGlobalState()->openGLMode);
            picture.ClearToTransparent();
            npc->GetDrawingList()->Draw(&picture, 0, 0, 0);
            target.SetAsTarget();
            const Dimensions d = npc->GetDimensions();
            picture.Draw(static_cast<int>(d.X) + 6 - camera.GetX(), static_cast<int>(d.Y) + 16 - camera.GetY(), 0);
        }
    }
};

std::vector<uint32_t> Pixels(BitmapWrapper& bitmap) {
    std::vector<uint32_t> out;
    ALLEGRO_LOCKED_REGION* region =
        al_lock_bitmap(bitmap.GetBitmap(), ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_READONLY);
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(region->data) +
                                                            static_cast<ptrdiff_t>(y) * region->pitch);
        out.insert(out.end(), row, row + bitmap.GetWidth());
    }
    al_unlock_bitmap(bitmap.GetBitmap());
    return out;
}

TEST(NonPlayingCharacterAppearance, ACrowdLooksAsWhenEveryPictureWasRedrawnEveryFrame) {
    ASSERT_TRUE(testsupport::EnsureDisplay());
    al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    {
        CrowdScene scene(300);
        BitmapWrapper now(kW, kH, &GetGlobalState()->openGLMode);
        BitmapWrapper before(kW, kH, &GetGlobalState()->openGLMode);
        Camera camera(3, 5, kW, kH);
        for (int frame = 0; frame < 24; ++frame) {
            scene.Step(frame);
            scene.DrawEngine(now, camera);
            scene.DrawBefore(before, camera);
            ASSERT_EQ(Pixels(now), Pixels(before)) << "frame " << frame;
        }
        // Something was drawn at all.
        std::vector<uint32_t> pixels = Pixels(now);
        EXPECT_NE(std::count(pixels.begin(), pixels.end(), pixels[0]), static_cast<long>(pixels.size()));
    }
    al_set_target_bitmap(previous);
}

// Whoever takes a character's appearance image by name finds the current
// picture in it, even for a character that draws its frame straight onto
// the view.
TEST(NonPlayingCharacterAppearance, TheImageHandedOutHoldsTheCurrentPicture) {
    ASSERT_TRUE(testsupport::EnsureDisplay());
    al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    {
        CrowdScene scene(1);
        NonPlayingCharacter* npc = scene.characters[0];
        BitmapWrapper view(kW, kH, &GetGlobalState()->openGLMode);
        Camera camera(0, 0, kW, kH);
        npc->Draw(&view, &camera);
        auto* image = static_cast<BitmapWrapper*>(npc->GetPropertyAddress("Appearance"));
        ASSERT_EQ(image, npc->GetAppearance());
        for (int frame = 1; frame < 4; ++frame) {
            npc->SetAnimTimerAndDirection(frame * 2, frame % 4);
            npc->Draw(&view, &camera);
            BitmapWrapper expected(12, 16, &GetGlobalState()->openGLMode);
            expected.ClearToTransparent();
            npc->GetDrawingList()->Draw(&expected, 0, 0, 0);
            ASSERT_EQ(Pixels(*image), Pixels(expected)) << "frame " << frame;
        }
    }
    al_set_target_bitmap(previous);
}

}  // namespace
