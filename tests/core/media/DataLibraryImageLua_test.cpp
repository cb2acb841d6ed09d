// The EIM_ and image DL_ script functions, run from Lua against archives
// made by the archive writer.
#include "core/media/DataLibraryImageLua.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>
#include <lua5.1/lua.hpp>

#include <memory>
#include <string>

#include "ArchiveWriter.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"
#include "core/media/Palette.h"
#include "core/media/Portrait.h"
#include "core/script/DataLibrary.h"
#include "support/AllegroTestEnv.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace {

sif::Picture Solid(uint8_t r, uint8_t g, uint8_t b, uint8_t a, uint32_t size = 2) {
    sif::Picture picture;
    picture.width = picture.height = size;
    for (uint32_t i = 0; i < size * size; ++i) picture.rgba.insert(picture.rgba.end(), {r, g, b, a});
    return picture;
}

class ImageScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        L_ = luaL_newstate();
        ExternalImageManager::RegisterLuaFunctions(L_);
        RegisterDataLibraryImageLuaFunctions(L_);
        GlobalState* state = GetGlobalState();
        state->imageManager = &images_;
        state->dataLibrary = &library_;
        state->noPalette = 0;
        state->paletteIndex = 0;

        sif::ArchiveWriter writer;
        writer.AddImage("Red", Solid(255, 0, 0, 255));
        writer.AddImage("Blue", Solid(0, 0, 255, 255));
        writer.AddPalette("Pal", {{{255, 0, 0, 255}, {0, 255, 0, 255}}, {{0, 0, 255, 255}, {9, 9, 9, 255}}});
        ASSERT_TRUE(writer.WriteFile("Plain.sif", false));

        library_.AddSection("Images");
        library_.AddCatalogue("Images", "Test");
        library_.AddHeading("Images", "Test", "Misc");
    }
    void TearDown() override {
        GlobalState* state = GetGlobalState();
        state->imageManager = nullptr;
        state->dataLibrary = nullptr;
        state->noPalette = 0;
        lua_close(L_);
        for (void* p : bitmaps_) delete static_cast<BitmapWrapper*>(p);
        for (void* p : palettes_) delete static_cast<Palette*>(p);
        for (void* p : portraits_) delete static_cast<Portrait*>(p);
    }

    // Runs a chunk; returns everything it printed on stderr.
    std::string Run(const std::string& code) {
        testsupport::StderrCapture capture;
        EXPECT_EQ(luaL_dostring(L_, code.c_str()), 0) << lua_tostring(L_, -1);
        return capture.Take();
    }

    // Looks up a registered pointer and remembers it for freeing.
    template <class T> T* Take(const char* heading, const char* name, DataKind kind) {
        testsupport::StderrCapture quiet;
        void* p = library_.GetPointer("Images", "Test", heading, name, kind);
        if (p) (kind == DataKind::Bitmap ? bitmaps_ : kind == DataKind::Palette ? palettes_ : portraits_).push_back(p);
        return static_cast<T*>(p);
    }

    testsupport::TempDir dir_;
    lua_State* L_ = nullptr;
    ExternalImageManager images_;
    DataLibrary library_;
    std::vector<void*> bitmaps_, palettes_, portraits_;
};

TEST_F(ImageScriptTest, ArchiveFunctionsCheckTheirArgumentsAndManager) {
    EXPECT_EQ(Run("EIM_OpenFile() EIM_OpenFile('a', 'b') EIM_OpenFile(nil) EIM_OpenFile(true)"),
              "EIM_OpenFile:  Failed, invalid argument list\n"
              "EIM_OpenFile:  Failed, invalid argument list\n"
              "EIM_OpenFile:  Failed, invalid argument list\n"
              "EIM_OpenFile:  Failed, invalid argument list\n");
    EXPECT_EQ(Run("EIM_OpenFileUncompressed({})"), "EIM_OpenFileUncompressed:  Failed, invalid argument list\n");
    EXPECT_EQ(Run("EIM_OpenFileUncompressed('Plain.sif')"), "");
    EXPECT_TRUE(images_.IsOpen());
    EXPECT_EQ(images_.GetEntryCount(), 3);
    // EIM_CloseFile takes any arguments.
    EXPECT_EQ(Run("EIM_CloseFile(1, 2, 3)"), "");
    EXPECT_FALSE(images_.IsOpen());

    GetGlobalState()->imageManager = nullptr;
    EXPECT_EQ(Run("EIM_OpenFile('Plain.sif') EIM_OpenFileUncompressed('Plain.sif') EIM_CloseFile()"),
              "EIM_OpenFile:  Failed, ExternalImageManager does not exist\n"
              "EIM_OpenFileUncompressed:  Failed, ExternalImageManager does not exist\n"
              "EIM_CloseFile:  Failed, ExternalImageManager does not exist\n");
    EXPECT_EQ(Run("DL_ExtractBitmap('Red', 'R')"), "DL_ExtractBitmap:  Failed, ExternalImageManager does not exist\n");
}

TEST_F(ImageScriptTest, ExtractBitmapRegistersAtThePathOrInTheActiveHeading) {
    Run("EIM_OpenFileUncompressed('Plain.sif')");
    EXPECT_EQ(Run("DL_ExtractBitmap('Red', 'Images', 'Test', 'Misc', 'RedImg')"), "");
    BitmapWrapper* red = Take<BitmapWrapper>("Misc", "RedImg", DataKind::Bitmap);
    ASSERT_TRUE(red);
    EXPECT_EQ(red->GetWidth(), 2);

    library_.AddHeading("Images", "Test", "Active");
    EXPECT_EQ(Run("DL_ExtractBitmap('Blue', 'BlueImg')"), "");
    BitmapWrapper* blue = Take<BitmapWrapper>("Active", "BlueImg", DataKind::Bitmap);
    ASSERT_TRUE(blue);
    EXPECT_EQ(al_get_pixel(blue->GetBitmap(), 1, 1).b, 1.0f);

    EXPECT_EQ(Run("DL_ExtractBitmap('Green', 'G')"),
              "ExternalImageManager::GetBitmapFromActiveFile - Warning, Green not found\n"
              "DL_ExtractBitmap:  Failed, no Bitmap named Green found\n");
    EXPECT_EQ(Run("DL_ExtractBitmap('Red', 'a', 'b') DL_ExtractBitmap('Red', nil)"),
              "DL_ExtractBitmap:  Failed, invalid argument list\nDL_ExtractBitmap:  Failed, invalid argument list\n");
    // A path that does not exist: the library says so, and the bitmap is not lost
    // in memory (the sanitizer build checks).
    EXPECT_NE(Run("DL_ExtractBitmap('Red', 'Images', 'Nope', 'Misc', 'X')"), "");

    Run("EIM_CloseFile()");
    EXPECT_EQ(Run("DL_ExtractBitmap('Red', 'R2')"),
              "ExternalImageManager::GetBitmapFromActiveFile - Warning, no file is open\n"
              "DL_ExtractBitmap:  Failed, no Bitmap named Red found\n");

    GetGlobalState()->dataLibrary = nullptr;
    EXPECT_EQ(Run("DL_ExtractPalette('Pal', 'Images', 'Test', 'Misc', 'P')"),
              "DL_ExtractPalette:  Failed, DataLibrary does not exist\n");
}

TEST_F(ImageScriptTest, PortraitsAndPalettes) {
    Run("EIM_OpenFileUncompressed('Plain.sif')");
    EXPECT_EQ(Run("DL_ExtractPortrait('Red', 'Images', 'Test', 'Misc', 'Face')"), "");
    Portrait* face = Take<Portrait>("Misc", "Face", DataKind::Portrait);
    ASSERT_TRUE(face);
    ASSERT_TRUE(face->GetBitmap());
    EXPECT_EQ(face->GetBitmap()->GetHeight(), 2);
    // A missing image still gives a portrait, without a bitmap.
    Run("DL_ExtractPortrait('Gone', 'Images', 'Test', 'Misc', 'Blank')");
    Portrait* blank = Take<Portrait>("Misc", "Blank", DataKind::Portrait);
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->GetBitmap(), nullptr);
    EXPECT_TRUE(blank->LoadFromArchive("Blue"));
    EXPECT_TRUE(blank->GetBitmap());
    EXPECT_EQ(Run("DL_ExtractPortrait('Red', 'Images')"), "DL_ExtractPortrait:  Failed, invalid argument list\n");

    EXPECT_EQ(Run("DL_ExtractPalette('Pal', 'Images', 'Test', 'Misc', 'Pal')"), "");
    Palette* palette = Take<Palette>("Misc", "Pal", DataKind::Palette);
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->variantCount, 2u);
    EXPECT_EQ(palette->colourCount, 2u);
    // A missing palette reaches the library as null, which warns.
    EXPECT_NE(Run("DL_ExtractPalette('Nope', 'Images', 'Test', 'Misc', 'Nope')").find("Nope not found"),
              std::string::npos);
    EXPECT_EQ(Run("DL_ExtractPalette('Pal', 'Images', 'Test', 'Misc')"),
              "DL_ExtractPalette:  Failed, invalid argument list\n");
}

TEST_F(ImageScriptTest, BitmapsWithPalettesInBothFormsAndWithoutPaletteSwapping) {
    Run("EIM_OpenFileUncompressed('Plain.sif')");
    // No active palette yet.
    EXPECT_EQ(Run("DL_ExtractBitmapWithPalette('Red', 'R')"),
              "DL_ExtractBitmapWithPalette:  Failed, no active Object to cast into a Palette\n");
    Run("DL_ExtractPalette('Pal', 'Images', 'Test', 'Misc', 'Pal')");
    Palette* palette = Take<Palette>("Misc", "Pal", DataKind::Palette);
    ASSERT_TRUE(palette);
    library_.SetActiveObject(palette, DataKind::Palette);

    library_.AddHeading("Images", "Test", "Mapped");
    EXPECT_EQ(Run("DL_ExtractBitmapWithPalette('Red', 'R')"), "");
    BitmapWrapper* mapped = Take<BitmapWrapper>("Mapped", "R", DataKind::Bitmap);
    ASSERT_TRUE(mapped);
    EXPECT_TRUE(mapped->HasPaletteMap());
    EXPECT_EQ(mapped->GetPalette(), palette);

    EXPECT_EQ(Run("DL_ExtractBitmapWithPalette('Blue', 'Images', 'Test', 'Misc', 'B', "
                  "'Images', 'Test', 'Misc', 'Pal')"),
              "");
    BitmapWrapper* nine = Take<BitmapWrapper>("Misc", "B", DataKind::Bitmap);
    ASSERT_TRUE(nine);
    EXPECT_TRUE(nine->HasPaletteMap());

    // "-nopalette": registered unchanged.
    GetGlobalState()->noPalette = 1;
    EXPECT_EQ(Run("DL_ExtractBitmapWithPalette('Red', 'Plain')"), "");
    BitmapWrapper* plain = Take<BitmapWrapper>("Mapped", "Plain", DataKind::Bitmap);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->HasPaletteMap());

    EXPECT_EQ(Run("DL_ExtractBitmapWithPalette('Gone', 'G')"),
              "ExternalImageManager::GetBitmapFromActiveFile - Warning, Gone not found\n"
              "DL_ExtractBitmapWithPalette:  Failed, no Bitmap named Gone found\n");
    EXPECT_EQ(Run("DL_ExtractBitmapWithPalette('Red', 'a', 'b')"),
              "DL_ExtractBitmapWithPalette:  Failed, invalid argument list\n");
    // Another kind of active object is no palette.
    library_.SetActiveObject(mapped, DataKind::Bitmap);
    EXPECT_EQ(Run("DL_ExtractBitmapWithPalette('Red', 'R3')"),
              "DL_ExtractBitmapWithPalette:  Failed, no active Object to cast into a Palette\n");
}

}  // namespace
