#pragma once
// A box that toggles between checked and unchecked on a click (a press and
// a release both inside), running a Lua file on each change. It starts
// checked.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>

#include "gui/GUIBaseObject.h"

class GUICheckBox : public GUIBaseObject {
public:
    // The images are Images/GUI/Misc/CheckBoxChecked and CheckBoxUnchecked.
    GUICheckBox();
    ~GUICheckBox() override;

    void SetFiringData(const std::string& onCheck, int32_t onCheckArgument, const std::string& onUncheck,
                       int32_t onUncheckArgument);
    bool IsChecked() const { return m_checked; }
    void SetChecked(bool checked) {
        m_checked = checked;
        MarkDirty();
    }

    bool OnEvent(int event, int x, int y) override;
    void Render() override;
    void* GetProperty(const std::string& name) override;

    // GUICB_SetFiringData.
    static void RegisterLuaFunctions(lua_State* L);

private:
    bool m_checked = true;
    bool m_pressed = false;
    BitmapWrapper* m_checkedImage = nullptr;
    BitmapWrapper* m_uncheckedImage = nullptr;
    std::string m_onCheckScript;
    std::string m_onUncheckScript;
    int32_t m_onCheckArgument = -1;
    int32_t m_onUncheckArgument = -1;
};
