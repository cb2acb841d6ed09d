#include "core/base/GlobalState.h"

namespace {
GlobalState gGlobalState{};
uint32_t gSerialCounter = 0;
}  // namespace

GlobalState* GetGlobalState() { return &gGlobalState; }

uint32_t NextSerial() { return ++gSerialCounter; }
