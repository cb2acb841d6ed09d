#include "support/GameSession.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

namespace testsupport {

namespace fs = std::filesystem;

namespace {

// The probe: runs as a floating auto-script package every tick of play.
// A request is a file of lines: an id, then one Lua expression a line. The
// answer goes to a file of "id" and then one value a line, written beside
// and renamed, so the test never reads half of it.
constexpr const char* kProbeScript = R"(local request = io.open("probe.request", "r")
if not request then return end
local text = request:read("*a")
request:close()
os.remove("probe.request")
local lines = {}
for line in text:gmatch("[^\n]+") do table.insert(lines, line) end
local out = { lines[1] or "" }
for i = 2, #lines do
    local chunk = loadstring("return " .. lines[i])
    local ok, value = false, nil
    if chunk then ok, value = pcall(chunk) end
    if ok then table.insert(out, tostring(value)) else table.insert(out, "error") end
end
local answer = io.open("probe.answer.part", "w")
answer:write(table.concat(out, "\n") .. "\n")
answer:close()
os.rename("probe.answer.part", "probe.answer")
)";

// Appended to the scripts of the maps' folder: the probe, and in a map's
// own script the map's name for the test to read ("TestMapName"). No script
// function tells which map is loaded, so each map's script names itself: a
// level's script its level, the random floors' script (in a folder of its
// own) the random floor's load target. Other scripts there (run by a map's
// objects) name nothing.
std::string ProbeStart(const std::string& mapName) {
    std::string text = "\n-- Test-only: the probe that answers the end-to-end test's questions.\n";
    if (!mapName.empty()) text += "TestMapName = \"" + mapName + "\"\n";
    return text +
           "AIM_CreateObject(\"TestProbe\", \"FloatingAIPackageList\", \"AIAutoScript\", "
           "\"Data/Scripts/Test/Probe.lua\", 0)\n";
}

bool WriteText(const std::string& path, const std::string& text, bool append) {
    std::ofstream out(path, append ? std::ios::app : std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace

GameSession::GameSession() { InstallProbe(); }

GameSession::~GameSession() {
    if (m_window) Close(30.0);
}

void GameSession::InstallProbe() {
    const std::string game = m_runner.GameDir();
    std::error_code ec;
    fs::create_directories(game + "/Data/Scripts/Test", ec);
    WriteText(game + "/Data/Scripts/Test/Probe.lua", kProbeScript, false);
    // Loading a map clears the floating packages, so every map script
    // starts the probe again.
    const fs::path maps = game + "/Data/Scripts/Maps";
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(maps, ec))
        if (entry.is_regular_file() && entry.path().extension() == ".lua") {
            const std::string stem = entry.path().stem().string();
            std::string name;
            if (entry.path().parent_path() != maps)
                name = "MAPRANDOM";
            else if (fs::exists(game + "/Data/Maps/" + stem + ".plf") ||
                     fs::exists(game + "/Data/Maps/" + stem + ".slf"))
                name = stem;
            WriteText(entry.path().string(), ProbeStart(name), true);
        }
}

bool GameSession::AppendToScript(const std::string& relativePath, const std::string& text) {
    const std::string path = m_runner.GameDir() + "/" + relativePath;
    return fs::exists(path) && WriteText(path, "\n" + text + "\n", true);
}

bool GameSession::Start(const std::vector<std::string>& options) {
    if (!m_runner.Start(options)) {
        m_failure = "the program could not be started";
        return false;
    }
    // Its own window: another program of the same title may be running
    // on the display (a second client).
    m_window = m_runner.WaitForOwnWindow("Qel:Online", 60.0);
    if (!m_window) {
        m_failure = "no window appeared:\n" + m_runner.Stderr();
        return false;
    }
    m_driver = std::make_unique<WindowDriver>(m_window);
    if (!m_driver->Ready()) {
        m_failure = "no XTest extension on this display";
        return false;
    }
    if (WaitForOutput("Begin primary game loop\n", 0, 60.0) == std::string::npos) {
        m_failure = "the game loop did not begin:\n" + m_runner.Stderr();
        return false;
    }
    m_driver->Focus();
    return true;
}

std::vector<std::string> GameSession::Probe(const std::vector<std::string>& expressions, double timeoutSeconds) {
    const std::string game = m_runner.GameDir();
    const std::string id = std::to_string(++m_requests);
    std::string request = id + "\n";
    for (const std::string& expression : expressions) request += expression + "\n";
    std::error_code ec;
    fs::remove(game + "/probe.answer", ec);
    if (!WriteText(game + "/probe.request.part", request, false)) return {};
    fs::rename(game + "/probe.request.part", game + "/probe.request", ec);

    std::vector<std::string> values;
    WaitFor(
        [&] {
            if (!fs::exists(game + "/probe.answer")) return false;
            std::string answer = ReadFile(game + "/probe.answer");
            std::vector<std::string> lines;
            size_t start = 0;
            while (start < answer.size()) {
                size_t end = answer.find('\n', start);
                if (end == std::string::npos) end = answer.size();
                lines.push_back(answer.substr(start, end - start));
                start = end + 1;
            }
            if (lines.empty() || lines[0] != id) return false;
            values.assign(lines.begin() + 1, lines.end());
            return true;
        },
        timeoutSeconds);
    fs::remove(game + "/probe.request", ec);
    fs::remove(game + "/probe.answer", ec);
    return values;
}

std::string GameSession::ProbeOne(const std::string& expression, double timeoutSeconds) {
    std::vector<std::string> values = Probe({expression}, timeoutSeconds);
    return values.empty() ? std::string() : values[0];
}

bool GameSession::WaitForValue(const std::string& expression, const std::string& expected, double timeoutSeconds) {
    return WaitFor([&] { return ProbeOne(expression, timeoutSeconds) == expected; }, timeoutSeconds);
}

size_t GameSession::WaitForOutput(const std::string& text, size_t from, double timeoutSeconds) {
    size_t found = std::string::npos;
    WaitFor(
        [&] {
            found = FindFrom(m_runner.Stderr(), text, from);
            return found != std::string::npos;
        },
        timeoutSeconds);
    return found == std::string::npos ? found : found + text.size();
}

void GameSession::Picture(const std::string& name) {
    const char* folder = std::getenv("QEL_SCREENSHOT_DIR");
    if (!folder || !*folder || !m_driver) return;
    const std::string path = std::string(folder) + "/" + name + ".png";
    if (!m_driver->CaptureAll().SavePng(path)) std::fprintf(stderr, "could not write %s\n", path.c_str());
}

int GameSession::Close(double timeoutSeconds) {
    if (!m_window) return m_runner.Wait(timeoutSeconds);
    m_runner.RequestClose(m_window);
    m_window = 0;
    return m_runner.Wait(timeoutSeconds);
}

}  // namespace testsupport
