#include "app/Transition.h"

#include <allegro5/allegro.h>

#include <cstdio>

#include "app/StandardWindows.h"
#include "app/TransitionPlayer.h"
#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"
#include "core/base/RootEntity.h"
#include "core/base/TransitionState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/DisplayManager.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "maps/MapManager.h"
#include "maps/PendingEvents.h"
#include "world/EntityManager.h"

namespace {

constexpr const char* kEnvironmentWindow = "EnvironmentWindow";

GUIBaseObject* FindEnvironmentWindow() {
    GUIManager* gui = GetGlobalState()->guiManager;
    return gui ? gui->FindObject(kEnvironmentWindow) : nullptr;
}

}  // namespace

// ---- The fade --------------------------------------------------------------

Transition::Transition(uint8_t* openGLFlag) : m_openGLFlag(openGLFlag) { SetTransitionInputLock(true); }

Transition::~Transition() = default;

void Transition::Update() {
    GlobalState* state = GetGlobalState();
    DisplayManager* display = state->displayManager;
    switch (m_state) {
        case kStart:
            m_started = 1;
            m_snapshot = display ? display->GetSnapshot() : nullptr;
            // The map manager lets drawing go again on the next main-game
            // tick, once the new map is in place.
            state->holdDrawing = 1;
            m_state = kFadingOut;
            m_level = 256;
            m_alpha = 1.0f;
            return;
        case kFadingOut:
            m_level -= m_step;
            m_alpha = static_cast<float>(m_level) / 256.0f;
            if (m_level < 1) {
                m_level = 0;
                m_alpha = 0.0f;
                m_state = kSwitching;
            }
            return;
        case kSwitching:
            LeaveCurrentMode();
            EnterTransitionTarget();
            // Input and timer events that piled up during the load are
            // dropped; a waiting close request still ends the program.
            DropPendingEvents();
            if ((display = state->displayManager)) display->StartFade(0, m_step);
            m_state = kDone;
            End();
            return;
        default: End(); return;
    }
}

void Transition::Draw() {
    GlobalState* state = GetGlobalState();
    if (!state->display) return;
    if (!m_backBuffer) m_backBuffer.reset(BitmapWrapper::WrapBitmap(al_get_backbuffer(state->display), m_openGLFlag));
    DrawInto(m_backBuffer.get());
    al_flip_display();
}

void Transition::DrawInto(BitmapWrapper* target) {
    if (m_started) {
        if (DisplayManager* display = GetGlobalState()->displayManager) {
            if (!display->HasSnapshot()) display->CaptureSnapshot();
            m_snapshot = display->GetSnapshot();
        } else {
            m_snapshot = nullptr;
        }
    }
    if (!target || !target->GetBitmap()) return;
    target->SetAsTarget();
    al_clear_to_color(al_map_rgba(0, 0, 0, 255));
    if (m_snapshot) {
        // Adding onto black scales every channel of the frame by alpha.
        al_set_blender(ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_ONE);
        m_snapshot->DrawTinted(al_map_rgba_f(m_alpha, m_alpha, m_alpha, 1.0f), 0, 0, 0);
        al_set_blender(ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_INVERSE_ALPHA);
    }
}

void Transition::End() {
    SetTransitionInputLock(false);
    // A key held through the transition counts again only once released.
    if (KeyboardManager* keyboard = GetGlobalState()->keyboardManager) keyboard->ResetBindings();
    if (!m_ownerSlot) return;
    *m_ownerSlot = nullptr;
    m_ownerSlot = nullptr;
    if (DisplayManager* display = GetGlobalState()->displayManager) display->ReleaseSnapshot();
    FileHeldTransitionRequests();
    delete this;
}

void StartTransition() {
    GlobalState* state = GetGlobalState();
    if (state->transition) return;
    // A line being typed keeps its text and its keys until it is sent or
    // left, and a fade hands out no strokes: the change waits for the line,
    // and then fades from the frame of that moment.
    static bool waited = false;
    if (state->guiManager && state->guiManager->IsLineBeingTyped()) {
        waited = true;
        return;
    }
    if (waited && state->displayManager) state->displayManager->ReleaseSnapshot();
    waited = false;
    Transition* transition = new Transition(&state->openGLMode);
    state->transition = transition;
    transition->SetOwnerSlot(&state->transition);
    EnterGameState(GameStateId::Transition);
    state->stateSwitchRequest = 0;
}

// ---- Leaving and entering modes --------------------------------------------

void LeaveCurrentMode() {
    switch (GetTransitionState().currentMode) {
        case kTransitionMap: LeaveMap(); break;
        case kTransitionTitle: LeaveTitle(); break;
        default: break;
    }
}

void LeaveMap() {
    const TransitionState& record = GetTransitionState();
    if (MapManager* maps = GetGlobalState()->mapManager) {
        if (record.keepMap != 1) {
            maps->Unload();
            // To another map the music plays on until the new map chooses.
            if (record.targetKind != kTransitionMap) maps->FadeOutAmbientMusic();
        } else {
            maps->LowerAmbientMusic();
        }
    }
    if (GUIBaseObject* window = FindEnvironmentWindow()) window->Close();
}

void LeaveTitle() {
    DestroyTitleScreen();
    if (GUIManager* gui = GetGlobalState()->guiManager) {
        gui->HideAllObjects();
        gui->ShowStandardUI();
    }
}

void EnterTransitionTarget() {
    switch (GetTransitionState().targetKind) {
        case kTransitionMap: TransitionToMap(); break;
        case kTransitionBattle: EnterCombat(); break;
        case kTransitionTitle: EnterTitle(); break;
        default: break;
    }
}

void EnterCombat() {
    CombatManager* combat = GetCombatRegistry().combatManager;
    if (!combat) {
        // No battle can start: say so and go back to the kept map, so the
        // game goes on instead of staying in the transition state.
        std::fputs("EnterCombat:  Failed, CombatManager does not exist\n", stderr);
        TransitionToMap();
        return;
    }
    GetTransitionState().currentMode = kTransitionBattle;
    combat->StartCombat();
    EnterGameState(GameStateId::Combat);
}

void EnterTitle() {
    GetTransitionState().currentMode = kTransitionTitle;
    EnterGameState(GameStateId::Title);
    BuildTitleScreen();
}

void TransitionToMap() {
    GlobalState* state = GetGlobalState();
    TransitionState& record = GetTransitionState();
    // Null slots: the main game's pair runs from the next event on.
    state->eventHandler = nullptr;
    state->renderFunction = nullptr;
    record.placed = 0;
    record.currentMode = kTransitionMap;
    MapManager* maps = state->mapManager;

    if (record.keepMap != 1) {
        if (!record.mapName) {
            record.mapName = MapManager::kFallbackMapName;
            std::fputs("TransitionToMap:  Warning, map target was NULL, dropping to DebugRoom\n", stderr);
        }
        PlacePlayer(0.0f, 0.0f, 0.0f);
        if (maps) {
            maps->SetLoadTarget(*record.mapName);
            // The map's script runs in here and may place the player.
            maps->LoadMapFile();
        }
        if (record.entityMode == 0) {
            if (record.placed != 1) {
                PlacePlayer(static_cast<float>(record.dropX), static_cast<float>(record.dropY),
                            static_cast<float>(record.dropZ));
            }
        } else if (record.entityName) {
            // By the entity manager's lookup, so the player's reserved name works.
            EntityManager* entities = GetGlobalState()->entityManager;
            RootEntity* entity = entities ? entities->GetEntityByName(record.entityName->c_str()) : nullptr;
            if (!entity) {
                std::fprintf(stderr, "TransitionToMap:  Warning, Entity mode failed, %s not found\n",
                             record.entityName->c_str());
            } else if (record.placed != 1) {
                float x = 0.0f, y = 0.0f, z = 0.0f;
                entity->SafeGetPosition(&x, &y, &z);
                PlacePlayer(x, y, z);
            }
        } else {
            std::fputs("TransitionToMap:  Warning, Entity mode set but no string specified\n", stderr);
        }
        record.mapName.reset();
        record.entityName.reset();
    } else if (maps) {
        // Back from a battle over the kept map.
        maps->ResumeAmbientMusic();
    }

    if (GUIBaseObject* window = FindEnvironmentWindow()) window->Open();
    record.entityName.reset();
    if (GUIManager* gui = GetGlobalState()->guiManager) gui->ShowStandardUI();
    // Without a choice by the map's script the old track fades out.
    if ((maps = GetGlobalState()->mapManager)) maps->SetAmbientMusic("NONE");
}
