#include "world/ObjectStaticAutoScript.h"

#include "core/base/GlobalState.h"
#include "core/script/LuaManager.h"
#include "core/script/PropertyRouter.h"

ObjectStaticAutoScript::ObjectStaticAutoScript() { m_type = kTypeObjectStaticAutoScript; }

ObjectStaticAutoScript::~ObjectStaticAutoScript() {
    if (LuaManager* lua = GetGlobalState()->luaManager) lua->ForgetEntity(this);
}

void ObjectStaticAutoScript::Update() {
    if (!m_path) return;
    if (m_delay > 0) {
        // Held at 0 from below, so a countdown left negative by an earlier
        // delay cannot run past the integer range.
        m_countdown = m_countdown > 0 ? m_countdown - 1 : 0;
        if (m_countdown > 0) return;
    }
    m_countdown = m_delay;
    RunScript(-1);
}

void* ObjectStaticAutoScript::RoutePointer(const std::string&) {
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}

void ObjectStaticAutoScript::SetPath(const std::string& path) {
    m_path = path;
    RunScript(-2);
}

void ObjectStaticAutoScript::RunScript(int32_t code) {
    LuaManager* lua = GetGlobalState()->luaManager;
    if (!lua || !m_path) return;
    // A copy: the script may remove this object. The guard gives a script
    // that set the path its own caller back afterwards.
    const std::string path = *m_path;
    LuaManager::ContextGuard guard(*lua);
    lua->SetCallerEntity(this);
    lua->RunFile(path, code);
}

void ObjectStaticAutoScript::AddFloat(const std::string& name, float value) {
    m_variables.push_back({name, true, value, {}});
}

void ObjectStaticAutoScript::AddString(const std::string& name, const std::string& text) {
    m_variables.push_back({name, false, 0.0f, text});
}

void ObjectStaticAutoScript::ModFloat(const std::string& name, float value) {
    if (Variable* variable = Find(name, true)) variable->value = value;
}

void ObjectStaticAutoScript::ModString(const std::string& name, const std::string& text) {
    if (Variable* variable = Find(name, false)) variable->text = text;
}

float ObjectStaticAutoScript::GetFloat(const std::string& name) const {
    const Variable* variable = Find(name, true);
    return variable ? variable->value : 0.0f;
}

const std::string* ObjectStaticAutoScript::GetString(const std::string& name) const {
    const Variable* variable = Find(name, false);
    return variable ? &variable->text : nullptr;
}

ObjectStaticAutoScript::Variable* ObjectStaticAutoScript::Find(const std::string& name, bool isFloat) {
    for (Variable& variable : m_variables)
        if (variable.isFloat == isFloat && variable.name == name) return &variable;
    return nullptr;
}

const ObjectStaticAutoScript::Variable* ObjectStaticAutoScript::Find(const std::string& name, bool isFloat) const {
    for (const Variable& variable : m_variables)
        if (variable.isFloat == isFloat && variable.name == name) return &variable;
    return nullptr;
}
