#pragma once
#include <allegro5/allegro.h>

struct FrameContext;

// The whole program: options, start-up, the main loop and the destruction
// sequence. Returns the exit status: 0 after a normal shut-down, non-zero
// when start-up failed or no window could be opened.
int RunProgram(int argc, char** argv);

// Starts Allegro, creates every manager in order and runs the start-up
// scripts. 0 on success, -1 when the graphics library failed.
int Initialize();

// Display, timer, keyboard and mouse, in that order (a missing display is
// skipped).
void RegisterEventSources(ALLEGRO_EVENT_QUEUE* queue);

// Work held back until the first frame is shown: writing the archives'
// cache copies. Runs once, after the main loop's first frame.
void AfterFirstFrame();

// Runs loop passes until the quit flag is set.
void RunMainLoop(FrameContext* context);

// Stops the sound, frees what must be freed before exit and prints the
// shut-down lines.
void DestructionSequence();
