// Whole-program frame benchmark. Runs the real program's start-up, tick and
// frame code on the sample game (the current directory must be a copy of
// game/, under Xvfb), and beside it a plain Allegro program of our own that
// draws the same things on the same display. Every figure it prints is a
// ratio to that reference, measured in the same run.
//
//   bench_FrameBench frame N [walking] [script] [windows] [scripted]
//                                                 N characters on the sample level;
//                                                 "windows" keeps its welcome window open;
//                                                 "scripted": made by a script through
//                                                 EM_NPC_CreateNPC (standing)
//   bench_FrameBench stream                       running diagonally over a 16 x 16-chunk level
//   bench_FrameBench startup                      start-up to the first frame, against a bare window
//
// Output lines start with "bench:" and are key=value pairs, so scripts/bench
// can print them as they are.
#include <allegro5/allegro.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "LevelWriter.h"
#include "app/CommandLine.h"
#include "app/FrameContext.h"
#include "app/GameStates.h"
#include "app/Program.h"
#include "core/base/FramePhases.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/DisplayManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "maps/Chunk.h"
#include "maps/ChunkStreamer.h"
#include "maps/DeferredJobQueue.h"
#include "maps/MapManager.h"
#include "world/Animation.h"
#include "world/AnimationState.h"
#include "world/Camera.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/PlayerVorn.h"
#include "world/ai/AIDrawingList.h"
#include "world/ai/AIDrawingPackage.h"
#include "world/ai/AIManager.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Worst(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

constexpr int kSpriteW = 18, kSpriteH = 28, kDirections = 8, kWalkFrames = 4;

// A small figure: a body, a head and legs that move with the frame number,
// coloured by direction, on a transparent ground.
ALLEGRO_BITMAP* MakeSprite(int direction, int frame) {
    ALLEGRO_BITMAP* bitmap = al_create_bitmap(kSpriteW, kSpriteH);
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    al_set_target_bitmap(bitmap);
    al_clear_to_color(al_map_rgba(0, 0, 0, 0));
    ALLEGRO_LOCKED_REGION* region = al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ABGR_8888, ALLEGRO_LOCK_WRITEONLY);
    for (int y = 0; y < kSpriteH; ++y) {
        auto* row = reinterpret_cast<uint8_t*>(region->data) + y * region->pitch;
        for (int x = 0; x < kSpriteW; ++x) {
            uint8_t* p = row + x * 4;
            bool head = (x - 9) * (x - 9) + (y - 5) * (y - 5) <= 16;
            bool body = x >= 4 && x < 14 && y >= 9 && y < 20;
            int stride = (frame % 2) ? 2 : -2;
            bool legs = y >= 20 &&
                        ((x >= 5 + stride / 2 && x < 8 + stride / 2) || (x >= 10 - stride / 2 && x < 13 - stride / 2));
            uint8_t a = (head || body || legs) ? 255 : 0;
            p[0] = a ? static_cast<uint8_t>(60 + direction * 24) : 0;
            p[1] = a ? static_cast<uint8_t>(head ? 210 : 90 + frame * 30) : 0;
            p[2] = a ? static_cast<uint8_t>(body ? 200 - direction * 20 : 80) : 0;
            p[3] = a;
        }
    }
    al_unlock_bitmap(bitmap);
    if (previous) al_set_target_bitmap(previous);
    return bitmap;
}

struct Mover {
    NonPlayingCharacter* npc;
    double x, y, dx, dy;
    int direction;
    // A scripted character's picture and where it goes from the centre.
    ALLEGRO_BITMAP* still = nullptr;
    int offsetX = 9, offsetY = 28;
};

// Characters with a standing and a walking animation, through the same
// objects a map script would set up: frames in the data library, two
// animations, a drawing package, a drawing list whose state tree watches
// the character's "Walking" and "Stationary" flags.
struct Crowd {
    std::vector<Mover> movers;
    std::vector<ALLEGRO_BITMAP*> sprites;  // the reference draws these
    bool walking = false;

    ALLEGRO_BITMAP* Sprite(int direction, int frame) const { return sprites[direction * kWalkFrames + frame]; }

    void Build(int count, bool walk, bool script) {
        walking = walk;
        GlobalState* state = GetGlobalState();
        DataLibrary* library = state->dataLibrary;
        uint8_t* gl = &state->openGLMode;
        library->AddSection("Images");
        library->AddCatalogue("Images", "Bench");
        library->AddHeading("Images", "Bench", "Crowd");
        for (int d = 0; d < kDirections; ++d) {
            for (int f = 0; f < kWalkFrames; ++f) {
                ALLEGRO_BITMAP* bitmap = MakeSprite(d, f);
                sprites.push_back(bitmap);
                BitmapWrapper* wrapper = BitmapWrapper::WrapBitmap(bitmap, gl);
                std::string name = "Walk" + std::to_string(d) + "_" + std::to_string(f);
                library->Register("Images", "Bench", "Crowd", name.c_str(), wrapper, DataKind::Bitmap);
            }
        }
        auto* stand = new Animation();
        auto* walkAnim = new Animation();
        stand->SetDirections(kDirections);
        stand->SetFrames(1);
        stand->AllocateTable();
        walkAnim->SetDirections(kDirections);
        walkAnim->SetFrames(kWalkFrames);
        walkAnim->AllocateTable();
        stand->SetActiveHeading("Images", "Bench", "Crowd");
        walkAnim->SetActiveHeading("Images", "Bench", "Crowd");
        for (int d = 0; d < kDirections; ++d) {
            stand->SetAnimationFrame(d, 0, ("Walk" + std::to_string(d) + "_0").c_str());
            for (int f = 0; f < kWalkFrames; ++f)
                walkAnim->SetAnimationFrame(d, f, ("Walk" + std::to_string(d) + "_" + std::to_string(f)).c_str());
        }
        stand->SetDuration(10);
        walkAnim->SetDuration(8);
        state->aiManager->AddAnimation("BenchStand", stand);
        state->aiManager->AddAnimation("BenchWalk", walkAnim);
        auto* package = new AIDrawingPackage();
        package->AllocateSpace(2);
        package->SetAnimation(0, stand);
        package->SetAnimation(1, walkAnim);
        state->aiManager->AddDrawingPackage("BenchBody", package);

        Dimensions* centre = state->player ? state->player->GetDimensions() : nullptr;
        const double cx = centre ? centre->X : 400, cy = centre ? centre->Y : 300;
        uint32_t seed = 12345;
        auto next = [&seed](int range) {
            seed = seed * 1103515245u + 12345u;
            return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
        };
        EntityManager* entities = state->entityManager;
        for (int i = 0; i < count; ++i) {
            auto* npc = new NonPlayingCharacter();
            std::string name = "Crowd" + std::to_string(i);
            npc->SetInternalName(name);
            entities->RegisterPointer(EntityManager::kNPC, name.c_str(), npc);
            entities->SetActiveEntity(npc);
            npc->SetBoundaryOffsets(-5, 5, -5, 5, -28, 0);
            npc->SetDisplayData(-9, -28, kSpriteW, kSpriteH);
            npc->AllocateStateVariables(2);
            npc->SetStateVariable(0, "Stationary", walk ? 0 : 1);
            npc->SetStateVariable(1, "Walking", walk ? 1 : 0);
            AIDrawingList* list = npc->GetDrawingList();
            list->AddAI("Body", package);
            list->GetStateTrees().Add("Walk", new AnimationState(1, "NPC", "", "St|Walking", 0));
            list->GetStateTrees().Add("Stand", new AnimationState(0, "NPC", "", "St|Stationary", 0));
            Mover m{npc, cx - 380 + next(760), cy - 270 + next(560), 0, 0, next(kDirections)};
            const double angle = m.direction * 3.14159265358979 / 4;
            m.dx = std::cos(angle) * 2.2;
            m.dy = std::sin(angle) * 2.2;
            npc->SetCoordinates(static_cast<int32_t>(m.x), static_cast<int32_t>(m.y), 0);
            npc->SetAnimTimerAndDirection(next(40), m.direction);
            if (script) npc->SetDefaultScript("Data/Scripts/NPCs/Bramle/Constructor.lua");
            movers.push_back(m);
        }
    }

    // Characters a map script makes: count "DialogueNPC"s dressed as the
    // sample game's elder, by EM_NPC_CreateNPC and a constructor script of
    // their own, standing about the player.
    bool BuildScripted(int count) {
        GlobalState* state = GetGlobalState();
        const char* constructor =
            "NPC_SetBoundaryOffsetsData(-9, 9, -28, 2, -28, 0)\n"
            "NPC_SetDisplayData(10, 28, 20, 30)\n"
            "NPC_AllocateStateVariables(1)\n"
            "NPC_SetStateVariable(0, 'Stationary', 1)\n"
            "AIM_SetActiveAIObject('DrawingList', 'NPC', CrowdName, 'AIDrawingList')\n"
            "AIDL_AddAI('Body', 'ElderLook')\n"
            "AIDL_SetBaseStateToActive()\n"
            "AIS_AddState('Standing', 0, 'NPC', CrowdName, 'St|Stationary', 0)\n";
        std::filesystem::create_directories("Data/Scripts/NPCs/BenchCrowd");
        if (FILE* file = std::fopen("Data/Scripts/NPCs/BenchCrowd/Constructor.lua", "wb")) {
            std::fputs(constructor, file);
            std::fclose(file);
        }
        Dimensions* centre = state->player ? state->player->GetDimensions() : nullptr;
        const int cx = centre ? static_cast<int>(centre->X) : 400, cy = centre ? static_cast<int>(centre->Y) : 300;
        std::string chunk =
            "for i = 0, " + std::to_string(count - 1) +
            " do\n"
            "  CrowdName = 'Crowd' .. i\n"
            "  EM_NPC_CreateNPC(CrowdName, 'DialogueNPC', 'Data/Scripts/NPCs/BenchCrowd/Constructor.lua')\n"
            "  NPC_SetPositionData(" +
            std::to_string(cx - 380) + " + (i * 37) % 760, " + std::to_string(cy - 270) +
            " + (i * 53) % 560, 0)\n"
            "end\n";
        lua_State* L = state->luaManager->GetLuaState();
        if (luaL_dostring(L, chunk.c_str()) != 0) {
            std::printf("bench: the crowd script failed: %s\n", lua_tostring(L, -1));
            return false;
        }
        AIDrawingPackage* look = state->aiManager->GetDrawingPackage("ElderLook");
        for (int i = 0; i < count; ++i) {
            auto* npc =
                dynamic_cast<NonPlayingCharacter*>(state->entityManager->GetNPC(("Crowd" + std::to_string(i)).c_str()));
            if (!npc) {
                std::printf("bench: the crowd script made no Crowd%d\n", i);
                return false;
            }
            BitmapWrapper* frame = look ? look->GetFrame(0, npc->GetAnimDirection(), 0) : nullptr;
            Mover m{npc, npc->GetDimensions().X, npc->GetDimensions().Y, 0, 0, 0};
            m.still = frame ? frame->GetBitmap() : nullptr;
            m.offsetX = 10 - (frame ? frame->GetOffsetX() : 0);
            m.offsetY = 28 - (frame ? frame->GetOffsetY() : 0);
            if (!m.still) {
                std::printf("bench: the elder's look has no picture\n");
                return false;
            }
            movers.push_back(m);
        }
        return true;
    }

    // Walkers step along their heading and turn back at the edge of the view.
    void Step(double cx, double cy) {
        if (!walking) return;
        for (Mover& m : movers) {
            m.x += m.dx;
            m.y += m.dy;
            if (std::abs(m.x - cx) > 390) m.dx = -m.dx, m.x += 2 * m.dx;
            if (std::abs(m.y - cy) > 290) m.dy = -m.dy, m.y += 2 * m.dy;
            m.npc->SetCoordinates(static_cast<int32_t>(m.x), static_cast<int32_t>(m.y), 0);
            m.npc->SetAnimTimerAndDirection(m.npc->GetAnimTimer() + 1, m.direction);
        }
    }
};

// The process's resident memory now, from /proc.
double ResidentMegabytes() {
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    long size = 0, resident = 0;
    const int read = std::fscanf(statm, "%ld %ld", &size, &resident);
    std::fclose(statm);
    return read == 2 ? static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20) : 0;
}

// Starts the real program as main() does, without its loop: the command
// line, then Initialize (which loads the forced map when the title is
// skipped).
bool StartProgram(const std::vector<std::string>& words) {
    std::vector<const char*> argv{"qel"};
    for (const std::string& w : words) argv.push_back(w.c_str());
    GlobalState* state = GetGlobalState();
    ParseCommandLine(static_cast<int>(argv.size()), argv.data(), state);
    state->localPath.clear();
    state->quit = 0;
    if (Initialize() == -1 || !state->display) return false;
    return true;
}

// One pass of the main loop for one timer event, as RunMainLoop makes it:
// the game state's handler, the deferred jobs, then the frame.
void EngineTick(FrameContext* context) {
    GlobalState* state = GetGlobalState();
    ALLEGRO_EVENT event{};
    event.type = ALLEGRO_EVENT_TIMER;
    if (!state->eventHandler) state->eventHandler = GameStateHandleEvent;
    state->eventHandler(event, context);
    if (state->deferredJobs) {
        PhaseScope streaming(FramePhase::Streaming);
        state->deferredJobs->Run(0.0166, true);
    }
    if (state->eventQueue) al_flush_event_queue(state->eventQueue);
    if (!state->renderFunction) state->renderFunction = GameStateRender;
    state->renderFunction(state->eventQueue, context);
}

Camera* ActiveCamera() {
    CameraManager* cameras = GetGlobalState()->cameraManager;
    return cameras ? cameras->GetActiveCamera() : nullptr;
}

// The reference: the ground and the over-layer as 256 x 256 bitmaps across
// the view, then each character's shadow and sprite, then the flip.
struct Reference {
    ALLEGRO_BITMAP* ground = nullptr;
    ALLEGRO_BITMAP* over = nullptr;
    ALLEGRO_BITMAP* shadow = nullptr;
    ALLEGRO_BITMAP* panel = nullptr;

    Reference() {
        ground = al_create_bitmap(256, 256);
        over = al_create_bitmap(256, 256);
        shadow = al_create_bitmap(28, 8);
        panel = al_create_bitmap(320, 256);
        ALLEGRO_BITMAP* previous = al_get_target_bitmap();
        al_set_target_bitmap(ground);
        al_clear_to_color(al_map_rgb(74, 128, 62));
        al_set_target_bitmap(over);
        al_clear_to_color(al_map_rgba(0, 0, 0, 0));
        al_set_target_bitmap(shadow);
        al_clear_to_color(al_map_rgba(0, 0, 0, 90));
        al_set_target_bitmap(panel);
        al_clear_to_color(al_map_rgb(16, 20, 48));
        al_set_target_bitmap(previous);
    }
    ~Reference() {
        al_destroy_bitmap(ground);
        al_destroy_bitmap(over);
        al_destroy_bitmap(shadow);
        al_destroy_bitmap(panel);
    }

    // With windows, a panel the size of the welcome window goes over the
    // world, as a plain program would draw a finished panel.
    void Frame(const Crowd& crowd, int camX, int camY, int width, int height, bool windowed) {
        al_set_target_backbuffer(GetGlobalState()->display);
        al_clear_to_color(al_map_rgb(0, 0, 0));
        for (int x = -(camX & 255); x < width; x += 256)
            for (int y = -(camY & 255); y < height; y += 256) al_draw_bitmap(ground, x, y, 0);
        for (const Mover& m : crowd.movers) {
            const NonPlayingCharacter* npc = m.npc;
            al_draw_bitmap(shadow, static_cast<int>(m.x) - 14 - camX, static_cast<int>(m.y) - 2 - camY, 0);
            int frame = crowd.walking ? (npc->GetAnimTimer() % (kWalkFrames * 8)) / 8 : 0;
            ALLEGRO_BITMAP* sprite = m.still ? m.still : crowd.Sprite(m.direction, frame);
            al_draw_bitmap(sprite, static_cast<int>(m.x) - m.offsetX - camX, static_cast<int>(m.y) - m.offsetY - camY,
                           0);
        }
        for (int x = -(camX & 255); x < width; x += 256)
            for (int y = -(camY & 255); y < height; y += 256) al_draw_bitmap(over, x, y, 0);
        if (windowed) al_draw_bitmap(panel, 40, 40, 0);
        al_flip_display();
    }
};

int RunFrame(int count, bool walking, bool script, bool windowed, bool scripted) {
    if (!StartProgram({"-skiptitle", "-map", "DebugRoom", "-nonetwork", "-nomusic"})) {
        std::fprintf(stdout, "bench: frame failed to start\n");
        return 1;
    }
    GlobalState* state = GetGlobalState();
    // Without "windows" only the world is drawn: the welcome window the
    // sample level opens with is closed.
    if (!windowed && state->guiManager)
        if (GUIBaseObject* welcome = state->guiManager->FindObject("WelcomeWindow")) welcome->Close();
    Crowd crowd;
    if (scripted) {
        if (!crowd.BuildScripted(count)) _exit(1);
    } else {
        crowd.Build(count, walking, script);
    }
    Dimensions* centre = state->player->GetDimensions();
    const double cx = centre->X, cy = centre->Y;
    FrameContext context{};
    const int warm = 30, frames = 300;
    std::vector<double> engine, reference;
    FramePhases& phases = GetFramePhases();
    Reference plain;
    Camera* camera = ActiveCamera();
    // Engine and reference frames alternate, so that a change in the
    // machine's speed touches both alike.
    for (int i = 0; i < warm + frames; ++i) {
        if (i == warm) phases.Reset();
        crowd.Step(cx, cy);
        context.redrawPending = 0;
        auto t0 = Clock::now();
        EngineTick(&context);
        auto t1 = Clock::now();
        const int camX = camera ? camera->GetX() : 0, camY = camera ? camera->GetY() : 0;
        plain.Frame(crowd, camX, camY, state->windowWidth, state->windowHeight, windowed);
        auto t2 = Clock::now();
        if (i >= warm) {
            engine.push_back(Ms(t1 - t0));
            reference.push_back(Ms(t2 - t1));
        }
    }
    std::vector<double> phaseMs(FramePhases::kCount);
    for (int p = 0; p < FramePhases::kCount; ++p)
        phaseMs[p] = phases.Total(static_cast<FramePhase>(p)) * 1000.0 / std::max(phases.Frames(), 1);
    const double e = Median(engine), r = Median(reference);
    std::printf("bench: frame characters=%d%s %s script=%s %s engine_ms=%.2f reference_ms=%.2f ratio=%.2f", count,
                scripted ? " (EM_NPC_CreateNPC)" : "", walking ? "walking" : "standing", script ? "yes" : "no",
                windowed ? "windows" : "world-only", e, r, r > 0 ? e / r : 0.0);
    for (int p = 0; p < FramePhases::kCount; ++p)
        std::printf(" %s_ms=%.2f", FramePhases::Name(static_cast<FramePhase>(p)), phaseMs[p]);
    std::printf(" resident_mb=%.1f\n", ResidentMegabytes());
    std::fflush(stdout);
    // Shut-down is not measured; the process ends here.
    _exit(0);
}

// A 16 x 16-chunk level of speckled grass, written into the game copy.
bool WriteStreamLevel(const std::string& name) {
    plf::LevelWriter writer(16, 16);
    for (uint32_t x = 0; x < writer.Width(); ++x) {
        for (uint32_t y = 0; y < writer.Height(); ++y) {
            plf::Tile tile;
            uint32_t h = (x * 2654435761u) ^ (y * 40503u);
            tile.r = static_cast<uint8_t>(70 + (h >> 28));
            tile.g = static_cast<uint8_t>(120 + ((h >> 24) & 15));
            tile.b = 60;
            tile.a = 255;
            if (((x >> 5) + (y >> 5)) % 7 == 0) tile.layer = 200;
            writer.SetTile(x, y, tile);
        }
    }
    std::string error;
    if (!writer.WriteFile("Data/Maps/" + name + ".plf", error)) {
        std::printf("bench: stream cannot write the level: %s\n", error.c_str());
        return false;
    }
    return true;
}

// How many chunks of the window around the player are built.
int WindowBuilt() {
    GlobalState* state = GetGlobalState();
    ChunkStreamer* streamer = state->mapManager ? state->mapManager->GetChunkStreamer() : nullptr;
    int built = 0;
    for (int32_t x = 0; streamer && x < streamer->GetCountX(); ++x) {
        for (int32_t y = 0; y < streamer->GetCountY(); ++y) {
            const Chunk* chunk = streamer->IsActive(x, y) ? streamer->GetChunkAt(x * 256, y * 256) : nullptr;
            built += chunk && chunk->IsReady() ? 1 : 0;
        }
    }
    return built;
}

// Whether every chunk the camera shows is loaded and built.
bool ViewComplete() {
    GlobalState* state = GetGlobalState();
    ChunkStreamer* streamer = state->mapManager ? state->mapManager->GetChunkStreamer() : nullptr;
    Camera* camera = ActiveCamera();
    if (!streamer || !camera) return true;
    const int64_t right = int64_t{camera->GetX()} + camera->GetWidth() - 1;
    const int64_t bottom = int64_t{camera->GetY()} + camera->GetHeight() - 1;
    for (int64_t x = std::max(camera->GetX(), 0); x <= right; x += 64) {
        for (int64_t y = std::max(camera->GetY(), 0); y <= bottom; y += 64) {
            if ((x >> 8) >= streamer->GetCountX() || (y >> 8) >= streamer->GetCountY()) continue;
            Chunk* chunk = streamer->GetChunkAt(static_cast<int32_t>(x), static_cast<int32_t>(y));
            if (!chunk || !chunk->IsReady()) return false;
        }
    }
    return true;
}

int RunStream() {
    if (!WriteStreamLevel("BenchField")) return 1;
    if (!StartProgram({"-skiptitle", "-map", "BenchField", "-nonetwork", "-nomusic"})) {
        std::printf("bench: stream failed to start\n");
        return 1;
    }
    GlobalState* state = GetGlobalState();
    // The world alone, as in the frame runs without "windows".
    if (state->guiManager)
        if (GUIBaseObject* welcome = state->guiManager->FindObject("WelcomeWindow")) welcome->Close();
    Dimensions* where = state->player->GetDimensions();
    FrameContext context{};
    // Running speed, diagonally from near one corner to near the other.
    const double speed = 5.0 / std::sqrt(2.0);
    where->X = 120;
    where->Y = 120;
    for (int i = 0; i < 10; ++i) EngineTick(&context);
    std::vector<double> ticks, updates, reference;
    Reference plain;
    Crowd none;
    std::string worstPhases;
    int missing = 0;
    double windowBuilt = 0;  // summed over the ticks
    FramePhases& phases = GetFramePhases();
    while (where->X < 16 * 256 - 120) {
        where->X += speed;
        where->Y += speed;
        phases.Reset();
        auto t0 = Clock::now();
        EngineTick(&context);
        ticks.push_back(Ms(Clock::now() - t0));
        updates.push_back((phases.Total(FramePhase::Update) + phases.Total(FramePhase::Streaming)) * 1000.0);
        if (ticks.back() >= Worst(ticks)) worstPhases = phases.FormatReport();
        if (!ViewComplete()) ++missing;
        windowBuilt += WindowBuilt();
        // A plain frame of the same ground between the engine's, for the
        // machine's own worst frame in the same run.
        Camera* camera = ActiveCamera();
        auto r0 = Clock::now();
        plain.Frame(none, camera ? camera->GetX() : 0, camera ? camera->GetY() : 0, state->windowWidth,
                    state->windowHeight, false);
        reference.push_back(Ms(Clock::now() - r0));
    }
    int over = 0, updatesOver = 0, referenceOver = 0;
    for (double t : ticks) over += t > 16.7 ? 1 : 0;
    for (double t : updates) updatesOver += t > 16.7 ? 1 : 0;
    for (double t : reference) referenceOver += t > 16.7 ? 1 : 0;
    const double median = Median(ticks), referenceMedian = Median(reference);
    std::printf(
        "bench: stream ticks=%zu median_frame_ms=%.2f worst_frame_ms=%.2f frames_over_16.7ms=%d "
        "reference_median_ms=%.2f reference_worst_ms=%.2f reference_over_16.7ms=%d median_ratio=%.2f "
        "worst_update_ms=%.2f updates_over_16.7ms=%d frames_missing_view=%d window_built_mean=%.1f/25\n",
        ticks.size(), median, Worst(ticks), over, referenceMedian, Worst(reference), referenceOver,
        referenceMedian > 0 ? median / referenceMedian : 0.0, Worst(updates), updatesOver, missing,
        ticks.empty() ? 0.0 : windowBuilt / static_cast<double>(ticks.size()));
    std::printf("bench: stream worst tick: %s\n", worstPhases.c_str());
    std::fflush(stdout);
    _exit(0);
}

// Start-up: the time from starting a process to the end of its first
// frame, the engine's against a bare Allegro window's, each in its own
// process, alternately, on a settled X server. Each child reports when its
// own steps ended (monotonic clock, shared by both processes): the last is
// the end of its first frame, and the medians of the steps show where
// start-up goes.
Clock::time_point g_mainStart;

void ReportSteps(const std::vector<Clock::time_point>& ends) {
    std::string line = "steps";
    for (Clock::time_point end : ends)
        line +=
            " " + std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(end.time_since_epoch()).count());
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

int RunStartupEngine() {
    if (!StartProgram({"-skiptitle", "-map", "DebugRoom", "-nonetwork"})) _exit(1);
    const Clock::time_point initialized = Clock::now();
    // One pass of the main loop for the first timer event, as EngineTick,
    // with the tick and the frame timed apart.
    GlobalState* state = GetGlobalState();
    FrameContext context{};
    ALLEGRO_EVENT event{};
    event.type = ALLEGRO_EVENT_TIMER;
    if (!state->eventHandler) state->eventHandler = GameStateHandleEvent;
    state->eventHandler(event, &context);
    if (state->deferredJobs) state->deferredJobs->Run(0.0166, true);
    const Clock::time_point ticked = Clock::now();
    if (state->eventQueue) al_flush_event_queue(state->eventQueue);
    if (!state->renderFunction) state->renderFunction = GameStateRender;
    state->renderFunction(state->eventQueue, &context);
    ReportSteps({g_mainStart, initialized, ticked, Clock::now()});
    // What the main loop does once its first frame is shown (the cache
    // copies of archives inflated at start-up are written) and the program's
    // shut-down (which removes the level's working file), so that later runs
    // start as the program's own later runs do.
    AfterFirstFrame();
    DestructionSequence();
    _exit(0);
}

int RunStartupReference() {
    al_init();
    const Clock::time_point initialized = Clock::now();
    ALLEGRO_DISPLAY* display = al_create_display(800, 600);
    if (!display) _exit(1);
    const Clock::time_point opened = Clock::now();
    al_clear_to_color(al_map_rgb(0, 0, 0));
    al_flip_display();
    ReportSteps({g_mainStart, initialized, opened, Clock::now()});
    _exit(0);
}

// What one child's run took: from the fork to the end of its first frame
// (as the child reported it on the shared monotonic clock), from the fork to
// its exit, and the lengths of its steps (from the fork to its main, then
// between the times it reported). A child that reported nothing has no
// first frame.
struct ChildRun {
    bool reported = false;
    double firstFrame = 0;
    double whole = 0;
    std::vector<double> steps;
};

// The X server frees a client's window and drawing state after the client
// has gone; a child started at once would wait for that in its own first
// calls, charging one program for the other's exit. Each child starts once
// the server has had time to finish with the one before.
constexpr useconds_t kSettleMicroseconds = 300000;

ChildRun TimeChild(const char* self, const char* mode) {
    ChildRun run;
    usleep(kSettleMicroseconds);
    int channel[2];
    if (pipe(channel) != 0) return run;
    auto t0 = Clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", 1);
        if (null >= 0) dup2(null, 2);
        dup2(channel[1], 1);
        close(channel[0]);
        execl(self, self, mode, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(channel[1]);
    std::string said;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.whole = Ms(Clock::now() - t0);
    if (said.rfind("steps", 0) == 0) {
        const double start = std::chrono::duration<double, std::milli>(t0.time_since_epoch()).count();
        double previous = start;
        for (size_t at = said.find(' '); at != std::string::npos; at = said.find(' ', at + 1)) {
            const double ms = std::atof(said.c_str() + at + 1) / 1e6;
            run.steps.push_back(ms - previous);
            previous = ms;
        }
        run.reported = run.steps.size() == 4;
        run.firstFrame = previous - start;
    }
    return run;
}

int RunStartup(const char* self) {
    std::vector<double> engine, reference, engineWhole, referenceWhole;
    std::vector<std::vector<double>> engineSteps(4), referenceSteps(4);
    int failed = 0;
    // One run of each first, so that both find the sample game as later
    // runs of the program do (the archives' cache copies written).
    TimeChild(self, "startup-engine");
    TimeChild(self, "startup-reference");
    auto record = [&failed](const ChildRun& run, std::vector<double>& first, std::vector<double>& whole,
                            std::vector<std::vector<double>>& steps) {
        if (!run.reported) {
            ++failed;
            return;
        }
        first.push_back(run.firstFrame);
        whole.push_back(run.whole);
        for (size_t s = 0; s < run.steps.size() && s < steps.size(); ++s) steps[s].push_back(run.steps[s]);
    };
    for (int i = 0; i < 7; ++i) {
        record(TimeChild(self, "startup-engine"), engine, engineWhole, engineSteps);
        record(TimeChild(self, "startup-reference"), reference, referenceWhole, referenceSteps);
    }
    const double e = Median(engine), r = Median(reference);
    const double ew = Median(engineWhole), rw = Median(referenceWhole);
    // The target is the time to the first frame; the whole process (its
    // work after the first frame and its exit included) is shown beside it.
    std::printf(
        "bench: startup engine_ms=%.1f reference_ms=%.1f ratio=%.2f (fork to first frame) "
        "whole_engine_ms=%.1f whole_reference_ms=%.1f whole_ratio=%.2f (fork to exit) failed_runs=%d\n",
        e, r, r > 0 ? e / r : 0.0, ew, rw, rw > 0 ? ew / rw : 0.0, failed);
    std::printf(
        "bench: startup steps (medians, ms) engine: to_main=%.1f initialize=%.1f first_tick=%.1f first_frame=%.1f "
        "reference: to_main=%.1f al_init=%.1f display=%.1f clear_flip=%.1f\n",
        Median(engineSteps[0]), Median(engineSteps[1]), Median(engineSteps[2]), Median(engineSteps[3]),
        Median(referenceSteps[0]), Median(referenceSteps[1]), Median(referenceSteps[2]), Median(referenceSteps[3]));
    return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    g_mainStart = Clock::now();
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "frame") {
        int count = argc > 2 ? std::atoi(argv[2]) : 300;
        bool walking = false, script = false, windowed = false, scripted = false;
        for (int i = 3; i < argc; ++i) {
            walking |= std::strcmp(argv[i], "walking") == 0;
            script |= std::strcmp(argv[i], "script") == 0;
            windowed |= std::strcmp(argv[i], "windows") == 0;
            scripted |= std::strcmp(argv[i], "scripted") == 0;
        }
        return RunFrame(count, walking, script, windowed, scripted);
    }
    if (mode == "stream") return RunStream();
    if (mode == "startup") return RunStartup(argv[0]);
    if (mode == "startup-engine") return RunStartupEngine();
    if (mode == "startup-reference") return RunStartupReference();
    std::fprintf(stderr, "usage: %s frame N [walking] [script] [windows] [scripted] | stream | startup\n", argv[0]);
    return 2;
}
