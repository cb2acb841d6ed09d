#include "platform/os/DebugConsole.h"

#include <cstdio>

namespace platform {

namespace {
bool gConsoleOpen = false;
}

void OpenDebugConsole() {
    gConsoleOpen = true;
    // Unbuffered stderr so diagnostics appear at once, as a console shows them.
    std::setvbuf(stderr, nullptr, _IONBF, 0);
}

bool DebugConsoleOpen() { return gConsoleOpen; }

void MessageBox(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

}  // namespace platform
