#pragma once
// Included once, by a fuzz target whose reader makes bitmaps: the target's
// LLVMFuzzerInitialize, which starts Allegro (memory bitmaps only) before the
// first input, so that what Allegro keeps for the whole process is not
// counted against an input.
#include <cstdint>

#include "support/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::StartAllegro();
    return 0;
}
