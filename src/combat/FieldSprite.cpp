#include "combat/FieldSprite.h"

#include <allegro5/allegro.h>

#include <cmath>

#include "combat/FieldSpriteDisplayList.h"
#include "combat/FieldSpriteanimation.h"
#include "core/base/ByteBuffer.h"
#include "core/base/GenericQueue.h"
#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/base/NamedList.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/RenderState.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "gui/DataBlock.h"

FieldSprite::FieldSprite() : m_displayLists(new NamedList(true)), m_queue(new GenericQueue()) {
    m_displayLists->SetDefaultDeleter(FieldSpriteDisplayList::Delete);
    m_queue->SetOwnsValues();
    m_queue->SetValueDeleter(DataBlock::Delete);
}

FieldSprite::~FieldSprite() {
    if (DataLibrary* library = GetGlobalState()->dataLibrary) library->ForgetObject(this);
    m_current = nullptr;
    delete m_displayLists;
    delete m_queue;
    delete m_canvas;
}

void FieldSprite::SetPosition(float x, float y, float z) {
    m_x = x;
    m_y = y;
    m_z = z;
    Recompute();
}

int32_t FieldSprite::GetSortKey() const { return TruncateToInt32(m_y); }

void FieldSprite::SetDrawingOffsets(int32_t x, int32_t y) {
    m_offsetX = x;
    m_offsetY = y;
    Recompute();
}

void FieldSprite::Recompute() {
    m_drawX = TruncateToInt32(static_cast<double>(TruncateToInt32(m_x)) + m_offsetX);
    // Single precision like the position itself: a height of a few
    // millionths above the ground does not lift the sprite by a pixel.
    const float y = static_cast<float>(TruncateToInt32(m_y)) - m_z + static_cast<float>(m_offsetY);
    m_drawY = TruncateToInt32(static_cast<double>(y));
}

bool FieldSprite::SetCanvasSize(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || width > kMaxCanvasSide || height > kMaxCanvasSide) return false;
    delete m_canvas;
    m_canvas = new BitmapWrapper(width, height, &GetGlobalState()->openGLMode);
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    m_canvas->SetAsTarget();
    m_canvas->ClearToTransparent();
    if (previous) al_set_target_bitmap(previous);
    return true;
}

void FieldSprite::AddDisplayList(const char* name, FieldSpriteDisplayList* list) {
    if (!name || !list) return;
    FieldSpriteDisplayList::Adopt(list);
    m_displayLists->Add(name, list);
}

void FieldSprite::ClearDisplayLists() {
    m_current = nullptr;
    m_displayLists->Clear();
}

void FieldSprite::PlayAnimation(const std::string& name) {
    m_current = m_displayLists->FindAs<FieldSpriteDisplayList>(name);
}

void FieldSprite::SetDisplayEntry(int32_t entry) {
    if (m_current) m_current->SetFrameIndexAll(entry);
}

void FieldSprite::Push(int32_t opcode, const void* bytes, size_t size) {
    auto* block = new DataBlock();
    block->type = opcode;
    block->hold = false;
    if (size) block->value.assign(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + size);
    m_queue->Push("X", block);
}

void FieldSprite::PushInt(int32_t opcode, int32_t value) {
    uint8_t bytes[4];
    uint32_t cursor = 0;
    BufferWriteInt32BE(value, &cursor, bytes);
    Push(opcode, bytes, sizeof bytes);
}

void FieldSprite::PushPosition(float x, float y, float z) {
    const float values[3] = {x, y, z};
    Push(kSetPosition, values, sizeof values);
}

void FieldSprite::PushDisplayEntry(int32_t entry) { PushInt(kSetFrame, entry); }
void FieldSprite::PushFacing(int32_t facing) { PushInt(kSetFacing, facing); }
void FieldSprite::PushPose(const std::string& name) { Push(kPlayPose, name.c_str(), name.size() + 1); }
void FieldSprite::PushWait(int32_t ticks) { PushInt(kWait, ticks); }
void FieldSprite::PushEndTick() { Push(kEndTick, nullptr, 0); }
void FieldSprite::PushRestart() { Push(kRestartPose, nullptr, 0); }
void FieldSprite::PushSequenceStart() { Push(kBeginSequence, nullptr, 0); }
void FieldSprite::PushSequenceEnd() { Push(kEndSequence, nullptr, 0); }

void FieldSprite::PushSharedAction(int32_t type, const void* argument) { DataBlock::Enqueue(type, m_queue, argument); }

void FieldSprite::PerformAction(DataBlock* block) {
    if (!block) return;
    if (block->type < DataBlock::kFirstOwnerType) {
        DataBlock::Perform(block, &m_continue, &m_signal, &m_wait);
        DataBlock::Delete(block);
        return;
    }
    const uint8_t* data = block->value.data();
    const uint32_t size = static_cast<uint32_t>(block->value.size());
    uint32_t cursor = 0;
    int32_t number = 0;
    m_continue = true;
    switch (block->type) {
        case kSetPosition: {
            float values[3];
            if (BufferReadBytesIntoChecked(values, sizeof values, &cursor, data, size))
                SetPosition(values[0], values[1], values[2]);
            break;
        }
        case kSetFrame:
            if (BufferReadInt32BEChecked(&cursor, data, size, &number)) SetDisplayEntry(number);
            break;
        case kSetFacing:
            if (BufferReadInt32BEChecked(&cursor, data, size, &number)) m_facing = number;
            break;
        case kPlayPose: {
            std::string name;
            if (BufferReadStringChecked(&cursor, data, size, &name)) PlayAnimation(name);
            break;
        }
        case kWait:
            if (BufferReadInt32BEChecked(&cursor, data, size, &number)) m_wait = number;
            m_continue = false;
            break;
        case kEndTick: m_continue = false; break;
        case kRestartPose:
            if (m_current) m_current->RestartAll();
            break;
        case kBeginSequence:
            if (m_pending) {
                ++*m_pending;
                m_continue = false;
            }
            break;
        case kEndSequence:
            if (m_pending) --*m_pending;
            break;
        default: break;
    }
    DataBlock::Delete(block);
}

void FieldSprite::Update() {
    if (m_current) m_current->AdvanceAll();
    m_continue = true;
    if (m_wait > 0) {
        --m_wait;
        m_continue = false;
    }
    while (m_continue) {
        auto* block = static_cast<DataBlock*>(m_queue->Pop());
        if (!block) break;
        PerformAction(block);
    }
    Recompute();
}

void FieldSprite::Draw() {
    if (!m_visible || !m_canvas || !m_canvas->GetBitmap()) return;
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    if (m_palette != -1) SetPaletteIndex(m_palette);
    m_canvas->SetAsTarget();
    m_canvas->ClearToTransparent();
    if (m_current) m_current->DrawAll();
    if (previous) al_set_target_bitmap(previous);
    m_canvas->Draw(m_drawX, m_drawY, m_facing);
}

void FieldSprite::LoadFromScript(const std::string& path) {
    GlobalState* state = GetGlobalState();
    if (state->dataLibrary) state->dataLibrary->SetActiveObject(this, DataKind::FieldSprite);
    if (state->luaManager) {
        ++s_loadingDepth;
        state->luaManager->RunFile(path, -1);
        --s_loadingDepth;
    }
    FieldSpriteanimation::ReleaseAllHot();
    FieldSpriteDisplayList::ReleaseAllLoose();
    PlayAnimation("Idling");
    SetVisible(true);
}
