#pragma once
// The text line tests' fixture: a Lua state whose data library has the
// built-in font as the system font, and Allegro's keyboard state with keys
// down.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>

#include "core/script/DataLibrary.h"
#include "gui/GUIManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"

namespace guitest {

// A Lua state whose data library has the built-in font as the system font.
class WithFont : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        lua = std::make_unique<testsupport::LuaTestState>();
        font = al_create_builtin_font();
        DataLibrary& library = lua->Library();
        library.AddSection("Fonts");
        library.AddCatalogue("Fonts", "General");
        library.AddHeading("Fonts", "General", "System");
        library.Register("Fonts", "General", "System", "SystemFont", font, DataKind::Font);
        lua->Gui().ResetActiveObjectList();
    }
    void TearDown() override {
        lua.reset();
        al_destroy_font(font);
    }
    std::string Printed(const std::string& chunk) {
        testsupport::StderrCapture cap;
        EXPECT_TRUE(lua->Run(chunk)) << lua->LastError();
        return cap.Take();
    }
    std::unique_ptr<testsupport::LuaTestState> lua;
    ALLEGRO_FONT* font = nullptr;
};

}  // namespace guitest
