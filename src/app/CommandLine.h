#pragma once
#include <string>

struct GlobalState;

// Resets the options of the global state to their defaults (800 x 600,
// every flag off, no names) and reads the command-line words into it,
// printing each option's line on stderr. Unknown words are ignored.
void ParseCommandLine(int argc, const char* const* argv, GlobalState* state);

// Folder part of the program path, up to and including its last slash or
// backslash (the final character is not considered); empty when there is none.
std::string LocalPathFromProgram(const char* programPath);
