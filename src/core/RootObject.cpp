#include "core/RootObject.h"

#include "core/GlobalState.h"

RootObject::RootObject() : m_type(0), m_id(static_cast<int32_t>(NextSerial())) {}
