#pragma once
#include <memory>
#include <string>
#include <vector>

#include "support/ProgramRunner.h"
#include "support/WindowDriver.h"

namespace testsupport {

// One run of the real program in a copy of the sample game, played through
// a WindowDriver. The copy carries a test-only probe: a script the game runs
// every tick of play, which answers requests the test leaves in the game's
// folder by evaluating Lua expressions (script variables, the player's
// position) in the running game. Each map's script of the copy also sets
// TestMapName to the map's name ("DebugRoom", "Cellar", "MAPRANDOM").
class GameSession {
public:
    GameSession();
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // Starts the program with these options and waits for its window and
    // its game loop. False (with the reason in Failure()) when it did not.
    bool Start(const std::vector<std::string>& options);

    // Appends Lua to one of the copy's scripts (a path under the game's
    // folder) before the program starts: test-only set-up.
    bool AppendToScript(const std::string& relativePath, const std::string& text);

    // Evaluates each Lua expression in the running game, during a tick of
    // play, and returns their values as text ("nil" for none). Empty when
    // no answer came within the timeout (the probe only runs while the
    // world does, not on the title screen).
    std::vector<std::string> Probe(const std::vector<std::string>& expressions, double timeoutSeconds = 20.0);
    // One expression; "" when there was no answer.
    std::string ProbeOne(const std::string& expression, double timeoutSeconds = 20.0);
    // Waits until the expression's value is `expected`.
    bool WaitForValue(const std::string& expression, const std::string& expected, double timeoutSeconds);

    // Waits until the program printed `text` after byte `from` of its
    // stderr; returns the position after it, or npos.
    size_t WaitForOutput(const std::string& text, size_t from, double timeoutSeconds);
    std::string Output() const { return m_runner.Stderr(); }

    // Saves a picture of the whole window as <name>.png into the folder
    // named by QEL_SCREENSHOT_DIR, when it is set (scripts/screenshots).
    void Picture(const std::string& name);

    // Asks the window to close and waits for the program's exit status.
    int Close(double timeoutSeconds = 60.0);

    WindowDriver& Driver() { return *m_driver; }
    // The program's window (0 before Start and after Close).
    unsigned long Window() const { return m_window; }
    ProgramRunner& Runner() { return m_runner; }
    const std::string& GameDir() const { return m_runner.GameDir(); }
    const std::string& Failure() const { return m_failure; }

private:
    void InstallProbe();

    ProgramRunner m_runner;
    std::unique_ptr<WindowDriver> m_driver;
    unsigned long m_window = 0;
    int m_requests = 0;
    std::string m_failure;
};

}  // namespace testsupport
