#pragma once
// The one program-wide block through which every component reaches the
// managers, the Allegro handles and the command-line settings.
#include <allegro5/allegro.h>

#include <cstdint>
#include <string>

class EntityManager;
class PlayerVorn;
class LuaManager;
class ExternalImageManager;
class NetworkManager;
class SFM;
class SoundManager;
class ConsoleManager;
class MapManager;
class GUIManager;
class DataLibrary;
class ScriptVariableSet;
class CameraManager;
class KeyboardManager;
class PathManager;
class PropertyRouter;
class AIManager;
class BackgroundManager;
class ChatManager;
class DisplayManager;
class TimerManager;
class Transition;
class DeferredJobQueue;
class BitmapWrapper;
struct FrameContext;

// A game state's event handler and render function.
using EventHandlerFn = void (*)(ALLEGRO_EVENT event, FrameContext* context);
using RenderFn = void (*)(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context);

struct GlobalState {
    ALLEGRO_DISPLAY* display;
    ALLEGRO_EVENT_QUEUE* eventQueue;
    ALLEGRO_EVENT currentEvent;
    ALLEGRO_TIMER* timer;
    DeferredJobQueue* deferredJobs;
    EntityManager* entityManager;
    PlayerVorn* player;
    LuaManager* luaManager;
    ExternalImageManager* imageManager;
    NetworkManager* networkManager;
    SFM* savefileManager;
    SoundManager* soundManager;
    ConsoleManager* consoleManager;
    MapManager* mapManager;
    GUIManager* guiManager;
    DataLibrary* dataLibrary;
    ScriptVariableSet* globalVariables;
    uint8_t holdDrawing;
    uint8_t stateSwitchRequest;
    Transition* transition;
    int32_t windowWidth;
    int32_t windowHeight;
    uint8_t openGLMode;
    uint8_t direct3DMode;
    int32_t paletteIndex;
    uint8_t quit;
    float framesPerSecond;
    uint8_t memoryMode;
    std::string outgoingName;  // empty: none given
    uint8_t noNetwork;
    uint8_t skipTitle;
    uint8_t noMusic;
    uint8_t noPalette;
    uint8_t guiTrace;
    uint8_t startTrace;
    uint8_t forcedMap;
    std::string forcedMapName;
    std::string localPath;
    BitmapWrapper** shadowImages;
    EventHandlerFn eventHandler;
    RenderFn renderFunction;
    AIManager* aiManager;
    BackgroundManager* backgroundManager;
    CameraManager* cameraManager;
    ChatManager* chatManager;
    DisplayManager* displayManager;
    KeyboardManager* keyboardManager;
    PathManager* pathManager;
    PropertyRouter* propertyRouter;
    TimerManager* timerManager;
};

// Address of the block; zero-filled (value-initialised) before main runs.
GlobalState* GetGlobalState();

// Next program-wide object id; the first is 1.
uint32_t NextSerial();
