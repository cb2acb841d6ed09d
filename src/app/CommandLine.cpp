#include "app/CommandLine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/base/FramePhases.h"
#include "core/base/GlobalState.h"
#include "platform/os/DebugConsole.h"

void ParseCommandLine(int argc, const char* const* argv, GlobalState* state) {
    state->windowWidth = 800;
    state->windowHeight = 600;
    state->memoryMode = 0;
    state->noMusic = 0;
    state->noPalette = 0;
    state->skipTitle = 0;
    state->noNetwork = 0;
    state->startTrace = 0;
    state->outgoingName.clear();

    // Every word is compared with every option; the word after an option
    // that takes a value is itself compared again in the next pass.
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        if (!word) continue;
        const char* next = (i + 1 < argc) ? argv[i + 1] : nullptr;
        if (std::strcmp(word, "-debug") == 0) {
            std::fprintf(stderr, "Opening debug console\n");
            platform::OpenDebugConsole();
            // Where each frame's time goes, every five seconds.
            GetFramePhases().SetReporting(true);
        }
        if (std::strcmp(word, "-f") == 0) {
            state->memoryMode = 1;
            std::fprintf(stderr, "Forcing memory mode\n");
        }
        if (std::strcmp(word, "-ogl") == 0) {
            state->openGLMode = 1;
            std::fprintf(stderr, "Forcing OpenGL mode\n");
        }
        if (std::strcmp(word, "-d3d") == 0) {
            state->direct3DMode = 1;
            std::fprintf(stderr, "Forcing Direct3DInternal mode\n");
        }
        if (std::strcmp(word, "-skiptitle") == 0) {
            state->skipTitle = 1;
            std::fprintf(stderr, "Forcing auto-skip title screen\n");
        }
        if (std::strcmp(word, "-map") == 0) {
            if (next) {
                state->forcedMapName = next;
                state->forcedMap = 1;
            }
            std::fprintf(stderr, "Forcing default map\n");
        }
        if (std::strcmp(word, "-w") == 0 && next) {
            state->windowWidth = std::atoi(next);
            std::fprintf(stderr, "Width set to:%i\n", state->windowWidth);
        }
        if (std::strcmp(word, "-h") == 0 && next) {
            state->windowHeight = std::atoi(next);
            std::fprintf(stderr, "Height set to:%i\n", state->windowHeight);
        }
        if (std::strcmp(word, "-nomusic") == 0) state->noMusic = 1;
        if (std::strcmp(word, "-nopalette") == 0) state->noPalette = 1;
        if (std::strcmp(word, "-GUITrace") == 0) state->guiTrace = 1;
        if (std::strcmp(word, "-starttrace") == 0) state->startTrace = 1;
        if (std::strcmp(word, "-nonetwork") == 0) state->noNetwork = 1;
        if (std::strcmp(word, "-n") == 0 && next) {
            state->outgoingName = next;
            std::fprintf(stderr, "Outgoing name set to %s\n", next);
        }
    }
}

std::string LocalPathFromProgram(const char* programPath) {
    if (!programPath) return std::string();
    size_t length = std::strlen(programPath);
    if (length < 2) return std::string();
    // The final character is not considered; the search stops at the first.
    for (size_t i = length - 2;; --i) {
        if (programPath[i] == '/' || programPath[i] == '\\') return std::string(programPath, i + 1);
        if (i == 0) break;
    }
    return std::string();
}
