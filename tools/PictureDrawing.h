#pragma once
// Drawing pictures for the art tools from a shade function: each pixel is
// sampled n x n times and the samples are averaged with straight alpha, so
// edges come out smooth.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "ArchiveWriter.h"

namespace art {

struct RGBA {
    double r, g, b, a;  // 0..1, straight alpha
};

// Linear blend from a to b, t clamped into 0..1.
inline RGBA Mix(const RGBA& a, const RGBA& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return RGBA{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// The shade function takes the sample's position in pixels.
inline sif::Picture DrawPicture(uint32_t width, uint32_t height, int samples,
                                const std::function<RGBA(double, double)>& shade) {
    sif::Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.resize(static_cast<size_t>(width) * height * 4);
    auto byte = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    RGBA c = shade(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = a > 0 ? byte(r / a) : 0;
            p[1] = a > 0 ? byte(g / a) : 0;
            p[2] = a > 0 ? byte(b / a) : 0;
            p[3] = byte(a / (samples * samples));
        }
    }
    return picture;
}

}  // namespace art
