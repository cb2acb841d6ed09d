#pragma once
// A whole file read into memory, with a read position for sequential reads.
#include <cstdint>
#include <string>
#include <vector>

class FileBuffer {
public:
    FileBuffer() = default;

    // Reads the whole file (opened "rb"; backslashes in the path are taken as
    // slashes). Any earlier content is dropped first. On failure (missing
    // file, not a regular file, size unknown or above 4 GiB, short read) the
    // buffer stays unloaded and empty. Returns whether it loaded.
    bool Load(const char* path);
    bool Load(const std::string& path) { return Load(path.c_str()); }
    // Takes bytes already in memory as the content, read position 0. More
    // than 4 GiB leaves the buffer unloaded and empty; returns whether it
    // loaded.
    bool Assign(std::vector<uint8_t>&& data);

    // Copies size * count bytes from the read position and advances past
    // them. Copies nothing and returns false when the destination is null,
    // nothing is loaded or fewer bytes remain than asked.
    bool Read(void* destination, uint32_t size, uint32_t count);

    void SetPosition(uint32_t position) { m_position = position; }
    uint32_t GetPosition() const { return m_position; }
    uint32_t GetRemaining() const;
    uint32_t GetSize() const { return static_cast<uint32_t>(m_data.size()); }
    const uint8_t* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }
    uint8_t* GetData() { return m_data.empty() ? nullptr : m_data.data(); }
    bool IsLoaded() const { return m_loaded != 0; }
    void Free();

private:
    uint8_t m_loaded = 0;
    std::vector<uint8_t> m_data;
    uint32_t m_position = 0;
};
