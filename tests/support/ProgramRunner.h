#pragma once
#include <string>
#include <vector>

namespace testsupport {

// Runs the real program in a copy of the sample game under the current X
// display (the display tests run under Xvfb) and reads what it prints.
class ProgramRunner {
public:
    ProgramRunner();
    ~ProgramRunner();
    ProgramRunner(const ProgramRunner&) = delete;
    ProgramRunner& operator=(const ProgramRunner&) = delete;

    // Working directory the program runs in (a fresh copy of game/).
    const std::string& GameDir() const { return m_gameDir; }

    // Starts the program with the options given. False when it cannot start.
    bool Start(const std::vector<std::string>& options);
    // Waits up to the timeout for a top-level window with this title;
    // returns its X window id (0 when none appeared).
    unsigned long WaitForWindow(const std::string& title, double timeoutSeconds);
    // The same for a window of this program only (by the window's process
    // id), when several programs show windows of one title.
    unsigned long WaitForOwnWindow(const std::string& title, double timeoutSeconds);
    // Moves a window to a position on the screen.
    bool MoveWindow(unsigned long window, int x, int y);

    // Input as a person gives it, through the X server's test extension
    // (the program sees real key and button events). False when the
    // extension cannot be reached.
    bool Click(int screenX, int screenY);
    // Gives the window the keyboard focus.
    bool Focus(unsigned long window);
    // Presses the key (an X key name: "Right", "a", "Return") for holdMs.
    bool HoldKey(const std::string& keyName, int holdMs);
    // Size of a window; false when it cannot be read.
    bool WindowSize(unsigned long window, int* width, int* height);
    // Sends the window's close request the way a window manager does.
    bool RequestClose(unsigned long window);
    // Presses the key of that X key name ("i", "Right", "z") on the window,
    // holds it for the given time and releases it. False when it cannot be
    // sent.
    bool PressKey(unsigned long window, const std::string& keyName, double holdSeconds);
    // Waits up to the timeout for the text to appear in what the program
    // wrote to stderr at or after position `from`; its position, or npos.
    size_t WaitForOutput(const std::string& text, size_t from, double timeoutSeconds) const;
    // Moves the pointer to (x, y) of the window and clicks the left button
    // there, as events sent to the window.
    bool Click(unsigned long window, int x, int y);
    // Presses and releases the key of that X key symbol (XK_space ...) in
    // the window.
    bool PressKey(unsigned long window, unsigned long keySymbol);
    // Waits for the program to end; returns its exit status, or -1 when it
    // did not end in time (it is then killed).
    int Wait(double timeoutSeconds);
    // Everything the program wrote to stderr (stdout) so far.
    std::string Stderr() const;
    std::string Stdout() const;

private:
    std::string m_gameDir;
    std::string m_stderrPath;
    std::string m_stdoutPath;
    int m_pid;
    void* m_xDisplay;
};

// Position of `needle` in `text` at or after `from`, or npos.
size_t FindFrom(const std::string& text, const std::string& needle, size_t from);

}  // namespace testsupport
