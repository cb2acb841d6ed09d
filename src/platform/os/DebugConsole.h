#pragma once
#include <string>

namespace platform {

// The debug console: on this platform the program already runs in a
// terminal, so diagnostics keep going to stderr as they are (the standard
// streams are never reopened).
void OpenDebugConsole();
bool DebugConsoleOpen();

// A message box is one line on stderr: "<title>: <text>".
void MessageBox(const std::string& title, const std::string& text);

}  // namespace platform
