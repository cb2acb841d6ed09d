#include <allegro5/allegro_font.h>
#include <allegro5/allegro_ttf.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <string>

#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/script/DataLibrary.h"
#include "support/AllegroTestEnv.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace {

const char* const kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// A Lua state with the DL_ functions and a library in the global state.
struct DLScript : ::testing::Test {
    lua_State* L = nullptr;
    DataLibrary* library = nullptr;
    DataLibrary* saved = nullptr;

    void SetUp() override {
        L = luaL_newstate();
        luaL_openlibs(L);
        DataLibrary::RegisterLuaFunctions(L);
        saved = GetGlobalState()->dataLibrary;
        library = new DataLibrary;
        GetGlobalState()->dataLibrary = library;
    }
    void TearDown() override {
        GetGlobalState()->dataLibrary = saved;
        delete library;
        lua_close(L);
    }
    // Runs a chunk; any Lua error fails the test. Returns what it printed.
    std::string Run(const std::string& code) {
        testsupport::StderrCapture cap;
        int status = luaL_dostring(L, code.c_str());
        std::string error = status ? lua_tostring(L, -1) : "";
        if (status) lua_pop(L, 1);
        std::string out = cap.Take();
        EXPECT_EQ(status, 0) << error;
        EXPECT_EQ(lua_gettop(L), 0);
        return out;
    }
};

TEST_F(DLScript, BuildsLevelsAndMovesTheActiveObject) {
    int bitmap = 0;
    EXPECT_EQ(Run("DL_AddSection('Images') DL_AddCatalogue('Images', 'GUI') DL_AddHeading('Images', 'GUI', 'Windows')"
                  " DL_AddCatalogue('Nope', 'GUI')"),
              "");
    ASSERT_TRUE(library->Register("Images", "GUI", "Windows", "MoonCorner", &bitmap, DataKind::Bitmap));

    EXPECT_EQ(Run("DL_SetActiveObject('Images', 'GUI', 'Windows', 'MoonCorner') DL_PushActiveEntity()"), "");
    EXPECT_EQ(library->GetStackDepth(), 1u);
    EXPECT_EQ(Run("DL_PopActiveEntity('ignored')"), "");
    EXPECT_EQ(library->GetActiveObject(DataKind::Bitmap), &bitmap);

    // A miss makes the active object null, with the library's warning.
    EXPECT_EQ(Run("DL_SetActiveObject('Images', 'GUI', 'Windows', 'Gone')"),
              "DataLibrary:  Warning, Root/Images/GUI/Windows/Gone does not exist\n");
    EXPECT_EQ(library->GetActiveObject(DataKind::Any), nullptr);
}

TEST_F(DLScript, BadArgumentsAndAMissingLibraryGetALine) {
    // A wrong count, or a name that is nil, a boolean or a table, changes nothing.
    const char* bad[][2] = {
        {"DL_AddSection()", "DL_AddSection"},
        {"DL_AddSection(nil)", "DL_AddSection"},
        {"DL_AddCatalogue('a', true)", "DL_AddCatalogue"},
        {"DL_AddHeading('a', 'b', {})", "DL_AddHeading"},
        {"DL_SetActiveObject('a', 'b', 'c')", "DL_SetActiveObject"},
        {"DL_RegisterFont('f', 'a', 'b', 'c')", "DL_RegisterFont"},
        {"DL_RegisterTextureFile('a', 'b', 'c', 'd', nil)", "DL_RegisterTextureFile"},
    };
    for (const auto& k : bad) EXPECT_EQ(Run(k[0]), std::string(k[1]) + ":  Failed, invalid argument list\n") << k[0];
    EXPECT_EQ(library->GetRoot()->GetCount(), 0);

    GetGlobalState()->dataLibrary = nullptr;
    const char* calls[][2] = {
        {"DL_AddSection('a')", "DL_AddSection"},
        {"DL_PopActiveEntity()", "DL_PopActiveEntity"},
        {"DL_RegisterTextureFile('a', 'b', 'c', 'd', 'f')", "DL_RegisterTextureFile"},
    };
    for (const auto& k : calls)
        EXPECT_EQ(Run(k[0]), std::string(k[1]) + ":  Failed, DataLibrary does not exist\n") << k[0];
    GetGlobalState()->dataLibrary = library;
}

TEST_F(DLScript, RegistersTextureFiles) {
    testsupport::TempDir dir;
    dir.WriteFile("Data/Textures/Grass.png", "not really a picture");
    Run("DL_AddSection('Maps') DL_AddCatalogue('Maps', 'Ground') DL_AddHeading('Maps', 'Ground', 'Tiles')");

    EXPECT_EQ(Run("DL_RegisterTextureFile('Maps', 'Ground', 'Tiles', 'Grass', 'Data\\\\Textures\\\\Grass.png')"), "");
    auto* texture = library->Get<TextureFile>("Maps", "Ground", "Tiles", "Grass", DataKind::TextureFile);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->fileName, "Data\\Textures\\Grass.png");

    EXPECT_EQ(Run("DL_RegisterTextureFile('Maps', 'Ground', 'Tiles', 'Sand', 'Data/Textures/Sand\\27.png')"),
              "DL_RegisterTextureFile:  Failed, file Data/Textures/Sand\\x1b.png not found\n");
    EXPECT_EQ(Run("DL_RegisterTextureFile('Maps', 'Ground', 'Nope', 'Grass', 'Data/Textures/Grass.png')"),
              "DataLibrary - GetHeading(B):  Failed, Nope not found\n");
    EXPECT_EQ(library->GetHeading("Maps", "Ground", "Tiles")->GetCount(), 1);
    delete texture;
}

TEST_F(DLScript, RegistersFonts) {
    testsupport::EnsureAllegro();
    ASSERT_EQ(access(kDejaVu, R_OK), 0) << "install the package fonts-dejavu-core";
    Run("DL_AddSection('Fonts') DL_AddCatalogue('Fonts', 'General') DL_AddHeading('Fonts', 'General', 'System')");

    EXPECT_EQ(Run(std::string("DL_RegisterFont('") + kDejaVu + "', 'Fonts', 'General', 'System', 'SystemFont')"), "");
    auto* font = library->Get<ALLEGRO_FONT>("Fonts", "General", "System", "SystemFont", DataKind::Font);
    ASSERT_NE(font, nullptr);
    // The file at size 16 as TrueType counts it (16 pixels to the em), the
    // same font any caller gets from that size.
    ALLEGRO_FONT* sixteen = al_load_ttf_font(kDejaVu, 16, 0);
    ASSERT_NE(sixteen, nullptr);
    EXPECT_EQ(al_get_font_line_height(font), al_get_font_line_height(sixteen));
    EXPECT_EQ(al_get_text_width(font, "Hello, world"), al_get_text_width(sixteen, "Hello, world"));
    al_destroy_font(sixteen);

    EXPECT_EQ(Run("DL_RegisterFont('Data/Graphics/Fonts/Missing.ttf', 'Fonts', 'General', 'System', 'Gone')"),
              "DataLibrary - Register:  Warning, Pointer Gone did not exist when registered\n");
    EXPECT_EQ(library->GetHeading("Fonts", "General", "System")->GetCount(), 1);
}

// The sample game's start-up script builds every path the engine reads and
// registers its fonts.
TEST_F(DLScript, SampleGameRouting) {
    testsupport::EnsureAllegro();
    const std::string game = std::string(QEL_SOURCE_DIR) + "/game";
    ASSERT_EQ(access((game + "/Data/Graphics/Fonts/FixedSys.ttf").c_str(), R_OK), 0)
        << "the game's fonts are copied by the build (target game_fonts)";
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(game.c_str()), 0);
    // Other families' functions (archives, sounds) are outside this test:
    // they answer as no-ops here.
    std::string out =
        Run("setmetatable(_G, {__index = function(_, name)"
            "  if type(name) == 'string' and name:match('^%u%a*_') then return function() end end end})"
            " dofile('Data/Scripts/System/Loading/Routing.lua')");
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(out, "");

    const char* paths[][3] = {
        {"Images", "GUI", "Windows"},  {"Images", "GUI", "Buttons"},        {"Images", "GUI", "Misc"},
        {"Images", "GUI", "Bubbles"},  {"Images", "GUI", "Combat"},         {"Images", "Misc", "Icons"},
        {"Images", "Misc", "Shadows"}, {"Images", "Background", "Scenery"},
    };
    testsupport::StderrCapture cap;
    for (const auto& p : paths) EXPECT_NE(library->GetHeading(p[0], p[1], p[2]), nullptr) << p[2];
    // Menus, lists and the chat draw text in 16-pixel lines: no letter, digit
    // or mark the game writes inks a row outside them (a descender below
    // them is cut off).
    const std::string written = "!\"%(),./:;<>?\\_|0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    for (const char* name : {"SystemFont", "ChatFont", "DialogueFont"}) {
        const char* heading = std::string(name) == "SystemFont" ? "System" : "Dialogue";
        auto* font = library->Get<ALLEGRO_FONT>("Fonts", "General", heading, name, DataKind::Font);
        ASSERT_NE(font, nullptr) << name;
        for (char c : written) {
            int x, y, w, h;
            ASSERT_TRUE(al_get_glyph_dimensions(font, c, &x, &y, &w, &h)) << name << " " << c;
            EXPECT_GE(y, 0) << name << " " << c;
            EXPECT_LE(y + h, 16) << name << " " << c;
        }
    }
    // Every line the elder says fits the dialogue box's text area (451
    // pixels; an answer's words start 18 further right, after its bubble).
    auto* dialogue = library->Get<ALLEGRO_FONT>("Fonts", "General", "Dialogue", "DialogueFont", DataKind::Font);
    ASSERT_NE(dialogue, nullptr);
    const std::string elder = testsupport::ReadFile(game + "/Data/Scripts/NPCs/Elder/Dialogue.lua");
    const std::regex said(R"re(DM_Add(Text|Response)\("([^"]*)")re");
    int lines = 0;
    for (std::sregex_iterator it(elder.begin(), elder.end(), said), end; it != end; ++it, ++lines)
        EXPECT_LE(al_get_text_width(dialogue, (*it)[2].str().c_str()), (*it)[1] == "Text" ? 451 : 451 - 18) << (*it)[2];
    EXPECT_GE(lines, 8);
    // The archive the dungeon floors take their textures from; the library
    // does not own what it points to.
    auto* textures = static_cast<TextureFile*>(
        library->RemovePointer("Images", "Maps", "Textures", "StandardTextures", DataKind::TextureFile));
    ASSERT_NE(textures, nullptr);
    EXPECT_EQ(textures->fileName, "Data/StandardTextures.sif");
    delete textures;
    EXPECT_EQ(cap.Take(), "");
}

}  // namespace
