#include "world/GUIDialogueManager.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "core/base/ByteBuffer.h"
#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/Portrait.h"
#include "core/media/SoundManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "gui/DataBlock.h"
#include "gui/GUIManager.h"
#include "world/ChatBubble.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"

namespace {

constexpr const char* kTickSound = "TextTick";
constexpr const char* kChatWindowName = "DefaultChatWindow";
// The text area: lines start here, and clicks count only inside it.
constexpr int kTextX = 225;
constexpr int kTextY = 13;
constexpr int kTextRight = 676;
constexpr int kTextBottom = 204;
constexpr int kPictureX = 11;
constexpr int kPictureY = 13;
// The grid height that decides the number of lines.
constexpr int kGridHeight = 192;
constexpr int kMaxSlot = 80;

GUIBaseObject* FindChatWindow() {
    GUIManager* manager = GetGlobalState()->guiManager;
    return manager ? manager->FindObject(kChatWindowName) : nullptr;
}

void SetTickSoundSuppressed(bool suppressed) {
    if (SoundManager* sound = GetGlobalState()->soundManager) sound->SetSoundSuppressed(kTickSound, suppressed ? 1 : 0);
}

// A picture of the data library, looked up without warnings: queued picture
// changes whose entry is missing change nothing and print nothing.
Portrait* FindPortraitQuietly(const std::string& section, const std::string& catalogue, const std::string& heading,
                              const std::string& name) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return nullptr;
    return library->GetQuietly<Portrait>(section.c_str(), catalogue.c_str(), heading.c_str(), name.c_str(),
                                         DataKind::Portrait);
}

std::vector<uint8_t> PackInt32s(std::initializer_list<int32_t> values) {
    std::vector<uint8_t> bytes(values.size() * 4);
    uint32_t cursor = 0;
    for (int32_t v : values) BufferWriteInt32BE(v, &cursor, bytes.data());
    return bytes;
}

std::vector<uint8_t> PackPath(const std::string& a, const std::string& b, const std::string& c, const std::string& d) {
    std::vector<uint8_t> bytes;
    for (const std::string* part : {&a, &b, &c, &d}) {
        // A text ends at its first zero, as the reader will see it.
        const char* text = part->c_str();
        bytes.insert(bytes.end(), text, text + std::char_traits<char>::length(text));
        bytes.push_back(0);
    }
    return bytes;
}

}  // namespace

// ---- Creation -------------------------------------------------------------------------

GUIBaseObject* GUIDialogueManager::Create(GUIManager& gui) {
    // There is exactly one box; a second call finds the first.
    if (GUIBaseObject* existing = gui.FindObject("DialogueManager"))
        if (existing->GetType() == kTypeGUIDialogueManager) return existing;
    const GlobalState* state = GetGlobalState();
    const int width = state->windowWidth > 0 ? state->windowWidth : 800;
    const int height = state->windowHeight > 0 ? state->windowHeight : 600;
    const int h = static_cast<int>(height * 0.3666667);
    auto made = std::make_unique<GUIDialogueManager>();
    made->SetInputLockName("DialogueManager");
    made->SetDimensions(0, height - h, width, h);
    made->SetName("DialogueManager");
    made->SetParent(nullptr);
    GUIDialogueManager* box = made.release();
    gui.GetTopLevelList()->Add("DialogueManager", box);
    gui.BringToFront(nullptr, box);
    box->Hide(true);
    return box;
}

GUIDialogueManager::GUIDialogueManager() : m_textColour(al_map_rgb(215, 171, 20)) {
    m_type = kTypeGUIDialogueManager;
    if (DataLibrary* library = GetGlobalState()->dataLibrary) {
        m_pane = library->Get<BitmapWrapper>("Images", "GUI", "Chat", "ChatPane", DataKind::Bitmap);
        m_font = library->Get<ALLEGRO_FONT>("Fonts", "General", "Dialogue", "DialogueFont", DataKind::Font);
    }
    m_redrawEveryPulse = false;
    m_queue.SetOwnsValues();
    m_queue.SetValueDeleter(DataBlock::Delete);
    SetJoinsActiveWindows(true);
    SetJoinsControlStack(true);
    while (m_lines.GetCount() < kGridHeight / m_lineHeight) AddLine(" ");
}

GUIDialogueManager::~GUIDialogueManager() {
    m_queue.Clear();
    while (!m_lines.IsEmpty()) delete static_cast<ChatBubble*>(m_lines.RemoveFirst());
}

// ---- Lines ------------------------------------------------------------------------------

void GUIDialogueManager::AddLine(const std::string& text) {
    std::string name = "L" + std::to_string(m_lines.GetCount());
    m_lines.Add(name, new ChatBubble(text));
    MarkDirty();
}

void GUIDialogueManager::RemoveLine(int index) {
    if (index < 0 || index >= m_lines.GetCount()) return;
    delete static_cast<ChatBubble*>(m_lines.RemoveAt(index));
    MarkDirty();
}

ChatBubble* GUIDialogueManager::GetLine(int index) const {
    if (index < 0) return nullptr;
    NamedList::Node* node = m_lines.GetHead();
    for (int i = 0; node && i < index; ++i) node = node->next;
    return node ? static_cast<ChatBubble*>(node->value) : nullptr;
}

void GUIDialogueManager::SetLineText(int index, const std::string& text) {
    ChatBubble* line = GetLine(index);
    if (!line) return;
    line->SetText(text);
    MarkDirty();
}

void GUIDialogueManager::SetLineResponse(int index, const std::string& text, int32_t value) {
    ChatBubble* line = GetLine(index);
    if (!line) return;
    line->SetResponseText(text, value);
    MarkDirty();
}

void GUIDialogueManager::SetPortraitImage(Portrait* portrait) {
    m_portrait = portrait;
    MarkDirty();
}

void GUIDialogueManager::SetBackgroundImage(Portrait* background) {
    m_background = background;
    MarkDirty();
}

bool GUIDialogueManager::ShownStateChanged() const {
    const BitmapWrapper* background = m_background ? m_background->GetBitmap() : nullptr;
    const BitmapWrapper* portrait = m_portrait ? m_portrait->GetBitmap() : nullptr;
    return background != m_drawnBackground || portrait != m_drawnPortrait;
}

int32_t GUIDialogueManager::GetLineResponse(int index) const {
    ChatBubble* line = GetLine(index);
    return line ? line->GetResponseValue() : -1;
}

// ---- Immediate state ----------------------------------------------------------------------

void GUIDialogueManager::SetCursor(int32_t line, int32_t slot) {
    if (line >= m_lines.GetCount()) {
        std::fprintf(stderr, "GUIDialogueManager::SetCursor:  Warning, pLine should not exceed %i\n",
                     m_lines.GetCount());
        line = 0;
    }
    if (slot > kMaxSlot) {
        std::fputs("GUIDialogueManager::SetCursor:  Warning, pSlot should not exceed 80\n", stderr);
        slot = 0;
    }
    m_cursorLine = line;
    m_cursorSlot = slot;
}

void GUIDialogueManager::AdvanceSlot() {
    ++m_cursorSlot;
    // A cursor placed past the line width goes on at the next line too.
    if (m_cursorSlot >= m_lineWidth) NextLine();
}

void GUIDialogueManager::NextLine() {
    ++m_cursorLine;
    m_cursorSlot = 0;
    if (m_cursorLine >= m_lines.GetCount()) {
        std::fputs("Warning:  Script AddText overruns line limit.  Please revise!\n", stderr);
        m_cursorLine = 0;
    }
}

void GUIDialogueManager::Clear() {
    for (NamedList::Node* node = m_lines.GetHead(); node; node = node->next)
        if (node->value) static_cast<ChatBubble*>(node->value)->Clear();
    SetCursor(0, 0);
    m_queue.Clear();
    m_fastForward = false;
    SetTickSoundSuppressed(false);
    MarkDirty();
}

// ---- Queued script commands -----------------------------------------------------------------

void GUIDialogueManager::PushOwnAction(int32_t opcode, std::vector<uint8_t> value) {
    auto* block = new DataBlock;
    block->type = opcode;
    block->value = std::move(value);
    m_queue.Push("X", block);
}

void GUIDialogueManager::PushSharedAction(int32_t opcode, const void* argument) {
    DataBlock::Enqueue(opcode, &m_queue, argument);
}

void GUIDialogueManager::AddText(const std::string& text) {
    for (char c : text) {
        // The character code as a signed 8-bit character, widened.
        PushOwnAction(kCharacter, PackInt32s({static_cast<int32_t>(static_cast<signed char>(c))}));
        if (c != ' ') PushSharedAction(DataBlock::kPlaySound, kTickSound);
        PushOwnAction(kTextTick, {});
    }
}

void GUIDialogueManager::AddResponse(const std::string& text, int32_t value) {
    std::vector<uint8_t> bytes(text.c_str(), text.c_str() + std::char_traits<char>::length(text.c_str()));
    bytes.push_back(0);
    std::vector<uint8_t> number = PackInt32s({value});
    bytes.insert(bytes.end(), number.begin(), number.end());
    PushOwnAction(kResponse, std::move(bytes));
    PushOwnAction(kTextTick, {});
    PushOwnAction(kLineBreak, {});
}

void GUIDialogueManager::AddDelay(int32_t ticks) {
    if (ticks > 0) PushOwnAction(kDelay, PackInt32s({ticks}));
}

void GUIDialogueManager::QueueCursor(int32_t line, int32_t slot) { PushOwnAction(kCursor, PackInt32s({line, slot})); }

void GUIDialogueManager::BreakLine() { PushOwnAction(kLineBreak, {}); }

void GUIDialogueManager::SetTextSpeed(float speed) {
    // NaN compares false with everything: it counts as no speed too.
    if (!(speed > 0.0f)) speed = m_defaultTextSpeed;
    std::vector<uint8_t> bytes(sizeof speed);
    std::memcpy(bytes.data(), &speed, sizeof speed);
    PushOwnAction(kTextSpeed, std::move(bytes));
    m_speedAccumulator = 0.0f;
}

void GUIDialogueManager::QueueBackground(const std::string& section, const std::string& catalogue,
                                         const std::string& heading, const std::string& name) {
    PushOwnAction(kBackground, PackPath(section, catalogue, heading, name));
}

void GUIDialogueManager::QueuePortrait(const std::string& section, const std::string& catalogue,
                                       const std::string& heading, const std::string& name) {
    PushOwnAction(kPortrait, PackPath(section, catalogue, heading, name));
}

// ---- Playback ----------------------------------------------------------------------------------

void GUIDialogueManager::PerformQueueAction(void* record) {
    std::unique_ptr<DataBlock> block(static_cast<DataBlock*>(record));
    if (!block) return;
    if (block->type < DataBlock::kFirstOwnerType) {
        DataBlock::Perform(block.get(), &m_continue, &m_stopFlag, &m_waitCounter);
        return;
    }
    m_continue = true;
    const uint8_t* data = block->value.data();
    const uint32_t size = static_cast<uint32_t>(block->value.size());
    uint32_t cursor = 0;
    switch (block->type) {
        case kCharacter: {
            int32_t code = 0;
            if (!BufferReadInt32BEChecked(&cursor, data, size, &code)) break;
            ChatBubble* line = GetLine(m_cursorLine);
            if (!line) {
                std::fprintf(stderr, "GUIDialogueManager::PerformQueueAction:  Warning, %ix%i is out of range!\n",
                             m_cursorLine, m_cursorSlot);
                break;
            }
            line->SetCharacter(m_cursorSlot, static_cast<char>(code & 0xFF));
            AdvanceSlot();
            SetDirty(true);
            break;
        }
        case kTextTick: {
            m_waitCounter = 0;
            m_speedAccumulator += m_textSpeed;
            if (m_speedAccumulator >= 1.0f) {
                // Whole ticks at once: a huge speed must not spin here
                // subtracting ones that no longer change the sum.
                const double whole = std::floor(static_cast<double>(m_speedAccumulator));
                m_waitCounter = whole >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(whole);
                m_speedAccumulator -= static_cast<float>(whole);
                if (!(m_speedAccumulator >= 0.0f && m_speedAccumulator < 1.0f)) m_speedAccumulator = 0.0f;
            }
            m_continue = false;
            break;
        }
        case kTextSpeed: {
            float speed = 0.0f;
            if (BufferReadFloatRawChecked(&cursor, data, size, &speed)) ApplyTextSpeed(speed);
            break;
        }
        case kCursor: {
            int32_t line = 0, slot = 0;
            if (BufferReadInt32BEChecked(&cursor, data, size, &line) &&
                BufferReadInt32BEChecked(&cursor, data, size, &slot))
                SetCursor(line, slot);
            break;
        }
        case kLineBreak: NextLine(); break;
        case kDelay: {
            int32_t ticks = 0;
            if (!BufferReadInt32BEChecked(&cursor, data, size, &ticks)) break;
            m_waitCounter = ticks;
            m_continue = false;
            break;
        }
        case kResponse: {
            std::string text;
            int32_t value = 0;
            if (BufferReadStringChecked(&cursor, data, size, &text) &&
                BufferReadInt32BEChecked(&cursor, data, size, &value)) {
                SetLineResponse(m_cursorLine, text, value);
            }
            break;
        }
        case kBackground:
        case kPortrait: {
            std::string parts[4];
            for (std::string& part : parts)
                if (!BufferReadStringChecked(&cursor, data, size, &part)) return;
            Portrait* picture = FindPortraitQuietly(parts[0], parts[1], parts[2], parts[3]);
            if (!picture) break;
            if (block->type == kBackground)
                m_background = picture;
            else
                m_portrait = picture;
            SetDirty(true);
            break;
        }
        default: break;  // an opcode of no meaning: the tick goes on
    }
}

void GUIDialogueManager::UpdateQueue() {
    m_continue = true;
    if (m_waitCounter > 0 && !m_fastForward) {
        --m_waitCounter;
        m_continue = false;
    }
    while (m_continue) {
        if (m_queue.IsEmpty()) break;
        PerformQueueAction(m_queue.Pop());
        if (m_fastForward) m_continue = true;
    }
}

// ---- Virtual operations ---------------------------------------------------------------------

void GUIDialogueManager::Show(bool childrenOnly) {
    std::weak_ptr<char> self = GetLifeToken();
    // Shown again while up (a dialogue script does so on every answer), it
    // keeps one entry on the control stack, on top: none is left behind it
    // to hold the keys once it is hidden.
    if (GUIManager* gui = GetGlobalState()->guiManager)
        while (gui->GetControlStack().Contains(this)) gui->GetControlStack().Remove(this);
    GUIBaseObject::Show(childrenOnly);
    if (self.expired()) return;
    // A line being typed in the chat window keeps it shown until the line
    // is sent or left; the box hides it then (OnEvent).
    m_chatHideOwed = LineBeingTypedIn(FindChatWindow());
    if (!m_chatHideOwed) HideChatWindow(childrenOnly);
}

void GUIDialogueManager::HideChatWindow(bool childrenOnly) {
    if (GUIBaseObject* chat = FindChatWindow()) {
        // While the box still holds the chat window hidden (shown again while
        // up, or hidden with children only in between), the chat window's
        // state is the box's own doing: what it was before is kept.
        if (!m_holdsChatWindow) m_chatWindowWasVisible = chat->IsSelfVisible();
        m_holdsChatWindow = true;
        chat->Hide(childrenOnly);
    }
}

bool GUIDialogueManager::LineBeingTypedIn(const GUIBaseObject* window) {
    GUIManager* gui = GetGlobalState()->guiManager;
    if (!window || !gui || !gui->IsLineBeingTyped()) return false;
    for (const GUIBaseObject* object = gui->GetControlStack().Top(); object; object = object->GetParent())
        if (object == window) return true;
    return false;
}

bool GUIDialogueManager::HandleNavigation() { return !IsVisible(); }

void GUIDialogueManager::Hide(bool childrenOnly) {
    std::weak_ptr<char> self = GetLifeToken();
    GUIBaseObject::Hide(childrenOnly);
    if (self.expired() || childrenOnly) return;
    m_chatHideOwed = false;
    // Only a chat window the box has hidden is given back: closing a box
    // that never hid it leaves the chat window alone.
    const bool holds = m_holdsChatWindow;
    m_holdsChatWindow = false;
    if (!holds) return;
    if (GUIBaseObject* chat = FindChatWindow()) chat->SetVisible(m_chatWindowWasVisible);
}

bool GUIDialogueManager::RunDialogueScript() {
    const GlobalState* state = GetGlobalState();
    RootEntity* character = state->entityManager ? state->entityManager->GetDialogueCharacter() : nullptr;
    if (!character) return false;
    auto* npc = dynamic_cast<NonPlayingCharacter*>(character);
    if (!npc || npc->GetDialoguePath().empty() || !state->luaManager) return true;
    // A copy: the script may remove the character it belongs to.
    const std::string path = npc->GetDialoguePath();
    state->luaManager->RunFile(path, kDialogueScriptCode);
    return true;
}

bool GUIDialogueManager::HandleRelease(int, int ly) {
    if (!m_queue.IsEmpty()) {
        // Text still typing: the rest shows at once, without the tick.
        m_fastForward = true;
        SetTickSoundSuppressed(true);
        return false;
    }
    m_lastResponse = GetLineResponse((ly - kTextY) / m_lineHeight);
    if (m_lastResponse == kCloseResponse) {
        Hide(false);
        return true;
    }
    if (m_lastResponse == -1) return false;
    if (!RunDialogueScript())
        std::fputs("DialogueManager::SubUpdate:  Warning, Dialogue NPC wasn't set during response!\n", stderr);
    return true;
}

bool GUIDialogueManager::OnEvent(int event, int x, int y) {
    if (event == kGUIEventPulse) {
        if (m_chatHideOwed && !LineBeingTypedIn(FindChatWindow())) {
            m_chatHideOwed = false;
            HideChatWindow(false);
        }
        UpdateQueue();
        return false;
    }
    if (event == kGUIEventPress) {
        m_pressed = ContainsPoint(x, y);
        return m_pressed;
    }
    if (event != kGUIEventRelease) return false;
    const bool pressed = m_pressed;
    // A release ends the press either way, so a later release whose press
    // went elsewhere does not click a line again.
    m_pressed = false;
    const int64_t lx = int64_t{x} - m_x1;
    const int64_t ly = int64_t{y} - m_y1;
    if (!pressed || lx < kTextX || lx > kTextRight || ly < kTextY || ly > kTextBottom) return false;
    return HandleRelease(static_cast<int>(lx), static_cast<int>(ly));
}

void GUIDialogueManager::Render() {
    if (Backing() && Backing()->GetBitmap()) Backing()->SetAsTarget();
    const int x = m_drawX;
    const int y = m_drawY;
    if (m_pane) m_pane->DrawDefault(x, y);
    for (Portrait* picture : {m_background, m_portrait})
        if (picture && picture->GetBitmap()) picture->GetBitmap()->DrawDefault(x + kPictureX, y + kPictureY);
    m_drawnBackground = m_background ? m_background->GetBitmap() : nullptr;
    m_drawnPortrait = m_portrait ? m_portrait->GetBitmap() : nullptr;
    int row = 0;
    for (NamedList::Node* node = m_lines.GetHead(); node; node = node->next, ++row) {
        auto* line = static_cast<const ChatBubble*>(node->value);
        if (!line) continue;
        const int lineY = y + kTextY + m_lineHeight * row;
        if (line->IsResponse()) {
            // The bubble draws its response image; the text goes right of it.
            line->Draw(nullptr, m_textColour, x + kTextX, lineY, 0);
            if (m_font && line->IsVisible())
                al_draw_text(m_font, m_textColour, x + kTextX + m_lineHeight, lineY, 0, line->GetText().c_str());
        } else {
            line->Draw(m_font, m_textColour, x + kTextX, lineY, 0);
        }
    }
    m_dirty = false;
    DrawChildren(Backing());
}

void* GUIDialogueManager::GetProperty(const std::string&) { return nullptr; }
