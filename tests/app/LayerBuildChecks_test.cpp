// The build's two layer checks, run on small trees of their own: the include
// check, however a path climbs out of its layer, in tests/ (its shared
// fixtures too) as in src/, and the link check, which links every object of
// a layer, used or not.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/TempDir.h"

namespace {

// Runs a shell command; returns whether it succeeded and what it printed.
bool RunShell(const std::string& command, std::string& output) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[256];
    while (size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, read);
    return pclose(pipe) == 0;
}

}  // namespace

TEST(LayerChecks, IncludeCheckFollowsEveryPathToItsFileInSrcAndTests) {
    // The including file, its include (or its whole text, when that starts
    // with '#'), and the check's complaint (empty: it passes).
    const char* const cases[][3] = {
        {"src/gui/Button.cpp", "\"../../src/world/Vorn.h\"",
         "gui/Button.cpp includes ../../src/world/Vorn.h (world/Vorn.h), a layer above its own"},
        {"src/gui/Button.cpp", "<../src/world/Vorn.h>",
         "gui/Button.cpp includes <../src/world/Vorn.h> (world/Vorn.h), a layer above its own"},
        {"src/gui/Button.inl", "\"world/Vorn.h\"", "gui/Button.inl includes world/Vorn.h, a layer above its own"},
        {"tests/gui/Button_test.cpp", "\"world/Vorn.h\"",
         "tests/gui/Button_test.cpp includes world/Vorn.h, a layer above its own"},
        {"tests/gui/Button_test.cpp", "\"../world/WithVorn.h\"",
         "includes ../world/WithVorn.h (tests/world/WithVorn.h), a layer above its own"},
        {"tests/network/Net_test.cpp", "<savefile/SFM.h>",
         "includes <savefile/SFM.h>, from savefile beside its own network"},
        {"tests/world/ai/Path_test.cpp", "\"world/Vorn.h\"", ""},
        {"tests/world/Vorn_test.cpp", "\"../../src/gui/Button.h\"", ""},
        {"tests/gui/Button_test.cpp", "\"support/Fixture.h\"", ""},
        // A fixture every program links, one of the layer it is listed with
        // (asking whether a higher one is linked), and a header of
        // tests/support that reaches a layer.
        {"tests/support/Fixture.cpp", "\"world/Vorn.h\"",
         "tests/support/Fixture.cpp includes world/Vorn.h, a layer above its own"},
        {"tests/support/LuaTestState.cpp", "#ifdef QEL_TEST_HAS_WORLD\n#include \"world/Vorn.h\"\n#endif\n", ""},
        {"tests/support/LuaTestState.cpp", "#ifdef QEL_TEST_HAS_WORLD\n#else\n#include \"world/Vorn.h\"\n#endif\n",
         "tests/support/LuaTestState.cpp includes world/Vorn.h, a layer above its own"},
        {"tests/gui/Button_test.cpp", "\"support/QueryVorn.h\"",
         "includes support/QueryVorn.h (tests/support/QueryVorn.h, of world), a layer above its own"},
        {"tests/world/Vorn_test.cpp", "\"support/QueryVorn.h\"", ""},
    };
    for (const auto& [file, include, failure] : cases) {
        testsupport::TempDir tree;
        for (const char* other : {"src/gui/Button.h", "src/world/Vorn.h", "src/savefile/SFM.h",
                                  "tests/world/WithVorn.h", "tests/support/Fixture.h"})
            tree.WriteFile(other, "");
        tree.WriteFile("tests/support/QueryVorn.h", "#include \"world/Vorn.h\"\n");
        tree.WriteFile(file, *include == '#' ? include : std::string("#include ") + include + "\n");
        std::string output;
        bool passed =
            RunShell("cmake -DSOURCE_DIR=" + tree.Path() + " -P " QEL_SOURCE_DIR "/cmake/CheckLayers.cmake", output);
        EXPECT_EQ(passed, !*failure) << file << ": " << include << "\n" << output;
        EXPECT_NE(output.find(failure), std::string::npos) << output;
    }
}

TEST(LayerChecks, LinkCheckRefusesAnUpwardCallFromAnObjectNoProgramUses) {
    // The calling layer, the layer called, and the failure (empty: it builds).
    const char* const cases[][3] = {
        {"core/base", "gui", "undefined reference to `Unit_gui()'"},
        {"world", "app", "undefined reference to `Unit_app()'"},
        {"maps", "core/media", ""},
    };
    for (const auto& [caller, callee, failure] : cases) {
        testsupport::TempDir tree;
        // One file per layer folder, each calling nothing unless written here.
        tree.WriteFile(
            "CMakeLists.txt",
            "cmake_minimum_required(VERSION 3.20)\nproject(check CXX)\n"
            "include(" QEL_SOURCE_DIR
            "/cmake/LayerLibraries.cmake)\n"
            "foreach(layer IN LISTS QEL_LAYERS)\n"
            "  string(REPLACE \" \" \";\" members \"${layer}\")\n"
            "  foreach(folder IN LISTS members)\n"
            "    string(REPLACE \"/\" \"_\" key \"${folder}\")\n"
            "    if(NOT EXISTS ${CMAKE_SOURCE_DIR}/src/${folder}/Unit.cpp)\n"
            "      file(WRITE ${CMAKE_SOURCE_DIR}/src/${folder}/Unit.cpp \"int Unit_${key}() { return 0; }\")\n"
            "    endif()\n"
            "  endforeach()\n"
            "endforeach()\n"
            "qel_add_layer_libraries(${CMAKE_SOURCE_DIR}/src)\n");
        auto key = [](std::string folder) {
            for (char& c : folder)
                if (c == '/') c = '_';
            return folder;
        };
        tree.WriteFile(
            std::string("src/") + caller + "/Unit.cpp",
            "int Unit_" + key(callee) + "();\nint Unit_" + key(caller) + "() { return Unit_" + key(callee) + "(); }\n");
        std::string output;
        bool built = RunShell("cmake -S " + tree.Path() + " -B " + tree.Path() + "/build -G Ninja && cmake --build " +
                                  tree.Path() + "/build",
                              output);
        EXPECT_EQ(built, !*failure) << caller << " calling " << callee << "\n" << output;
        EXPECT_NE(output.find(failure), std::string::npos) << output;
        if (*failure) EXPECT_NE(output.find("qel_link_check_qel_" + key(caller)), std::string::npos) << output;
    }
}
