#include "support/DialogueBoxFixture.h"

#include "core/base/GlobalState.h"
#include "gui/GUIManager.h"
#include "support/AllegroTestEnv.h"
#include "support/StderrCapture.h"
#include "world/GUIDialogueManager.h"

namespace testsupport {

void DialogueBoxFixture::SetUp() {
    EnsureAllegro();
    GlobalState* state = GetGlobalState();
    m_savedWidth = state->windowWidth;
    m_savedHeight = state->windowHeight;
    state->windowWidth = 800;
    state->windowHeight = 600;
    lua = std::make_unique<LuaTestState>();
    StderrCapture quiet;
    box = static_cast<GUIDialogueManager*>(GUIDialogueManager::Create(lua->Gui()));
}

void DialogueBoxFixture::TearDown() {
    box = nullptr;
    lua.reset();
    GetGlobalState()->windowWidth = m_savedWidth;
    GetGlobalState()->windowHeight = m_savedHeight;
}

}  // namespace testsupport
