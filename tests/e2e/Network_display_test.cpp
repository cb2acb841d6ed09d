// Two real clients and the relay tool on one machine, under Xvfb: both stay
// connected on the title screen past the relay's time-out, then enter the
// game and each gets the other's character. The test runs in a network namespace of its own, so the
// relay's fixed port is never shared with anything else on the machine.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <string>
#include <thread>

#include "support/ProgramRunner.h"
#include "support/TempDir.h"

using testsupport::ProgramRunner;

namespace {

// A network namespace with only the loopback interface, up.
bool EnterOwnNetwork(std::string& why) {
    if (unshare(CLONE_NEWNET) != 0) {
        why = std::string("unshare: ") + std::strerror(errno);
        return false;
    }
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    ifreq request{};
    std::strcpy(request.ifr_name, "lo");
    bool up = fd >= 0 && ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP | IFF_RUNNING;
    up = up && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    if (fd >= 0) close(fd);
    if (!up) why = "cannot bring the loopback interface up";
    return up;
}

// The relay tool, its output in a file.
class Relay {
public:
    explicit Relay(const std::string& logPath) : m_log(logPath) {
        const std::string program = std::string(QEL_BINARY_DIR) + "/netrelay";
        m_pid = fork();
        if (m_pid == 0) {
            int fd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) {
                dup2(fd, 1);
                dup2(fd, 2);
                close(fd);
            }
            execl(program.c_str(), program.c_str(), "-timeout", "1000", "-seconds", "120", static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Relay() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGINT);
        waitpid(m_pid, nullptr, 0);
    }
    std::string Log() const { return testsupport::ReadFile(m_log); }

private:
    std::string m_log;
    pid_t m_pid = -1;
};

bool WaitUntil(const std::function<bool()>& done, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The distinct positions a client reported for the other player's
// character ("seen NAME X Y" lines written by its constructor script).
std::set<std::string> SeenPositions(const std::string& output, const std::string& name) {
    std::set<std::string> positions;
    std::regex line("seen " + name + " (-?[0-9]+) (-?[0-9]+)");
    for (std::sregex_iterator it(output.begin(), output.end(), line), end; it != end; ++it)
        positions.insert((*it)[1].str() + "," + (*it)[2].str());
    return positions;
}

// Makes the game copy's remote character script report where the other
// player's character stands, on every step it runs.
void ReportTheOther(ProgramRunner& runner, const std::string& other) {
    const std::string path = runner.GameDir() + "/Data/Scripts/NPCs/Bramle/Constructor.lua";
    const std::string original = testsupport::ReadFile(path);
    std::ofstream out(path, std::ios::trunc);
    out << "if NPC_GetScriptVariableI('Built') == 1 then\n"
           "  local x = PM_GetValue('NPC', '" << other << "', 'XCenter')\n"
           "  local y = PM_GetValue('NPC', '" << other << "', 'YCenter')\n"
           "  if x and y then io.stderr:write(string.format('seen " << other << " %d %d\\n', x, y)) end\n"
           "end\n"
        << original;
}

}  // namespace

TEST(NetworkEndToEnd, TwoClientsThroughTheRelayStayConnectedAndSeeEachOther) {
    std::string why;
    ASSERT_TRUE(EnterOwnNetwork(why)) << "a network namespace of its own is needed (run as root): " << why;
    testsupport::TempDir dir;
    Relay relay(dir.Path() + "/relay.log");
    ASSERT_TRUE(WaitUntil([&] { return Has(relay.Log(), "relaying on"); }, 10)) << relay.Log();

    ProgramRunner ann, bob;
    ReportTheOther(ann, "Bob");
    ReportTheOther(bob, "Ann");
    ASSERT_TRUE(ann.Start({"-n", "Ann"}));
    unsigned long annWindow = ann.WaitForOwnWindow("Qel:Online", 30);
    ASSERT_NE(annWindow, 0UL) << ann.Stderr();
    ASSERT_TRUE(bob.Start({"-n", "Bob"}));
    unsigned long bobWindow = bob.WaitForOwnWindow("Qel:Online", 30);
    ASSERT_NE(bobWindow, 0UL) << bob.Stderr();
    bob.MoveWindow(bobWindow, 640, 0);
    ASSERT_TRUE(WaitUntil([&] { return Has(relay.Log(), "is called Ann") && Has(relay.Log(), "is called Bob"); }, 30))
        << relay.Log();

    // On the title screen for three times the relay's time-out.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_FALSE(Has(relay.Log(), "was lost") || Has(relay.Log(), " left")) << relay.Log();

    // Into the game: a click on each title screen.
    ASSERT_TRUE(ann.Click(300, 300)) << "the X test extension is needed";
    bob.Click(900, 300);
    ASSERT_TRUE(WaitUntil([&] { return Has(relay.Log(), "walks as Ann") && Has(relay.Log(), "walks as Bob"); }, 30))
        << relay.Log() << ann.Stderr();

    // Each sees the other's character where the other stands.
    EXPECT_TRUE(WaitUntil([&] { return !SeenPositions(bob.Stderr(), "Ann").empty(); }, 10)) << bob.Stderr();
    EXPECT_TRUE(WaitUntil([&] { return !SeenPositions(ann.Stderr(), "Bob").empty(); }, 10)) << ann.Stderr();

    for (ProgramRunner* runner : {&ann, &bob}) runner->RequestClose(runner == &ann ? annWindow : bobWindow);
    EXPECT_EQ(ann.Wait(30), 0);
    EXPECT_EQ(bob.Wait(30), 0);
    EXPECT_FALSE(Has(ann.Stderr(), "Connection to server has been lost")) << ann.Stderr();
}
