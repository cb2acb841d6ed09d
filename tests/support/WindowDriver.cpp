#include "support/WindowDriver.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace testsupport {

namespace {

Display* AsDisplay(void* display) { return static_cast<Display*>(display); }

int ChannelDistance(uint32_t a, uint32_t b, int shift) {
    return std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
}

void PutBigEndian(std::vector<unsigned char>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

void PutChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
    PutBigEndian(out, static_cast<uint32_t>(crc));
}

}  // namespace

int Red(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
int Green(uint32_t pixel) { return (pixel >> 8) & 0xFF; }
int Blue(uint32_t pixel) { return pixel & 0xFF; }

bool Near(uint32_t pixel, int r, int g, int b, int tolerance) {
    return std::abs(Red(pixel) - r) <= tolerance && std::abs(Green(pixel) - g) <= tolerance &&
           std::abs(Blue(pixel) - b) <= tolerance;
}

size_t Screenshot::Count(const std::function<bool(uint32_t)>& test) const {
    return static_cast<size_t>(std::count_if(pixels.begin(), pixels.end(), test));
}

size_t Screenshot::CountDifferent(const Screenshot& other, int tolerance) const {
    if (other.width != width || other.height != height) return pixels.size();
    size_t count = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t a = pixels[i], b = other.pixels[i];
        if (ChannelDistance(a, b, 16) > tolerance || ChannelDistance(a, b, 8) > tolerance ||
            ChannelDistance(a, b, 0) > tolerance)
            ++count;
    }
    return count;
}

bool Screenshot::SavePng(const std::string& path) const {
    if (Empty()) return false;
    // Rows of RGB, each after a filter byte of 0 (none).
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = At(x, y);
            raw.push_back(static_cast<unsigned char>(Red(p)));
            raw.push_back(static_cast<unsigned char>(Green(p)));
            raw.push_back(static_cast<unsigned char>(Blue(p)));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return false;
    packed.resize(packedSize);

    std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter set, no interlace
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", packed);
    PutChunk(file, "IEND", {});

    // Written beside the target and renamed, so a failed write leaves no
    // half picture behind.
    const std::string temporary = path + ".part";
    FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return false;
    bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    written = std::fclose(out) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool WaitFor(const std::function<bool()>& done, double timeoutSeconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (true) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

WindowDriver::WindowDriver(unsigned long window) : m_display(XOpenDisplay(nullptr)), m_window(window), m_xtest(false) {
    if (!m_display) return;
    int eventBase, errorBase, major, minor;
    m_xtest = XTestQueryExtension(AsDisplay(m_display), &eventBase, &errorBase, &major, &minor);
}

WindowDriver::~WindowDriver() {
    if (m_display) XCloseDisplay(AsDisplay(m_display));
}

bool WindowDriver::Ready() const { return m_display && m_xtest && m_window; }

void WindowDriver::Pause(int milliseconds) const {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void WindowDriver::Focus() {
    if (!Ready()) return;
    Display* display = AsDisplay(m_display);
    XRaiseWindow(display, m_window);
    XSetInputFocus(display, m_window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
    MoveTo(5, 5);
}

void WindowDriver::SendKey(const std::string& key, bool down) {
    if (!Ready()) return;
    Display* display = AsDisplay(m_display);
    KeySym symbol = XStringToKeysym(key.c_str());
    KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
    if (!code) {
        std::fprintf(stderr, "WindowDriver: no key named %s\n", key.c_str());
        return;
    }
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    XSync(display, False);
}

void WindowDriver::KeyDown(const std::string& key) { SendKey(key, true); }
void WindowDriver::KeyUp(const std::string& key) { SendKey(key, false); }

bool WindowDriver::Hold(const std::string& key, const std::function<bool()>& done, double timeoutSeconds) {
    KeyDown(key);
    bool held = false;
    if (done) {
        held = WaitFor(done, timeoutSeconds);
    } else {
        Pause(250);
        held = true;
    }
    KeyUp(key);
    // The program reads the keyboard's state once a frame: a key struck
    // again before a frame saw it up would read as held all along.
    Pause(200);
    return held;
}

void WindowDriver::Tap(const std::string& key) { Hold(key, nullptr, 0.0); }

void WindowDriver::Press(const std::string& key, int milliseconds) {
    KeyDown(key);
    Pause(milliseconds);
    KeyUp(key);
    Pause(200);
}

void WindowDriver::Type(const std::string& text) {
    if (!Ready()) return;
    Display* display = AsDisplay(m_display);
    for (char c : text) {
        // Printable ASCII keysyms are the characters' own codes.
        KeySym symbol = static_cast<unsigned char>(c);
        KeyCode code = XKeysymToKeycode(display, symbol);
        if (!code) continue;
        const bool shifted = XkbKeycodeToKeysym(display, code, 0, 0) != symbol;
        if (shifted) KeyDown("Shift_L");
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XSync(display, False);
        Pause(60);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        XSync(display, False);
        if (shifted) KeyUp("Shift_L");
        Pause(60);
    }
}

void WindowDriver::MoveTo(int x, int y) {
    if (!Ready()) return;
    Display* display = AsDisplay(m_display);
    int screenX = x, screenY = y;
    Window child;
    XTranslateCoordinates(display, m_window, DefaultRootWindow(display), x, y, &screenX, &screenY, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), screenX, screenY, CurrentTime);
    XSync(display, False);
}

void WindowDriver::Click(int x, int y) {
    if (!Ready()) return;
    Display* display = AsDisplay(m_display);
    MoveTo(x, y);
    Pause(100);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XSync(display, False);
    Pause(150);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    Pause(100);
}

Screenshot WindowDriver::Capture(int x, int y, int width, int height) const {
    Screenshot shot;
    if (!m_display || !m_window) return shot;
    Display* display = AsDisplay(m_display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, m_window, &attributes)) return shot;
    x = std::max(x, 0);
    y = std::max(y, 0);
    width = std::min(width, attributes.width - x);
    height = std::min(height, attributes.height - y);
    if (width <= 0 || height <= 0) return shot;
    XImage* image = XGetImage(display, m_window, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) return shot;
    shot.width = width;
    shot.height = height;
    shot.pixels.resize(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            shot.pixels[static_cast<size_t>(row) * width + column] =
                static_cast<uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFFu;
    XDestroyImage(image);
    return shot;
}

Screenshot WindowDriver::CaptureAll() const { return Capture(0, 0, 1 << 16, 1 << 16); }

}  // namespace testsupport
