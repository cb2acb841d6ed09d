// The README against the program: every command it shows exists, every way
// it shows to run the game starts the game and ends cleanly, and the two
// clients it shows connect through the relay it shows.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/GameSession.h"
#include "support/RelayProcess.h"
#include "support/TempDir.h"

using testsupport::GameSession;

namespace {

// The command lines the README shows: its indented lines that start with
// one of the repository's scripts or a built program, split into words.
std::vector<std::vector<std::string>> ReadmeCommands() {
    std::istringstream readme(testsupport::ReadFile(std::string(QEL_SOURCE_DIR) + "/README.md"));
    std::vector<std::vector<std::string>> commands;
    std::string line;
    while (std::getline(readme, line)) {
        if (line.rfind("    scripts/", 0) != 0 && line.rfind("    build/", 0) != 0) continue;
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

// Where a command's program is: a script of the repository, or a program
// the build makes (the README's "build/" is the build folder in use).
std::string ProgramPath(const std::string& word) {
    if (word.rfind("build/", 0) == 0) return std::string(QEL_BINARY_DIR) + "/" + word.substr(6);
    return std::string(QEL_SOURCE_DIR) + "/" + word;
}

// A client of the two-client game: it carries a name ("-n NAME").
std::string ClientName(const std::vector<std::string>& command) {
    for (size_t i = 1; i + 1 < command.size(); ++i)
        if (command[i] == "-n") return command[i + 1];
    return "";
}

}  // namespace

TEST(Readme, EveryScriptItShowsExists) {
    const auto commands = ReadmeCommands();
    ASSERT_FALSE(commands.empty());
    for (const auto& command : commands) EXPECT_TRUE(IsExecutable(ProgramPath(command[0]))) << command[0];
}

// scripts/run builds the program and runs it in game/ with the options
// given: here the built program runs in a copy of game/ with each shown
// set of options, reaches its game loop and closes with status 0. The runs
// with the network on look for a server on this machine's fixed port: in a
// network of the test's own they find none, whatever else runs here.
TEST(Readme, EveryWayItShowsToRunTheGameStartsIt) {
    std::string why;
    ASSERT_TRUE(testsupport::EnterOwnNetwork(why)) << "a network namespace of its own is needed (run as root): " << why;
    int runs = 0;
    for (const auto& command : ReadmeCommands()) {
        if (command[0] != "scripts/run") continue;
        std::vector<std::string> options(command.begin() + 1, command.end());
        std::string shown;
        for (const std::string& word : command) shown += word + " ";
        SCOPED_TRACE(shown);
        if (!options.empty() && options[0] == "[options]") continue;  // the synopsis
        if (!ClientName(command).empty()) continue;                   // run against the relay below
        ++runs;
        GameSession game;
        ASSERT_TRUE(game.Start(options)) << game.Failure();
        bool skipsTitle = false;
        for (const std::string& option : options) skipsTitle |= option == "-skiptitle";
        // Straight into the world: the game's scripts answer.
        if (skipsTitle) {
            EXPECT_FALSE(game.ProbeOne("Global_GetScriptVariableA(\"Chapter\")").empty());
        }
        EXPECT_EQ(game.Close(), 0);
        const std::string out = game.Output();
        EXPECT_NE(out.find("Cleaning memory - "), std::string::npos) << out;
        EXPECT_EQ(out.find("Lua Error"), std::string::npos) << out;
    }
    EXPECT_GE(runs, 2);
}

// The relay as the README starts it, and each named client it shows: every
// client connects and is known to the relay by its name. In a network of
// the test's own, so the relay's port is not shared.
TEST(Readme, TheTwoClientsItShowsConnectThroughTheRelay) {
    std::vector<std::string> relayOptions;
    std::vector<std::vector<std::string>> clients;
    bool relayShown = false;
    for (const auto& command : ReadmeCommands()) {
        if (command[0] == "build/netrelay") {
            relayShown = true;
            relayOptions.assign(command.begin() + 1, command.end());
        } else if (command[0] == "scripts/run" && !ClientName(command).empty()) {
            clients.push_back(command);
        }
    }
    ASSERT_TRUE(relayShown);
    ASSERT_GE(clients.size(), 2u);

    std::string why;
    ASSERT_TRUE(testsupport::EnterOwnNetwork(why)) << "a network namespace of its own is needed (run as root): " << why;
    testsupport::TempDir dir;
    testsupport::RelayProcess relay(dir.Path() + "/relay.log", relayOptions);
    ASSERT_TRUE(testsupport::WaitFor([&] { return relay.Log().find("relaying on") != std::string::npos; }, 10))
        << relay.Log();
    std::vector<std::unique_ptr<GameSession>> games;
    for (const auto& command : clients) {
        const std::string name = ClientName(command);
        SCOPED_TRACE(name);
        games.push_back(std::make_unique<GameSession>());
        ASSERT_TRUE(games.back()->Start(std::vector<std::string>(command.begin() + 1, command.end())))
            << games.back()->Failure();
        EXPECT_TRUE(testsupport::WaitFor(
            [&] { return relay.Log().find(" is called " + name + "\n") != std::string::npos; }, 30))
            << relay.Log();
    }
    for (auto& game : games) EXPECT_EQ(game->Close(), 0);
}

// scripts/run builds the "play" target: the program, the relay and the
// sample game's data, and no test program, benchmark or fuzz target.
TEST(Readme, TheRunScriptBuildsOnlyWhatPlayingNeeds) {
    FILE* pipe = popen(("ninja -C " + std::string(QEL_BINARY_DIR) + " -t commands play").c_str(), "r");
    std::string commands;
    for (int c; pipe && (c = fgetc(pipe)) != EOF;) commands += static_cast<char>(c);
    EXPECT_EQ(pipe ? pclose(pipe) : -1, 0);
    for (const char* made : {"-o qel ", "-o netrelay ", "DebugRoom.plf", "makeart", "makesound", "makeportraits"})
        EXPECT_NE(commands.find(made), std::string::npos) << made;
    for (const char* unwanted : {"-o test_", "-o bench_", "-o fuzz_"})
        EXPECT_EQ(commands.find(unwanted), std::string::npos) << unwanted;
}
