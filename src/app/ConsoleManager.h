#pragma once
// Typed console commands. A line typed into the chat input box that begins
// with the prefix "/" is run as a command instead of being sent as chat:
//   /category commandname [argument] ...
// Command records live in the data library under
// commands/<category>/"normal"|"restricted"/<name>; both headings are
// searched alike. Errors are written into the chat window.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct ConsoleCommand;
using ConsoleHandler = void (*)(ConsoleCommand* command);

// One command: its name, how many argument words it takes, the words of the
// current call (an entry is empty when the line had fewer words) and its
// handler.
struct ConsoleCommand {
    std::string name;
    int32_t argumentCount = 0;
    std::vector<std::optional<std::string>> arguments;
    ConsoleHandler handler = nullptr;

    // Drops the argument words of the last call.
    void FreeArguments() { arguments.clear(); }
};

class ConsoleManager {
public:
    ConsoleManager();
    // Takes the records it registered back out of the data library.
    virtual ~ConsoleManager();
    ConsoleManager(const ConsoleManager&) = delete;
    ConsoleManager& operator=(const ConsoleManager&) = delete;

    const std::string& GetPrefix() const { return m_prefix; }

    // Builds the command tree in the data library (section "commands", the
    // categories "npc", "player" and "system", each with the headings
    // "normal" and "restricted") and registers the commands. Without a data
    // library nothing is registered and a line says so. A second call
    // registers nothing more.
    void RegisterCommands();

    // True when the line begins with the prefix; false for null.
    bool IsCommand(const char* line) const;
    bool IsCommand(const std::string& line) const { return IsCommand(line.c_str()); }

    // Parses the line, finds its command and calls the handler. Lines that
    // do not begin with the prefix are ignored.
    void ExecuteCommand(const char* line);
    void ExecuteCommand(const std::string& line) { ExecuteCommand(line.c_str()); }

private:
    std::string m_prefix = "/";
    std::vector<std::unique_ptr<ConsoleCommand>> m_commands;
    bool m_registered = false;
};

// Handler of "/npc setnpcposition name x y z".
void CommandSetNpcPosition(ConsoleCommand* command);
