// The README against the program: every command it shows exists, and every
// way it shows to run the game starts the game and ends cleanly.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/GameSession.h"
#include "support/TempDir.h"

using testsupport::GameSession;

namespace {

// The command lines the README shows: its indented lines that start with
// one of the repository's scripts, split into words.
std::vector<std::vector<std::string>> ReadmeCommands() {
    std::istringstream readme(testsupport::ReadFile(std::string(QEL_SOURCE_DIR) + "/README.md"));
    std::vector<std::vector<std::string>> commands;
    std::string line;
    while (std::getline(readme, line)) {
        if (line.rfind("    scripts/", 0) != 0) continue;
        std::istringstream words(line);
        std::vector<std::string> command;
        for (std::string word; words >> word;) command.push_back(word);
        commands.push_back(command);
    }
    return commands;
}

bool IsExecutable(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IXUSR);
}

}  // namespace

TEST(Readme, EveryScriptItShowsExists) {
    const auto commands = ReadmeCommands();
    ASSERT_FALSE(commands.empty());
    for (const auto& command : commands)
        EXPECT_TRUE(IsExecutable(std::string(QEL_SOURCE_DIR) + "/" + command[0])) << command[0];
}

// scripts/run builds the program and runs it in game/ with the options
// given: here the built program runs in a copy of game/ with each shown
// set of options, reaches its game loop and closes with status 0.
TEST(Readme, EveryWayItShowsToRunTheGameStartsIt) {
    int runs = 0;
    for (const auto& command : ReadmeCommands()) {
        if (command[0] != "scripts/run") continue;
        std::vector<std::string> options(command.begin() + 1, command.end());
        std::string shown;
        for (const std::string& word : command) shown += word + " ";
        SCOPED_TRACE(shown);
        if (!options.empty() && options[0] == "[options]") continue;  // the synopsis
        ++runs;
        GameSession game;
        ASSERT_TRUE(game.Start(options)) << game.Failure();
        bool skipsTitle = false;
        for (const std::string& option : options) skipsTitle |= option == "-skiptitle";
        // Straight into the world: the game's scripts answer.
        if (skipsTitle) EXPECT_FALSE(game.ProbeOne("Global_GetScriptVariableA(\"Chapter\")").empty());
        EXPECT_EQ(game.Close(), 0);
        const std::string out = game.Output();
        EXPECT_NE(out.find("Cleaning memory - "), std::string::npos) << out;
        EXPECT_EQ(out.find("Lua Error"), std::string::npos) << out;
    }
    EXPECT_GE(runs, 2);
}
