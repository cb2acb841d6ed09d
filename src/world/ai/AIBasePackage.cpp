#include "world/ai/AIBasePackage.h"

#include "core/base/GlobalState.h"
#include "world/ai/AIManager.h"

bool AIEntityPointers::Gather(const std::string& ownerKind, const std::string& owner) {
    bool all = true;
    all &= stationary.Bind(ownerKind, owner, "St|Stationary");
    all &= walking.Bind(ownerKind, owner, "St|Walking");
    all &= trotting.Bind(ownerKind, owner, "St|Trotting");
    all &= running.Bind(ownerKind, owner, "St|Running");
    all &= dimensions.Bind(ownerKind, owner, "Dimensions");
    all &= animDirection.Bind(ownerKind, owner, "AnimDirection");
    all &= animTimer.Bind(ownerKind, owner, "AnimTimer");
    all &= animFlip.Bind(ownerKind, owner, "AnimFlip");
    return all;
}

void AIEntityPointers::Clear() {
    for (PropertyRouter::SyncPointer* link :
         {&stationary, &walking, &trotting, &running, &dimensions, &animDirection, &animTimer, &animFlip})
        link->Clear();
}

AIBasePackage::AIBasePackage() { m_type = kTypeAIBasePackage; }

AIBasePackage::~AIBasePackage() {
    if (AIManager* manager = GetGlobalState()->aiManager) manager->ForgetObject(this);
    PropertyRouter::ForgetOwner(this);
}

void AIBasePackage::RunAI() {}

void* AIBasePackage::RoutePointer(const std::string&) {
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}

void* AIBasePackage::GetPropertyAddress(const std::string& name) {
    void* address = RoutePointer(name);
    if (!address) PropertyRouter::Report(PropertyRouter::kNone);
    return address;
}

namespace {

// Writes a state flag only through a byte field.
void SetFlag(const PropertyRouter::SyncPointer& flag, uint8_t value) {
    if (flag.GetValueType() == PropertyRouter::kByte) *static_cast<uint8_t*>(flag.Get()) = value;
}

}  // namespace

void AIBasePackage::SetMoveState(AIEntityPointers* block, const char* state) {
    if (!block || !state) return;
    SetFlag(block->stationary, 0);
    SetFlag(block->walking, 0);
    SetFlag(block->trotting, 0);
    SetFlag(block->running, 0);
    const std::string name = state;
    if (name == "Standing") {
        SetFlag(block->stationary, 1);
        if (block->animTimer.GetValueType() == PropertyRouter::kInt) *static_cast<int32_t*>(block->animTimer.Get()) = 0;
    } else if (name == "Walking") {
        SetFlag(block->walking, 1);
    } else if (name == "Trotting") {
        SetFlag(block->trotting, 1);
    } else if (name == "Running") {
        SetFlag(block->running, 1);
    }
}
