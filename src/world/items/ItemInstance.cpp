#include "world/items/ItemInstance.h"

#include "world/items/ItemPrototype.h"

namespace {
uint64_t g_nextSerial = 1;
}

ItemInstance::ItemInstance(ItemPrototype* prototype, bool clone) : m_serial(g_nextSerial++) {
    if (!prototype) return;
    m_name = prototype->GetName();
    m_code = prototype->GetCode();
    if (clone) {
        m_ownedPrototype = prototype->Clone();
        m_prototype = m_ownedPrototype.get();
    } else {
        m_prototype = prototype;
    }
}

ItemInstance::~ItemInstance() = default;

int32_t ItemInstance::GetCode() const {
    if (!m_prototype) return -1;
    return m_ownedPrototype ? m_code : m_prototype->GetCode();
}
