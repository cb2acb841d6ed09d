#pragma once
// Base of the world objects that do not move by themselves: animations,
// position markers, transition zones and auto-script objects.
#include "world/ObjectBase.h"

class ObjectStaticBase : public ObjectBase {
public:
    ObjectStaticBase();
    ~ObjectStaticBase() override;
};
