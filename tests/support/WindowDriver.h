#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// A rectangle of a window's pixels as the X server shows them, 0xRRGGBB
// per pixel, row by row.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    bool Empty() const { return pixels.empty(); }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Pixels for which the test holds.
    size_t Count(const std::function<bool(uint32_t)>& test) const;
    // Pixels that differ from the same place in `other` (of the same size)
    // by more than `tolerance` in some channel; every pixel when the sizes
    // differ.
    size_t CountDifferent(const Screenshot& other, int tolerance) const;
    // Writes the picture as a PNG file; false when it cannot be written.
    bool SavePng(const std::string& path) const;
};

// Colour tests for Screenshot::Count.
int Red(uint32_t pixel);
int Green(uint32_t pixel);
int Blue(uint32_t pixel);
// True when the pixel is within `tolerance` of r, g, b in every channel.
bool Near(uint32_t pixel, int r, int g, int b, int tolerance);

// Plays a window of the X server as a person does: key presses and mouse
// clicks go through the XTest extension, so the program receives them from
// the server exactly as it receives a keyboard's and a mouse's, and the
// window's pixels are read back from the server.
class WindowDriver {
public:
    // Opens its own connection to the current X display.
    explicit WindowDriver(unsigned long window);
    ~WindowDriver();
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    // False when the display or the XTest extension is missing.
    bool Ready() const;

    // Gives the window the keyboard focus and puts the pointer over it.
    void Focus();

    // Keys by their X name ("Escape", "Return", "Right", "z", "Shift_L").
    // A key goes down and stays down until KeyUp.
    void KeyDown(const std::string& key);
    void KeyUp(const std::string& key);
    // Presses a key and holds it until `done` holds or `timeoutSeconds`
    // passed (checked every 20 ms), then lets go. Returns whether `done`
    // held. Without a test, holds the key for a quarter of a second.
    bool Hold(const std::string& key, const std::function<bool()>& done, double timeoutSeconds);
    void Tap(const std::string& key);
    // Holds a key for about this long: a short press moves a character a
    // step or two.
    void Press(const std::string& key, int milliseconds);
    // Types printable ASCII text, with the shift key for capitals and signs.
    void Type(const std::string& text);

    // Mouse, in the window's own coordinates.
    void MoveTo(int x, int y);
    void Click(int x, int y);

    // A rectangle of the window (clipped to it); empty when it cannot be read.
    Screenshot Capture(int x, int y, int width, int height) const;
    Screenshot CaptureAll() const;

private:
    void SendKey(const std::string& key, bool down);
    void Pause(int milliseconds) const;

    void* m_display;
    unsigned long m_window;
    bool m_xtest;
};

// Polls `done` every 50 ms until it holds or `timeoutSeconds` passed.
bool WaitFor(const std::function<bool()>& done, double timeoutSeconds);

}  // namespace testsupport
