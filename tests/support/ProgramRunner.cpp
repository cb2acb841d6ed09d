#include "support/ProgramRunner.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "support/TempDir.h"

#ifndef QEL_SOURCE_DIR
#define QEL_SOURCE_DIR "."
#endif
#ifndef QEL_BINARY_DIR
#define QEL_BINARY_DIR "build"
#endif

namespace testsupport {

namespace fs = std::filesystem;

namespace {

std::string WindowTitle(Display* display, Window window) {
    Atom netName = XInternAtom(display, "_NET_WM_NAME", True);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", True);
    if (netName != None && utf8 != None) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
                Success &&
            data) {
            std::string title(reinterpret_cast<char*>(data), count);
            XFree(data);
            if (!title.empty()) return title;
        }
    }
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        std::string title(name);
        XFree(name);
        return title;
    }
    return std::string();
}

Window FindByTitle(Display* display, Window window, const std::string& title, int depth) {
    if (WindowTitle(display, window) == title) return window;
    if (depth > 4) return 0;
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) found = FindByTitle(display, children[i], title, depth + 1);
    if (children) XFree(children);
    return found;
}

// The process id a window's owner gave it (_NET_WM_PID), or 0.
long WindowPid(Display* display, Window window) {
    Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (pidAtom == None) return 0;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        if (count == 1 && format == 32) pid = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return pid;
}

Window FindByTitleAndPid(Display* display, Window window, const std::string& title, long pid, int depth) {
    if (WindowTitle(display, window) == title && WindowPid(display, window) == pid) return window;
    if (depth > 4) return 0;
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
        found = FindByTitleAndPid(display, children[i], title, pid, depth + 1);
    if (children) XFree(children);
    return found;
}

// The X test extension's calls, taken from its library when it is there
// (the project builds without its headers).
struct TestExtension {
    int (*fakeKey)(Display*, unsigned int, int, unsigned long) = nullptr;
    int (*fakeButton)(Display*, unsigned int, int, unsigned long) = nullptr;
    int (*fakeMotion)(Display*, int, int, int, unsigned long) = nullptr;
};

const TestExtension& Xtst() {
    static const TestExtension calls = [] {
        TestExtension found;
        if (void* library = dlopen("libXtst.so.6", RTLD_NOW)) {
            found.fakeKey = reinterpret_cast<decltype(found.fakeKey)>(dlsym(library, "XTestFakeKeyEvent"));
            found.fakeButton = reinterpret_cast<decltype(found.fakeButton)>(dlsym(library, "XTestFakeButtonEvent"));
            found.fakeMotion = reinterpret_cast<decltype(found.fakeMotion)>(dlsym(library, "XTestFakeMotionEvent"));
        }
        return found;
    }();
    return calls;
}

// Windows come and go while the tree is walked (another program's window
// closing); Xlib's default handler would end the test on the resulting
// BadWindow errors, so they are ignored and the lookup simply finds nothing.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

size_t FindFrom(const std::string& text, const std::string& needle, size_t from) {
    if (from == std::string::npos) return std::string::npos;
    return text.find(needle, from);
}

ProgramRunner::ProgramRunner() : m_pid(-1), m_xDisplay(nullptr) {
    char name[] = "/tmp/qel-game-XXXXXX";
    if (mkdtemp(name)) m_gameDir = name;
    std::error_code ec;
    fs::copy(fs::path(QEL_SOURCE_DIR) / "game", m_gameDir, fs::copy_options::recursive, ec);
    m_stderrPath = m_gameDir + "/.stderr.txt";
    m_stdoutPath = m_gameDir + "/.stdout.txt";
    XSetErrorHandler(IgnoreXErrors);
    m_xDisplay = XOpenDisplay(nullptr);
}

ProgramRunner::~ProgramRunner() {
    if (m_pid > 0) Wait(0.0);
    if (m_xDisplay) XCloseDisplay(static_cast<Display*>(m_xDisplay));
    std::error_code ec;
    if (!m_gameDir.empty()) fs::remove_all(m_gameDir, ec);
}

bool ProgramRunner::Start(const std::vector<std::string>& options) {
    std::string program = std::string(QEL_BINARY_DIR) + "/qel";
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        if (chdir(m_gameDir.c_str()) != 0) _exit(126);
        int fd = open(m_stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 2);
            close(fd);
        }
        int out = open(m_stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            dup2(out, 1);
            close(out);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& option : options) argv.push_back(const_cast<char*>(option.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        std::fprintf(stderr, "cannot start %s: %s\n", program.c_str(), std::strerror(errno));
        _exit(127);
    }
    m_pid = pid;
    return true;
}

unsigned long ProgramRunner::WaitForWindow(const std::string& title, double timeoutSeconds) {
    Display* display = static_cast<Display*>(m_xDisplay);
    if (!display) return 0;
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (std::chrono::steady_clock::now() < end) {
        Window found = FindByTitle(display, DefaultRootWindow(display), title, 0);
        if (found) return found;
        if (m_pid > 0) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -status - 1000;  // ended before a window appeared
                return 0;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

unsigned long ProgramRunner::WaitForOwnWindow(const std::string& title, double timeoutSeconds) {
    Display* display = static_cast<Display*>(m_xDisplay);
    if (!display || m_pid <= 0) return 0;
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (std::chrono::steady_clock::now() < end) {
        Window found = FindByTitleAndPid(display, DefaultRootWindow(display), title, m_pid, 0);
        if (found) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

bool ProgramRunner::MoveWindow(unsigned long window, int x, int y) {
    Display* display = static_cast<Display*>(m_xDisplay);
    if (!display || !window) return false;
    XMoveWindow(display, window, x, y);
    XSync(display, False);
    return true;
}

bool ProgramRunner::Click(int screenX, int screenY) {
    Display* display = static_cast<Display*>(m_xDisplay);
    const TestExtension& xtst = Xtst();
    if (!display || !xtst.fakeMotion || !xtst.fakeButton) return false;
    xtst.fakeMotion(display, -1, screenX, screenY, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    xtst.fakeButton(display, 1, True, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    xtst.fakeButton(display, 1, False, CurrentTime);
    XSync(display, False);
    return true;
}

bool ProgramRunner::Focus(unsigned long window) {
    Display* display = static_cast<Display*>(m_xDisplay);
    if (!display || !window) return false;
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
    return true;
}

bool ProgramRunner::HoldKey(const std::string& keyName, int holdMs) {
    Display* display = static_cast<Display*>(m_xDisplay);
    const TestExtension& xtst = Xtst();
    if (!display || !xtst.fakeKey) return false;
    KeySym symbol = XStringToKeysym(keyName.c_str());
    KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
    if (!code) return false;
    xtst.fakeKey(display, code, True, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
    xtst.fakeKey(display, code, False, CurrentTime);
    XSync(display, False);
    return true;
}

bool ProgramRunner::WindowSize(unsigned long window, int* width, int* height) {
    Display* display = static_cast<Display*>(m_xDisplay);
    XWindowAttributes attributes;
    if (!display || !XGetWindowAttributes(display, window, &attributes)) return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

bool ProgramRunner::RequestClose(unsigned long window) {
    Display* display = static_cast<Display*>(m_xDisplay);
    if (!display || !window) return false;
    XEvent event;
    std::memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    bool sent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
    XFlush(display);
    return sent;
}

bool ProgramRunner::PressKey(unsigned long window, const std::string& keyName, double holdSeconds) {
    Display* display = static_cast<Display*>(m_xDisplay);
    if (!display || !window) return false;
    const KeySym symbol = XStringToKeysym(keyName.c_str());
    const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
    if (!code) return false;
    auto send = [&](int type) {
        XEvent event;
        std::memset(&event, 0, sizeof(event));
        event.xkey.type = type;
        event.xkey.display = display;
        event.xkey.window = window;
        event.xkey.root = DefaultRootWindow(display);
        event.xkey.subwindow = None;
        event.xkey.time = CurrentTime;
        event.xkey.same_screen = True;
        event.xkey.keycode = code;
        const long mask = type == KeyPress ? KeyPressMask : KeyReleaseMask;
        bool sent = XSendEvent(display, window, True, mask, &event) != 0;
        XFlush(display);
        return sent;
    };
    if (!send(KeyPress)) return false;
    std::this_thread::sleep_for(std::chrono::duration<double>(holdSeconds));
    return send(KeyRelease);
}

size_t ProgramRunner::WaitForOutput(const std::string& text, size_t from, double timeoutSeconds) const {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (true) {
        size_t found = FindFrom(Stderr(), text, from);
        if (found != std::string::npos || std::chrono::steady_clock::now() >= end) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool ProgramRunner::Click(unsigned long window, int x, int y) {
    Display* display = static_cast<Display*>(m_xDisplay);
    if (!display || !window) return false;
    XEvent event;
    std::memset(&event, 0, sizeof(event));
    event.xmotion.type = MotionNotify;
    event.xmotion.window = window;
    event.xmotion.x = x;
    event.xmotion.y = y;
    event.xmotion.same_screen = True;
    bool sent = XSendEvent(display, window, True, PointerMotionMask, &event) != 0;
    XFlush(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    for (int type : {ButtonPress, ButtonRelease}) {
        std::memset(&event, 0, sizeof(event));
        event.xbutton.type = type;
        event.xbutton.window = window;
        event.xbutton.x = x;
        event.xbutton.y = y;
        event.xbutton.button = Button1;
        event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
        event.xbutton.same_screen = True;
        sent =
            XSendEvent(display, window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event) != 0 &&
            sent;
        XFlush(display);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return sent;
}

bool ProgramRunner::PressKey(unsigned long window, unsigned long keySymbol) {
    Display* display = static_cast<Display*>(m_xDisplay);
    if (!display || !window) return false;
    bool sent = true;
    for (int type : {KeyPress, KeyRelease}) {
        XEvent event;
        std::memset(&event, 0, sizeof(event));
        event.xkey.type = type;
        event.xkey.window = window;
        event.xkey.root = DefaultRootWindow(display);
        event.xkey.keycode = XKeysymToKeycode(display, keySymbol);
        event.xkey.same_screen = True;
        sent = XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event) != 0 && sent;
        XFlush(display);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return sent;
}

int ProgramRunner::Wait(double timeoutSeconds) {
    if (m_pid <= -1000) {
        int status = -(m_pid + 1000);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (m_pid <= 0) return -1;
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (true) {
        int status = 0;
        pid_t done = waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= end) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
    return -1;
}

std::string ProgramRunner::Stderr() const { return ReadFile(m_stderrPath); }

std::string ProgramRunner::Stdout() const { return ReadFile(m_stdoutPath); }

}  // namespace testsupport
