#pragma once
// Shared pieces of the GUI core tests: a GUIManager in the global slot for
// the length of a test, and a widget that records the events it takes and
// fills its backing bitmap with one colour.
#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "gui/PixelProbe.h"
#include "support/AllegroTestEnv.h"

namespace guitest {

class ManagerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        m_saved = GetGlobalState()->guiManager;
        manager = new GUIManager;
        GetGlobalState()->guiManager = manager;
    }
    void TearDown() override {
        delete manager;
        GetGlobalState()->guiManager = m_saved;
    }
    GUIManager* manager = nullptr;

private:
    GUIManager* m_saved = nullptr;
};

class Widget : public GUIBaseObject {
public:
    explicit Widget(std::vector<std::string>* log = nullptr, bool takes = false) : m_log(log), m_takes(takes) {}
    // Presses and releases count only inside the widget, as every widget
    // checks for itself.
    bool OnEvent(int event, int x, int y) override {
        if (event == kGUIEventPulse || event == kGUIEventDrag || !IsMouseInside()) return false;
        if (m_log)
            m_log->push_back(GetName() + ":" + std::to_string(event) + "@" + std::to_string(x) + "," +
                             std::to_string(y));
        return m_takes;
    }
    void Render() override {
        if (m_fill) {
            Backing()->SetAsTarget();
            al_clear_to_color(m_colour);
        }
        DrawChildren(Backing());
        m_dirty = false;
    }
    bool HandleNavigation() override {
        ++navigations;
        return letGo;
    }
    void Fill(ALLEGRO_COLOR colour) {
        m_fill = true;
        m_colour = colour;
    }
    int navigations = 0;
    bool letGo = false;

private:
    std::vector<std::string>* m_log;
    bool m_takes;
    bool m_fill = false;
    ALLEGRO_COLOR m_colour{};
};

}  // namespace guitest
