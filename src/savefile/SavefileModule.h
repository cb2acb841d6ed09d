#pragma once
// One typed record of a save file: a name, a type (1 a party character, 2
// the inventory), a payload version and the payload bytes. Subclasses build
// the payload from a live object and apply it to the game again.
//
// Loading goes in two steps: every record of a file is read and checked
// (Validate) before any record changes the game (Interperet), so a damaged
// file changes nothing.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class FileBuffer;

class SavefileModule {
public:
    static constexpr uint32_t kTypeBase = 0;
    static constexpr uint32_t kTypeCharacter = 1;
    static constexpr uint32_t kTypeInventory = 2;

    SavefileModule() = default;
    virtual ~SavefileModule() = default;
    SavefileModule(const SavefileModule&) = delete;
    SavefileModule& operator=(const SavefileModule&) = delete;

    // Applies the payload to the game.
    virtual void Interperet();
    // Payloads of older versions.
    virtual void UpdateOldVersion();
    // False when the payload cannot be what its type and version say (the
    // file is then damaged).
    virtual bool Validate() const { return true; }
    // The base module is filled from nothing; it only says so.
    void Fill(const void* object);

    // Writes type, version, name length, name, data size and data; nothing
    // (false) without a name or data, or with a name too long for its
    // length field. False when a write fails.
    bool WriteRecord(std::FILE* file) const;
    // True when WriteRecord would write the record.
    bool IsWritable() const;
    // The record's type at the read position; false when fewer than 4 bytes
    // remain.
    static bool ReadType(FileBuffer& file, uint32_t* type);
    // Version, name and data, each bounded by the bytes that remain; false
    // (with the module unchanged) when the record runs past the end.
    bool ReadRecord(FileBuffer& file);

    const std::string& GetName() const { return m_name; }
    bool HasName() const { return m_hasName; }
    void SetName(const std::string& name) {
        m_name = name;
        m_hasName = true;
    }
    uint32_t GetType() const { return m_type; }
    uint32_t GetVersion() const { return m_version; }
    void SetVersion(uint32_t version) { m_version = version; }
    const std::vector<uint8_t>& GetData() const { return m_data; }
    bool HasData() const { return m_hasData; }
    void SetData(std::vector<uint8_t> data) {
        m_data = std::move(data);
        m_hasData = true;
    }

protected:
    explicit SavefileModule(uint32_t type) : m_type(type) {}

    std::string m_name;
    bool m_hasName = false;
    uint32_t m_type = kTypeBase;
    uint32_t m_version = 0;
    std::vector<uint8_t> m_data;
    bool m_hasData = false;
};
