#include "support/SampleGameScripts.h"

#include <filesystem>

#include "core/media/DataLibraryImageLua.h"
#include "core/media/ExternalImageManager.h"
#include "core/script/LuaManager.h"
#include "support/StderrCapture.h"

namespace testsupport {

std::string SampleGameScripts::GameFolder() { return std::string(QEL_SOURCE_DIR) + "/game/"; }

void SampleGameScripts::CopyFromGame(std::initializer_list<const char*> paths) {
    for (const char* path : paths) {
        const std::filesystem::path to(path);
        if (to.has_parent_path()) std::filesystem::create_directories(to.parent_path());
        std::filesystem::copy_file(GameFolder() + path, to);
    }
}

SampleGameScripts::SampleGameScripts() {
    ExternalImageManager::RegisterLuaFunctions(L());
    RegisterDataLibraryImageLuaFunctions(L());
    Manager().SetBasePath(GameFolder());
    StderrCapture quiet;
    Manager().RunFile("Paths.lua", -1);
    Manager().RunFile("Data/Scripts/System/Loading/Routing.lua", -1);
    m_printed = quiet.Take();
}

}  // namespace testsupport
