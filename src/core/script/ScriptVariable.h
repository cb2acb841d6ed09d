#pragma once
// One named script value: a number (kept as a single-precision float) or a
// text.
#include <cstdint>
#include <string>

class ScriptVariable {
public:
    void InitNumber(const std::string& name, float number);
    void InitString(const std::string& name, const std::string& text);

    const std::string& GetName() const { return m_name; }
    bool IsNumber() const { return m_isNumber != 0; }
    // The number truncated toward zero; 0 for a text variable.
    int32_t GetNumber() const;
    // The text; null for a number variable.
    const std::string* GetString() const { return m_isNumber ? nullptr : &m_text; }

    // A text variable becomes a number variable.
    void SetNumber(float number);
    // A number variable becomes a text variable (its number reads 0).
    void SetString(const std::string& text);

    // Drops the name and the text.
    void Release();

private:
    std::string m_name;
    float m_number = 0.0f;
    std::string m_text;
    uint8_t m_isNumber = 1;
};
