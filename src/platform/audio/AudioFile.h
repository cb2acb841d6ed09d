#pragma once
// Read-only access to the bytes of an audio file, on disk or in memory. The
// header probes read it piece by piece and the MP3 decoder pulls from it as
// it plays, so a file is never held whole in memory.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace audio {

class AudioFile {
public:
    // Opens a file for reading. Null with kErrorFileOpen for a missing or
    // unreadable file (a folder included), kErrorFileFormat for one larger
    // than any sound file we take.
    static std::unique_ptr<AudioFile> Open(const std::string& path, int& error);
    // The bytes of a file already in memory.
    static std::unique_ptr<AudioFile> FromBytes(std::string data);

    ~AudioFile();
    AudioFile(const AudioFile&) = delete;
    AudioFile& operator=(const AudioFile&) = delete;

    uint64_t Size() const { return size_; }

    // Reads up to n bytes at offset into out (fewer at the end of the file).
    // False on a read error.
    bool ReadAt(uint64_t offset, size_t n, std::string& out);

    // Sequential reading from a current offset, for the MP3 decoder.
    // Read gives the number of bytes read (0 at the end) or -1 on an error;
    // Seek (SEEK_SET, SEEK_CUR, SEEK_END) gives the new offset or -1 for one
    // outside the file.
    int64_t Read(void* buffer, size_t n);
    int64_t Seek(int64_t offset, int whence);

    static constexpr uint64_t kMaxFileBytes = uint64_t(1) << 30;

private:
    AudioFile() = default;
    bool ReadRaw(uint64_t offset, void* buffer, size_t n, size_t& got);

    std::FILE* file_ = nullptr;  // null for bytes in memory
    std::string data_;
    uint64_t size_ = 0;
    uint64_t position_ = 0;  // for Read and Seek
};

}  // namespace audio
