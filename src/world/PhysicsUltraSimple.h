#pragma once
// A pack that moves its object by its velocity every step, with no friction,
// gravity or collision, until the object leaves the active camera's view;
// then it stops for good.
#include "world/BasePhysicsPack.h"

class PhysicsUltraSimple : public BasePhysicsPack {
public:
    PhysicsUltraSimple() = default;
    ~PhysicsUltraSimple() override = default;

    void Step() override;
    void* RoutePointerHook(const std::string& name) override;
};
