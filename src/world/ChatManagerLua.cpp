// The chat log's script function.
#include <cstdio>
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "world/ChatManager.h"

namespace {

// ChatManager_WatchProperty(name): the named input box becomes the watched
// box; a name that finds nothing ends the watch.
int ChatManager_WatchProperty(lua_State* L) {
    const char* invalid = "ChatManager WatchProperty:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 1)) return script::Fail(invalid);
    std::string name;
    if (!script::GetText(L, 1, name)) return script::Fail(invalid);
    ChatManager* chat = GetGlobalState()->chatManager;
    if (!chat) return script::Fail("ChatManager WatchProperty:  Failed, ChatManager does not exist\n");
    GUIManager* gui = GetGlobalState()->guiManager;
    if (!gui) return script::Fail("ChatManager WatchProperty:  Failed, GUIManager does not exist\n");
    GUIBaseObject* object = gui->FindObject(name);
    if (!object) {
        chat->SetWatchedBox(nullptr);
        return 0;
    }
    if (!chat->SetWatchedBox(object)) {
        std::fprintf(stderr, "ChatManager WatchProperty:  Failed, %s is not a GUIInputTextBox\n", name.c_str());
        return 0;
    }
    std::fputs("InputBox Linked\n", stderr);
    return 0;
}

const script::Function kFunctions[] = {
    {"ChatManager_WatchProperty", ChatManager_WatchProperty},
    {nullptr, nullptr},
};

}  // namespace

void ChatManager::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
