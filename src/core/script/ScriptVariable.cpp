#include "core/script/ScriptVariable.h"

#include "core/base/Int32Range.h"
#include "core/script/ScriptArgs.h"

void ScriptVariable::InitNumber(const std::string& name, float number) {
    m_name = name;
    m_number = number;
    m_text.clear();
    m_isNumber = 1;
}

void ScriptVariable::InitString(const std::string& name, const std::string& text) {
    m_name = name;
    m_number = 0.0f;
    m_text = text;
    m_isNumber = 0;
}

int32_t ScriptVariable::GetNumber() const { return m_isNumber ? TruncateToInt32(m_number) : 0; }

void ScriptVariable::SetNumber(float number) {
    m_text.clear();
    m_number = number;
    m_isNumber = 1;
}

void ScriptVariable::SetString(const std::string& text) {
    m_number = 0.0f;
    m_text = text;
    m_isNumber = 0;
}

void ScriptVariable::Release() {
    m_name.clear();
    m_name.shrink_to_fit();
    m_text.clear();
    m_text.shrink_to_fit();
}
