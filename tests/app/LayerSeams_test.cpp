// The seams between the layers: the build's layer check refuses an include
// across them in every form.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/TempDir.h"

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
