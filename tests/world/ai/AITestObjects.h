#pragma once
// Shared pieces of the AI and animation tests: a GUI object whose fields
// stand in for a character's state flags and animation fields (reachable
// through the router as ("GUI", name, property)), a package that records its
// steps, and small image helpers.
#include <allegro5/allegro.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "support/StderrCapture.h"
#include "world/ai/AIBasePackage.h"

namespace aitest {

// Stderr capture that can be read repeatedly: each Take returns what was
// written since the previous one.
class Capture {
public:
    Capture() : m_capture(new testsupport::StderrCapture) {}
    ~Capture() { delete m_capture; }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    std::string Take() {
        std::string text = m_capture->Take();
        delete m_capture;
        m_capture = new testsupport::StderrCapture;
        return text;
    }

private:
    testsupport::StderrCapture* m_capture;
};

class FlagWidget : public GUIBaseObject {
public:
    uint8_t stationary = 1, walking = 0, trotting = 0, running = 0;
    int32_t animTimer = 0, animDirection = 4;

    void* GetProperty(const std::string& name) override {
        if (name == "St|Stationary") return Byte(&stationary);
        if (name == "St|Walking") return Byte(&walking);
        if (name == "St|Trotting") return Byte(&trotting);
        if (name == "St|Running") return Byte(&running);
        if (name == "AnimTimer") return Int(&animTimer);
        if (name == "AnimDirection") return Int(&animDirection);
        return nullptr;
    }

private:
    static void* Byte(uint8_t* field) {
        PropertyRouter::Report(PropertyRouter::kByte);
        return field;
    }
    static void* Int(int32_t* field) {
        PropertyRouter::Report(PropertyRouter::kInt);
        return field;
    }
};

// Adds a flag widget to the global GUI manager under the name.
inline FlagWidget* AddFlagWidget(const char* name) {
    auto* widget = new FlagWidget;
    GUIManager* gui = GetGlobalState()->guiManager;
    gui->ResetActiveObjectList();
    gui->AddObject(name, widget);
    return widget;
}

// Takes the widget out of the GUI and deletes it.
inline void DeleteFlagWidget(FlagWidget* widget) {
    GetGlobalState()->guiManager->GetTopLevelList()->RemoveValue(widget);
    delete widget;
}

class StepPackage : public AIBasePackage {
public:
    StepPackage(std::vector<std::string>* log, std::string name) : m_log(log), m_name(std::move(name)) {}
    ~StepPackage() override {
        if (m_log) m_log->push_back("~" + m_name);
    }
    void RunAI() override {
        if (m_log) m_log->push_back(m_name);
        if (onStep) onStep();
    }
    std::function<void()> onStep;

private:
    std::vector<std::string>* m_log;
    std::string m_name;
};

// A memory bitmap filled with one colour, wrapped (owned by the wrapper).
inline BitmapWrapper* SolidImage(int width, int height, ALLEGRO_COLOR colour) {
    static uint8_t openGL = 0;
    auto* image = new BitmapWrapper(width, height, &openGL);
    image->SetAsTarget();
    al_clear_to_color(colour);
    return image;
}

inline bool SameColour(ALLEGRO_COLOR a, ALLEGRO_COLOR b) {
    unsigned char ar, ag, ab, aa, br, bg, bb, ba;
    al_unmap_rgba(a, &ar, &ag, &ab, &aa);
    al_unmap_rgba(b, &br, &bg, &bb, &ba);
    return ar == br && ag == bg && ab == bb && aa == ba;
}

}  // namespace aitest
