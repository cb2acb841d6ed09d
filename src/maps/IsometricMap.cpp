#include "maps/IsometricMap.h"

#include <allegro5/allegro.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "core/base/GlobalState.h"
#include "core/base/Random.h"
#include "core/base/TextUtils.h"
#include "core/base/TransitionState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/IsoTexture.h"
#include "core/script/LuaManager.h"
#include "maps/GridGenerator.h"
#include "maps/MapManager.h"
#include "world/Camera.h"
#include "world/Dimensions.h"
#include "world/EntityManager.h"
#include "world/NPCStaticDialogue.h"
#include "world/NPCWorldEnemy.h"
#include "world/PlayerVorn.h"

namespace {

// Bounds-checked little-endian reads over the bytes of a file.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint64_t Remaining() const { return m_size - m_pos; }
    bool Bytes(size_t n, const uint8_t*& out) {
        if (n > Remaining()) return false;
        out = m_data + m_pos;
        m_pos += n;
        return true;
    }
    bool U8(uint8_t& out) {
        const uint8_t* p;
        if (!Bytes(1, p)) return false;
        out = *p;
        return true;
    }
    bool U32(uint32_t& out) {
        const uint8_t* p;
        if (!Bytes(4, p)) return false;
        out = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
        return true;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// What a file holds, checked in full before anything is applied.
struct ParsedMap {
    std::vector<std::string> names;
    int32_t x = 0, y = 0, z = 0;
    std::vector<uint8_t> present;                  // per cell, file order
    std::vector<std::array<int32_t, 3>> textures;  // per present cell
};

bool Damaged(const char* what) {
    std::fprintf(stderr, "ReadFile:  FAILURE, damaged isometric map (%s)\n", what);
    return false;
}

bool Parse(const uint8_t* data, size_t size, ParsedMap& map) {
    Reader in(data, size);
    const uint8_t* magic;
    // The version bytes are printed as text, up to a zero byte, with what a
    // terminal would take as control written as escapes.
    if (!in.Bytes(IsometricMap::kMagicLength, magic)) {
        std::string found(reinterpret_cast<const char*>(data), size);
        std::fprintf(stderr, "ReadFile:  FAILURE, %s it the wrong file version\n",
                     PrintableText(found.c_str()).c_str());
        return false;
    }
    if (std::memcmp(magic, IsometricMap::kMagic, IsometricMap::kMagicLength) != 0) {
        std::string found(reinterpret_cast<const char*>(magic), IsometricMap::kMagicLength);
        std::fprintf(stderr, "ReadFile:  FAILURE, %s it the wrong file version\n",
                     PrintableText(found.c_str()).c_str());
        return false;
    }
    const uint8_t* skipped;
    uint8_t skip = 0;
    if (!in.Bytes(4, skipped) || !in.U8(skip) || !in.Bytes(skip, skipped)) return Damaged("header cut short");
    uint32_t count = 0;
    if (!in.U32(count)) return Damaged("texture count missing");
    // Each name takes at least its length byte.
    if (count > in.Remaining()) return Damaged("texture count beyond the file");
    map.names.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t length = 0;
        const uint8_t* name;
        if (!in.U8(length) || !in.Bytes(length, name)) return Damaged("texture name cut short");
        map.names.emplace_back(reinterpret_cast<const char*>(name), length);
    }
    uint32_t sx = 0, sy = 0, sz = 0;
    if (!in.U32(sx) || !in.U32(sy) || !in.U32(sz)) return Damaged("map size missing");
    const uint64_t limit = 0x7fffffff;
    if (sx > limit || sy > limit || sz > limit) return Damaged("map size out of range");
    // Every cell takes at least its present byte: the grid can be no larger
    // than what remains (checked step by step so the product cannot wrap).
    // A map without cells has no ground to stand on, and its empty sides
    // would still be walked layer by layer on every frame: refused.
    if (sx == 0 || sy == 0 || sz == 0) return Damaged("map without cells");
    const uint64_t remaining = in.Remaining();
    if (sx > remaining || sy > remaining || sz > remaining) return Damaged("map larger than the file");
    uint64_t cells = uint64_t{sx} * sy;
    if (cells > remaining) return Damaged("map larger than the file");
    cells *= sz;
    if (cells > remaining) return Damaged("map larger than the file");
    if (cells > IsometricMap::kMaxCells) return Damaged("map too large");
    map.x = static_cast<int32_t>(sx);
    map.y = static_cast<int32_t>(sy);
    map.z = static_cast<int32_t>(sz);
    map.present.resize(cells);
    for (uint64_t c = 0; c < cells; ++c) {
        if (!in.U8(map.present[c])) return Damaged("cells cut short");
        if (!map.present[c]) continue;
        std::array<int32_t, 3> faces{};
        for (int32_t& face : faces) {
            uint32_t raw = 0;
            if (!in.U32(raw)) return Damaged("cells cut short");
            face = static_cast<int32_t>(raw);
        }
        map.textures.push_back(faces);
    }
    return true;
}

int32_t PickWith(const std::vector<int32_t>& list, const IsometricMap::Source& source) {
    if (list.empty()) return IsometricMap::kNoTexture;
    return list[static_cast<size_t>(source()) % list.size()];
}

// Cell draws the placements of a floor make before they give up.
constexpr int kCellDraws = 100;

int32_t Pick(const std::vector<int32_t>& list) {
    if (list.empty()) return IsometricMap::kNoTexture;
    const int r = RandomNext();
    const size_t at = static_cast<size_t>(r < 0 ? -static_cast<int64_t>(r) : r) % list.size();
    return list[at];
}

// World coordinate to cell, truncating toward zero.
int32_t ToCell(int32_t v) { return v / IsometricMap::kCellSize; }

}  // namespace

IsometricMap::IsometricMap() : m_initialDefinition(std::make_unique<RoomDefinition>()) {
    m_activeDefinition = m_initialDefinition.get();
}

IsometricMap::~IsometricMap() = default;

// ---- Reading ---------------------------------------------------------------

int32_t IsometricMap::ReadFile(FILE* file) {
    if (!file) return 1;
    std::vector<uint8_t> data;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.insert(data.end(), buffer, buffer + n);
    if (std::ferror(file)) {
        std::fputs("ReadFile:  FAILURE, the isometric map could not be read\n", stderr);
        return 1;
    }
    return ReadData(data.data(), data.size());
}

int32_t IsometricMap::ReadData(const uint8_t* data, size_t size) {
    ParsedMap parsed;
    if (!data && size) return 1;
    if (!Parse(data ? data : reinterpret_cast<const uint8_t*>(""), size, parsed)) return 1;

    // The textures of the previous map give way to the names this file lists.
    GlobalState* state = GetGlobalState();
    MapManager* maps = state->mapManager;
    if (maps) {
        maps->FreeTextures();
        maps->ClearTextureLists();
        for (size_t i = 0; i < parsed.names.size(); ++i)
            maps->AddTextureIndex(parsed.names[i], static_cast<int32_t>(i));
        maps->BuildTextures();
    }
    const int32_t textureCount = maps ? maps->GetTextureCount() : 0;

    SetSize(parsed.x, parsed.y, parsed.z);
    size_t cell = 0, withTextures = 0;
    // A grid without cells may still claim billions of columns: walk none.
    for (int32_t x = 0; x < (m_blocks.empty() ? 0 : m_x); ++x) {
        for (int32_t y = 0; y < m_y; ++y) {
            for (int32_t z = 0; z < m_z; ++z, ++cell) {
                if (!parsed.present[cell]) continue;
                IsoBlock* block = CreateBlock(x, y, z);
                const auto& faces = parsed.textures[withTextures++];
                for (int kind = 0; kind < 3; ++kind) {
                    const int32_t index = faces[kind];
                    if (index >= 0 && index < textureCount) block->AddTexture(kind, maps->GetTexture(index));
                }
            }
        }
    }
    state->holdDrawing = 0;
    return 0;
}

// ---- Grid ------------------------------------------------------------------

void IsometricMap::SetSize(int32_t x, int32_t y, int32_t z) {
    m_blocks.clear();
    m_x = std::max(x, 0);
    m_y = std::max(y, 0);
    m_z = std::max(z, 0);
    // Sizes come from files and from script-configured random levels: a grid
    // whose cell count would wrap or could never be allocated becomes an
    // empty one instead of a short grid indexed past its end.
    const uint64_t columns = uint64_t{static_cast<uint32_t>(m_x)} * static_cast<uint32_t>(m_y);
    if (m_z != 0 && columns > kMaxCells / static_cast<uint32_t>(m_z)) {
        std::fprintf(stderr, "IsometricMap::SetSize:  Failed, %d x %d x %d cells is too large\n", m_x, m_y, m_z);
        m_x = m_y = m_z = 0;
    }
    m_blocks.resize(static_cast<size_t>(m_x) * static_cast<size_t>(m_y) * static_cast<size_t>(m_z));
    m_allocated = 1;
}

IsoBlock* IsometricMap::GetBlock(int32_t x, int32_t y, int32_t z) const {
    if (x < 0 || y < 0 || z < 0 || x >= m_x || y >= m_y || z >= m_z) return nullptr;
    return m_blocks[CellIndex(x, y, z)].get();
}

IsoBlock* IsometricMap::CreateBlock(int32_t x, int32_t y, int32_t z) {
    if (x < 0 || y < 0 || z < 0 || x >= m_x || y >= m_y || z >= m_z) return nullptr;
    auto& slot = m_blocks[CellIndex(x, y, z)];
    if (!slot) slot = std::make_unique<IsoBlock>();
    return slot.get();
}

bool IsometricMap::IsBlocked(int32_t x, int32_t y, int32_t z, bool openAbove) const {
    if (x < -5 || y < -5 || z >= 1) return true;
    const int32_t cx = ToCell(x), cy = ToCell(y);
    // z <= 0 here; -z cannot overflow once z is above INT32_MIN.
    const int32_t cz = z == INT32_MIN ? INT32_MAX / kCellSize : ToCell(-z);
    if (cx >= m_x || cy >= m_y) return true;
    if (cz >= m_z) {
        if (openAbove) return false;
    } else if (GetBlock(cx, cy, cz)) {
        return true;
    }
    for (int32_t layer = 0; layer < m_z; ++layer)
        if (GetBlock(cx, cy, layer)) return false;
    return true;  // no ground under the column
}

// ---- Drawing ---------------------------------------------------------------

void IsometricMap::Draw(BitmapWrapper* target, Camera* camera) {
    if (!m_allocated) return;
    // Every display mode draws the same projected faces.
    if (m_drawMode == 0) DrawIsometric(target, camera);
}

void IsometricMap::DrawIsometric(BitmapWrapper* target, Camera* camera) {
    constexpr int64_t kFarOff = int64_t{1} << 30;
    if (target) target->SetAsTarget();
    m_cameraX = camera ? camera->GetX() : 0;
    m_cameraY = camera ? camera->GetY() : 0;
    int32_t px = 0, py = 0;
    if (PlayerVorn* player = GetGlobalState()->player) {
        if (const Dimensions* where = player->GetDimensions()) {
            auto column = [](double v) {
                v = std::trunc(v / kCellSize);
                return std::isfinite(v) ? static_cast<int32_t>(std::clamp(v, -1e9, 1e9)) : 0;
            };
            px = column(where->X);
            py = column(where->Y);
        }
    }
    const int32_t x0 = std::max(px - 18, 0), x1 = std::min(px + 22, m_x);
    const int32_t y0 = std::max(py - 18, 0), y1 = std::min(py + 22, m_y);
    // No column in view (a grid without cells may still claim billions of
    // layers): nothing to walk.
    if (x0 >= x1 || y0 >= y1 || m_blocks.empty()) return;
    for (int32_t z = 0; z < m_z; ++z) {
        for (int32_t x = x0; x < x1; ++x) {
            for (int32_t y = y0; y < y1; ++y) {
                const IsoBlock* block = m_blocks[CellIndex(x, y, z)].get();
                if (!block) continue;
                // In 64 bits: the camera may stand anywhere in the 32-bit
                // range. A block that far off the view is not drawn.
                const int64_t wideX = (int64_t{x} - y) * 30 + 300 - m_cameraX;
                const int64_t wideY = (int64_t{x} + y) * 15 - int64_t{z} * 30 + 200 - m_cameraY;
                if (wideX < -kFarOff || wideX > kFarOff || wideY < -kFarOff || wideY > kFarOff) continue;
                const int sx = static_cast<int>(wideX), sy = static_cast<int>(wideY);
                for (BitmapWrapper* b : block->GetWallL()) b->Draw(sx - 32, sy - 15, 0);
                for (BitmapWrapper* b : block->GetWallR()) b->Draw(sx - 1, sy - 15, 0);
                for (BitmapWrapper* b : block->GetFloor()) b->Draw(sx - 31, sy - 31, 0);
            }
        }
    }
}

// ---- Random-level configuration --------------------------------------------

void IsometricMap::SetSizes(int32_t minimum, int32_t maximum, int32_t layers) {
    m_minimumSize = minimum;
    m_maximumSize = maximum;
    m_layers = std::clamp(layers, 1, 5);
}

void IsometricMap::QueueTexture(const std::string& name) { m_textureQueue.push_back(name); }

RoomDefinition* IsometricMap::AddRoomDefinition(const std::string& name, std::unique_ptr<RoomDefinition> definition) {
    if (!definition) return nullptr;
    RoomDefinition* raw = definition.get();
    m_roomDefinitions.emplace_back(name, std::move(definition));
    return raw;
}

RoomDefinition* IsometricMap::FindRoomDefinition(const std::string& name) const {
    for (const auto& [entry, definition] : m_roomDefinitions)
        if (entry == name) return definition.get();
    return nullptr;
}

void IsometricMap::AddChoice(RoomDefinition* definition, int face, const std::string& name) {
    if (!definition) return;
    for (size_t i = 0; i < m_textureQueue.size(); ++i) {
        if (m_textureQueue[i] != name) continue;
        const int32_t index = static_cast<int32_t>(i);
        if (face == 0) definition->Floor().push_back(index);
        if (face == 1) definition->WallL().push_back(index);
        if (face == 2) definition->WallR().push_back(index);
        return;
    }
}

void IsometricMap::AddFloorTexture(RoomDefinition* definition, const std::string& name) {
    AddChoice(definition, 0, name);
}
void IsometricMap::AddWallLTexture(RoomDefinition* definition, const std::string& name) {
    AddChoice(definition, 1, name);
}
void IsometricMap::AddWallRTexture(RoomDefinition* definition, const std::string& name) {
    AddChoice(definition, 2, name);
}

int32_t IsometricMap::PickFloor(const RoomDefinition* definition) { return definition ? Pick(definition->Floor()) : 0; }
int32_t IsometricMap::PickWallL(const RoomDefinition* definition) { return definition ? Pick(definition->WallL()) : 0; }
int32_t IsometricMap::PickWallR(const RoomDefinition* definition) { return definition ? Pick(definition->WallR()) : 0; }

int32_t IsometricMap::PickFloor(const RoomDefinition* definition, const Source& source) {
    return definition ? PickWith(definition->Floor(), source) : 0;
}
int32_t IsometricMap::PickWallL(const RoomDefinition* definition, const Source& source) {
    return definition ? PickWith(definition->WallL(), source) : 0;
}
int32_t IsometricMap::PickWallR(const RoomDefinition* definition, const Source& source) {
    return definition ? PickWith(definition->WallR(), source) : 0;
}

void IsometricMap::ClearRoomDefinitions() {
    for (const auto& [name, definition] : m_roomDefinitions) {
        if (definition.get() == m_activeDefinition) m_activeDefinition = nullptr;
        if (definition.get() == m_pathDefinition) m_pathDefinition = nullptr;
    }
    m_roomDefinitions.clear();
    if (m_activeDefinition) {
        m_activeDefinition->Floor().clear();
        m_activeDefinition->WallL().clear();
        m_activeDefinition->WallR().clear();
    }
}

// ---- Random dungeon floors ---------------------------------------------------

int32_t IsometricMap::DrawBelow(int32_t n) {
    if (n <= 0) return 0;
    if (m_generator) return static_cast<int32_t>(m_generator->Next() % static_cast<uint32_t>(n));
    const int64_t r = RandomNext();
    return static_cast<int32_t>(((r % n) + n) % n);
}

bool IsometricMap::DrawGroundCell(int32_t* x, int32_t* y) {
    for (int draw = 0; draw < kCellDraws; ++draw) {
        const int32_t cx = DrawBelow(m_x);
        const int32_t cy = DrawBelow(m_y);
        if (!IsWalkableCell(cx, cy)) continue;
        *x = cx;
        *y = cy;
        return true;
    }
    return false;
}

bool IsometricMap::IsWalkableCell(int32_t x, int32_t y) const {
    if (m_walkable.empty()) return GetBlock(x, y, 0) != nullptr;
    return m_walkable[static_cast<size_t>(x) * static_cast<size_t>(m_y) + static_cast<size_t>(y)] != 0;
}

void IsometricMap::MarkWalkableFromPlayer() {
    m_walkable.clear();
    // The start: the player's column when it stands on ground, else the
    // first ground cell PlacePlayer would choose.
    int32_t start = -1;
    if (PlayerVorn* player = GetGlobalState()->player) {
        const Dimensions* where = player->GetDimensions();
        if (where && where->X >= 0 && where->Y >= 0 && where->X < static_cast<double>(m_x) * kCellSize &&
            where->Y < static_cast<double>(m_y) * kCellSize) {
            const int32_t x = static_cast<int32_t>(where->X) / kCellSize,
                          y = static_cast<int32_t>(where->Y) / kCellSize;
            if (GetBlock(x, y, 0)) start = x * m_y + y;
        }
    }
    for (int32_t x = 1; x < m_x && start < 0; ++x)
        for (int32_t y = 1; y < m_y && start < 0; ++y)
            if (GetBlock(x, y, 0)) start = x * m_y + y;
    if (start < 0) return;
    // Ground cells joined side by side: a column without ground is a wall,
    // and a mover cannot slip between two walls that meet at a corner.
    m_walkable.assign(static_cast<size_t>(m_x) * static_cast<size_t>(m_y), 0);
    std::vector<int32_t> open{start};
    m_walkable[start] = 1;
    while (!open.empty()) {
        const int32_t at = open.back();
        open.pop_back();
        const int32_t x = at / m_y, y = at % m_y;
        const std::array<std::pair<int32_t, int32_t>, 4> sides{{{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}};
        for (auto [nx, ny] : sides) {
            if (nx < 0 || ny < 0 || nx >= m_x || ny >= m_y) continue;
            const int32_t next = nx * m_y + ny;
            if (m_walkable[next] || !GetBlock(nx, ny, 0)) continue;
            m_walkable[next] = 1;
            open.push_back(next);
        }
    }
}

bool IsometricMap::StillActive() const {
    MapManager* maps = GetGlobalState()->mapManager;
    return !maps || maps->GetIsometricMap() == this;
}

void IsometricMap::GenerateRandom() {
    GlobalState* state = GetGlobalState();
    if (LuaManager* lua = state->luaManager) lua->RunFile(kGeneralScript, -1);
    if (!StillActive()) return;

    const int32_t minimum = m_minimumSize, maximum = m_maximumSize;
    if (minimum < GridGenerator::kMinSide || maximum < minimum || maximum > GridGenerator::kMaxSide) {
        std::fprintf(stderr, "IsometricMap::GenerateRandom:  Failed, sizes %i to %i are outside %i to %i\n", minimum,
                     maximum, GridGenerator::kMinSide, GridGenerator::kMaxSide);
        return;
    }
    int32_t side = minimum;
    if (maximum != minimum) {
        const int64_t r = RandomNext();
        side = static_cast<int32_t>(((r % (maximum - minimum)) + (maximum - minimum)) % (maximum - minimum)) + minimum;
    }
    const int32_t layers = m_layers;
    const auto seed = static_cast<uint32_t>(RandomNext());
    std::fprintf(stderr, "Generate level with seed %i\n", static_cast<int32_t>(seed));
    std::fprintf(stderr, "Size was %i %i %i\n", side, side, layers);

    GridGenerator generator;
    if (!generator.Generate(seed, side, side, layers, static_cast<double>(0.4f))) return;
    m_generator = &generator;
    const Source source = [&generator] { return generator.Next(); };

    // The floor's textures: the queued names, else grass and mud.
    MapManager* maps = state->mapManager;
    int32_t counter = 0;
    if (maps) {
        maps->FreeTextures();
        maps->ClearTextureLists();
        const std::vector<std::string> names =
            m_textureQueue.empty() ? std::vector<std::string>{"Grass", "Mud"} : m_textureQueue;
        for (const std::string& name : names) maps->AddNextTextureIndex(name, counter);
        m_textureQueue.clear();
        maps->BuildTextures();
    }
    auto texture = [maps](int32_t index) { return maps ? maps->GetTexture(index) : nullptr; };

    SetSize(side, side, layers);
    for (int32_t x = 0; x < side; ++x) {
        for (int32_t y = 0; y < side; ++y) {
            const uint8_t cell = generator.Get(x, y);
            if (cell == GridGenerator::kVoid) continue;
            IsoBlock* block = CreateBlock(x, y, 0);
            if (!block) continue;
            if (cell == GridGenerator::kCorridor) {
                block->AddTexture(0, texture(PickFloor(m_activeDefinition, source)));
                block->AddTexture(1, texture(PickWallL(m_activeDefinition, source)));
                block->AddTexture(2, texture(PickWallR(m_activeDefinition, source)));
            } else {
                block->AddTexture(0, texture(0));
                block->AddTexture(1, texture(1));
                block->AddTexture(2, texture(1));
            }
        }
    }
    // The first row and column are filled in, so the floor has an edge.
    auto edge = [&](int32_t x, int32_t y) {
        if (GetBlock(x, y, 0)) return;
        IsoBlock* block = CreateBlock(x, y, 0);
        for (int face = 0; block && face < 3; ++face) block->AddTexture(face, texture(DrawBelow(counter)));
    };
    for (int32_t x = 0; x < side; ++x) edge(x, 0);
    for (int32_t y = 0; y < side; ++y) edge(0, y);

    PlacePlayer();
    // Enemies and the stair go only where the player can walk to: the
    // cave's corridors may leave a pocket of ground cut off from the start.
    MarkWalkableFromPlayer();
    SpawnEnemies((side + side) / 8);
    if (StillActive()) PlaceUpStair();
    if (StillActive() && maps) maps->SetAmbientMusic(kFloorMusic);

    m_walkable.clear();
    m_generator = nullptr;
    generator.Free();
    ClearRoomDefinitions();
}

void IsometricMap::PlacePlayer() {
    TransitionState& record = GetTransitionState();
    if (record.placed) return;
    record.entityMode = 0;
    PlayerVorn* player = GetGlobalState()->player;
    for (int32_t x = 1; x < m_x; ++x) {
        for (int32_t y = 1; y < m_y; ++y) {
            if (!GetBlock(x, y, 0)) continue;
            if (player)
                player->SetPosition(static_cast<float>(x * kCellSize + kCellSize / 2),
                                    static_cast<float>(y * kCellSize + kCellSize / 2), -52.0f);
            record.placed = 1;
            return;
        }
    }
    std::fputs("IsometricMap::PlacePlayer:  Severe error, player was NOT placed!\n", stderr);
}

namespace {

// Registers the character in "NPC" under the name, makes it active and runs
// its constructor. False when the constructor took it away again.
bool RegisterAndConstruct(NonPlayingCharacter* character, const char* name, const char* constructor) {
    GlobalState* state = GetGlobalState();
    EntityManager* entities = state->entityManager;
    if (!entities) {
        delete character;
        return false;
    }
    entities->RegisterPointer(EntityManager::kNPC, name, character);
    entities->SetActiveEntity(character);
    if (LuaManager* lua = state->luaManager) lua->RunFile(constructor, -1);
    return entities->IsRegistered(character);
}

}  // namespace

void IsometricMap::SpawnEnemies(int32_t n) {
    int32_t placed = 0;
    for (int draw = 0; draw < kCellDraws && placed < n && StillActive(); ++draw) {
        const int32_t x = DrawBelow(m_x);
        const int32_t y = DrawBelow(m_y);
        if (!IsWalkableCell(x, y)) continue;
        ++placed;
        auto* enemy = new NPCWorldEnemy;
        if (!RegisterAndConstruct(enemy, "X", kEnemyConstructor)) continue;
        enemy->SetCoordinates(x * kCellSize + kCellSize / 2, y * kCellSize + kCellSize / 2, -42);
        enemy->SetDetectRange(2000);
        enemy->SetAggroRange(100);
        enemy->MarkAppearanceDirty();
        enemy->SetActiveStateByName("Stationary");
    }
}

void IsometricMap::PlaceUpStair() {
    int32_t x = 0, y = 0;
    if (!DrawGroundCell(&x, &y)) return;
    auto* stair = new NPCStaticDialogue;
    stair->SetInternalName("UpStair");
    if (!RegisterAndConstruct(stair, "UpStair", kUpStairConstructor)) return;
    stair->SetCoordinates(x * kCellSize + kCellSize / 2, y * kCellSize + kCellSize / 2, -42);
}
