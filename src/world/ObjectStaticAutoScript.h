#pragma once
// An object that runs a script when its path is set and then every few
// ticks, and keeps named numbers and texts for that script (the OBJSAS_
// variable functions reach them through the script host's caller entity).
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "world/ObjectStaticBase.h"

class ObjectStaticAutoScript : public ObjectStaticBase {
public:
    ObjectStaticAutoScript();
    // The script host forgets the object as its caller.
    ~ObjectStaticAutoScript() override;

    // Nothing without a path. With a delay d > 0 the script runs on the
    // first update and then every d updates; otherwise every update. Script
    // code -1.
    void Update() override;
    // Nothing is drawn and no property is routed.
    void DrawAtCamera(BitmapWrapper*, Camera*) override {}
    void DrawAt(BitmapWrapper*, int32_t, int32_t) override {}
    void* RoutePointer(const std::string& name) override;

    // Stores the path and runs the script at once with script code -2.
    void SetPath(const std::string& path);
    void SetDelay(int32_t ticks) { m_delay = ticks; }

    // Variables: names may repeat; lookups take the first of the kind.
    void AddFloat(const std::string& name, float value);
    void AddString(const std::string& name, const std::string& text);
    // Changes the first variable of that name and kind; nothing when absent.
    void ModFloat(const std::string& name, float value);
    void ModString(const std::string& name, const std::string& text);
    // 0.0 when absent.
    float GetFloat(const std::string& name) const;
    // Null when absent.
    const std::string* GetString(const std::string& name) const;

    const std::optional<std::string>& GetPath() const { return m_path; }
    int32_t GetDelay() const { return m_delay; }
    int32_t GetCountdown() const { return m_countdown; }

    // OBJSAS_ script functions.
    static void RegisterLuaFunctions(lua_State* L);

private:
    struct Variable {
        std::string name;
        bool isFloat = true;
        float value = 0.0f;
        std::string text;
    };

    // Runs the script with this object as the script host's caller.
    void RunScript(int32_t code);
    Variable* Find(const std::string& name, bool isFloat);
    const Variable* Find(const std::string& name, bool isFloat) const;

    std::optional<std::string> m_path;
    int32_t m_countdown = 0;
    int32_t m_delay = 0;
    std::vector<Variable> m_variables;
};
