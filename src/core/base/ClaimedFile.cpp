#include "core/base/ClaimedFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

namespace {

constexpr char kTagLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kCreateAttempts = 100;

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : (std::filesystem::path(folder) / name).string();
}

}  // namespace

ClaimedFile::~ClaimedFile() { Remove(); }

bool ClaimedFile::Create(const std::string& folder, const std::string& prefix, const std::string& suffix) {
    Remove();
    // Names are drawn apart from the game's random source, whose sequence
    // they must not disturb.
    std::random_device random;
    std::uniform_int_distribution<size_t> letter(0, sizeof kTagLetters - 2);
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::string tag;
        for (size_t i = 0; i < kTagLength; ++i) tag += kTagLetters[letter(random)];
        const std::string name = InFolder(folder, prefix + tag + suffix);
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            m_error = errno;
            return false;
        }
        // Until the lock is taken, another game may take the new file for a
        // leftover: then it holds the lock, or has removed the file, and the
        // next name is tried (the file is that game's to remove).
        struct stat info;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                ::close(fd);
                continue;
            }
            // A file system that holds no locks: the file is used unclaimed.
            // No game can take its lock either, so none removes it as a
            // leftover; a save there works as it did before locks.
        }
        if (::fstat(fd, &info) != 0 || info.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        m_fd = fd;
        m_name = name;
        return true;
    }
    m_error = EEXIST;
    return false;
}

FILE* ClaimedFile::OpenStream(const char* mode) {
    if (m_fd < 0 || !mode) {
        m_error = EBADF;
        return nullptr;
    }
    const int copy = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    FILE* stream = copy >= 0 ? ::fdopen(copy, mode) : nullptr;
    if (!stream) {
        m_error = errno;
        if (copy >= 0) ::close(copy);
    }
    return stream;
}

bool ClaimedFile::RenameTo(const std::string& path) {
    if (m_fd < 0) {
        m_error = EBADF;
        return false;
    }
    if (std::rename(m_name.c_str(), path.c_str()) != 0) {
        m_error = errno;
        return false;
    }
    ::close(m_fd);
    m_fd = -1;
    m_name.clear();
    return true;
}

void ClaimedFile::Remove() {
    if (m_fd < 0) return;
    // Removed while still claimed, so no other game removes it meanwhile.
    ::unlink(m_name.c_str());
    ::close(m_fd);
    m_fd = -1;
    m_name.clear();
}

bool ClaimedFile::IsClaimedName(const std::string& fileName, const std::string& prefix, const std::string& suffix) {
    if (fileName.size() <= prefix.size() + suffix.size() || !fileName.starts_with(prefix) ||
        !fileName.ends_with(suffix))
        return false;
    // The tag; dots too, so that the names earlier versions gave
    // ("<prefix><process id>.<tag><suffix>") are found as well.
    const size_t length = fileName.size() - prefix.size() - suffix.size();
    if (length > 4 * kTagLength) return false;
    for (size_t i = prefix.size(); i < prefix.size() + length; ++i) {
        const char c = fileName[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!letter && c != '.') return false;
    }
    return true;
}

int ClaimedFile::RemoveUnclaimed(const std::string& folder, const std::string& prefix, const std::string& suffix) {
    int removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!IsClaimedName(name, prefix, suffix)) continue;
        const std::string path = InFolder(folder, name);
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        // The lock is taken, so no game claims the file; it is removed while
        // the lock is held, and only when the name still is that file.
        struct stat held, named;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
            ::lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev && held.st_ino == named.st_ino &&
            ::unlink(path.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}
