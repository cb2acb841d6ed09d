// The seams between the layers: start-up fills every one through which a
// lower layer reaches up (a slot or a kind added later and never filled fails
// here, and so does a kind registered that the lower layer's table does not
// name), and the build's layer check refuses an include across them in every
// form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "app/LayerWiring.h"
#include "core/base/LayerHooks.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIButtonCallbacks.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIManager.h"
#include "support/TempDir.h"
#include "world/Camera.h"
#include "world/Terrain.h"

TEST(LayerSeams, StartUpFillsEveryHookAndRegistry) {
    InstallLayerHooks();  // first thing at start-up
    const LayerHooks& hooks = GetLayerHooks();
#define QEL_EXPECT_HOOK_FILLED(name, ...) EXPECT_NE(hooks.name, nullptr) << #name;
    QEL_LAYER_HOOKS(QEL_EXPECT_HOOK_FILLED)
#undef QEL_EXPECT_HOOK_FILLED
    for (int id = 0; id < static_cast<int>(GameStateId::Count); ++id) {
        EXPECT_NE(hooks.stateHandlers[id], nullptr) << "game state " << id;
        EXPECT_NE(hooks.stateRenderers[id], nullptr) << "game state " << id;
    }
    EXPECT_NE(GetTerrainSource(), nullptr);
    EXPECT_NE(GUIInputTextBox::GetLineEnteredHandler(), nullptr);
    EXPECT_NE(Camera::GetMapWindowTest(), nullptr);
    // Each table of kinds a lower layer names from above holds exactly what
    // start-up registers: a kind left out on either side fails.
    auto sorted = [](std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        return names;
    };
    auto named = [&](const auto& table) {
        return sorted(std::vector<std::string>(std::begin(table), std::end(table)));
    };
    EXPECT_EQ(sorted(PropertyRouter::ResolverKinds()), named(PropertyRouter::kOwnerKinds)) << "property owner kinds";
    EXPECT_EQ(sorted(GUIManager::RegisteredWidgetKinds()), named(GUIManager::kRegisteredWidgetKinds)) << "widget kinds";
    EXPECT_EQ(sorted(RegisteredButtonCallbackPrefixes()), named(kButtonCallbackPrefixes)) << "button prefixes";
}

TEST(LayerSeams, LayerCheckRefusesEveryIncludeFormFromAboveOrBeside) {
    // The including file, its include, and the check's complaint (empty: it passes).
    const char* const cases[][3] = {
        {"gui/Button.cpp", "<world/Vorn.h>", "gui/Button.cpp includes <world/Vorn.h>, a layer above its own"},
        {"gui/Button.cpp", "\"../world/Vorn.h\"", "includes ../world/Vorn.h (world/Vorn.h), a layer above its own"},
        {"gui/Button.h", "\"./../world/Vorn.h\"", "gui/Button.h includes ./../world/Vorn.h (world/Vorn.h), a layer"},
        {"network/Net.cpp", "\"savefile/SFM.h\"", "includes savefile/SFM.h, from savefile beside its own network"},
        {"gui/Button.cpp", "\"Button.h\"", ""},
        {"gui/Button.cpp", "<lua5.1/lua.hpp>", ""},
        {"world/Vorn.h", "\"../gui/Button.h\"", ""},
    };
    for (const auto& [file, include, failure] : cases) {
        testsupport::TempDir tree;
        for (const char* other :
             {"gui/Button.cpp", "gui/Button.h", "world/Vorn.h", "network/Net.cpp", "savefile/SFM.h"})
            tree.WriteFile(std::string("src/") + other, "");
        tree.WriteFile(std::string("src/") + file, std::string("#include ") + include + "\n");
        std::string run = "cmake -DSOURCE_DIR=" + tree.Path() + " -P " QEL_SOURCE_DIR "/cmake/CheckLayers.cmake 2>&1";
        FILE* check = popen(run.c_str(), "r");
        std::string output;
        char buffer[256];
        while (size_t read = std::fread(buffer, 1, sizeof buffer, check)) output.append(buffer, read);
        EXPECT_EQ(pclose(check) == 0, !*failure) << file << ": " << include << "\n" << output;
        EXPECT_NE(output.find(failure), std::string::npos) << output;
    }
}
