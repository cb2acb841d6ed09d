#include "core/base/FileBuffer.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>
#include <cstring>

#include "core/base/FileNames.h"
#include "core/base/TextUtils.h"

bool FileBuffer::Load(const char* path) {
    Free();
    if (!path) return false;
    // Only regular files are read: a folder has no content to read (and may
    // report an enormous size), and opening a pipe would wait for a writer.
    struct stat info;
    if (stat(NormalizePath(path).c_str(), &info) != 0) return false;
    if (!S_ISREG(info.st_mode)) {
        std::fprintf(stderr, "FileBuffer: cannot load %s (not a regular file)\n", PrintableText(path).c_str());
        return false;
    }
    FILE* file = OpenFile(path, "rb");
    if (!file) return false;

    // The size comes from the end position; an unknown size or one that does
    // not fit the 32-bit size field leaves the buffer unloaded.
    off_t end = -1;
    if (fseeko(file, 0, SEEK_END) == 0) end = ftello(file);
    if (end < 0 || static_cast<uint64_t>(end) > UINT32_MAX || fseeko(file, 0, SEEK_SET) != 0) {
        std::fprintf(stderr, "FileBuffer: cannot load %s (size unknown or too large)\n", PrintableText(path).c_str());
        std::fclose(file);
        return false;
    }

    std::vector<uint8_t> data(static_cast<size_t>(end));
    size_t got = data.empty() ? 0 : std::fread(data.data(), 1, data.size(), file);
    std::fclose(file);
    if (got != data.size()) {
        std::fprintf(stderr, "FileBuffer: cannot load %s (short read)\n", PrintableText(path).c_str());
        return false;
    }
    m_data = std::move(data);
    m_position = 0;
    m_loaded = 1;
    return true;
}

uint32_t FileBuffer::GetRemaining() const {
    uint32_t size = GetSize();
    return m_position < size ? size - m_position : 0;
}

bool FileBuffer::Read(void* destination, uint32_t size, uint32_t count) {
    if (!destination || !m_loaded) return false;
    uint64_t total = static_cast<uint64_t>(size) * count;
    if (total > GetRemaining()) return false;
    if (total > 0) std::memcpy(destination, m_data.data() + m_position, static_cast<size_t>(total));
    m_position += static_cast<uint32_t>(total);
    return true;
}

void FileBuffer::Free() {
    m_data.clear();
    m_data.shrink_to_fit();
    m_position = 0;
    m_loaded = 0;
}

bool FileBuffer::Assign(std::vector<uint8_t>&& data) {
    Free();
    if (data.size() > UINT32_MAX) return false;
    m_data = std::move(data);
    m_position = 0;
    m_loaded = 1;
    return true;
}
