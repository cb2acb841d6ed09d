#include "core/media/IsoTexture.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <memory>

#include "core/media/BitmapWrapper.h"
#include "support/AllegroTestEnv.h"
#include "support/PixelRead.h"
#include "support/StderrCapture.h"

namespace {

// A source whose every pixel names itself: red x, green y, blue 7.
std::unique_ptr<BitmapWrapper> CoordinateSource(int width, int height) {
    auto source = std::make_unique<BitmapWrapper>(width, height, nullptr);
    source->SetAsTarget();
    source->Lock(ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_WRITEONLY);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) al_put_pixel(x, y, al_map_rgba(x, y, 7, 255));
    source->Unlock();
    return source;
}

using testsupport::Rgba;

Rgba At(const BitmapWrapper* bitmap, int x, int y) { return testsupport::PixelAt(bitmap, x, y); }

// The source pixel that landed at a projection pixel.
Rgba From(int x, int y) { return {x, y, 7, 255}; }
constexpr Rgba kEmpty{0, 0, 0, 0};

}  // namespace

TEST(IsoTextureTest, ProjectionsPutEachSourcePixelWhereTheFacesNeedIt) {
    testsupport::EnsureAllegro();
    auto source = CoordinateSource(40, 40);
    IsoTexture texture(nullptr);
    texture.Build(source.get());

    BitmapWrapper* flat = texture.GetFlat();
    ASSERT_EQ(flat->GetWidth(), 32);
    EXPECT_EQ(At(flat, 0, 0), From(0, 0));
    EXPECT_EQ(At(flat, 31, 17), From(31, 17));

    BitmapWrapper* floor = texture.GetFloor();
    ASSERT_EQ(floor->GetWidth(), 60);
    ASSERT_EQ(floor->GetHeight(), 31);
    EXPECT_EQ(At(floor, 29, 1), From(1, 1));
    EXPECT_EQ(At(floor, 58, 15), From(30, 1));
    EXPECT_EQ(At(floor, 1, 15), From(1, 31));  // bottom-left edge: source row 31
    // The edge passes run last and overwrite what the interior and the
    // earlier edges put on the rim: the left corner ends with the source's
    // first column, the top corner with its row 0 and column 0.
    EXPECT_EQ(At(floor, 0, 15), From(0, 30));
    EXPECT_EQ(At(floor, 29, 0), From(0, 1));
    EXPECT_EQ(At(floor, 30, 0), From(0, 0));
    EXPECT_EQ(At(floor, 31, 1), From(2, 0));
    EXPECT_EQ(At(floor, 30, 30), From(31, 30));
    EXPECT_EQ(At(floor, 59, 15), From(31, 1));
    // Outside the diamond stays transparent.
    EXPECT_EQ(At(floor, 0, 0), kEmpty);
    EXPECT_EQ(At(floor, 59, 30), kEmpty);

    BitmapWrapper* left = texture.GetWallL();
    ASSERT_EQ(left->GetHeight(), 46);
    EXPECT_EQ(At(left, 30, 45), From(30, 30));
    EXPECT_EQ(At(left, 0, 0), From(0, 0));
    EXPECT_EQ(At(left, 30, 14), kEmpty);  // column 30 starts 15 down

    BitmapWrapper* right = texture.GetWallR();
    EXPECT_EQ(At(right, 0, 14), From(0, 0));
    EXPECT_EQ(At(right, 30, 0), From(30, 1));  // (30, 0) and (30, 1) meet; the later stays
    EXPECT_EQ(At(right, 30, 29), From(30, 30));
    EXPECT_EQ(At(right, 0, 13), kEmpty);
    EXPECT_EQ(texture.GetFace(1), left);
    EXPECT_EQ(texture.GetFace(3), nullptr);
}

TEST(IsoTextureTest, SmallOrMissingSourcesAreHandledSafely) {
    testsupport::EnsureAllegro();
    IsoTexture texture(nullptr);
    // A null source changes nothing and says so.
    auto red = std::make_unique<BitmapWrapper>(32, 32, nullptr);
    red->ClearToRGBA(255, 0, 0, 255);
    texture.Build(red.get());
    testsupport::StderrCapture cap;
    texture.Build(nullptr);
    EXPECT_EQ(cap.Take(), "Failed to create texture, bitmap was NULL\n");
    EXPECT_EQ(At(texture.GetFloor(), 29, 1), (Rgba{255, 0, 0, 255}));

    // A source smaller than 32 x 32: what it lacks reads transparent.
    auto small = CoordinateSource(8, 8);
    texture.Build(small.get());
    EXPECT_EQ(At(texture.GetFlat(), 3, 4), From(3, 4));
    EXPECT_EQ(At(texture.GetFlat(), 20, 20), kEmpty);
    EXPECT_EQ(At(texture.GetWallL(), 20, 30), kEmpty);
}

TEST(IsoTextureTest, OpenGLModeBuildsTheSameProjections) {
    testsupport::EnsureAllegro();
    auto source = CoordinateSource(32, 32);
    uint8_t openGL = 1, software = 0;
    IsoTexture gl(&openGL), plain(&software);
    gl.Build(source.get());
    plain.Build(source.get());
    for (int kind = 0; kind < 3; ++kind) {
        BitmapWrapper* face = gl.GetFace(kind);
        ASSERT_NE(face, gl.GetFlat());
        ASSERT_EQ(face->GetWidth(), plain.GetFace(kind)->GetWidth());
        for (int x = 0; x < face->GetWidth(); ++x)
            for (int y = 0; y < face->GetHeight(); ++y)
                ASSERT_EQ(At(face, x, y), At(plain.GetFace(kind), x, y)) << kind << " " << x << " " << y;
    }
}
