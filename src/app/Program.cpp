#include "app/Program.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <allegro5/allegro_image.h>
#include <allegro5/allegro_primitives.h>
#include <allegro5/allegro_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "app/CommandLine.h"
#include "app/ConsoleManager.h"
#include "app/FrameContext.h"
#include "app/GameStates.h"
#include "app/LayerWiring.h"
#include "app/RegisterLuaFunctions.h"
#include "app/StandardWindows.h"
#include "app/Transition.h"
#include "combat/CombatRegistry.h"
#include "core/base/FramePhases.h"
#include "core/base/GlobalState.h"
#include "core/base/MonotonicClock.h"
#include "core/base/TextUtils.h"
#include "core/base/TransitionState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/DisplayManager.h"
#include "core/media/ExternalImageManager.h"
#include "core/media/SoundManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/KeyboardManager.h"
#include "core/script/LuaManager.h"
#include "core/script/PathManager.h"
#include "core/script/PropertyRouter.h"
#include "core/script/ScriptVariableSet.h"
#include "core/script/TimerManager.h"
#include "gui/GUIManager.h"
#include "maps/DeferredJobQueue.h"
#include "maps/MapManager.h"
#include "network/NetworkManager.h"
#include "savefile/SFM.h"
#include "world/BackgroundManager.h"
#include "world/CameraManager.h"
#include "world/ChatManager.h"
#include "world/EntityManager.h"
#include "world/GUIDialogueManager.h"
#include "world/PlayerVorn.h"
#include "world/ai/AIManager.h"

namespace {

void ClearStartUpState(GlobalState* state) {
    state->eventHandler = nullptr;
    state->renderFunction = nullptr;
    state->display = nullptr;
    state->displayManager = nullptr;
    state->eventQueue = nullptr;
    state->quit = 0;
    state->paletteIndex = 0;
    state->stateSwitchRequest = 0;
    state->transition = nullptr;
    state->holdDrawing = 0;
    ClearTransitionState();
}

}  // namespace

void RegisterEventSources(ALLEGRO_EVENT_QUEUE* queue) {
    GlobalState* state = GetGlobalState();
    if (!queue) return;
    if (state->display) al_register_event_source(queue, al_get_display_event_source(state->display));
    if (state->timer) al_register_event_source(queue, al_get_timer_event_source(state->timer));
    al_register_event_source(queue, al_get_keyboard_event_source());
    al_register_event_source(queue, al_get_mouse_event_source());
}

namespace {

// Allegro, its add-ons, the keyboard and mouse, the event queue and the
// frame timer; false after a line when one of them cannot be had.
bool InitializeAllegro(GlobalState* state) {
    if (!al_init()) {
        std::fprintf(stderr, "Allegro failed to initialize\n");
        return false;
    }
    al_init_font_addon();
    al_init_image_addon();
    al_init_ttf_addon();
    al_init_primitives_addon();
    if (!al_install_keyboard()) {
        std::fprintf(stderr, "Allegro could not install the keyboard\n");
        return false;
    }
    if (!al_install_mouse()) {
        std::fprintf(stderr, "Allegro could not install the mouse\n");
        return false;
    }
    state->eventQueue = al_create_event_queue();
    if (!state->eventQueue) {
        std::fprintf(stderr, "Allegro could not create an Event Queue\n");
        return false;
    }
    state->framesPerSecond = 60.0f;
    state->timer = al_create_timer(1.0 / state->framesPerSecond);
    if (!state->timer) {
        std::fprintf(stderr, "Allegro could not create a timer of FPS %i\n", 60);
        return false;
    }
    return true;
}

// The managers, each once, in their order, with the two scripts that set
// paths and configuration between them; false when the window size does
// not fit a display.
bool CreateManagers(GlobalState* state) {
    // Later subsystems take their places between these as they are built.
    state->luaManager = new LuaManager();
    RegisterLuaFunctions(state->luaManager->GetLuaState());
    if (!DisplayManager::SizeFits(state->windowWidth, state->windowHeight)) return false;
    state->displayManager = new DisplayManager(state->windowWidth, state->windowHeight);
    // The window's close request is taken from the moment it exists: the
    // rest of start-up may wait seconds for a server.
    if (state->display && state->eventQueue)
        al_register_event_source(state->eventQueue, al_get_display_event_source(state->display));
    state->dataLibrary = new DataLibrary();
    state->entityManager = new EntityManager();
    state->soundManager = new SoundManager();
    state->savefileManager = new SFM();
    state->pathManager = new PathManager();
    state->luaManager->RunFile("Paths.lua", -1);
    state->imageManager = new ExternalImageManager();
    // Archives inflated before the first frame keep their cache copies in
    // memory; they are written once that frame is shown.
    state->imageManager->DeferCacheCopies(true);
    state->propertyRouter = new PropertyRouter();
    state->globalVariables = new ScriptVariableSet();
    state->cameraManager = new CameraManager("Default", 0, 0, state->windowWidth, state->windowHeight);
    state->networkManager = new NetworkManager();
    state->consoleManager = new ConsoleManager();
    state->consoleManager->RegisterCommands();
    state->aiManager = new AIManager();
    state->keyboardManager = new KeyboardManager();
    state->player = new PlayerVorn();
    state->luaManager->RunFile("Configuration.lua", -1);
    state->chatManager = new ChatManager();
    state->backgroundManager = new BackgroundManager();
    state->timerManager = new TimerManager();
    state->guiManager = new GUIManager();
    state->mapManager = new MapManager();
    InitCombatRegistry();
    RegisterEventSources(state->eventQueue);
    state->displayManager->StopWatchingClose();
    return true;
}

// The game's own start-up scripts: routing, global variables, execution.
void RunStartUpScripts(GlobalState* state) {
    if (state->startTrace) std::fprintf(stderr, "Execute Lua Files - ");
    state->luaManager->RunFile("Data/Scripts/System/Loading/Routing.lua", -1);
    state->luaManager->RunFile("Data/Scripts/System/GlobalVariables.lua", -1);
    state->luaManager->RunFile("Data/Scripts/System/ScriptExecution.lua", -1);
    if (state->startTrace) std::fprintf(stderr, "Done\n");
}

// The default window borders, the dialogue box, the standard windows and
// the display's icon; then the battles' data and the shadow images, which
// the scripts have registered by now.
void BuildWindows(GlobalState* state) {
    state->guiManager->LoadDefaultBorderImages();
    if (state->startTrace) std::fprintf(stderr, "Dialogue Manager\n");
    GUIDialogueManager::Create(*state->guiManager);
    BuildDefaultWindows();

    DataLibrary* library = state->dataLibrary;
    BitmapWrapper* icon = library->Get<BitmapWrapper>("Images", "Misc", "Icons", "IconImg", DataKind::Bitmap);
    if (state->display && icon && icon->GetBitmap()) al_set_display_icon(state->display, icon->GetBitmap());

    PrepareCombatData();

    static BitmapWrapper* shadows[4] = {};
    const char* shadowNames[4] = {"ShadowL", "ShadowM", "ShadowS", "ShadowT"};
    for (int i = 0; i < 4; ++i) {
        shadows[i] = library->Get<BitmapWrapper>("Images", "Misc", "Shadows", shadowNames[i], DataKind::Bitmap);
    }
    state->shadowImages = shadows;
}

// The player's name: the "-n" name, else the network identifier when
// connected, else "Player1"; then its avatar character.
void SetUpPlayer(GlobalState* state) {
    NetworkManager* network = state->networkManager;
    bool connected = network && network->IsConnected();
    if (!state->outgoingName.empty())
        state->player->SetName(state->outgoingName);
    else if (connected)
        state->player->SetName(network->GetMyGuidString());
    else
        state->player->SetName("Player1");
    state->player->SetAvatarScript("Data/Scripts/NPCs/Bramle/Constructor.lua");
    state->player->CreateAvatar();
    if (connected) network->SendPlayerName(state->player->GetName().c_str());
}

// The streaming queue, then the first state: the main game on its first
// map with "-skiptitle", else the title screen.
void EnterFirstState(GlobalState* state, double startTime) {
    state->deferredJobs = new DeferredJobQueue();
    std::fprintf(stderr, "Initialization Sequence completed!  Took %f seconds.\n", al_get_time() - startTime);
    if (state->skipTitle) {
        // The game-state slots stay null, so the main game runs.
        state->mapManager->LoadMapFile();
    } else {
        GetTransitionState().currentMode = kTransitionTitle;
        GetTransitionState().keepMap = 0;
        state->eventHandler = TitleStateHandleEvent;
        state->renderFunction = TitleStateRender;
        BuildTitleScreen();
    }
    state->imageManager->PrintTimes(stderr);
}

}  // namespace

int Initialize() {
    InstallLayerHooks();
    GlobalState* state = GetGlobalState();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    std::fprintf(stderr, "== Begin Init ==\n");
    ClearStartUpState(state);

    if (!InitializeAllegro(state)) return -1;
    double startTime = al_get_time();
    std::fprintf(stderr, "start time in seconds is: %f\n", startTime);

    if (!CreateManagers(state)) return -1;
    RunStartUpScripts(state);
    BuildWindows(state);
    SetUpPlayer(state);
    EnterFirstState(state, startTime);
    return 0;
}

void AfterFirstFrame() {
    GlobalState* state = GetGlobalState();
    if (state->imageManager) state->imageManager->WritePendingCacheCopies();
}

void RunMainLoop(FrameContext* context) {
    GlobalState* state = GetGlobalState();
    bool firstFrameShown = false;
    while (!state->quit) {
        context->passStart = MonotonicMilliseconds();
        al_wait_for_event(state->eventQueue, &state->currentEvent);
        if (!state->eventHandler) state->eventHandler = GameStateHandleEvent;
        state->eventHandler(state->currentEvent, context);
        if (state->currentEvent.type == ALLEGRO_EVENT_TIMER) {
            context->handlerEnd = MonotonicMilliseconds();
            context->frameBudget = 0.01666 - (context->handlerEnd - context->passStart) / 1000.0;
            if (state->deferredJobs) {
                // Forced: what is left of a 60 Hz frame never passes the
                // queue's own threshold, and the chunks around the view are
                // built by these jobs, so one runs every tick whatever the
                // budget (a single stage takes well under a millisecond).
                PhaseScope streaming(FramePhase::Streaming);
                state->deferredJobs->Run(context->frameBudget, true);
            }
        }
        if (!state->renderFunction) state->renderFunction = GameStateRender;
        const bool redrawDue = context->redrawPending != 0;
        state->renderFunction(state->eventQueue, context);
        // A due redraw that is no longer pending was drawn.
        if (!firstFrameShown && redrawDue && !context->redrawPending) {
            firstFrameShown = true;
            AfterFirstFrame();
        }
        // A requested change of mode starts its transition; one already
        // running is left to finish first.
        if (state->stateSwitchRequest) StartTransition();
    }
}

void DestructionSequence() {
    GlobalState* state = GetGlobalState();
    std::fprintf(stderr, "Begin destruction sequence\n");
    // A run that ends before its first frame still leaves its cache copies.
    if (state->imageManager) state->imageManager->WritePendingCacheCopies();
    if (state->soundManager) state->soundManager->StopAll();
    std::fprintf(stderr, "Cleaning memory - ");
    // The map manager closes and removes its working level file.
    delete state->mapManager;
    state->mapManager = nullptr;
    // Disconnects from the server.
    delete state->networkManager;
    state->networkManager = nullptr;
    DestroyCombatRegistry();
    if (state->eventQueue) {
        al_destroy_event_queue(state->eventQueue);
        state->eventQueue = nullptr;
    }
    if (state->timer) {
        al_destroy_timer(state->timer);
        state->timer = nullptr;
    }
    if (state->display) {
        al_destroy_display(state->display);
        state->display = nullptr;
    }
    std::fprintf(stderr, "Done\n");
    MapManager::RemoveWorkingFiles();
}

int RunProgram(int argc, char** argv) {
    GlobalState* state = GetGlobalState();
    ParseCommandLine(argc, argv, state);
    state->localPath = LocalPathFromProgram(argc > 0 ? argv[0] : nullptr);
    std::fprintf(stderr, "Set Local Path to %s\n", PrintableText(state->localPath).c_str());

    auto context = std::make_unique<FrameContext>();
    state->quit = 0;
    if (Initialize() == -1) return 1;

    bool displayOpened = state->display != nullptr;
    // A close during start-up (the wait for a server) already ended the
    // game: the loop does not run, and says nothing.
    if (!state->quit) {
        al_start_timer(state->timer);
        std::fprintf(stderr, "Begin primary game loop\n");
        RunMainLoop(context.get());
    }
    DestructionSequence();
    return displayOpened ? 0 : 1;
}
