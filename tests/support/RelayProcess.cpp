#include "support/RelayProcess.h"

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/TempDir.h"

namespace testsupport {

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

RelayProcess::RelayProcess(const std::string& logPath, const std::vector<std::string>& options) : m_log(logPath) {
    const std::string program = std::string(QEL_BINARY_DIR) + "/netrelay";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& option : options) argv.push_back(const_cast<char*>(option.c_str()));
    argv.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        int fd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
            close(fd);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
}

RelayProcess::~RelayProcess() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGINT);
    waitpid(m_pid, nullptr, 0);
}

std::string RelayProcess::Log() const { return ReadFile(m_log); }

}  // namespace testsupport
