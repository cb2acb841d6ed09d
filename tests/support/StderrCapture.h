#pragma once
#include <string>

namespace testsupport {

// Captures everything written to the process's stderr (fd 2) between
// construction and Take()/destruction.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Stops capturing (if still running) and returns what was written.
    std::string Take();

private:
    int m_savedFd;
    std::string m_path;
    bool m_active;
    std::string m_text;
};

// What f writes on stderr while it runs.
template <class F> std::string Stderr(F&& f) {
    StderrCapture capture;
    f();
    return capture.Take();
}

}  // namespace testsupport
