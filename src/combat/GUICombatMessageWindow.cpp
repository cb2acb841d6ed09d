#include "combat/GUICombatMessageWindow.h"

#include <cstdio>
#include <memory>

#include "combat/Character.h"
#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "core/base/ByteBuffer.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/KeyboardManager.h"
#include "gui/DataBlock.h"
#include "gui/GUIManager.h"

namespace {

CombatManager* Manager() { return GetCombatRegistry().combatManager; }

}  // namespace

GUICombatMessageWindow::GUICombatMessageWindow() : m_textColour(al_map_rgb(215, 171, 20)) {
    m_type = kTypeGUICombatMessageWindow;
    m_queue.SetOwnsValues(true);
    m_queue.SetValueDeleter(&DataBlock::Delete);
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (library) m_font = library->Get<ALLEGRO_FONT>("Fonts", "General", "Dialogue", "DialogueFont", DataKind::Font);
    if (!m_font) std::fputs("Error:  Could not locate DialogueFont!!!\n", stderr);
    m_lines.emplace_front();
}

GUICombatMessageWindow::~GUICombatMessageWindow() = default;

// ---- Queueing ----------------------------------------------------------------------

void GUICombatMessageWindow::PushAction(int32_t opcode) {
    if (opcode < DataBlock::kFirstOwnerType) {
        PushSharedAction(opcode, nullptr);
        return;
    }
    auto* block = new DataBlock;
    block->type = opcode;
    // These opcodes carry a value; queued without one they act on 0.
    switch (opcode) {
        case kCharacter:
        case kTextSpeed:
        case kWait:
        case kBattleResult:
        case kSetActor:
        case kSetTarget:
        case kAnimateActor:
        case kAnimateTarget: block->value.assign(4, 0); break;
        case kShowDamage: block->value.assign(8, 0); break;
        default: break;
    }
    m_queue.Push("X", block);
}

void GUICombatMessageWindow::PushAction(int32_t opcode, int32_t value) {
    if (opcode < DataBlock::kFirstOwnerType) {
        // Only the delay takes a number; the sound blocks take a name.
        PushSharedAction(opcode, opcode == DataBlock::kDelay ? &value : nullptr);
        return;
    }
    auto* block = new DataBlock;
    block->type = opcode;
    block->value.resize(4);
    uint32_t cursor = 0;
    BufferWriteInt32BE(value, &cursor, block->value.data());
    m_queue.Push("X", block);
}

void GUICombatMessageWindow::PushAction(int32_t opcode, int32_t first, int32_t second) {
    if (opcode < DataBlock::kFirstOwnerType) {
        PushSharedAction(opcode, opcode == DataBlock::kDelay ? &first : nullptr);
        return;
    }
    auto* block = new DataBlock;
    block->type = opcode;
    block->value.resize(8);
    uint32_t cursor = 0;
    BufferWriteInt32BE(first, &cursor, block->value.data());
    BufferWriteInt32BE(second, &cursor, block->value.data());
    m_queue.Push("X", block);
}

void GUICombatMessageWindow::PushSharedAction(int32_t opcode, const void* argument) {
    DataBlock::Enqueue(opcode, &m_queue, argument);
}

void GUICombatMessageWindow::QueueText(const char* text) {
    if (!text) return;
    for (const char* c = text; *c; ++c) PushAction(kCharacter, static_cast<int32_t>(static_cast<signed char>(*c)));
}

// ---- Playback ------------------------------------------------------------------------

void GUICombatMessageWindow::Start() {
    m_running = true;
    m_finished = false;
}

void GUICombatMessageWindow::Reset() {
    Clear();
    m_running = false;
    m_finished = false;
}

void GUICombatMessageWindow::Clear() {
    m_lines.clear();
    m_queue.Clear();
    m_textSpeed = m_defaultTextSpeed;
    m_waitCounter = 0;
    // The combatants of the played queue may be gone by the next one.
    m_actor = nullptr;
    m_target = nullptr;
    m_lines.emplace_front();
}

void GUICombatMessageWindow::AppendChar(char c) {
    if (m_lines.empty()) m_lines.emplace_front();
    m_lines.front().push_back(c);
    if (m_lines.front().size() >= static_cast<size_t>(kLineLength)) NewLine();
}

void GUICombatMessageWindow::NewLine() { m_lines.emplace_front(); }

std::string GUICombatMessageWindow::GetLine(int index) const {
    if (index < 0 || index >= static_cast<int>(m_lines.size())) return std::string();
    return m_lines[static_cast<size_t>(index)];
}

void GUICombatMessageWindow::SetActor(int32_t id) {
    CombatManager* manager = Manager();
    m_actor = manager ? manager->FindCombatantById(id) : nullptr;
}

void GUICombatMessageWindow::SetTarget(int32_t id) {
    CombatManager* manager = Manager();
    m_target = manager ? manager->FindCombatantById(id) : nullptr;
}

void GUICombatMessageWindow::AnimateActor(int32_t mode) {
    if (m_actor && m_target) m_actor->UpdateActionAnimation(mode, m_target, &m_pendingAnimations);
}

void GUICombatMessageWindow::AnimateTarget(int32_t mode) {
    if (m_actor && m_target) m_target->UpdateHurtAnimation(mode, m_actor, &m_pendingAnimations);
}

void GUICombatMessageWindow::PerformAction(DataBlock* record) {
    if (!record) return;
    // Performed first, freed afterwards.
    std::unique_ptr<DataBlock> owned(record);
    if (record->type < DataBlock::kFirstOwnerType) {
        DataBlock::Perform(record, &m_continue, &m_stopFlag, &m_waitCounter);
        return;
    }
    m_continue = true;
    const uint8_t* data = record->value.data();
    const uint32_t size = static_cast<uint32_t>(record->value.size());
    uint32_t cursor = 0;
    int32_t first = 0;
    int32_t second = 0;
    BufferReadInt32BEChecked(&cursor, data, size, &first);
    BufferReadInt32BEChecked(&cursor, data, size, &second);
    switch (record->type) {
        case kCharacter: AppendChar(static_cast<char>(first & 0xFF)); break;
        case kTextTick: m_waitCounter = m_textSpeed; break;
        case kTextSpeed: m_textSpeed = first; break;
        case kLineBreak: NewLine(); break;
        case kWait:
            m_waitCounter = first;
            m_continue = false;
            break;
        case kShowDamage: {
            CombatManager* manager = Manager();
            Character* target = manager ? manager->FindCombatantByIndex(first) : nullptr;
            if (target)
                target->LowerShownHP(second);
            else
                std::fprintf(stderr, "GUICMWActionQueue: Warning, Target ID %i not found\n", first);
            break;
        }
        case kBattleResult:
            if (CombatManager* manager = Manager()) manager->SetBattleResult(first);
            break;
        case kWaitForKey:
            m_paused = true;
            m_continue = false;
            // The pause holds the keys: the next key struck ends it.
            if (GUIManager* gui = GetGlobalState()->guiManager) gui->GetControlStack().Push(this);
            break;
        case kSetActor: SetActor(first); break;
        case kSetTarget: SetTarget(first); break;
        case kAnimateActor: AnimateActor(first); break;
        case kAnimateTarget: AnimateTarget(first); break;
        case kSync:
            m_syncing = true;
            m_continue = false;
            break;
        default: break;
    }
}

void GUICombatMessageWindow::Tick() {
    SetDirty(true);
    SetParentsDirty();
    if (!m_running) return;
    m_continue = true;
    if (m_waitCounter > 0) {
        --m_waitCounter;
        m_continue = false;
    }
    if (m_paused) m_continue = false;
    if (m_syncing) {
        if (m_pendingAnimations < 1) {
            m_pendingAnimations = 0;
            m_syncing = false;
        } else {
            m_continue = false;
        }
    }
    while (m_continue) {
        void* record = m_queue.Pop();
        if (!record) {
            m_finished = true;
            return;
        }
        PerformAction(static_cast<DataBlock*>(record));
    }
}

// ---- GUI operations ----------------------------------------------------------------------

bool GUICombatMessageWindow::OnEvent(int event, int, int) {
    switch (event) {
        case kGUIEventPress:
            if (m_paused) m_armed = true;
            return false;
        case kGUIEventRelease:
            if (m_paused && m_armed) EndPause();
            return false;
        case kGUIEventPulse: Tick(); return false;
        default: return false;
    }
}

bool GUICombatMessageWindow::HandleNavigation() {
    if (!m_paused || !IsVisible()) return true;
    if (!GUIControlStack::CurrentStroke()) return false;
    EndPause();
    return true;
}

void GUICombatMessageWindow::EndPause() {
    m_paused = m_armed = false;
    if (GUIManager* gui = GetGlobalState()->guiManager) gui->GetControlStack().Remove(this);
}

void GUICombatMessageWindow::Render() {
    if (Backing() && Backing()->GetBitmap()) {
        // Every display mode renders into the backing bitmap.
        Backing()->SetAsTarget();
        al_clear_to_color(al_map_rgb(0, 0, 0));
        if (m_font) {
            int shown = 0;
            for (const std::string& line : m_lines) {
                if (shown >= m_linesShown) break;
                al_draw_text(m_font, m_textColour, static_cast<float>(m_drawX + 16),
                             static_cast<float>(m_drawY + 16 * (7 - shown)), 0, line.c_str());
                ++shown;
            }
        }
    }
    DrawChildren(Backing());
    m_dirty = false;
}
