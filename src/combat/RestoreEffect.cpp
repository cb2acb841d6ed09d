#include "combat/RestoreEffect.h"

#include <algorithm>
#include <cmath>

#include "combat/Character.h"
#include "core/base/ByteBuffer.h"

ItemEffectRecord* MakeRestoreEffect(int32_t amount, int32_t mode) {
    auto* record = new ItemEffectRecord();
    record->function = ApplyRestoreEffect;
    record->data.resize(8);
    uint32_t cursor = 0;
    BufferWriteInt32BE(amount, &cursor, record->data.data());
    BufferWriteInt32BE(mode, &cursor, record->data.data());
    return record;
}

std::vector<uint8_t> BuildEffectBlock(const Character* user, const Character* target, const ItemEffectRecord& record) {
    std::vector<uint8_t> block(2 * kBufferPointerSize + record.data.size());
    uint32_t cursor = 0;
    BufferWritePointerRaw(user, &cursor, block.data());
    BufferWritePointerRaw(target, &cursor, block.data());
    BufferWriteBytes(record.data.data(), static_cast<uint32_t>(record.data.size()), &cursor, block.data());
    return block;
}

void ApplyRestoreEffect(const uint8_t* block, uint32_t size) {
    if (!block || size < 2 * kBufferPointerSize + 8) return;
    uint32_t cursor = 0;
    auto* user = static_cast<Character*>(BufferReadPointerRaw(&cursor, block));
    auto* target = static_cast<Character*>(BufferReadPointerRaw(&cursor, block));
    const int32_t amount = BufferReadInt32BE(&cursor, block);
    const int32_t mode = BufferReadInt32BE(&cursor, block);
    if (!target) return;
    int32_t restored = amount;
    if (user && mode == 0) {
        // The multiplier is a float: the product is single precision.
        const float scaled = static_cast<float>(amount) * user->GetRestoreMultiplier();
        restored = std::isfinite(scaled)
                       ? static_cast<int32_t>(std::clamp(static_cast<double>(scaled), -2147483648.0, 2147483647.0))
                       : 0;
    }
    target->RestoreHP(restored);
}
