// Path_ script functions: named directory paths.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/PathManager.h"
#include "core/script/ScriptArgs.h"

namespace {

PathManager* Paths() { return GetGlobalState()->pathManager; }

int Path_SetRootToLocal(lua_State* L) {
    PathManager* paths = Paths();
    if (!paths) return script::Fail("Path SetRootToLocal:  Failed, PathManager does not exist\n");
    paths->SetRootToLocal();
    return 0;
}

// The four setters share one shape: name and text, exact count.
template <void (PathManager::*Apply)(const std::string&, const std::string&)>
int PathSetter(lua_State* L, const char* invalid, const char* missing) {
    std::string name, text;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 1, name) || !script::GetText(L, 2, text))
        return script::Fail(invalid);
    PathManager* paths = Paths();
    if (!paths) return script::Fail(missing);
    (paths->*Apply)(name, text);
    return 0;
}

int Path_AddPath(lua_State* L) {
    return PathSetter<&PathManager::AddPath>(L, "Path AddPath:  Failed, invalid argument list\n",
                                             "Path AddPath:  Failed, PathManager does not exist\n");
}

int Path_AddPathFromRoot(lua_State* L) {
    return PathSetter<&PathManager::AddPathFromRoot>(L, "Path AddPathFromRoot:  Failed, invalid argument list\n",
                                                     "Path AddPathFromRoot:  Failed, PathManager does not exist\n");
}

int Path_SetPath(lua_State* L) {
    return PathSetter<&PathManager::SetPath>(L, "Path SetPath:  Failed, invalid argument list\n",
                                             "Path SetPath:  Failed, PathManager does not exist\n");
}

int Path_SetPathFromRoot(lua_State* L) {
    return PathSetter<&PathManager::SetPathFromRoot>(L, "Path SetPathFromRoot:  Failed, invalid argument list\n",
                                                     "Path SetPathFromRoot:  Failed, PathManager does not exist\n");
}

int Path_GetPath(lua_State* L) {
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name))
        return script::Fail("Path GetPath:  Failed, invalid argument list\n");
    PathManager* paths = Paths();
    if (!paths) return script::Fail("Path GetPath:  Failed, PathManager does not exist\n");
    const std::string* path = paths->GetPath(name);
    if (!path) return script::Fail("Path GetPath:  Failed, could not find pathname " + name + "\n");
    return script::PushText(L, *path);
}

const script::Function kPathFunctions[] = {
    {"Path_SetRootToLocal", Path_SetRootToLocal},
    {"Path_AddPath", Path_AddPath},
    {"Path_AddPathFromRoot", Path_AddPathFromRoot},
    {"Path_SetPath", Path_SetPath},
    {"Path_SetPathFromRoot", Path_SetPathFromRoot},
    {"Path_GetPath", Path_GetPath},
    {nullptr, nullptr},
};

}  // namespace

void PathManager::RegisterLuaFunctions(lua_State* L) { script::Register(L, kPathFunctions); }
