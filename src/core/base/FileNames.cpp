#include "core/base/FileNames.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

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

int RemoveFilesOfEndedProcesses(const std::string& folder, const std::string& prefix, const std::string& suffix,
                                bool ownToo) {
    int removed = 0;
    std::error_code error, ignored;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix))
            continue;
        const size_t stop = std::min(name.find('.', prefix.size()), name.size() - suffix.size());
        const std::string digits = name.substr(prefix.size(), stop - prefix.size());
        if (digits.empty() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const long long pid = std::stoll(digits);
        if (pid < 1 || pid > INT32_MAX) continue;
        const auto owner = static_cast<pid_t>(pid);
        const bool runs = owner == getpid() ? !ownToo : ::kill(owner, 0) == 0 || errno == EPERM;
        if (!runs && std::filesystem::remove(it->path(), ignored)) ++removed;
    }
    return removed;
}

std::string OwnTemporaryName(const std::string& path, const std::string& suffix) {
    const std::filesystem::path where(path);
    RemoveFilesOfEndedProcesses(where.parent_path().string(), where.filename().string() + ".", suffix);
    return path + "." + std::to_string(getpid()) + suffix;
}
