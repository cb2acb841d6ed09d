#include "world/ai/AIAutoScriptPackage.h"

#include "core/base/GlobalState.h"
#include "core/base/RootObject.h"
#include "core/script/LuaManager.h"
#include "world/ai/AIManager.h"

AIAutoScriptPackage::AIAutoScriptPackage() { m_type = kTypeAIAutoScriptPackage; }

void AIAutoScriptPackage::RunAI() {
    if (!m_hasScript) return;
    GlobalState* state = GetGlobalState();
    if (state->aiManager) state->aiManager->SetActiveAIObject(this);
    LuaManager* lua = state->luaManager;
    if (!lua) return;
    const std::string path = m_scriptPath;
    const int32_t code = m_scriptCode;
    lua->RunFile(path, code);
}
