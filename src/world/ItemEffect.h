#pragma once
// An effect an item runs when it is used: a function and the bytes it was
// made with. The item hands the function one block:
//
//   offset 0                user   (a pointer, full width; null from the inventory)
//   offset sizeof(void*)    target (a pointer, full width)
//   offset 2*sizeof(void*)  the effect's own data, byte for byte
//
// The block is built and freed by the caller; the function reads it only
// for the duration of the call.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

class Character;

using ItemEffectFunction = void (*)(const uint8_t* block, size_t size);

struct ItemEffect {
    ItemEffectFunction function = nullptr;
    std::vector<uint8_t> data;

    static constexpr size_t kHeaderSize = 2 * sizeof(void*);

    // The block for one application of this effect.
    std::vector<uint8_t> BuildBlock(const Character* user, const Character* target) const {
        std::vector<uint8_t> block(kHeaderSize + data.size());
        std::memcpy(block.data(), &user, sizeof(void*));
        std::memcpy(block.data() + sizeof(void*), &target, sizeof(void*));
        if (!data.empty()) std::memcpy(block.data() + kHeaderSize, data.data(), data.size());
        return block;
    }

    // The parts of a block; null pointers and no data when it is too short.
    static Character* ReadUser(const uint8_t* block, size_t size) { return ReadPointer(block, size, 0); }
    static Character* ReadTarget(const uint8_t* block, size_t size) {
        return ReadPointer(block, size, sizeof(void*));
    }
    static const uint8_t* Data(const uint8_t* block, size_t size) {
        return block && size >= kHeaderSize ? block + kHeaderSize : nullptr;
    }
    static size_t DataSize(size_t size) { return size >= kHeaderSize ? size - kHeaderSize : 0; }

private:
    static Character* ReadPointer(const uint8_t* block, size_t size, size_t offset) {
        if (!block || size < kHeaderSize) return nullptr;
        Character* pointer = nullptr;
        std::memcpy(&pointer, block + offset, sizeof(void*));
        return pointer;
    }
};
