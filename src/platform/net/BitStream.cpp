#include "platform/net/BitStream.h"

#include <cstring>
#include <limits>

namespace net {

BitStream::BitStream(const uint8_t* data, size_t length) {
    // A view of nothing is an empty view, never a writable stream.
    static const uint8_t kEmpty = 0;
    m_view = data ? data : &kEmpty;
    m_viewLength = data ? length : 0;
}

void BitStream::WriteBig(uint64_t value, size_t size) {
    if (m_view) return;
    for (size_t i = 0; i < size; ++i) m_owned.push_back(static_cast<uint8_t>(value >> (8 * (size - 1 - i))));
}

void BitStream::WriteU8(uint8_t value) { WriteBig(value, 1); }
void BitStream::WriteU16(uint16_t value) { WriteBig(value, 2); }
void BitStream::WriteU32(uint32_t value) { WriteBig(value, 4); }
void BitStream::WriteU64(uint64_t value) { WriteBig(value, 8); }

void BitStream::WriteDouble(double value) {
    uint64_t bits = 0;
    static_assert(sizeof(bits) == sizeof(value));
    std::memcpy(&bits, &value, sizeof(bits));
    WriteBig(bits, 8);
}

void BitStream::WriteBytes(const void* data, size_t count) {
    if (m_view || !data || count == 0) return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_owned.insert(m_owned.end(), bytes, bytes + count);
}

bool BitStream::WriteText(std::string_view text) {
    if (m_view || text.size() > std::numeric_limits<uint32_t>::max()) return false;
    WriteU32(static_cast<uint32_t>(text.size()));
    WriteBytes(text.data(), text.size());
    return true;
}

bool BitStream::ReadBig(size_t size, uint64_t& out) {
    if (!Fits(size)) return false;
    const uint8_t* at = GetData() + m_read;
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) value = (value << 8) | at[i];
    m_read += size;
    out = value;
    return true;
}

bool BitStream::ReadU8(uint8_t& out) {
    uint64_t value;
    if (!ReadBig(1, value)) return false;
    out = static_cast<uint8_t>(value);
    return true;
}

bool BitStream::ReadU16(uint16_t& out) {
    uint64_t value;
    if (!ReadBig(2, value)) return false;
    out = static_cast<uint16_t>(value);
    return true;
}

bool BitStream::ReadU32(uint32_t& out) {
    uint64_t value;
    if (!ReadBig(4, value)) return false;
    out = static_cast<uint32_t>(value);
    return true;
}

bool BitStream::ReadU64(uint64_t& out) { return ReadBig(8, out); }

bool BitStream::ReadI32(int32_t& out) {
    uint32_t value;
    if (!ReadU32(value)) return false;
    out = static_cast<int32_t>(value);
    return true;
}

bool BitStream::ReadDouble(double& out) {
    uint64_t bits;
    if (!ReadBig(8, bits)) return false;
    std::memcpy(&out, &bits, sizeof(out));
    return true;
}

bool BitStream::ReadBytes(void* out, size_t count) {
    if (!Fits(count)) return false;
    if (count > 0) {
        if (!out) return false;
        std::memcpy(out, GetData() + m_read, count);
    }
    m_read += count;
    return true;
}

bool BitStream::ReadText(std::string& out) {
    size_t start = m_read;
    uint32_t length;
    if (!ReadU32(length)) return false;
    // The count is checked against what remains before anything is
    // allocated, so a damaged count cannot ask for gigabytes.
    if (!Fits(length)) {
        m_read = start;
        return false;
    }
    out.assign(reinterpret_cast<const char*>(GetData() + m_read), length);
    m_read += length;
    return true;
}

bool BitStream::IgnoreBytes(size_t count) {
    if (!Fits(count)) return false;
    m_read += count;
    return true;
}

}  // namespace net
