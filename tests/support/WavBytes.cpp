#include "support/WavBytes.h"

namespace testsupport {

void Put16(std::string& out, uint32_t value) {
    out += char(value & 0xff);
    out += char((value >> 8) & 0xff);
}

void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xffff);
    Put16(out, value >> 16);
}

std::string WavFile(uint32_t channels, uint32_t rate, uint32_t bits, const std::string& samples) {
    const uint32_t align = channels * bits / 8;
    const uint32_t bytes = uint32_t(samples.size());
    std::string s = "RIFF";
    Put32(s, 36 + bytes);
    s += "WAVEfmt ";
    Put32(s, 16);
    Put16(s, 1);  // PCM
    Put16(s, channels);
    Put32(s, rate);
    Put32(s, rate * align);
    Put16(s, align);
    Put16(s, bits);
    s += "data";
    Put32(s, bytes);
    return s + samples;
}

}  // namespace testsupport
