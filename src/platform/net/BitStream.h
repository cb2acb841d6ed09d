#pragma once
// A byte stream for network messages. Every multi-byte number travels in
// network byte order (big-endian); doubles as the big-endian bytes of their
// IEEE-754 bits; texts as a big-endian u32 byte count and the bytes.
//
// A stream is either a growing buffer of its own (for writing) or a read-only
// view over bytes someone else owns (a received packet), which it does not
// copy. Every read is bounds-checked: a read that does not fit in what
// remains answers false and changes neither the read position nor the output.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace net {

class BitStream {
public:
    // An empty stream to write into.
    BitStream() = default;
    // A view over length bytes at data (not copied; they must outlive the
    // stream). Writing to a view is refused.
    BitStream(const uint8_t* data, size_t length);

    // ---- Writing (no-ops on a view) -------------------------------------
    void WriteU8(uint8_t value);
    void WriteU16(uint16_t value);
    void WriteU32(uint32_t value);
    void WriteU64(uint64_t value);
    void WriteI32(int32_t value) { WriteU32(static_cast<uint32_t>(value)); }
    void WriteDouble(double value);
    void WriteBytes(const void* data, size_t count);
    // A text longer than the u32 count can express is refused (false,
    // nothing written).
    bool WriteText(std::string_view text);

    // ---- Reading --------------------------------------------------------
    bool ReadU8(uint8_t& out);
    bool ReadU16(uint16_t& out);
    bool ReadU32(uint32_t& out);
    bool ReadU64(uint64_t& out);
    bool ReadI32(int32_t& out);
    bool ReadDouble(double& out);
    bool ReadBytes(void* out, size_t count);
    bool ReadText(std::string& out);
    // Moves the read position forward; false (unmoved) past the end.
    bool IgnoreBytes(size_t count);

    const uint8_t* GetData() const { return m_view ? m_view : m_owned.data(); }
    size_t GetLength() const { return m_view ? m_viewLength : m_owned.size(); }
    size_t GetReadOffset() const { return m_read; }
    size_t GetRemaining() const { return GetLength() - m_read; }
    bool IsView() const { return m_view != nullptr; }

private:
    // True when count more bytes can be read.
    bool Fits(size_t count) const { return count <= GetRemaining(); }
    // Reads a big-endian unsigned number of size bytes.
    bool ReadBig(size_t size, uint64_t& out);
    void WriteBig(uint64_t value, size_t size);

    std::vector<uint8_t> m_owned;
    const uint8_t* m_view = nullptr;
    size_t m_viewLength = 0;
    size_t m_read = 0;
};

}  // namespace net
