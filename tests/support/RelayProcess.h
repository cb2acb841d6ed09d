#pragma once
#include <string>
#include <vector>

namespace testsupport {

// Puts the calling process (and the programs it starts from now on) into a
// network namespace of its own with only the loopback interface, up, so a
// fixed port is never shared with anything else on the machine. Needs root;
// false with the reason otherwise.
bool EnterOwnNetwork(std::string& why);

// The relay tool (build/netrelay) running with the options given, its
// output in a file; stopped with Ctrl-C's signal when the object goes.
class RelayProcess {
public:
    RelayProcess(const std::string& logPath, const std::vector<std::string>& options);
    ~RelayProcess();
    RelayProcess(const RelayProcess&) = delete;
    RelayProcess& operator=(const RelayProcess&) = delete;

    // What the relay printed so far.
    std::string Log() const;

private:
    std::string m_log;
    int m_pid = -1;
};

}  // namespace testsupport
