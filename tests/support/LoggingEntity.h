#pragma once
// An entity that logs its updates, draws and deletion into a string the test
// owns, as "u:tag ", "d:tag " and "gone:tag ".
#include <functional>
#include <string>
#include <utility>

#include "core/base/RootEntity.h"
#include "core/base/RootObject.h"

namespace testsupport {

class LoggingEntity : public RootEntity {
public:
    LoggingEntity(std::string tag, std::string& log, int type = kTypeNonPlayingCharacter, int key = 0)
        : m_tag(std::move(tag)), m_log(log), m_key(key) {
        m_type = type;
    }
    ~LoggingEntity() override { m_log += "gone:" + m_tag + " "; }

    void Update() override {
        m_log += "u:" + m_tag + " ";
        if (onUpdate) onUpdate();
    }
    int GetDrawOrderKey() override { return m_key; }
    void Draw(BitmapWrapper*, Camera*) override { m_log += "d:" + m_tag + " "; }
    void GetPosition(float* x, float* y, float* z) override { *x = px, *y = py, *z = 99; }

    std::function<void()> onUpdate;
    float px = 0;
    float py = 0;

private:
    std::string m_tag;
    std::string& m_log;
    int m_key;
};

}  // namespace testsupport
