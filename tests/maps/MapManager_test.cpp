#include "maps/MapManager.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "ArchiveWriter.h"
#include "LevelFiles.h"
#include "core/base/GlobalState.h"
#include "core/base/TransitionState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/SoundManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/PathManager.h"
#include "core/script/ScriptVariableSet.h"
#include "gui/GUIManager.h"
#include "maps/Chunk.h"
#include "maps/ChunkStreamer.h"
#include "maps/DeferredJobQueue.h"
#include "support/AllegroTestEnv.h"
#include "support/FakeAudioBackend.h"
#include "support/LoggingEntity.h"
#include "support/LuaTestState.h"
#include "support/PixelRead.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"

using testsupport::LoggingEntity;
using testsupport::Stderr;
using testsupport::StderrCapture;

namespace {

// The window size the camera is prepared with, set before the test state
// makes its "Default" camera.
struct WindowSize {
    WindowSize() {
        testsupport::EnsureAllegro();
        GlobalState* state = GetGlobalState();
        savedWidth = state->windowWidth, savedHeight = state->windowHeight;
        state->windowWidth = 320, state->windowHeight = 240;
    }
    ~WindowSize() {
        GetGlobalState()->windowWidth = savedWidth;
        GetGlobalState()->windowHeight = savedHeight;
    }
    int32_t savedWidth, savedHeight;
};

class MapManagerTest : public ::testing::Test {
protected:
    MapManagerTest() : maps(lua.Maps()) {
        lua.Paths().AddPath("Maps", "Maps/");
        lua.Paths().AddPath("MapScripts", "Scripts/Maps/");
        lua.Paths().AddPath("Decompress", "Cache/");
    }
    // What loading the named map prints.
    std::string Load(const std::string& name) {
        StderrCapture cap;
        maps.TransitionMap(name);
        return cap.Take();
    }
    Camera* FirstCamera() { return lua.Cameras().GetCameraByIndex(0); }

    WindowSize window;
    testsupport::TempDir dir;
    testsupport::LuaTestState lua;
    MapManager& maps;
};

TEST_F(MapManagerTest, LevelLoadsPrepareTheCameraAndRunTheMapScript) {
    dir.WriteFile("Maps/Town.plf", testlevels::TinyLevel());
    dir.WriteFile("Scripts/Maps/Town.lua", "runs = (runs or 0) + 1 code = GetScriptCode()");
    Camera* camera = FirstCamera();
    ASSERT_NE(camera, nullptr);
    camera->SetIsometric(true);
    camera->SetBoundaries(5, 5, 9000, 9000);

    EXPECT_EQ(Load("Town"), "");
    EXPECT_EQ(lua.GetNumber("runs"), 1);
    EXPECT_EQ(lua.GetNumber("code"), -2);
    EXPECT_FALSE(camera->IsIsometric());
    // The camera's boundaries are the level's: one chunk of 256 x 256.
    EXPECT_EQ(camera->GetMinX(), 0);
    EXPECT_EQ(camera->GetMaxX(), 256);
    EXPECT_EQ(camera->GetMaxY(), 256);
    EXPECT_EQ(camera->GetWidth(), 320);
    EXPECT_EQ(*maps.GetMapName(), "Town");
    EXPECT_FALSE(maps.IsIsometric());
    EXPECT_FALSE(maps.IsDefinedMapMode());

    // A level without a script still loads.
    dir.WriteFile("Maps/Field.plf", testlevels::TinyLevel());
    EXPECT_EQ(Load("Field"), "No matching script file found.\n");

    // An isometric map file is tried first; one that cannot be read is
    // reported and the level file of the same name is loaded instead.
    dir.WriteFile("Maps/Town.slf", "blocks");
    EXPECT_EQ(Load("Town"), "ReadFile:  FAILURE, blocks it the wrong file version\n");
    EXPECT_EQ(lua.GetNumber("runs"), 2);

    // Without a camera the level is not loaded and its script does not run.
    lua.Cameras().ClearCameras();
    EXPECT_EQ(Load("Town"),
              "ReadFile:  FAILURE, blocks it the wrong file version\n"
              "Failed to find default camera!\n");
    EXPECT_EQ(lua.GetNumber("runs"), 2);
}

TEST_F(MapManagerTest, MissingFilesReservedNamesAndForcedMaps) {
    // A script for a map with no map file never runs.
    dir.WriteFile("Scripts/Maps/Nowhere.lua", "ran = 1");
    EXPECT_EQ(Load("Nowhere"), "Failed to find file of either .slf or .plf extension!\n");
    EXPECT_TRUE(lua.IsNil("ran"));
    EXPECT_FALSE(maps.IsBlocked(0, 0, 0));

    // No target at all: the fallback room.
    MapManager fresh;
    StderrCapture cap;
    fresh.LoadMapFile();
    EXPECT_EQ(cap.Take(),
              "MapManager::LoadMapFile:  Warning, path not set.  Dropping to DebugRoom.\n"
              "Failed to find file of either .slf or .plf extension!\n");
    EXPECT_EQ(*fresh.GetMapName(), "DebugRoom");

    // "MAPNONE" is an empty defined map: no script, no camera change.
    dir.WriteFile("Maps/MAPNONE.plf", testlevels::TinyLevel());
    dir.WriteFile("Scripts/Maps/MAPNONE.lua", "ran = 1");
    FirstCamera()->SetIsometric(true);
    EXPECT_EQ(Load("MAPNONE"), "");
    EXPECT_TRUE(maps.IsDefinedMapMode());
    EXPECT_TRUE(lua.IsNil("ran"));
    EXPECT_TRUE(FirstCamera()->IsIsometric());
    ASSERT_NE(maps.GetDefinedMap(), nullptr);
    EXPECT_TRUE(maps.IsBlocked(3, 4, 0));  // no cells yet: all outside
    // In lower case it is an ordinary name, and the defined map is gone.
    EXPECT_EQ(Load("mapnone"), "Failed to find file of either .slf or .plf extension!\n");
    EXPECT_FALSE(maps.IsDefinedMapMode());

    // "MAPRANDOM" builds a floor; without its general script the default
    // sizes serve, and the map file of that name is never read.
    dir.WriteFile("Maps/MAPRANDOM.plf", testlevels::TinyLevel());
    const std::string random = Load("MAPRANDOM");
    EXPECT_NE(random.find("Generate level with seed "), std::string::npos) << random;
    EXPECT_TRUE(maps.IsIsometric());
    EXPECT_EQ(maps.GetDefinedMap(), nullptr);

    // "-map" sends every load to its map.
    GlobalState* state = GetGlobalState();
    state->forcedMap = 1;
    state->forcedMapName = "MAPNONE";
    maps.SetLoadTarget("Elsewhere");
    std::string forced = *maps.GetMapName();
    state->forcedMap = 0;
    state->forcedMapName.clear();
    EXPECT_EQ(forced, "MAPNONE");
}

TEST_F(MapManagerTest, UnloadClearsEntitiesEvenWhenTheirOwnUpdateChangesTheMap) {
    std::string log;
    auto* first = new LoggingEntity("a", log);
    auto* second = new LoggingEntity("b", log);
    lua.Entities().RegisterPointer("NPC", "a", first);
    lua.Entities().RegisterPointer("NPC", "b", second);
    lua.Entities().RegisterPointer("Object", "crate", new LoggingEntity("crate", log));
    // The first character's update (a click on it) loads another map.
    first->onUpdate = [this] { maps.TransitionMap("MAPNONE"); };
    lua.Maps().GetEnvironmentVariables()->AddNumber("kept", 7);
    maps.ChangeFloor(2, true);

    Stderr([&] { maps.ProcessEvent(0, 12, 34); });
    // "b" was deleted by the load before its turn, so it was never updated;
    // every deletion waited for the walk to end.
    EXPECT_EQ(log, "u:a gone:a gone:b gone:crate ");
    EXPECT_EQ(lua.Entities().GetEntityCount(), 0);
    EXPECT_EQ(lua.Entities().GetMouseState(), 0);
    EXPECT_EQ(lua.Gui().GetMouseX(), 12.0f);
    EXPECT_EQ(lua.Gui().GetMouseY(), 34.0f);
    EXPECT_TRUE(maps.IsDefinedMapMode());
    // The environment and the floor outlive map changes.
    EXPECT_EQ(maps.GetEnvironmentVariables()->GetNumber("kept"), 7);
    EXPECT_EQ(maps.GetFloor(), 2);
}

TEST_F(MapManagerTest, TickEndsAHeldDrawingAndDropsQueuedEvents) {
    GlobalState* state = GetGlobalState();
    ALLEGRO_EVENT_QUEUE* queue = al_create_event_queue();
    ALLEGRO_EVENT_SOURCE source;
    al_init_user_event_source(&source);
    al_register_event_source(queue, &source);
    ALLEGRO_EVENT event{};
    event.user.type = ALLEGRO_GET_EVENT_TYPE('T', 'E', 'S', 'T');
    al_emit_user_event(&source, &event, nullptr);
    ALLEGRO_EVENT_QUEUE* savedQueue = state->eventQueue;
    state->eventQueue = queue;

    state->holdDrawing = 1;
    maps.ProcessEvent(7, 0, 0);  // not an event code: ignored
    bool heldAfterUnknown = state->holdDrawing == 1;
    bool queuedAfterUnknown = !al_is_event_queue_empty(queue);
    maps.ProcessEvent(-1, -1, -1);
    bool heldAfterTick = state->holdDrawing == 1;
    bool queuedAfterTick = !al_is_event_queue_empty(queue);

    state->eventQueue = savedQueue;
    al_destroy_event_queue(queue);
    al_destroy_user_event_source(&source);
    EXPECT_TRUE(heldAfterUnknown);
    EXPECT_TRUE(queuedAfterUnknown);
    EXPECT_FALSE(heldAfterTick);
    EXPECT_FALSE(queuedAfterTick);
}

TEST_F(MapManagerTest, FloorsStayInRange) {
    StderrCapture cap;
    maps.ChangeFloor(1, false);
    // A floor above 0 asks for a generated level, dropped at (350, 200, 0).
    EXPECT_EQ(GetTransitionState().mapName.value_or(""), "MAPRANDOM");
    EXPECT_EQ(GetTransitionState().dropX, 350);
    EXPECT_EQ(GetGlobalState()->stateSwitchRequest, 1);
    maps.ChangeFloor(-1, false);  // below 1: back to the fallback room, floor 0
    EXPECT_EQ(GetTransitionState().mapName.value_or(""), "DebugRoom");
    maps.ChangeFloor(INT32_MIN, true);
    maps.ChangeFloor(INT32_MAX, false);
    maps.ChangeFloor(INT32_MIN, false);
    EXPECT_EQ(cap.Take(),
              "Current floor is 1\nCurrent floor is 0\n"
              "Current floor is 2147483647\nCurrent floor is 2147483647\nCurrent floor is 0\n");
    ClearTransitionState();
    GetGlobalState()->stateSwitchRequest = 0;
}

TEST_F(MapManagerTest, AmbientMusicIsChosenOncePerMap) {
    FakeAudioBackend fake;
    double now = 10.0;
    SoundManager sound([&now] { return now; });
    GlobalState* state = GetGlobalState();
    state->noMusic = 0;
    AudioRecord* theme = sound.RegisterMusic("Theme", sound.CreateHandleCell(fake.StreamCreateFile("t.ogg", 0)));
    AudioRecord* cave = sound.RegisterMusic("Cave", sound.CreateHandleCell(fake.StreamCreateFile("c.ogg", 0)));
    SoundManager* savedSound = state->soundManager;
    state->soundManager = &sound;

    EXPECT_EQ(Stderr([&] {
                  maps.SetAmbientMusic("Theme");
                  maps.SetAmbientMusic("Cave");  // the map already chose
              }),
              "");
    EXPECT_EQ(sound.CountFadingIn(theme), 1u);
    EXPECT_EQ(sound.CountFadingIn(cave), 0u);
    for (int i = 0; i < 10; ++i) now += 1.0, sound.Update();
    EXPECT_EQ(sound.CountFadingIn(theme), 0u);

    // The next map asks for the same track: it plays on untouched.
    maps.Unload();
    EXPECT_EQ(Stderr([&] { maps.SetAmbientMusic("Theme"); }), "Music names are the same, don't change\n");
    EXPECT_EQ(sound.CountFadingIn(theme) + sound.CountFadingOut(theme), 0u);

    // A different track replaces it.
    maps.Unload();
    maps.SetAmbientMusic("Cave");
    EXPECT_EQ(sound.CountFadingOut(theme), 1u);
    EXPECT_EQ(sound.CountFadingIn(cave), 1u);
    EXPECT_EQ(*maps.GetAmbientMusicName(), "Cave");

    // "NONE" fades the track out and starts nothing.
    maps.Unload();
    maps.SetAmbientMusic("NONE");
    EXPECT_EQ(sound.CountFadingOut(cave), 1u);
    EXPECT_FALSE(maps.GetAmbientMusicName().has_value());
    state->soundManager = savedSound;
}

TEST_F(MapManagerTest, TextureLookupFromTheArchiveOfTheHeading) {
    sif::ArchiveWriter writer;
    sif::Picture pixel{1, 1, {1, 2, 3, 255}};
    ASSERT_TRUE(writer.AddImage("Grass", pixel));
    ASSERT_TRUE(writer.AddImage("Mud", pixel));
    std::filesystem::create_directories("Data");
    ASSERT_TRUE(writer.WriteFile("Data/Tiles.sif", true));

    auto build = [&] { return Stderr([&] { maps.BuildLookupList(); }); };
    EXPECT_EQ(build(), "MapManager:  Warning, cannot build lookup list, rTextureFileHeading was invalid.\n");

    DataLibrary& library = lua.Library();
    library.AddSection("Images");
    library.AddCatalogue("Images", "Maps");
    maps.SetTextureFileHeading(library.AddHeading("Images", "Maps", "Broken"));
    EXPECT_EQ(build(), "MapManager:  Warning, no StandardTextures was found\n");

    // An entry of another kind is not a texture file.
    TextureFile missing{"Data/Missing\x1b.sif"}, tiles{"Data/Tiles.sif"};
    library.Register("Images", "Maps", "Broken", "StandardTextures", &missing, DataKind::Font);
    EXPECT_EQ(build(), "MapManager:  Warning, no StandardTextures was found\n");
    // An archive that does not open leaves the lists as they were.
    library.Register("Images", "Maps", "Broken", "StandardTextures", &missing, DataKind::TextureFile);
    EXPECT_EQ(build(), "MapManager:  Warning, cannot build lookup list, could not open Data/Missing\\x1b.sif\n");
    EXPECT_EQ(maps.GetLookupCount(), 0u);
    EXPECT_EQ(maps.GetTextureFileEntries("Data/Missing\x1b.sif"), nullptr);

    maps.SetTextureFileHeading(library.AddHeading("Images", "Maps", "Textures"));
    library.Register("Images", "Maps", "Textures", "StandardTextures", &tiles, DataKind::TextureFile);
    EXPECT_EQ(build(), "");
    ASSERT_EQ(maps.GetLookupCount(), 2u);
    const TextureLookupEntry* grass = maps.FindTextureEntry("Grass");
    const TextureLookupEntry* mud = maps.FindTextureEntry("Mud");
    ASSERT_TRUE(grass && mud);
    // Entries name the archive they came from, so textures are taken from it.
    EXPECT_EQ(grass->fileName, "Data/Tiles.sif");
    EXPECT_NE(grass->dataOffset, mud->dataOffset);

    int32_t counter = 0;
    maps.AddNextTextureIndex("Mud", counter);
    {
        StderrCapture cap;
        maps.AddNextTextureIndex("Stone", counter);  // unknown: skipped with a line, still counted
        EXPECT_EQ(cap.Take(),
                  "MapManager::AddTextureIndex:  Warning, no texture Stone is known; its faces stay blank\n");
    }
    maps.AddNextTextureIndex("Grass", counter);
    EXPECT_EQ(counter, 3);
    EXPECT_EQ(maps.GetTextureCount(), 3);  // every index handed out has its slot
    EXPECT_EQ(mud->textureIndex, 0);
    EXPECT_EQ(grass->textureIndex, 2);
    const auto* used = maps.GetTextureFileEntries("Data/Tiles.sif");
    ASSERT_NE(used, nullptr);
    ASSERT_EQ(used->size(), 2u);
    EXPECT_EQ((*used)[0], mud);

    // A new map's textures start afresh; the lookup stays.
    maps.FreeTextures();
    maps.ClearTextureLists();
    EXPECT_EQ(maps.GetTextureCount(), 0);
    EXPECT_TRUE(used->empty());
    // A second build appends; lookups find the first set.
    maps.BuildLookupList();
    EXPECT_EQ(maps.GetLookupCount(), 4u);
    EXPECT_EQ(maps.FindTextureEntry("Grass"), grass);
}

}  // namespace

TEST_F(MapManagerTest, ChunkedLevelsStreamBlockAndDrawInTwoPasses) {
    plf::LevelWriter level(1, 2);
    level.SetTile(5, 300, plf::Tile{0, 0, 0, 0, 1, 0});        // blocked, in chunk (0, 1)
    level.SetTile(2, 2, plf::Tile{200, 10, 10, 255, 0, 128});  // drawn over the entities
    level.SetTile(3, 2, plf::Tile{10, 200, 10, 255, 0, 0});    // drawn under them
    dir.WriteFile("Maps/Meadow.plf", testlevels::LevelFile(level));
    EXPECT_EQ(Load("Meadow"), "No matching script file found.\n");
    ASSERT_NE(maps.GetChunkStreamer(), nullptr);
    EXPECT_EQ(FirstCamera()->GetMaxY(), 512);

    // Nothing is loaded before the first tick streams the chunks in.
    EXPECT_FALSE(maps.IsBlocked(5, 300, 0));
    maps.ProcessEvent(-1, -1, -1);
    EXPECT_TRUE(maps.IsBlocked(5, 300, 0));
    EXPECT_FALSE(maps.IsBlocked(5, 301, 0));
    EXPECT_FALSE(maps.IsBlocked(5, 300 + 512, 0));

    Camera camera(0, 0, 8, 8);
    BitmapWrapper target(8, 8, nullptr);
    target.ClearToTransparent();
    auto pixel = [&](int x, int y) { return testsupport::PixelAt(&target, x, y); };
    maps.Draw(&target, &camera, false);
    EXPECT_EQ(pixel(3, 2), (testsupport::Rgba{10, 200, 10, 255}));
    EXPECT_EQ(pixel(2, 2), (testsupport::Rgba{0, 0, 0, 0}));
    maps.Draw(&target, &camera, true);
    EXPECT_EQ(pixel(2, 2), (testsupport::Rgba{200, 10, 10, 255}));
    // Hidden map: neither pass draws.
    target.ClearToTransparent();
    maps.SetMapDisplayState(false);
    maps.Draw(&target, &camera, false);
    maps.Draw(&target, &camera, true);
    EXPECT_EQ(pixel(3, 2), (testsupport::Rgba{0, 0, 0, 0}));
    maps.SetMapDisplayState(true);

    // Leaving the level closes it and removes the working file.
    const std::string working = maps.GetChunkStreamer()->GetWorkingFileName();
    EXPECT_TRUE(std::filesystem::exists(working));
    EXPECT_EQ(Load("MAPNONE"), "");
    EXPECT_EQ(maps.GetChunkStreamer(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(working));
    EXPECT_TRUE(maps.IsBlocked(5, 300, 0));  // the empty defined map holds no cell
}

// As the game runs it, one deferred job a tick: a wall in a chunk of the
// window that no view shows blocks a character from the first tick on, and
// the whole window is built over the following ticks.
TEST_F(MapManagerTest, WallsOutOfSightBlockAtOnceAndTheWholeWindowIsBuilt) {
    GlobalState* state = GetGlobalState();
    DeferredJobQueue jobs;
    DeferredJobQueue* saved = state->deferredJobs;
    state->deferredJobs = &jobs;
    plf::LevelWriter level(8, 2);
    for (uint32_t y = 0; y < 512; ++y) level.SetTile(2 * 256 + 10, y, plf::Tile{0, 0, 0, 255, 1, 0});
    dir.WriteFile("Maps/Walled.plf", testlevels::LevelFile(level));
    EXPECT_EQ(Load("Walled"), "No matching script file found.\n");
    ChunkStreamer* streamer = maps.GetChunkStreamer();
    ASSERT_NE(streamer, nullptr);
    // The camera shows 320 x 240 from (0, 0); the wall is 200 pixels east
    // of it, in chunk (2, 0), and the same in chunk (2, 1).
    maps.ProcessEvent(-1, -1, -1);
    EXPECT_FALSE(maps.IsBlocked(2 * 256 + 9, 100, 0));
    EXPECT_TRUE(maps.IsBlocked(2 * 256 + 10, 100, 0));
    EXPECT_TRUE(maps.IsBlocked(2 * 256 + 10, 256 + 100, 0));

    int ticks = 0;
    for (; streamer->CountPending() > 0 && ticks < 1000; ++ticks) {
        jobs.Run(0.0166, true);
        maps.ProcessEvent(-1, -1, -1);
    }
    // Chunks 0-4 x 0-1 less the four in sight (with the margin), a stage a
    // tick.
    EXPECT_EQ(ticks, 6 * Chunk::kStageCount);
    for (int cx = 0; cx < 5; ++cx)
        for (int cy = 0; cy < 2; ++cy) EXPECT_TRUE(streamer->GetChunkAt(cx * 256, cy * 256)->IsReady());
    EXPECT_EQ(testsupport::PixelAt(streamer->GetChunkAt(512, 0)->GetForeground(), 10, 200),
              (testsupport::Rgba{0, 0, 255, 255}));
    EXPECT_EQ(streamer->GetChunkAt(5 * 256, 0), nullptr);
    state->deferredJobs = saved;
}

// Streaming with the deferred job queue: the chunks in sight are built at
// once, the next one out of sight a stage at a time in the frames' spare
// time; one still in its stages when the camera comes to it is built whole.
TEST_F(MapManagerTest, ChunksOutOfSightAreBuiltInStagesAndFinishedWhenSeen) {
    GlobalState* state = GetGlobalState();
    DeferredJobQueue jobs;
    DeferredJobQueue* saved = state->deferredJobs;
    state->deferredJobs = &jobs;
    dir.WriteFile("Maps/Wide.plf", testlevels::LevelFile(plf::LevelWriter(8, 2)));
    EXPECT_EQ(Load("Wide"), "No matching script file found.\n");
    ChunkStreamer* streamer = maps.GetChunkStreamer();
    ASSERT_NE(streamer, nullptr);
    Camera* camera = FirstCamera();  // 320 x 240 at (0, 0): chunks 0-1 x 0
    maps.ProcessEvent(-1, -1, -1);

    auto ready = [&](int cx) {
        Chunk* chunk = streamer->GetChunkAt(cx * 256, 0);
        return chunk && chunk->IsReady();
    };
    EXPECT_TRUE(ready(0));
    EXPECT_TRUE(ready(1));
    // The next chunk is queued in stages and not built yet.
    ASSERT_NE(streamer->GetChunkAt(2 * 256, 0), nullptr);
    EXPECT_FALSE(ready(2));
    EXPECT_EQ(jobs.GetCount(), Chunk::kStageCount);
    // No other chunk starts its stages while one is in them.
    maps.ProcessEvent(-1, -1, -1);
    EXPECT_EQ(jobs.GetCount(), Chunk::kStageCount);
    jobs.Run(60.0, false);
    EXPECT_TRUE(ready(2));

    // The next pass queues the next chunk; it comes into sight before its
    // stages ran and is finished at once.
    maps.ProcessEvent(-1, -1, -1);
    ASSERT_NE(streamer->GetChunkAt(2 * 256, 256), nullptr);
    EXPECT_FALSE(streamer->GetChunkAt(2 * 256, 256)->IsReady());
    EXPECT_EQ(jobs.GetCount(), Chunk::kStageCount);
    camera->SetBoundaries(0, 0, 8 * 256, 2 * 256);
    while (camera->GetX() != 2 * 256 || camera->GetY() != 256)
        camera->MoveBy(2 * 256 - camera->GetX(), 256 - camera->GetY());
    Chunk* queued = streamer->GetChunkAt(2 * 256, 256);
    maps.ProcessEvent(-1, -1, -1);
    // Every chunk the view touches is built: chunks 2-3 x 1; the queued one
    // was made again whole, and the stages now queued are another chunk's.
    for (int cx = 2; cx <= 3; ++cx) {
        Chunk* chunk = streamer->GetChunkAt(cx * 256, 256);
        ASSERT_NE(chunk, nullptr);
        EXPECT_TRUE(chunk->IsReady()) << cx;
    }
    EXPECT_NE(streamer->GetChunkAt(2 * 256, 256), queued);
    EXPECT_EQ(jobs.GetCount(), Chunk::kStageCount);
    jobs.Run(60.0, false);
    EXPECT_EQ(jobs.GetCount(), 0);
    state->deferredJobs = saved;
}
