#pragma once
#include <sys/resource.h>

#include <csignal>
#include <set>
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

// While it lives, no file of this process grows past `bytes` (RLIM_INFINITY:
// no limit): a write beyond fails as on a full disk, with EFBIG. What a test
// prints meanwhile must stay under it too (StderrCapture writes a file).
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : handler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &previous);
        const rlimit limit{bytes, previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    void (*handler)(int);  // SIGXFSZ's, ignored meanwhile: it would end the test
    rlimit previous{};
};

// Whole contents of a file, or an empty string when it cannot be read.
std::string ReadFile(const std::string& path);
// The names of the files in a folder that end in `ending`; none when the
// folder is missing.
std::set<std::string> FileNames(const std::string& folder, const std::string& ending = "");

}  // namespace testsupport
