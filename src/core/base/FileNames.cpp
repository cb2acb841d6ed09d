#include "core/base/FileNames.h"

#include <algorithm>

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
