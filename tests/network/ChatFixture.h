#pragma once
// The chat window built as the game builds it, in a working directory of its own.
#include "network/GUIChatWindow.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace testsupport {

// A working directory with the chat window's TrueType file in place.
struct ChatFixture {
    TempDir dir;
    LuaTestState lua;
    ChatFixture() {
        testsupport::EnsureAllegro();
        dir.WriteFile("Data/Graphics/Fonts/FixedSys.ttf",
                      testsupport::ReadFile("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"));
    }
    GUIChatWindow* Build() {
        StderrCapture quiet;
        auto* window = dynamic_cast<GUIChatWindow*>(BuildDefaultChatWindow());
        quiet.Take();
        return window;
    }
};

}  // namespace testsupport
