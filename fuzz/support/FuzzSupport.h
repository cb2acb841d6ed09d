#pragma once
// What the fuzz targets share: a private working folder, Allegro without a
// display, zlib, files written whole, a reader of option bytes taken from
// the front of an input, and the check that stops a run on a broken promise.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzsupport {

// Once per process: makes a fresh folder under /tmp, moves into it (readers
// write their cache and working files next to them) and removes it at exit.
void EnterWorkFolder();

// Once per process: Allegro's system and image addon, memory bitmaps only.
void StartAllegro();

// The bytes as one zlib stream (fast level).
std::string Compress(const uint8_t* data, size_t size);

// Writes the bytes to the file, replacing it (creating parent folders).
void WriteWholeFile(const std::string& path, const uint8_t* data, size_t size);
inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
    WriteWholeFile(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
bool FileExists(const std::string& path);
void RemoveFile(const std::string& path);

// A reader's broken promise: prints the message and aborts, which the fuzzer
// reports as a finding with the input that caused it.
[[noreturn]] void Broken(const char* what);
inline void Check(bool holds, const char* what) {
    if (!holds) Broken(what);
}

// Takes option bytes from the front of an input; the rest is the payload.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    // The next byte, 0 once the input is used up.
    uint8_t Byte();
    // The next two bytes, little-endian.
    uint16_t U16();
    const uint8_t* Rest() const { return m_data + m_at; }
    size_t RestSize() const { return m_size - m_at; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// The input's payload (what the reader has not taken), followed by
// zeroPadding zero bytes: as it stands, or compressed as one zlib stream for
// the readers of compressed files.
std::string Payload(const InputReader& input, bool compressed, size_t zeroPadding = 0);

}  // namespace fuzzsupport
