#include "core/base/FileNames.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "core/base/ClaimedFile.h"

std::string NormalizePath(const std::string& name) {
    std::string result = name;
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

FILE* OpenFile(const std::string& name, const char* mode) {
    if (!mode) return nullptr;
    return std::fopen(NormalizePath(name).c_str(), mode);
}

bool ReadFileContents(const std::string& name, std::string& out) {
    out.clear();
    FILE* file = OpenFile(name, "rb");
    if (!file) return false;
    std::string data;
    char chunk[8192];
    bool ok = true;
    for (;;) {
        size_t got = std::fread(chunk, 1, sizeof chunk, file);
        data.append(chunk, got);
        if (got < sizeof chunk) {
            ok = !std::ferror(file);
            break;
        }
    }
    std::fclose(file);
    if (!ok) return false;
    out.swap(data);
    return true;
}

namespace {

// Makes a rename in the folder lasting; a folder that cannot be synced
// changes nothing about the file, which is in place.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool WriteFileWhole(const std::string& path, const std::string& suffix, const std::function<bool(FILE*)>& write,
                    int* error) {
    auto fail = [error](int code) {
        if (error) *error = code != 0 ? code : EIO;
        return false;
    };
    const std::filesystem::path target(NormalizePath(path));
    const std::string folder = target.parent_path().string();
    const std::string prefix = target.filename().string() + ".";
    ClaimedFile::RemoveUnclaimed(folder, prefix, suffix);
    // A name of this game's own: two games writing one file at once each
    // rename a whole file into place, and the later one stays.
    ClaimedFile temporary;
    if (!temporary.Create(folder, prefix, suffix)) return fail(temporary.Error());
    FILE* file = temporary.OpenStream("wb");
    if (!file) return fail(temporary.Error());
    // The bytes reach the disk before the name points at them, so a power
    // cut leaves the old file or the new one, never an empty one.
    errno = 0;
    bool written = write(file) && std::fflush(file) == 0 && !std::ferror(file) && ::fsync(fileno(file)) == 0;
    int code = errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        code = errno;
    }
    if (!written) return fail(code);  // the temporary goes with its claim
    if (!temporary.RenameTo(target.string())) return fail(temporary.Error());
    SyncFolder(folder);
    return true;
}
