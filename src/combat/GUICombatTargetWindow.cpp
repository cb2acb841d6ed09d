#include "combat/GUICombatTargetWindow.h"

#include <cstring>

#include "combat/CombatEnemies.h"
#include "combat/CombatParty.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatTarget.h"
#include "combat/GUICombatCommandWindow.h"
#include "core/base/ByteBuffer.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/media/BitmapWrapper.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"

CombatTarget* CombatTarget::Make(const char* name, int32_t combatantId) {
    auto* record = new CombatTarget;
    if (name) std::strncpy(record->name, name, kNameSize - 1);
    record->name[kNameSize - 1] = '\0';
    record->combatantId = combatantId;
    return record;
}

void CombatTarget::Delete(void* record) { delete static_cast<CombatTarget*>(record); }

GUICombatTargetWindow::GUICombatTargetWindow()
    : m_colours{al_map_rgb(195, 150, 210), al_map_rgb(168, 124, 183), al_map_rgb(154, 113, 169)} {
    m_type = kTypeGUICombatTargetWindow;
    SetNavigationOn(true);
    SetControlStackOnShow(true);
}

GUICombatTargetWindow::~GUICombatTargetWindow() = default;

void GUICombatTargetWindow::ClearTargets() {
    DeleteChildren();
    ClearNavEntries();
}

void GUICombatTargetWindow::ResizeForTargets(int32_t count) {
    if (count < 0) return;
    SetSize(m_width, static_cast<int>(m_marginTotal + static_cast<int64_t>(m_rowHeight) * count));
}

void GUICombatTargetWindow::FillTargets(int32_t mode, int32_t a, int32_t b) {
    ClearTargets();
    NamedList records(true);
    records.SetDefaultDeleter(&CombatTarget::Delete);
    CombatRegistry& registry = GetCombatRegistry();
    auto party = [&] {
        if (registry.partyManager) registry.partyManager->ListTargets(&records, a, b);
    };
    auto enemies = [&] {
        if (registry.enemyManager) registry.enemyManager->ListTargets(&records, a, b);
    };
    switch (mode) {
        case kParty: party(); break;
        case kAllFriendlies: records.Add("X", CombatTarget::Make("All Friendlies", -1)); break;
        case kEnemies: enemies(); break;
        case kAllEnemies: records.Add("X", CombatTarget::Make("All Enemies", -1)); break;
        case kYourself: records.Add("X", CombatTarget::Make("Yourself", -1)); break;
        case kEveryone:
            party();
            enemies();
            break;
        default: break;
    }
    ResizeForTargets(records.GetCount());
    int i = 0;
    for (NamedList::Node* node = records.GetHead(); node; node = node->next, ++i) {
        auto* record = static_cast<CombatTarget*>(node->value);
        if (!record) continue;
        auto* button = new GUIButton;
        button->SetDimensions(m_buttonX, m_buttonY + m_rowHeight * i, m_buttonWidth, m_rowHeight);
        button->SetDisplayData(0.0f, 0);
        button->SetParent(this);
        button->BuildTextImages(m_colours[0], m_colours[1], m_colours[2], record->name);
        button->AllocData(4);
        uint32_t cursor = 0;
        BufferWriteInt32BE(record->combatantId, &cursor, button->GetData());
        button->SetFunction("CombatButton_OrderTarget");
        AddChild("X", button);
        // The first target listed becomes current.
        AddNavEntry(button, false, GUINavEntry::kOutlineHighlight, GUINavEntry::kForceCall);
    }
}

bool GUICombatTargetWindow::HandleNavigation() {
    if (!IsVisible() || !IsNavigationOn()) return GUIBaseObject::HandleNavigation();
    std::weak_ptr<char> life = GetLifeToken();
    // False unless "Cancel"; a chosen target may have closed or deleted the
    // window, which is then not touched again.
    if (!GUIBaseObject::HandleNavigation() || life.expired()) return false;
    GUIManager* gui = GetGlobalState()->guiManager;
    GUIBaseObject* commands = gui ? gui->FindObject("CombatCommandWindow") : nullptr;
    if (!commands || commands->GetType() != kTypeGUICombatCommandWindow) return false;
    // Closing takes this window off the stack; the command window joins it
    // as it opens, with its cursor on the first command.
    Close();
    commands->Open();
    return false;
}

bool GUICombatTargetWindow::OnEvent(int, int, int) {
    SetDirty(true);
    return false;
}

void GUICombatTargetWindow::Render() {
    if (Backing()) Backing()->ClearToColor(al_map_rgb(0, 0, 0));
    DrawChildren(Backing());
    m_dirty = false;
}
