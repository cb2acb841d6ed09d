#include "world/ObjectStaticPosition.h"

ObjectStaticPosition::ObjectStaticPosition() { m_type = kTypeObjectStaticPosition; }

ObjectStaticPosition::~ObjectStaticPosition() = default;
