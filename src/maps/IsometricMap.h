#pragma once
// A three-dimensional map of cube cells ("blocks") on a grid of X by Y
// columns and Z layers, each cell 30 world units on a side, drawn in an
// isometric projection. Read from an isometric map file (".slf"), or filled
// by the random level generator, which the ISOM_ script functions configure
// (size range, queued texture names, room definitions).
//
// World to cell: column x = world x / 30, column y = world y / 30,
// layer = (-world z) / 30, each truncating toward zero; layer 0 is the
// ground, higher layers have more negative z.
//
// The ".slf" file (little-endian, uncompressed):
//   14 bytes  "TamskIsoMap1.0" (no terminator)
//   4 bytes   not interpreted
//   u8 n, then n bytes not interpreted
//   u32 texture count, then per name: u8 length and the bytes (name i has
//             texture index i)
//   u32 X, u32 Y, u32 Z
//   X x Y x Z cells, x outermost, then y, z innermost: u8 present; when
//             non-zero, three int32 texture indices (floor, left, right).
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "maps/IsoBlock.h"
#include "maps/RoomDefinition.h"

class BitmapWrapper;
class Camera;
class GridGenerator;

class IsometricMap {
public:
    static constexpr int32_t kCellSize = 30;
    static constexpr const char* kMagic = "TamskIsoMap1.0";
    static constexpr size_t kMagicLength = 14;

    IsometricMap();
    ~IsometricMap();
    IsometricMap(const IsometricMap&) = delete;
    IsometricMap& operator=(const IsometricMap&) = delete;

    // Reads an open ".slf" file from its current position to its end.
    // 0 on success; non-zero for a null file or a file that is damaged or
    // not an isometric map (a line on stderr says which). A refused file
    // changes nothing. On success the map manager's textures are rebuilt
    // from the names the file lists.
    int32_t ReadFile(FILE* file);
    // The same over bytes in memory.
    int32_t ReadData(const uint8_t* data, size_t size);

    // Whether a world point is blocked for movers. openAbove: a point above
    // the top layer is free.
    bool IsBlocked(int32_t x, int32_t y, int32_t z, bool openAbove) const;

    // Deletes the old grid with every block and allocates an empty one.
    // Sizes below 0 count as 0; more than kMaxCells cells give an empty grid
    // (with a line on stderr).
    static constexpr uint64_t kMaxCells = uint64_t{1} << 28;
    void SetSize(int32_t x, int32_t y, int32_t z);
    int32_t GetSizeX() const { return m_x; }
    int32_t GetSizeY() const { return m_y; }
    int32_t GetSizeZ() const { return m_z; }
    bool IsAllocated() const { return m_allocated != 0; }
    // The block of a cell; null for an empty cell or one outside the grid.
    IsoBlock* GetBlock(int32_t x, int32_t y, int32_t z) const;
    // Puts a new block into an empty cell of the grid; returns the cell's
    // block (null outside the grid).
    IsoBlock* CreateBlock(int32_t x, int32_t y, int32_t z);

    // Draws the map onto the target around the player's column. Nothing
    // unless a grid exists.
    void Draw(BitmapWrapper* target, Camera* camera);
    int32_t GetCameraX() const { return m_cameraX; }
    int32_t GetCameraY() const { return m_cameraY; }

    // ---- Random-level configuration (the ISOM_ functions) ----------------
    // Layers are kept within 1..5; the sizes are stored as given.
    void SetSizes(int32_t minimum, int32_t maximum, int32_t layers);
    int32_t GetMinimumSize() const { return m_minimumSize; }
    int32_t GetMaximumSize() const { return m_maximumSize; }
    int32_t GetLayers() const { return m_layers; }
    void QueueTexture(const std::string& name);
    const std::vector<std::string>& GetTextureQueue() const { return m_textureQueue; }
    // Appends the definition under the name; the map owns it.
    RoomDefinition* AddRoomDefinition(const std::string& name, std::unique_ptr<RoomDefinition> definition);
    // The first definition of that name, or null.
    RoomDefinition* FindRoomDefinition(const std::string& name) const;
    size_t GetRoomDefinitionCount() const { return m_roomDefinitions.size(); }
    // Append the queue position of the name (exact comparison) to the
    // definition's floor / left-wall / right-wall choices; a name that is
    // not queued, or a null definition, does nothing.
    void AddFloorTexture(RoomDefinition* definition, const std::string& name);
    void AddWallLTexture(RoomDefinition* definition, const std::string& name);
    void AddWallRTexture(RoomDefinition* definition, const std::string& name);
    // A random choice of the definition's list (through the engine's random
    // source); 0 for a null definition, kNoTexture for an empty list.
    static constexpr int32_t kNoTexture = -1;
    static int32_t PickFloor(const RoomDefinition* definition);
    static int32_t PickWallL(const RoomDefinition* definition);
    static int32_t PickWallR(const RoomDefinition* definition);
    // The same, drawing from the given source.
    using Source = std::function<uint32_t()>;
    static int32_t PickFloor(const RoomDefinition* definition, const Source& source);
    static int32_t PickWallL(const RoomDefinition* definition, const Source& source);
    static int32_t PickWallR(const RoomDefinition* definition, const Source& source);
    // Deletes the room definitions and empties the active one's lists; a
    // deleted active or path definition is no longer set.
    void ClearRoomDefinitions();

    // ---- Random dungeon floors ----------------------------------------------
    // Script that configures a floor (sizes, textures, room definitions).
    static constexpr const char* kGeneralScript = "Data/Scripts/Maps/RLG/General.lua";
    static constexpr const char* kEnemyConstructor = "Data/Scripts/NPCs/Enemies/Zezazoru/Constructor.lua";
    static constexpr const char* kUpStairConstructor = "Data/Scripts/NPCs/UpStair/Constructor.lua";
    static constexpr const char* kFloorMusic = "StratumOne";
    // Builds a one-layer cave floor into this (empty) map: runs the general
    // script, draws a side from the size range and a seed from the engine's
    // random source (both printed), builds the grid, the textures and the
    // blocks, places the player, the enemies and the up-stair, and starts
    // the floor's music. Every choice after the seed comes from the seed, so
    // the printed seed reproduces the floor. A size range outside
    // GridGenerator's limits is refused with a line and leaves the map empty.
    void GenerateRandom();
    // Puts the player on the first ground cell (x, then y, from 1) unless
    // the transition already placed it.
    void PlacePlayer();
    // Up to n world enemies on random ground cells (at most 100 draws);
    // while a floor is generated, only on cells the player can walk to.
    void SpawnEnemies(int32_t n);
    // The up-stair on a random ground cell in the same way.
    void PlaceUpStair();

    RoomDefinition* GetActiveDefinition() const { return m_activeDefinition; }
    void SetActiveDefinition(RoomDefinition* definition) { m_activeDefinition = definition; }
    RoomDefinition* GetPathDefinition() const { return m_pathDefinition; }
    void SetPathDefinition(RoomDefinition* definition) { m_pathDefinition = definition; }

    // The seven ISOM_ functions.
    static void RegisterLuaFunctions(lua_State* L);

private:
    size_t CellIndex(int32_t x, int32_t y, int32_t z) const {
        return (static_cast<size_t>(x) * static_cast<size_t>(m_y) + static_cast<size_t>(y)) * static_cast<size_t>(m_z) +
               static_cast<size_t>(z);
    }
    void AddChoice(RoomDefinition* definition, int face, const std::string& name);
    // 0 .. n-1 from the generator of the floor being built, else from the
    // engine's random source.
    int32_t DrawBelow(int32_t n);
    // A random walkable cell of layer 0, in at most 100 draws.
    bool DrawGroundCell(int32_t* x, int32_t* y);
    // Marks the ground cells of layer 0 the player can walk to from where
    // it stands (while a floor is generated).
    void MarkWalkableFromPlayer();
    // A marked cell while marks exist, else any cell of layer 0 with a block.
    bool IsWalkableCell(int32_t x, int32_t y) const;
    // Whether this map is still the map manager's map (a script run during
    // the generation may have loaded another).
    bool StillActive() const;
    void DrawIsometric(BitmapWrapper* target, Camera* camera);

    int32_t m_x = 0, m_y = 0, m_z = 0;
    std::vector<std::unique_ptr<IsoBlock>> m_blocks;  // [x][y][z]
    uint8_t m_allocated = 0;
    int32_t m_drawMode = 0;
    int32_t m_cameraX = 0, m_cameraY = 0;
    int32_t m_minimumSize = 40, m_maximumSize = 80;
    int32_t m_layers = 3;
    std::vector<std::string> m_textureQueue;
    std::vector<std::pair<std::string, std::unique_ptr<RoomDefinition>>> m_roomDefinitions;
    RoomDefinition* m_pathDefinition = nullptr;  // not owned
    RoomDefinition* m_activeDefinition = nullptr;
    // The empty definition active at construction; kept until the map goes.
    std::unique_ptr<RoomDefinition> m_initialDefinition;
    GridGenerator* m_generator = nullptr;  // while a floor is generated
    std::vector<uint8_t> m_walkable;       // [x][y], while a floor is generated
};
