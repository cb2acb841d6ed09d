#pragma once
#include <sys/resource.h>

#include <csignal>
#include <string>

namespace testsupport {

// A fresh temporary directory that becomes the working directory for the
// object's lifetime; the previous working directory is restored and the
// directory removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Writes a file (creating parent folders) relative to the directory.
    void WriteFile(const std::string& relative, const std::string& contents) const;

private:
    std::string m_path;
    std::string m_previous;
};

// While it lives, no file of this process grows past `bytes`: a write
// beyond fails as on a full disk, with EFBIG ("File too large"). What a test
// prints meanwhile must stay under it too (StderrCapture writes a file).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        const rlimit limit{bytes, m_previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*m_handler)(int);  // SIGXFSZ, ignored meanwhile: it would end the test
    rlimit m_previous{};
};

// Whole contents of a file, or an empty string when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace testsupport
