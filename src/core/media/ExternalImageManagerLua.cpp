// Script functions of the image archives: EIM_OpenFile,
// EIM_OpenFileUncompressed and EIM_CloseFile.
#include "core/base/GlobalState.h"
#include "core/media/ExternalImageManager.h"
#include "core/script/ScriptArgs.h"

namespace {

int EIM_OpenFile(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("EIM_OpenFile:  Failed, invalid argument list\n");
    std::string path;
    if (!script::GetText(L, 1, path)) return script::Fail("EIM_OpenFile:  Failed, invalid argument list\n");
    ExternalImageManager* images = GetGlobalState()->imageManager;
    if (!images) return script::Fail("EIM_OpenFile:  Failed, ExternalImageManager does not exist\n");
    images->OpenFile(path);
    return 0;
}

int EIM_OpenFileUncompressed(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("EIM_OpenFileUncompressed:  Failed, invalid argument list\n");
    std::string path;
    if (!script::GetText(L, 1, path)) return script::Fail("EIM_OpenFileUncompressed:  Failed, invalid argument list\n");
    ExternalImageManager* images = GetGlobalState()->imageManager;
    if (!images) return script::Fail("EIM_OpenFileUncompressed:  Failed, ExternalImageManager does not exist\n");
    images->OpenFileUncompressed(path);
    return 0;
}

// Takes any arguments.
int EIM_CloseFile(lua_State* L) {
    ExternalImageManager* images = GetGlobalState()->imageManager;
    if (!images) return script::Fail("EIM_CloseFile:  Failed, ExternalImageManager does not exist\n");
    images->CloseFile();
    return 0;
}

const script::Function kFunctions[] = {
    {"EIM_OpenFile", EIM_OpenFile},
    {"EIM_OpenFileUncompressed", EIM_OpenFileUncompressed},
    {"EIM_CloseFile", EIM_CloseFile},
    {nullptr, nullptr},
};

}  // namespace

void ExternalImageManager::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
