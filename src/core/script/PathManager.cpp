#include "core/script/PathManager.h"

#include <cstdio>

#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/script/LuaManager.h"

namespace {
void DeletePath(void* value) { delete static_cast<std::string*>(value); }
}  // namespace

PathManager::PathManager() : m_paths(std::make_unique<NamedList>(true)) {
    m_paths->SetDefaultDeleter(DeletePath);
    AddPath("Root", "UNINITIALIZED");
    LuaManager* lua = GetGlobalState()->luaManager;
    if (lua && lua->GetLuaState()) RegisterLuaFunctions(lua->GetLuaState());
}

PathManager::~PathManager() = default;

const std::string* PathManager::GetPath(const std::string& name) const { return m_paths->FindAs<std::string>(name); }

void PathManager::AddPath(const std::string& name, const std::string& path) {
    m_paths->Add(name, new std::string(path));
}

void PathManager::SetPath(const std::string& name, const std::string& path) {
    if (std::string* stored = m_paths->FindAs<std::string>(name)) *stored = path;
}

void PathManager::AddPathFromRoot(const std::string& name, const std::string& suffix) {
    const std::string* root = GetPath("Root");
    if (!root) return;
    AddPath(name, *root + suffix);
}

void PathManager::SetPathFromRoot(const std::string& name, const std::string& suffix) {
    const std::string* root = GetPath("Root");
    if (!root) return;
    // Built before the assignment: the name may be "Root" itself.
    SetPath(name, *root + suffix);
}

void PathManager::SetRootToLocal() { SetPath("Root", GetGlobalState()->localPath); }

std::string PathManager::BuildPath(const std::string& name, const std::string& suffix) const {
    const std::string* path = GetPath(name);
    if (!path) {
        std::fprintf(stderr, "PathManager failed to find %s\n", name.c_str());
        return suffix;
    }
    return *path + suffix;
}
