#pragma once
// Writers and readers of packed records in a caller-owned byte block. The
// caller keeps a u32 cursor and passes its address; each call starts at the
// cursor and moves it past what it wrote or read.
//
// Encodings: signed 32-bit integers big-endian; unsigned 32-bit values and
// floats in host order; pointers as their full host-order bytes (these records
// live only in memory, within one run); strings as their characters and a zero.
//
// The plain forms do not know the buffer's size: they serve records that the
// caller sized itself. Data read from files or packets goes through the
// ...Checked forms, which take the buffer's size, read nothing and leave the
// cursor and the output alone when fewer bytes remain than the item needs.
// A null buffer writes or reads nothing and leaves the cursor alone.
#include <cstdint>
#include <string>
#include <vector>

inline constexpr uint32_t kBufferPointerSize = sizeof(void*);

void BufferWriteInt32BE(int32_t value, uint32_t* cursor, uint8_t* buffer);
void BufferWriteUInt32Raw(uint32_t value, uint32_t* cursor, uint8_t* buffer);
void BufferWritePointerRaw(const void* pointer, uint32_t* cursor, uint8_t* buffer);
// A null string is written as an empty one (one zero byte).
void BufferWriteString(const char* text, uint32_t* cursor, uint8_t* buffer);
void BufferWriteString(const std::string& text, uint32_t* cursor, uint8_t* buffer);
// A null source writes nothing.
void BufferWriteBytes(const void* source, uint32_t count, uint32_t* cursor, uint8_t* buffer);

int32_t BufferReadInt32BE(uint32_t* cursor, const uint8_t* buffer);
float BufferReadFloatRaw(uint32_t* cursor, const uint8_t* buffer);
uint32_t BufferReadUInt32Raw(uint32_t* cursor, const uint8_t* buffer);
void* BufferReadPointerRaw(uint32_t* cursor, const uint8_t* buffer);
// The zero-terminated string at the cursor; the cursor moves past the zero.
std::string BufferReadString(uint32_t* cursor, const uint8_t* buffer);
std::vector<uint8_t> BufferReadBytes(uint32_t count, uint32_t* cursor, const uint8_t* buffer);
// Nothing when the destination or the buffer is null.
void BufferReadBytesInto(void* destination, uint32_t count, uint32_t* cursor, const uint8_t* buffer);

// Bounds-checked readers: true and the cursor advanced on success; false with
// nothing changed when the buffer is null or the item does not fit in size.
bool BufferReadInt32BEChecked(uint32_t* cursor, const uint8_t* buffer, uint32_t size, int32_t* out);
bool BufferReadFloatRawChecked(uint32_t* cursor, const uint8_t* buffer, uint32_t size, float* out);
bool BufferReadUInt32RawChecked(uint32_t* cursor, const uint8_t* buffer, uint32_t size, uint32_t* out);
// The terminating zero must lie inside the buffer.
bool BufferReadStringChecked(uint32_t* cursor, const uint8_t* buffer, uint32_t size, std::string* out);
bool BufferReadBytesChecked(uint32_t count, uint32_t* cursor, const uint8_t* buffer, uint32_t size,
                            std::vector<uint8_t>* out);
bool BufferReadBytesIntoChecked(void* destination, uint32_t count, uint32_t* cursor, const uint8_t* buffer,
                                uint32_t size);
