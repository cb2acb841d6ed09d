#include "world/ItemInstance.h"

#include "world/ItemPrototype.h"

namespace {
uint64_t g_nextSerial = 1;
}

ItemInstance::ItemInstance(ItemPrototype* prototype, bool clone) : m_serial(g_nextSerial++) {
    if (!prototype) return;
    m_name = prototype->GetName();
    if (clone) {
        m_ownedPrototype = prototype->Clone();
        m_prototype = m_ownedPrototype.get();
    } else {
        m_prototype = prototype;
    }
}

ItemInstance::~ItemInstance() = default;
