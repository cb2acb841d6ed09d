#include "world/ObjectStaticBase.h"

ObjectStaticBase::ObjectStaticBase() { m_type = kTypeObjectStaticBase; }

ObjectStaticBase::~ObjectStaticBase() = default;
