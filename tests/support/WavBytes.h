#pragma once
// Bytes of sound files made in tests: little-endian numbers and PCM WAV
// files.
#include <cstdint>
#include <string>

namespace testsupport {

// Appends the low 16 or all 32 bits of the value, least significant byte
// first.
void Put16(std::string& out, uint32_t value);
void Put32(std::string& out, uint32_t value);

// A PCM WAV file: the RIFF header, the format chunk (channels, frames a
// second, bits a sample) and a data chunk holding the sample bytes as given.
std::string WavFile(uint32_t channels, uint32_t rate, uint32_t bits, const std::string& samples);

}  // namespace testsupport
