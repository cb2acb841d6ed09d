#include "savefile/SavefileModule.h"

#include <limits>

#include "core/base/FileBuffer.h"

namespace {

bool WriteU32(std::FILE* file, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return std::fwrite(bytes, 1, 4, file) == 4;
}

bool ReadU32(FileBuffer& file, uint32_t* value) {
    uint8_t bytes[4];
    if (!file.Read(bytes, 1, 4)) return false;
    *value = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
    return true;
}

}  // namespace

void SavefileModule::Fill(const void*) {
    std::fputs("SavefileModule::Fill - Warning, base class should not be used.\n", stderr);
}

void SavefileModule::Interperet() {
    std::fputs("SavefileModule::Interperet - Warning, base class should not be used.\n", stderr);
}

void SavefileModule::UpdateOldVersion() {
    std::fputs("SavefileModule::UpdateOldVersion - Warning, base class should not be used.\n", stderr);
}

bool SavefileModule::IsWritable() const {
    return m_hasName && m_hasData && m_name.size() <= std::numeric_limits<uint16_t>::max() &&
           m_data.size() <= std::numeric_limits<uint32_t>::max();
}

bool SavefileModule::WriteRecord(std::FILE* file) const {
    if (!file || !IsWritable()) return false;
    const auto length = static_cast<uint16_t>(m_name.size());
    const uint8_t lengthBytes[2] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8)};
    return WriteU32(file, m_type) && WriteU32(file, m_version) && std::fwrite(lengthBytes, 1, 2, file) == 2 &&
           std::fwrite(m_name.data(), 1, m_name.size(), file) == m_name.size() &&
           WriteU32(file, static_cast<uint32_t>(m_data.size())) &&
           std::fwrite(m_data.data(), 1, m_data.size(), file) == m_data.size();
}

bool SavefileModule::ReadType(FileBuffer& file, uint32_t* type) { return type && ReadU32(file, type); }

bool SavefileModule::ReadRecord(FileBuffer& file) {
    uint32_t version = 0;
    uint8_t lengthBytes[2];
    if (!ReadU32(file, &version) || !file.Read(lengthBytes, 1, 2)) return false;
    const uint32_t length = uint32_t{lengthBytes[0]} | uint32_t{lengthBytes[1]} << 8;
    if (length > file.GetRemaining()) return false;
    std::string name(length, '\0');
    if (length > 0 && !file.Read(name.data(), 1, length)) return false;
    uint32_t size = 0;
    if (!ReadU32(file, &size) || size > file.GetRemaining()) return false;
    std::vector<uint8_t> data(size);
    if (size > 0 && !file.Read(data.data(), 1, size)) return false;
    m_version = version;
    SetName(name);
    SetData(std::move(data));
    return true;
}
