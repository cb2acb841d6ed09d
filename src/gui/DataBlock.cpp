#include "gui/DataBlock.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/base/ByteBuffer.h"
#include "core/base/GenericQueue.h"
#include "core/base/GlobalState.h"
#include "core/media/SoundManager.h"

namespace {

bool TakesName(int32_t type) { return type >= DataBlock::kPlaySound && type <= DataBlock::kStopMusic; }

void ReportInvalid() { std::fputs("Failed due to invalid datablock\n", stderr); }

}  // namespace

DataBlock* DataBlock::Enqueue(int32_t type, GenericQueue* queue, const void* argument) {
    if (!queue) return nullptr;
    DataBlock* block = new DataBlock;
    block->type = type;
    if (argument && type == kDelay) {
        int32_t delay;
        std::memcpy(&delay, argument, sizeof delay);
        block->value.resize(4);
        uint32_t cursor = 0;
        BufferWriteInt32BE(delay, &cursor, block->value.data());
    } else if (argument && TakesName(type)) {
        const char* name = static_cast<const char*>(argument);
        block->value.resize(std::strlen(name) + 1);
        uint32_t cursor = 0;
        BufferWriteString(name, &cursor, block->value.data());
    }
    queue->Push("X", block);
    return block;
}

void DataBlock::Perform(const DataBlock* block, bool* keepGoing, bool* stopFlag, int32_t* delay) {
    if (!block || !keepGoing || !stopFlag) return;
    *keepGoing = !block->hold;
    if (block->type == kPause) {
        *keepGoing = false;
        return;
    }
    if (block->type == kStop) {
        *stopFlag = true;
        *keepGoing = false;
        return;
    }
    if (block->value.empty()) {
        ReportInvalid();
        return;
    }
    // The argument is read with the block's real size: a short or
    // unterminated buffer is reported instead of being read past its end.
    const uint8_t* data = block->value.data();
    const uint32_t size = static_cast<uint32_t>(block->value.size());
    uint32_t cursor = 0;
    if (block->type == kDelay) {
        int32_t ticks = 0;
        if (!BufferReadInt32BEChecked(&cursor, data, size, &ticks)) {
            ReportInvalid();
            return;
        }
        if (delay) *delay = ticks;
        return;
    }
    if (!TakesName(block->type)) return;  // other shared codes carry nothing to do
    std::string name;
    if (!BufferReadStringChecked(&cursor, data, size, &name)) {
        ReportInvalid();
        return;
    }
    SoundManager* sound = GetGlobalState()->soundManager;
    if (!sound) return;  // no audio at all yet: the cue is dropped
    switch (block->type) {
        case kPlaySound: sound->PlaySound(name); break;
        case kStopSound: sound->StopSound(name); break;
        case kPlayMusic: sound->PlayMusic(name); break;
        case kStopMusic: sound->StopMusic(name); break;
        default: break;
    }
}

void DataBlock::Delete(void* block) { delete static_cast<DataBlock*>(block); }
