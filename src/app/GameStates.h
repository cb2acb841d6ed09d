#pragma once
#include <allegro5/allegro.h>

struct FrameContext;

// The game states: each is a pair of an event handler and a render
// function, installed in the global state's two slots (null = main game).
void GameStateHandleEvent(ALLEGRO_EVENT event, FrameContext* context);
void GameStateRender(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context);
void TitleStateHandleEvent(ALLEGRO_EVENT event, FrameContext* context);
void TitleStateRender(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context);
void TransitionStateHandleEvent(ALLEGRO_EVENT event, FrameContext* context);
void TransitionStateRender(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context);
// The combat state: the battle's tick, input and drawing.
void HandleCombatEvent(ALLEGRO_EVENT event, FrameContext* context);
void RedrawCombat(ALLEGRO_EVENT_QUEUE* queue, FrameContext* context);
