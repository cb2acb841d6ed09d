#include "savefile/SFM.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "combat/Character.h"
#include "combat/CombatParty.h"
#include "combat/CombatRegistry.h"
#include "combat/PartyManager.h"
#include "core/base/FileNames.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/base/TextUtils.h"
#include "savefile/SFCharacterModule.h"
#include "savefile/SFInventoryModule.h"
#include "savefile/SavefileModule.h"
#include "world/PlayerVorn.h"

namespace {

bool WriteU32(std::FILE* file, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return std::fwrite(bytes, 1, 4, file) == 4;
}

}  // namespace

SFM::SFM() = default;
SFM::~SFM() = default;

bool SFM::WriteFile(const std::string& path, int* error) {
    if (path.empty()) {
        if (error) *error = ENOENT;
        return false;
    }
    return WriteFileWhole(
        path, ".tmp",
        [this](std::FILE* file) {
            uint32_t count = 0;
            for (const auto& [name, module] : m_modules)
                if (module && module->IsWritable()) ++count;
            bool ok = std::fwrite(kMagic, 1, kMagicSize, file) == kMagicSize && WriteU32(file, count);
            for (const auto& [name, module] : m_modules)
                if (ok && module && module->IsWritable()) ok = module->WriteRecord(file);
            return ok;
        },
        error);
}

bool SFM::ReadFile(const std::string& path) {
    m_fileBuffer.reset();
    if (path.empty()) return false;
    auto buffer = std::make_unique<FileBuffer>();
    if (!buffer->Load(path)) return false;
    char magic[kMagicSize];
    if (!buffer->Read(magic, 1, kMagicSize) || std::memcmp(magic, kMagic, kMagicSize) != 0) return false;
    uint8_t countBytes[4];
    if (!buffer->Read(countBytes, 1, 4)) return false;
    const uint32_t count = uint32_t{countBytes[0]} | uint32_t{countBytes[1]} << 8 | uint32_t{countBytes[2]} << 16 |
                           uint32_t{countBytes[3]} << 24;
    // Every record is read and checked before the list changes; a count
    // larger than the file can hold runs out of bytes, never of memory.
    std::vector<std::pair<std::string, std::unique_ptr<SavefileModule>>> modules;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t type = 0;
        if (!SavefileModule::ReadType(*buffer, &type)) return false;
        std::unique_ptr<SavefileModule> module = GetModuleSubtype(type);
        if (!module->ReadRecord(*buffer) || !module->Validate()) return false;
        std::string name = module->GetName();
        modules.emplace_back(std::move(name), std::move(module));
    }
    if (buffer->GetRemaining() != 0) return false;
    m_modules = std::move(modules);
    m_fileBuffer = std::move(buffer);
    return true;
}

void SFM::AddModule(std::unique_ptr<SavefileModule> module) {
    if (!module) return;
    const std::string name = module->GetName();
    AddModuleNamed(name, std::move(module));
}

void SFM::AddModuleNamed(const std::string& name, std::unique_ptr<SavefileModule> module) {
    if (module) m_modules.emplace_back(name, std::move(module));
}

void SFM::RemoveModule(const std::string& name) {
    for (auto it = m_modules.begin(); it != m_modules.end(); ++it) {
        if (it->first == name) {
            m_modules.erase(it);
            return;
        }
    }
}

SavefileModule* SFM::FindModule(const std::string& name) const {
    for (const auto& [key, module] : m_modules)
        if (key == name) return module.get();
    return nullptr;
}

SavefileModule* SFM::GetModuleAt(size_t index) const {
    return index < m_modules.size() ? m_modules[index].second.get() : nullptr;
}

std::unique_ptr<SavefileModule> SFM::GetModuleSubtype(uint32_t type) {
    if (type == SavefileModule::kTypeCharacter) return std::make_unique<SFCharacterModule>();
    if (type == SavefileModule::kTypeInventory) return std::make_unique<SFInventoryModule>();
    std::fprintf(stderr, "SFM::GetModuleSubtype - Warning, Unresolved type %i in module!\n", static_cast<int>(type));
    return std::make_unique<SavefileModule>();
}

bool SFM::IssueSave(const std::string& path) {
    m_modules.clear();
    CombatParty* party = GetCombatRegistry().partyManager;
    NamedList* members = party ? party->GetPartyList() : nullptr;
    for (NamedList::Node* node = members ? members->GetHead() : nullptr; node; node = node->next) {
        auto module = std::make_unique<SFCharacterModule>();
        module->Fill(static_cast<const Character*>(node->value));
        AddModule(std::move(module));
    }
    auto inventory = std::make_unique<SFInventoryModule>();
    PlayerVorn* player = GetGlobalState()->player;
    inventory->Fill(player ? player->GetInventory() : nullptr);
    AddModule(std::move(inventory));
    int error = 0;
    if (WriteFile(path, &error)) return true;
    std::fprintf(stderr, "Problem saving %s (%s).\n", PrintableText(path.c_str()).c_str(), std::strerror(error));
    return false;
}

void SFM::IssueLoad(const std::string& path) {
    if (!ReadFile(path)) {
        std::fprintf(stderr, "Problem opening %s.\n", PrintableText(path.c_str()).c_str());
        return;
    }
    // The party manager owns its members and alone deletes them; its
    // current, active and leader members go with them.
    auto* party = dynamic_cast<PartyManager*>(GetCombatRegistry().partyManager);
    if (party) party->ClearParty();
    for (const auto& [name, module] : m_modules) module->Interperet();
    if (party) {
        party->SetCurrentCharacter(nullptr);
        party->LoadFieldSprites();
    }
}
