#include "core/base/RootObject.h"

#include "core/base/GlobalState.h"

RootObject::RootObject() : m_type(0), m_id(static_cast<int32_t>(NextSerial())) {}
