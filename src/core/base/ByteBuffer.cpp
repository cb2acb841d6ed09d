#include "core/base/ByteBuffer.h"

#include <cstring>

namespace {

// Whether count bytes fit at the cursor of a buffer of the given size.
bool Fits(const uint32_t* cursor, const uint8_t* buffer, uint32_t size, uint64_t count) {
    return cursor && buffer && static_cast<uint64_t>(*cursor) + count <= size;
}

int32_t DecodeInt32BE(const uint8_t* p) {
    uint32_t v = (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
                 (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
    return static_cast<int32_t>(v);
}

}  // namespace

void BufferWriteInt32BE(int32_t value, uint32_t* cursor, uint8_t* buffer) {
    if (!buffer || !cursor) return;
    uint32_t v = static_cast<uint32_t>(value);
    uint8_t* p = buffer + *cursor;
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
    *cursor += 4;
}

void BufferWriteUInt32Raw(uint32_t value, uint32_t* cursor, uint8_t* buffer) {
    if (!buffer || !cursor) return;
    std::memcpy(buffer + *cursor, &value, 4);
    *cursor += 4;
}

void BufferWritePointerRaw(const void* pointer, uint32_t* cursor, uint8_t* buffer) {
    if (!buffer || !cursor) return;
    std::memcpy(buffer + *cursor, &pointer, kBufferPointerSize);
    *cursor += kBufferPointerSize;
}

void BufferWriteString(const char* text, uint32_t* cursor, uint8_t* buffer) {
    if (!buffer || !cursor) return;
    if (!text) text = "";
    size_t length = std::strlen(text) + 1;
    std::memcpy(buffer + *cursor, text, length);
    *cursor += static_cast<uint32_t>(length);
}

void BufferWriteString(const std::string& text, uint32_t* cursor, uint8_t* buffer) {
    BufferWriteString(text.c_str(), cursor, buffer);
}

void BufferWriteBytes(const void* source, uint32_t count, uint32_t* cursor, uint8_t* buffer) {
    if (!buffer || !cursor || !source) return;
    std::memcpy(buffer + *cursor, source, count);
    *cursor += count;
}

int32_t BufferReadInt32BE(uint32_t* cursor, const uint8_t* buffer) {
    if (!buffer || !cursor) return 0;
    int32_t v = DecodeInt32BE(buffer + *cursor);
    *cursor += 4;
    return v;
}

float BufferReadFloatRaw(uint32_t* cursor, const uint8_t* buffer) {
    if (!buffer || !cursor) return 0.0f;
    float v;
    std::memcpy(&v, buffer + *cursor, 4);
    *cursor += 4;
    return v;
}

uint32_t BufferReadUInt32Raw(uint32_t* cursor, const uint8_t* buffer) {
    if (!buffer || !cursor) return 0;
    uint32_t v;
    std::memcpy(&v, buffer + *cursor, 4);
    *cursor += 4;
    return v;
}

void* BufferReadPointerRaw(uint32_t* cursor, const uint8_t* buffer) {
    if (!buffer || !cursor) return nullptr;
    void* v;
    std::memcpy(&v, buffer + *cursor, kBufferPointerSize);
    *cursor += kBufferPointerSize;
    return v;
}

std::string BufferReadString(uint32_t* cursor, const uint8_t* buffer) {
    if (!buffer || !cursor) return std::string();
    const char* start = reinterpret_cast<const char*>(buffer + *cursor);
    std::string text(start);
    *cursor += static_cast<uint32_t>(text.size() + 1);
    return text;
}

std::vector<uint8_t> BufferReadBytes(uint32_t count, uint32_t* cursor, const uint8_t* buffer) {
    if (!buffer || !cursor) return {};
    std::vector<uint8_t> bytes(buffer + *cursor, buffer + *cursor + count);
    *cursor += count;
    return bytes;
}

void BufferReadBytesInto(void* destination, uint32_t count, uint32_t* cursor, const uint8_t* buffer) {
    if (!buffer || !cursor || !destination) return;
    std::memcpy(destination, buffer + *cursor, count);
    *cursor += count;
}

bool BufferReadInt32BEChecked(uint32_t* cursor, const uint8_t* buffer, uint32_t size, int32_t* out) {
    if (!out || !Fits(cursor, buffer, size, 4)) return false;
    *out = BufferReadInt32BE(cursor, buffer);
    return true;
}

bool BufferReadFloatRawChecked(uint32_t* cursor, const uint8_t* buffer, uint32_t size, float* out) {
    if (!out || !Fits(cursor, buffer, size, 4)) return false;
    *out = BufferReadFloatRaw(cursor, buffer);
    return true;
}

bool BufferReadUInt32RawChecked(uint32_t* cursor, const uint8_t* buffer, uint32_t size, uint32_t* out) {
    if (!out || !Fits(cursor, buffer, size, 4)) return false;
    *out = BufferReadUInt32Raw(cursor, buffer);
    return true;
}

bool BufferReadStringChecked(uint32_t* cursor, const uint8_t* buffer, uint32_t size, std::string* out) {
    if (!out || !Fits(cursor, buffer, size, 1)) return false;
    const uint8_t* start = buffer + *cursor;
    const void* zero = std::memchr(start, 0, size - *cursor);
    if (!zero) return false;
    size_t length = static_cast<const uint8_t*>(zero) - start;
    out->assign(reinterpret_cast<const char*>(start), length);
    *cursor += static_cast<uint32_t>(length + 1);
    return true;
}

bool BufferReadBytesChecked(uint32_t count, uint32_t* cursor, const uint8_t* buffer, uint32_t size,
                            std::vector<uint8_t>* out) {
    if (!out || !Fits(cursor, buffer, size, count)) return false;
    *out = BufferReadBytes(count, cursor, buffer);
    return true;
}

bool BufferReadBytesIntoChecked(void* destination, uint32_t count, uint32_t* cursor, const uint8_t* buffer,
                                uint32_t size) {
    if (!destination || !Fits(cursor, buffer, size, count)) return false;
    BufferReadBytesInto(destination, count, cursor, buffer);
    return true;
}
