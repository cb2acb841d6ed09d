#include "platform/audio/AudioFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "platform/audio/Audio.h"

namespace audio {

std::unique_ptr<AudioFile> AudioFile::Open(const std::string& path, int& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = kErrorFileOpen;
        return nullptr;
    }
    if (uint64_t(info.st_size) > kMaxFileBytes) {
        error = kErrorFileFormat;
        return nullptr;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = kErrorFileOpen;
        return nullptr;
    }
    std::unique_ptr<AudioFile> result(new AudioFile());
    result->file_ = file;
    result->size_ = uint64_t(info.st_size);
    error = kOk;
    return result;
}

std::unique_ptr<AudioFile> AudioFile::FromBytes(std::string data) {
    std::unique_ptr<AudioFile> result(new AudioFile());
    result->size_ = data.size();
    result->data_ = std::move(data);
    return result;
}

AudioFile::~AudioFile() {
    if (file_) std::fclose(file_);
}

bool AudioFile::ReadRaw(uint64_t offset, void* buffer, size_t n, size_t& got) {
    got = 0;
    if (offset >= size_ || n == 0) return true;
    n = size_t(std::min<uint64_t>(n, size_ - offset));
    if (!file_) {
        std::memcpy(buffer, data_.data() + offset, n);
        got = n;
        return true;
    }
    if (::fseeko(file_, off_t(offset), SEEK_SET) != 0) return false;
    got = std::fread(buffer, 1, n, file_);
    return !std::ferror(file_);
}

bool AudioFile::ReadAt(uint64_t offset, size_t n, std::string& out) {
    out.resize(n);
    size_t got = 0;
    const bool ok = ReadRaw(offset, out.data(), n, got);
    out.resize(got);
    return ok;
}

int64_t AudioFile::Read(void* buffer, size_t n) {
    size_t got = 0;
    if (!ReadRaw(position_, buffer, n, got)) return -1;
    position_ += got;
    return int64_t(got);
}

int64_t AudioFile::Seek(int64_t offset, int whence) {
    int64_t base = 0;
    if (whence == SEEK_CUR)
        base = int64_t(position_);
    else if (whence == SEEK_END)
        base = int64_t(size_);
    else if (whence != SEEK_SET)
        return -1;
    if ((offset < 0 && -offset > base) || (offset > 0 && uint64_t(offset) > size_ - uint64_t(base))) return -1;
    position_ = uint64_t(base + offset);
    return int64_t(position_);
}

}  // namespace audio
