#include "support/StderrCapture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testsupport {

StderrCapture::StderrCapture() : m_savedFd(-1), m_active(false) {
    char name[] = "/tmp/qel-stderr-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) return;
    m_path = name;
    std::fflush(stderr);
    m_savedFd = dup(2);
    dup2(fd, 2);
    close(fd);
    m_active = true;
}

std::string StderrCapture::Take() {
    if (m_active) {
        std::fflush(stderr);
        dup2(m_savedFd, 2);
        close(m_savedFd);
        m_active = false;
        std::ifstream in(m_path, std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        m_text = buffer.str();
        std::remove(m_path.c_str());
    }
    return m_text;
}

StderrCapture::~StderrCapture() { Take(); }

}  // namespace testsupport
