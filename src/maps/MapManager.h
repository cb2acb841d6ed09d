#pragma once
// Owner of the one active map: which kind it is, its script, the collision
// answers every mover asks for, its two drawing passes, its ambient music,
// the texture lookup of isometric maps, the dungeon floor counter and the
// map environment's script variables.
//
// A map is one of three kinds, at most one loaded at a time:
//   - a chunked level (a ".plf" level file streamed around the player),
//   - an isometric block map (a ".slf" file, or generated for "MAPRANDOM"),
//   - a defined map for "MAPNONE": a grid of blocked cells set by scripts.
// With no map loaded (at start, after an unload or a failed load) nothing is
// drawn and every point is free.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "maps/ChunkStreamer.h"
#include "world/Terrain.h"

class BitmapWrapper;
class Camera;
class ChunkStreamer;
class DefinedMap;
class IsometricMap;
class IsoTexture;
class NamedList;
class ScriptVariableSet;

// Where one texture of an isometric map comes from: the image archive, the
// image's data offset in it, and the index the current map gave the texture.
struct TextureLookupEntry {
    std::string fileName;
    uint32_t dataOffset = 0;
    uint32_t reserved = 0;  // always 0
    int32_t textureIndex = 0;
};

class MapManager : public Terrain {
public:
    // Reserved map names.
    static constexpr const char* kDefinedMapName = "MAPNONE";
    static constexpr const char* kRandomMapName = "MAPRANDOM";
    static constexpr const char* kFallbackMapName = "DebugRoom";
    // The heading entry naming the texture archive, and that archive.
    static constexpr const char* kTextureEntryName = "StandardTextures";
    static constexpr const char* kTextureArchive = "Data/StandardTextures.sif";
    // Map shown, background hidden, no map, floor 0. Removes the working
    // level files that no running game claims in the current folder.
    // Registers the MapM_ script functions on the script host's state when
    // the host exists.
    MapManager();
    // Closes the active map (removing the working level file).
    ~MapManager() override;
    // At shut-down, once the level is closed: removes the working level
    // files in the current folder that no running game claims.
    static void RemoveWorkingFiles() { ChunkStreamer::RemoveLeftoverWorkingFiles(); }
    MapManager(const MapManager&) = delete;
    MapManager& operator=(const MapManager&) = delete;

    // ---- Map loading ------------------------------------------------------
    // Stores the name of the next map to load. While "-map" forced a map,
    // the forced name is stored instead, on every call.
    void SetLoadTarget(const std::string& name);
    // Unloads, then loads the load target ("DebugRoom" with a warning when
    // none is set). Failures are lines on stderr; the manager is then empty.
    void LoadMapFile();
    // SetLoadTarget, then LoadMapFile at once (no fade, player not placed).
    void TransitionMap(const std::string& name);
    // The load target; empty optional when none was set.
    const std::optional<std::string>& GetMapName() const { return m_loadTarget; }
    // Clears the floating AI and every entity but the player's avatar, frees
    // the active map and lets the next map choose its music. Textures, the
    // environment variables and the floor stay.
    void Unload();
    // Reads "<Maps path><fileName>"; true when it became the active map.
    bool LoadIsometricFile(const std::string& fileName);

    // ---- Queries ----------------------------------------------------------
    // Whether a world point is blocked for movers. Free everywhere when no
    // map is loaded.
    bool IsBlocked(int32_t x, int32_t y, int32_t z) const override;
    // The same, except that above the top layer of an isometric map is free.
    bool IsBlockedOpenAbove(int32_t x, int32_t y, int32_t z) const override;
    bool IsIsometric() const override { return m_isometricMode != 0; }
    bool IsDefinedMapMode() const { return m_definedMapMode != 0; }
    IsometricMap* GetIsometricMap() const { return m_isometricMap; }
    ChunkStreamer* GetChunkStreamer() const { return m_chunkStreamer; }
    // Whether the level's first pass will cover the camera's whole view
    // with opaque pixels, so the view need not be cleared nor the scenery
    // drawn under it.
    bool CoversView(const Camera* camera) const;
    // Null unless the defined map is the active map.
    DefinedMap* GetDefinedMap() const { return m_definedMapMode ? m_definedMap : nullptr; }
    ScriptVariableSet* GetEnvironmentVariables() const { return m_environment.get(); }

    // ---- Drawing (twice per frame, by the world window) -------------------
    // overlay false: the first pass (background, ground, the player); true:
    // the second pass (what stands in front of the entities). The second
    // pass of a defined or isometric map draws nothing.
    void Draw(BitmapWrapper* target, Camera* camera, bool overlay);
    void DrawMap(BitmapWrapper* target, Camera* camera, bool overlay);
    void SetMapDisplayState(bool shown) { m_mapDisplay = shown ? 1 : 0; }
    bool GetMapDisplayState() const { return m_mapDisplay != 0; }
    void SetBackgroundDisplayState(bool shown) { m_backgroundDisplay = shown ? 1 : 0; }
    bool GetBackgroundDisplayState() const { return m_backgroundDisplay != 0; }

    // ---- Input ------------------------------------------------------------
    // code 0 / 1: a mouse button went down / up at (x, y) and no GUI object
    // took it: the characters see the click. code -1: the per-tick step
    // (chunk streaming, end of a held drawing). Other codes are ignored.
    void ProcessEvent(int32_t code, int32_t x, int32_t y);

    // ---- Textures of isometric maps ---------------------------------------
    // The data-library heading that holds the "StandardTextures" entry.
    void SetTextureFileHeading(NamedList* heading) { m_textureFileHeading = heading; }
    NamedList* GetTextureFileHeading() const { return m_textureFileHeading; }
    // Registers every image of the texture archive by name. A second call
    // appends a second set; lookups find the first.
    void BuildLookupList();
    // Gives the named texture the index and counts it; unknown names are
    // skipped silently.
    void AddTextureIndex(const std::string& name, int32_t index);
    // AddTextureIndex with the counter's value, then the counter grows by 1
    // whether or not the name was known.
    void AddNextTextureIndex(const std::string& name, int32_t& counter);
    int32_t GetTextureCount() const { return m_textureCount; }
    // Deletes the textures of the current map (the count becomes 0).
    void FreeTextures();
    // Builds the texture array (texture count slots) from the archives of
    // the registered entries; a slot whose image cannot be read stays null.
    void BuildTextures();
    // The texture of that index, or null (outside the array or not built).
    IsoTexture* GetTexture(int32_t index) const;
    const std::vector<std::unique_ptr<IsoTexture>>& GetTextures() const { return m_textures; }
    // Empties every per-archive list; the lookup entries stay.
    void ClearTextureLists();
    // The first lookup entry of that texture name, or null.
    const TextureLookupEntry* FindTextureEntry(const std::string& name) const;
    size_t GetLookupCount() const { return m_lookup.size(); }
    // The entries registered for the current map from that archive (the
    // first list of that name), or null when there is no such list.
    const std::vector<TextureLookupEntry*>* GetTextureFileEntries(const std::string& fileName) const;

    // ---- Ambient music ----------------------------------------------------
    // Only the first call after a map load counts. "NONE" fades the playing
    // track out and starts nothing; the track already playing is left as it
    // is.
    void SetAmbientMusic(const std::string& name);
    // Leaving for a battle: the track fades out and pauses.
    void LowerAmbientMusic();
    // Back from a battle: the track fades back in.
    void ResumeAmbientMusic();
    void FadeOutAmbientMusic();
    bool IsMusicSet() const { return m_musicSet != 0; }
    // Name of the track playing as ambient music; empty optional for none.
    const std::optional<std::string>& GetAmbientMusicName() const { return m_ambientMusic; }

    // ---- Dungeon floors ---------------------------------------------------
    // Absolute: floor = |n|; else floor += n. Below 1 the way leads back to
    // "DebugRoom" and the floor becomes 0; otherwise to a new random floor.
    void ChangeFloor(int32_t n, bool absolute) override;
    int32_t GetFloor() const { return m_floor; }

    // The nine MapM_ functions.
    static void RegisterLuaFunctions(lua_State* L);
    // The world's terrain source (SetTerrainSource): whatever map manager
    // is in the global state's slot now.
    static Terrain* GlobalTerrain();

private:
    // Frees whichever map is active and clears the modes.
    void FreeActiveMap();
    // Points the first camera at a map of the window's size.
    static void PrepareCamera(Camera* camera, bool isometric);
    static Camera* FirstCamera();
    // The world rectangles that are (or are about to be) on screen.
    std::vector<ChunkStreamer::ShownArea> ShownAreas() const;

    uint8_t m_mapDisplay = 1;
    uint8_t m_backgroundDisplay = 0;
    std::optional<std::string> m_loadTarget;
    uint8_t m_definedMapMode = 0;
    DefinedMap* m_definedMap = nullptr;
    uint8_t m_isometricMode = 0;
    IsometricMap* m_isometricMap = nullptr;
    ChunkStreamer* m_chunkStreamer = nullptr;
    std::unique_ptr<ScriptVariableSet> m_environment;
    NamedList* m_textureFileHeading = nullptr;  // owned by the data library
    // Texture name -> where it comes from, in registration order.
    std::vector<std::pair<std::string, std::unique_ptr<TextureLookupEntry>>> m_lookup;
    int32_t m_textureCount = 0;
    std::vector<std::unique_ptr<IsoTexture>> m_textures;  // [texture index]
    // Archive name -> the lookup entries the current map uses from it.
    std::vector<std::pair<std::string, std::vector<TextureLookupEntry*>>> m_textureFiles;
    uint8_t m_musicSet = 0;
    std::optional<std::string> m_ambientMusic;
    int32_t m_floor = 0;
    // Depth of random-floor generations in progress, and the maps unloaded
    // meanwhile (deleted when the outermost generation returns).
    int m_generating = 0;
    std::vector<std::unique_ptr<IsometricMap>> m_retiredMaps;
};
