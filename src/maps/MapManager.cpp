#include "maps/MapManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/base/FileNames.h"
#include "core/base/GlobalState.h"
#include "core/base/TextUtils.h"
#include "core/base/TransitionState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"
#include "core/media/IsoTexture.h"
#include "core/media/SoundManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "core/script/PathManager.h"
#include "core/script/ScriptVariableSet.h"
#include "gui/GUIManager.h"
#include "maps/ChunkStreamer.h"
#include "maps/DefinedMap.h"
#include "maps/IsometricMap.h"
#include "maps/PendingEvents.h"
#include "world/BackgroundManager.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"
#include "world/PlayerVorn.h"
#include "world/ai/AIManager.h"

namespace {

// Ambient music fades, in volume units per second.
constexpr float kFadeRate = 0.3f;
constexpr float kBattleFadeRate = 0.7f;

// A named path plus a suffix; the suffix alone without a path manager, as
// for a path name the manager does not know.
std::string BuildPath(const char* name, const std::string& suffix) {
    if (PathManager* paths = GetGlobalState()->pathManager) return paths->BuildPath(name, suffix);
    return suffix;
}

bool FileOpens(const std::string& path) {
    FILE* file = OpenFile(path, "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

AudioRecord* FindMusic(const std::string& name) {
    SoundManager* sound = GetGlobalState()->soundManager;
    return sound ? sound->FindMusic(name) : nullptr;
}

}  // namespace

MapManager::MapManager() : m_environment(std::make_unique<ScriptVariableSet>()) {
    ChunkStreamer::RemoveLeftoverWorkingFiles();
    LuaManager* lua = GetGlobalState()->luaManager;
    if (lua && lua->GetLuaState()) RegisterLuaFunctions(lua->GetLuaState());
}

MapManager::~MapManager() {
    FreeActiveMap();
    FreeTextures();
}

// ---- Map loading -----------------------------------------------------------

void MapManager::SetLoadTarget(const std::string& name) {
    GlobalState* state = GetGlobalState();
    m_loadTarget = state->forcedMap ? state->forcedMapName : name;
}

void MapManager::TransitionMap(const std::string& name) {
    SetLoadTarget(name);
    LoadMapFile();
}

void MapManager::Unload() {
    GlobalState* state = GetGlobalState();
    if (state->aiManager) state->aiManager->ClearFloatingAI();
    // The player's avatar survives the clear.
    if (state->player) state->player->UnregisterAvatar();
    if (state->entityManager) state->entityManager->Clear();
    if (state->player) state->player->RegisterAvatar();
    FreeActiveMap();
    m_musicSet = 0;
}

void MapManager::FreeActiveMap() {
    // A floor being generated is kept until its generation returns.
    if (m_generating && m_isometricMap)
        m_retiredMaps.emplace_back(m_isometricMap);
    else
        delete m_isometricMap;
    delete m_definedMap;
    // Deleting the chunk streamer closes the level and removes the working
    // file.
    delete m_chunkStreamer;
    m_isometricMode = 0;
    m_isometricMap = nullptr;
    m_definedMapMode = 0;
    m_definedMap = nullptr;
    m_chunkStreamer = nullptr;
}

Camera* MapManager::FirstCamera() {
    CameraManager* cameras = GetGlobalState()->cameraManager;
    return cameras ? cameras->GetCameraByIndex(0) : nullptr;
}

void MapManager::PrepareCamera(Camera* camera, bool isometric) {
    if (!camera) return;
    GlobalState* state = GetGlobalState();
    camera->SetIsometric(isometric);
    camera->SetBoundaries(0, 0, state->windowWidth, state->windowHeight);
    camera->SetDimensions(state->windowWidth, state->windowHeight);
}

void MapManager::LoadMapFile() {
    Unload();
    m_definedMapMode = 0;
    if (!m_loadTarget) {
        m_loadTarget = kFallbackMapName;
        std::fputs("MapManager::LoadMapFile:  Warning, path not set.  Dropping to DebugRoom.\n", stderr);
    }
    // A copy: the map's script may set another target while it runs.
    const std::string target = *m_loadTarget;

    if (target == kDefinedMapName) {
        // An empty defined map; its script functions size and fill it. No
        // script runs, the camera stays.
        m_definedMapMode = 1;
        m_definedMap = new DefinedMap;
        return;
    }
    if (target == kRandomMapName) {
        auto* map = new IsometricMap;
        m_isometricMap = map;
        m_isometricMode = 1;
        ++m_generating;
        map->GenerateRandom();
        --m_generating;
        if (m_generating == 0) m_retiredMaps.clear();
        // A script run by the generation may have loaded another map.
        if (m_isometricMap == map) PrepareCamera(FirstCamera(), true);
        return;
    }
    if (LoadIsometricFile(target + ".slf")) return;

    const std::string levelPath = BuildPath("Maps", target) + ".plf";
    if (!FileOpens(levelPath)) {
        std::fputs("Failed to find file of either .slf or .plf extension!\n", stderr);
        return;
    }
    Camera* camera = FirstCamera();
    if (!camera) {
        std::fputs("Failed to find default camera!\n", stderr);
        return;
    }
    PrepareCamera(camera, false);
    // A level that cannot be read leaves the streamer closed: nothing is
    // drawn and every point is free, and the script still runs.
    m_chunkStreamer = new ChunkStreamer();
    m_chunkStreamer->Open(levelPath);

    const std::string scriptPath = BuildPath("MapScripts", target) + ".lua";
    if (FileOpens(scriptPath)) {
        if (LuaManager* lua = GetGlobalState()->luaManager) lua->RunFile(scriptPath, -2);
    } else {
        std::fputs("No matching script file found.\n", stderr);
    }
    // The camera is looked up again: the script may have removed it, or
    // loaded another map.
    camera = FirstCamera();
    if (camera && m_chunkStreamer) {
        const int64_t width = int64_t{m_chunkStreamer->GetCountX()} * 256;
        const int64_t height = int64_t{m_chunkStreamer->GetCountY()} * 256;
        const int64_t limit = std::numeric_limits<int32_t>::max();
        camera->SetBoundaries(0, 0, static_cast<int32_t>(std::min(width, limit)),
                              static_cast<int32_t>(std::min(height, limit)));
    }
}

bool MapManager::LoadIsometricFile(const std::string& fileName) {
    Unload();
    const std::string path = BuildPath("Maps", fileName);
    FILE* file = OpenFile(path, "rb");
    if (!file) return false;
    auto map = std::make_unique<IsometricMap>();
    const bool read = map->ReadFile(file) == 0;
    std::fclose(file);
    if (!read) return false;
    m_isometricMap = map.release();
    m_isometricMode = 1;
    PrepareCamera(FirstCamera(), true);
    // The script is run without a test that it exists: the script host
    // reports one it cannot run.
    std::string script = BuildPath("MapScripts", fileName);
    if (script.size() >= 3) script.replace(script.size() - 3, 3, "lua");
    if (LuaManager* lua = GetGlobalState()->luaManager) lua->RunFile(script, -1);
    return true;
}

// ---- Queries ---------------------------------------------------------------

bool MapManager::IsBlocked(int32_t x, int32_t y, int32_t z) const {
    if (m_isometricMode) return m_isometricMap && m_isometricMap->IsBlocked(x, y, z, false);
    if (m_definedMapMode) return m_definedMap && m_definedMap->IsBlocked(x, y);
    return m_chunkStreamer && m_chunkStreamer->IsBlocked(x, y);
}

bool MapManager::IsBlockedOpenAbove(int32_t x, int32_t y, int32_t z) const {
    // Differs from IsBlocked only on an isometric map (open above 1).
    if (m_isometricMode) return m_isometricMap && m_isometricMap->IsBlocked(x, y, z, true);
    return IsBlocked(x, y, z);
}

// ---- Drawing ---------------------------------------------------------------

void MapManager::Draw(BitmapWrapper* target, Camera* camera, bool overlay) {
    if (overlay && (m_definedMapMode || m_isometricMode)) return;
    DrawMap(target, camera, overlay);
}

bool MapManager::CoversView(const Camera* camera) const {
    if (!camera || m_mapDisplay != 1 || m_isometricMode || m_definedMapMode || !m_chunkStreamer) return false;
    const int64_t left = camera->GetX(), top = camera->GetY();
    return m_chunkStreamer->CoversArea(
        {left, top, left + std::max(camera->GetWidth(), 1) - 1, top + std::max(camera->GetHeight(), 1) - 1});
}

void MapManager::DrawMap(BitmapWrapper* target, Camera* camera, bool overlay) {
    BackgroundManager* backgrounds = GetGlobalState()->backgroundManager;
    if (!overlay && m_backgroundDisplay && backgrounds) {
        // Scenery the level hides entirely is not drawn.
        if (CoversView(camera))
            backgrounds->UpdateOffsets(camera);
        else
            backgrounds->Draw(target, camera);
    }
    if (m_mapDisplay != 1) return;
    // The isometric map draws itself in the first pass. A defined map
    // draws nothing.
    if (m_isometricMode) {
        if (!overlay && m_isometricMap) m_isometricMap->Draw(target, camera);
        return;
    }
    if (m_isometricMode || m_definedMapMode || !m_chunkStreamer) return;
    if (target) target->SetAsTarget();
    if (!overlay) {
        m_chunkStreamer->DrawBackground(camera);
        if (PlayerVorn* player = GetGlobalState()->player) player->SafeDraw(target, camera);
    } else {
        m_chunkStreamer->DrawForeground(camera);
    }
}

// ---- Input -----------------------------------------------------------------

std::vector<ChunkStreamer::ShownArea> MapManager::ShownAreas() const {
    // What the active camera shows, and a view of the same size around the
    // player (where the camera goes on its next update), each with a margin
    // for the camera's movement before the next pass.
    std::vector<ChunkStreamer::ShownArea> areas;
    GlobalState* state = GetGlobalState();
    Camera* camera = state->cameraManager ? state->cameraManager->GetActiveCamera() : nullptr;
    if (!camera) camera = FirstCamera();
    if (!camera) return areas;
    constexpr int64_t kMargin = 64;
    const int64_t width = std::max<int64_t>(camera->GetWidth(), 1), height = std::max<int64_t>(camera->GetHeight(), 1);
    areas.push_back({int64_t{camera->GetX()} - kMargin, int64_t{camera->GetY()} - kMargin,
                     int64_t{camera->GetX()} + width + kMargin, int64_t{camera->GetY()} + height + kMargin});
    if (state->player) {
        const Dimensions* where = state->player->GetDimensions();
        if (where && std::isfinite(where->X) && std::isfinite(where->Y) && std::abs(where->X) < 1e12 &&
            std::abs(where->Y) < 1e12) {
            const int64_t x = static_cast<int64_t>(where->X), y = static_cast<int64_t>(where->Y);
            areas.push_back(
                {x - width / 2 - kMargin, y - height / 2 - kMargin, x + width / 2 + kMargin, y + height / 2 + kMargin});
        }
    }
    return areas;
}

void MapManager::ProcessEvent(int32_t code, int32_t x, int32_t y) {
    GlobalState* state = GetGlobalState();
    if (code == 0 || code == 1) {
        if (state->guiManager) state->guiManager->SetMousePosition(static_cast<float>(x), static_cast<float>(y));
        if (state->entityManager) {
            state->entityManager->SetMouseState(code);
            state->entityManager->UpdateNPCs();
        }
        return;
    }
    if (code != -1) return;
    if (m_isometricMode) {
        state->holdDrawing = 0;
        return;
    }
    if (m_chunkStreamer && !m_definedMapMode) {
        // Centred on the chunk holding the player ("XCenter" / "YCenter"
        // divided by 256, toward zero); without a player, on chunk (0, 0).
        int32_t cx = 0, cy = 0;
        if (state->player) {
            const Dimensions* where = state->player->GetDimensions();
            auto chunkOf = [](double v) {
                v = std::trunc(v / 256.0);
                return std::isfinite(v) ? static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0)) : 0;
            };
            cx = chunkOf(where->X);
            cy = chunkOf(where->Y);
        }
        m_chunkStreamer->SetCentre(cx, cy);
        m_chunkStreamer->LoadPass(ShownAreas());
    }
    if (state->holdDrawing) {
        state->holdDrawing = 0;
        DropPendingEvents();
        if (Camera* camera = FirstCamera()) camera->Update();
    }
    if (state->player) state->player->SetGameMode(0);
}

// ---- Textures of isometric maps --------------------------------------------

void MapManager::BuildLookupList() {
    GlobalState* state = GetGlobalState();
    if (!m_textureFileHeading) {
        std::fputs("MapManager:  Warning, cannot build lookup list, rTextureFileHeading was invalid.\n", stderr);
        return;
    }
    TextureFile* archive = nullptr;
    if (state->dataLibrary)
        archive = static_cast<TextureFile*>(
            state->dataLibrary->FindPointerInHeading(m_textureFileHeading, kTextureEntryName, DataKind::TextureFile));
    if (!archive) {
        std::fputs("MapManager:  Warning, no StandardTextures was found\n", stderr);
        return;
    }
    ExternalImageManager* images = state->imageManager;
    if (!images) {
        std::fputs("MapManager:  Warning, cannot build lookup list, ExternalImageManager does not exist\n", stderr);
        return;
    }
    // The archive is opened before anything is added, so one that cannot be
    // read leaves the lists as they were.
    if (!images->OpenFile(archive->fileName)) {
        std::fprintf(stderr, "MapManager:  Warning, cannot build lookup list, could not open %s\n",
                     PrintableText(archive->fileName).c_str());
        return;
    }
    // Entries carry the archive they were read from, so the textures are
    // later taken from that same archive.
    m_textureFiles.emplace_back(archive->fileName, std::vector<TextureLookupEntry*>{});
    for (const ArchiveEntry& entry : images->GetEntryTable()) {
        auto lookup = std::make_unique<TextureLookupEntry>();
        lookup->fileName = archive->fileName;
        lookup->dataOffset = entry.dataOffset;
        m_lookup.emplace_back(entry.name, std::move(lookup));
    }
    images->CloseFile();
}

const TextureLookupEntry* MapManager::FindTextureEntry(const std::string& name) const {
    for (const auto& [entryName, entry] : m_lookup)
        if (entryName == name) return entry.get();
    return nullptr;
}

const std::vector<TextureLookupEntry*>* MapManager::GetTextureFileEntries(const std::string& fileName) const {
    for (const auto& [name, entries] : m_textureFiles)
        if (name == fileName) return &entries;
    return nullptr;
}

void MapManager::AddTextureIndex(const std::string& name, int32_t index) {
    TextureLookupEntry* entry = const_cast<TextureLookupEntry*>(FindTextureEntry(name));
    auto* entries =
        entry ? const_cast<std::vector<TextureLookupEntry*>*>(GetTextureFileEntries(entry->fileName)) : nullptr;
    if (!entries || index < 0) {
        std::fprintf(stderr, "MapManager::AddTextureIndex:  Warning, no texture %s is known; its faces stay blank\n",
                     PrintableText(name.c_str()).c_str());
        return;
    }
    entries->push_back(entry);
    entry->textureIndex = index;
    // The array reaches every index handed out: a name skipped before this
    // one leaves its own slot empty, not the slots after it.
    m_textureCount = std::max(m_textureCount, index == INT32_MAX ? index : index + 1);
}

void MapManager::AddNextTextureIndex(const std::string& name, int32_t& counter) {
    AddTextureIndex(name, counter);
    ++counter;
}

void MapManager::FreeTextures() {
    m_textures.clear();
    m_textureCount = 0;
}

void MapManager::BuildTextures() {
    GlobalState* state = GetGlobalState();
    m_textures.clear();
    m_textures.resize(static_cast<size_t>(std::max(m_textureCount, 0)));
    ExternalImageManager* images = state->imageManager;
    if (!images) return;
    for (const auto& [fileName, entries] : m_textureFiles) {
        if (entries.empty() || !images->OpenFile(fileName)) continue;
        for (const TextureLookupEntry* entry : entries) {
            if (entry->textureIndex < 0 || entry->textureIndex >= m_textureCount) continue;
            std::unique_ptr<BitmapWrapper> image(images->GetBitmapFromActiveFileL(entry->dataOffset));
            if (!image) continue;
            auto texture = std::make_unique<IsoTexture>(&state->openGLMode);
            texture->Build(image.get());
            m_textures[static_cast<size_t>(entry->textureIndex)] = std::move(texture);
        }
        images->CloseFile();
    }
}

IsoTexture* MapManager::GetTexture(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= m_textures.size()) return nullptr;
    return m_textures[static_cast<size_t>(index)].get();
}

void MapManager::ClearTextureLists() {
    for (auto& [name, entries] : m_textureFiles) entries.clear();
}

// ---- Ambient music ---------------------------------------------------------

void MapManager::SetAmbientMusic(const std::string& name) {
    if (m_musicSet) return;
    m_musicSet = 1;
    SoundManager* sound = GetGlobalState()->soundManager;
    if (m_ambientMusic) {
        if (*m_ambientMusic == name) {
            std::fputs("Music names are the same, don't change\n", stderr);
            return;
        }
        if (sound) sound->FadeOut(FindMusic(*m_ambientMusic), 1.0f, kFadeRate);
        m_ambientMusic.reset();
    }
    if (name == "NONE") return;
    m_ambientMusic = name;
    if (sound) sound->PlayWithFadeIn(FindMusic(name), 0.0f, kFadeRate);
}

void MapManager::LowerAmbientMusic() {
    SoundManager* sound = GetGlobalState()->soundManager;
    if (m_ambientMusic && sound) sound->FadeOutAndPause(FindMusic(*m_ambientMusic), 1.0f, kBattleFadeRate);
}

void MapManager::ResumeAmbientMusic() {
    SoundManager* sound = GetGlobalState()->soundManager;
    if (m_ambientMusic && sound) sound->PlayWithFadeIn(FindMusic(*m_ambientMusic), 0.0f, kFadeRate);
}

void MapManager::FadeOutAmbientMusic() {
    SoundManager* sound = GetGlobalState()->soundManager;
    if (m_ambientMusic && sound) sound->FadeOut(FindMusic(*m_ambientMusic), 1.0f, kFadeRate);
}

// ---- Dungeon floors --------------------------------------------------------

void MapManager::ChangeFloor(int32_t n, bool absolute) {
    // 64-bit, then held in range: |INT32_MIN| and sums past the range would
    // otherwise overflow.
    int64_t floor = absolute ? std::llabs(static_cast<int64_t>(n)) : static_cast<int64_t>(m_floor) + n;
    if (floor > std::numeric_limits<int32_t>::max()) floor = std::numeric_limits<int32_t>::max();
    if (floor < 1) {
        RequestMapTransition("DebugRoom", 350, 200, 0);
        m_floor = 0;
    } else {
        RequestMapTransition("MAPRANDOM", 350, 200, 0);
        m_floor = static_cast<int32_t>(floor);
    }
    std::fprintf(stderr, "Current floor is %i\n", m_floor);
}

Terrain* MapManager::GlobalTerrain() { return GetGlobalState()->mapManager; }
