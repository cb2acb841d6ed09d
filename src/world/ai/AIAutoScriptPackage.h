#pragma once
// Runs a script file every step, with a script code, after making itself
// the AI manager's active AI object (so the script can configure it). It
// never finishes by itself: queued, it runs until its time runs out.
#include <cstdint>
#include <string>

#include "world/ai/AIBasePackage.h"

class AIAutoScriptPackage : public AIBasePackage {
public:
    AIAutoScriptPackage();

    void SetScript(const std::string& path, int32_t code) {
        m_scriptPath = path;
        m_scriptCode = code;
        m_hasScript = true;
    }
    const std::string& GetScriptPath() const { return m_scriptPath; }
    int32_t GetScriptCode() const { return m_scriptCode; }

    // Nothing while no script is set. The script may delete this package;
    // nothing of it is touched once the script has started.
    void RunAI() override;

private:
    std::string m_scriptPath;
    int32_t m_scriptCode = -1;
    // Set by SetScript: a script set with an empty path still runs (and the
    // script host says it cannot open it).
    bool m_hasScript = false;
};
