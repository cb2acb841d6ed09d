#pragma once
#include <cstdint>

// Type ids of the object model.
enum ObjectTypeId : int32_t {
    kTypeAllegroBitmap = 10,
    kTypeAIManager = 200,
    kTypeAIBasePackage = 1000,
    kTypeAIBasePathPackage = 1100,
    kTypeAIFollowingPackage = 1103,
    kTypeAIDrawingList = 1200,
    kTypeAIDrawingPackage = 1201,
    kTypeAnimation = 1202,
    kTypeAnimationState = 1203,
    kTypeAIValueRouter = 1300,
    kTypeAIValueScaleRouter = 1301,
    kTypeAIAutoScriptPackage = 1302,
    kTypeAIFrameSetter = 1400,
    kTypeObjectBase = 2000,
    kTypeNonPlayingCharacter = 3000,
    kTypePlayer = 3999,
};

// Base of every entity, AI object and GUI object: a type id set by each
// class and a unique id drawn from the program-wide counter.
class RootObject {
public:
    RootObject();
    ~RootObject() = default;

    int32_t GetType() const { return m_type; }
    int32_t GetID() const { return m_id; }

protected:
    int32_t m_type;
    int32_t m_id;
};
