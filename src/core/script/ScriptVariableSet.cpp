#include "core/script/ScriptVariableSet.h"

#include <cstring>

#include "core/base/NamedNodeList.h"
#include "core/script/ScriptVariable.h"

ScriptVariableSet::ScriptVariableSet() : m_list(std::make_unique<NamedNodeList>(false)) {}

ScriptVariableSet::~ScriptVariableSet() { Clear(); }

void ScriptVariableSet::AddNumber(const std::string& name, float number) {
    auto* variable = new ScriptVariable;
    variable->InitNumber(name, number);
    m_list->Add(name, variable);
}

void ScriptVariableSet::AddString(const std::string& name, const std::string& text) {
    auto* variable = new ScriptVariable;
    variable->InitString(name, text);
    m_list->Add(name, variable);
}

void ScriptVariableSet::Delete(const std::string& name) {
    // Removed by position so that, with repeated names, the first one goes
    // (the same variable every lookup finds). Names compare as the list's
    // lookups compare them, up to a first zero byte.
    int index = 0;
    for (NamedNodeList::Node* node = m_list->GetHead(); node; node = node->next, ++index) {
        if (std::strcmp(node->name.c_str(), name.c_str()) != 0) continue;
        auto* variable = static_cast<ScriptVariable*>(m_list->RemoveAt(index));
        if (variable) variable->Release();
        delete variable;
        return;
    }
}

void ScriptVariableSet::Clear() {
    while (m_list->GetCount() > 0) {
        auto* variable = static_cast<ScriptVariable*>(m_list->RemoveFirst());
        if (variable) variable->Release();
        delete variable;
    }
}

ScriptVariable* ScriptVariableSet::FindFirst(const std::string& name) const {
    return static_cast<ScriptVariable*>(m_list->Find(name));
}

int32_t ScriptVariableSet::GetNumber(const std::string& name) const {
    ScriptVariable* variable = FindFirst(name);
    return variable ? variable->GetNumber() : -100;
}

const std::string* ScriptVariableSet::GetString(const std::string& name) const {
    ScriptVariable* variable = FindFirst(name);
    return variable ? variable->GetString() : nullptr;
}

bool ScriptVariableSet::SetNumber(const std::string& name, float number) {
    ScriptVariable* variable = FindFirst(name);
    if (!variable) return false;
    variable->SetNumber(number);
    return true;
}

bool ScriptVariableSet::SetString(const std::string& name, const std::string& text) {
    ScriptVariable* variable = FindFirst(name);
    if (!variable) return false;
    variable->SetString(text);
    return true;
}

int32_t ScriptVariableSet::GetCount() const { return m_list->GetCount(); }

const std::string* ScriptVariableSet::GetStringAt(int32_t index) const {
    auto* variable = static_cast<ScriptVariable*>(m_list->GetAt(index));
    return variable ? variable->GetString() : nullptr;
}

int32_t ScriptVariableSet::GetNumberAt(int32_t index) const {
    auto* variable = static_cast<ScriptVariable*>(m_list->GetAt(index));
    return variable ? variable->GetNumber() : 0;
}
