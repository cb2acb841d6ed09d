#pragma once
#include <cstdint>

// Per-loop record handed to every game state's event handler and render
// function.
struct FrameContext {
    uint8_t redrawPending;
    // Monotonic milliseconds at the start of the loop pass and after a
    // timer event's handler returned.
    int64_t passStart;
    int64_t handlerEnd;
    // Seconds of the frame left for the deferred job queue.
    double frameBudget;
};
