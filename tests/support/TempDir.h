#pragma once
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

// Whole contents of a file, or an empty string when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace testsupport
