#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/base/GlobalState.h"
#include "support/StderrCapture.h"

namespace {

struct Parsed {
    GlobalState state{};
    std::string output;
};

Parsed Parse(std::vector<const char*> words) {
    Parsed parsed;
    words.insert(words.begin(), "qel");
    testsupport::StderrCapture capture;
    ParseCommandLine(static_cast<int>(words.size()), words.data(), &parsed.state);
    parsed.output = capture.Take();
    return parsed;
}

}  // namespace

TEST(CommandLine, DefaultsAndSizes) {
    Parsed none = Parse({});
    EXPECT_EQ(none.state.windowWidth, 800);
    EXPECT_EQ(none.state.windowHeight, 600);
    EXPECT_EQ(none.output, "");

    // "-w" as the last word changes nothing and prints nothing.
    Parsed last = Parse({"-w"});
    EXPECT_EQ(last.state.windowWidth, 800);
    EXPECT_EQ(last.output, "");

    // A value that is no number reads as 0.
    Parsed bad = Parse({"-w", "abc"});
    EXPECT_EQ(bad.state.windowWidth, 0);
    EXPECT_EQ(bad.output, "Width set to:0\n");

    Parsed both = Parse({"-h", "480", "-w", "640"});
    EXPECT_EQ(both.state.windowWidth, 640);
    EXPECT_EQ(both.state.windowHeight, 480);
    EXPECT_EQ(both.output, "Height set to:480\nWidth set to:640\n");
}

TEST(CommandLine, ValueWordsAreComparedAgain) {
    // "-n -debug" takes "-debug" as the name and also opens the console.
    Parsed parsed = Parse({"-n", "-debug"});
    EXPECT_EQ(parsed.state.outgoingName, "-debug");
    EXPECT_EQ(parsed.output, "Outgoing name set to -debug\nOpening debug console\n");

    // "-map" with no next word forces nothing but still prints its line.
    Parsed map = Parse({"-map"});
    EXPECT_EQ(map.state.forcedMap, 0);
    EXPECT_EQ(map.output, "Forcing default map\n");
    Parsed named = Parse({"-map", "Cave"});
    EXPECT_EQ(named.state.forcedMap, 1);
    EXPECT_EQ(named.state.forcedMapName, "Cave");
}

TEST(CommandLine, FlagsAndUnknownWords) {
    Parsed parsed = Parse({"-f", "-ogl", "-d3d", "-skiptitle", "-nomusic", "-nopalette", "-GUITrace", "-starttrace",
                           "-nonetwork", "-bogus", "-F"});
    EXPECT_EQ(parsed.state.memoryMode, 1);
    EXPECT_EQ(parsed.state.openGLMode, 1);
    EXPECT_EQ(parsed.state.direct3DMode, 1);
    EXPECT_EQ(parsed.state.skipTitle, 1);
    EXPECT_EQ(parsed.state.noMusic, 1);
    EXPECT_EQ(parsed.state.noPalette, 1);
    EXPECT_EQ(parsed.state.guiTrace, 1);
    EXPECT_EQ(parsed.state.startTrace, 1);
    EXPECT_EQ(parsed.state.noNetwork, 1);
    EXPECT_EQ(parsed.output,
              "Forcing memory mode\nForcing OpenGL mode\nForcing Direct3DInternal mode\n"
              "Forcing auto-skip title screen\n");
}

TEST(CommandLine, LocalPath) {
    EXPECT_EQ(LocalPathFromProgram("qel"), "");
    EXPECT_EQ(LocalPathFromProgram("./build/qel"), "./build/");
    EXPECT_EQ(LocalPathFromProgram("C:\\Games\\Qel\\qel.exe"), "C:\\Games\\Qel\\");
    EXPECT_EQ(LocalPathFromProgram("/usr/games/qel"), "/usr/games/");
    // The final character is not considered.
    EXPECT_EQ(LocalPathFromProgram("dir/"), "");
    EXPECT_EQ(LocalPathFromProgram(""), "");
    EXPECT_EQ(LocalPathFromProgram(nullptr), "");
}
