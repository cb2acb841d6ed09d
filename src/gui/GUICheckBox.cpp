#include "gui/GUICheckBox.h"

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"

GUICheckBox::GUICheckBox() {
    m_type = kTypeGUICheckBox;
    m_redrawEveryPulse = false;
    if (DataLibrary* library = GetGlobalState()->dataLibrary) {
        m_checkedImage = library->Get<BitmapWrapper>("Images", "GUI", "Misc", "CheckBoxChecked", DataKind::Bitmap);
        m_uncheckedImage = library->Get<BitmapWrapper>("Images", "GUI", "Misc", "CheckBoxUnchecked", DataKind::Bitmap);
    }
}

GUICheckBox::~GUICheckBox() = default;

void GUICheckBox::SetFiringData(const std::string& onCheck, int32_t onCheckArgument, const std::string& onUncheck,
                                int32_t onUncheckArgument) {
    m_onCheckScript = onCheck;
    m_onCheckArgument = onCheckArgument;
    m_onUncheckScript = onUncheck;
    m_onUncheckArgument = onUncheckArgument;
}

bool GUICheckBox::OnEvent(int event, int, int) {
    if (event == kGUIEventPress) {
        m_pressed = IsMouseInside();
        return m_pressed;
    }
    if (event != kGUIEventRelease) return false;
    // A release ends the press wherever it lands, so a later release that
    // follows a press elsewhere does not toggle.
    const bool toggle = m_pressed;
    m_pressed = false;
    if (!IsMouseInside()) return false;
    MarkDirty();
    if (toggle) {
        // The state changes before the script runs: the script may delete
        // the box, after which nothing of it is touched.
        m_checked = !m_checked;
        const std::string script = m_checked ? m_onCheckScript : m_onUncheckScript;
        const int32_t argument = m_checked ? m_onCheckArgument : m_onUncheckArgument;
        LuaManager* lua = GetGlobalState()->luaManager;
        if (lua && !script.empty()) lua->RunFile(script, argument);
    }
    return true;
}

void* GUICheckBox::GetProperty(const std::string&) { return nullptr; }

void GUICheckBox::Render() {
    if (Backing() && Backing()->GetBitmap()) Backing()->SetAsTarget();
    if (BitmapWrapper* image = m_checked ? m_checkedImage : m_uncheckedImage) image->Draw(m_drawX, m_drawY, 0);
    m_dirty = false;
    DrawChildren(Backing());
}
