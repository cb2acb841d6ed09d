#include "support/TempDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testsupport {

TempDir::TempDir() {
    char name[] = "/tmp/qel-test-XXXXXX";
    if (mkdtemp(name)) m_path = name;
    m_previous = std::filesystem::current_path().string();
    if (!m_path.empty()) std::filesystem::current_path(m_path);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::current_path(m_previous, ec);
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
}

void TempDir::WriteFile(const std::string& relative, const std::string& contents) const {
    std::filesystem::path full = std::filesystem::path(m_path) / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out << contents;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::string();
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::set<std::string> FileNames(const std::string& folder, const std::string& ending) {
    std::set<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->path().filename().string().ends_with(ending)) names.insert(it->path().filename().string());
    return names;
}

}  // namespace testsupport
