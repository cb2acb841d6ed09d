#include "network/GUIChatWindow.h"

#include <allegro5/allegro_ttf.h>

#include <cstdio>
#include <memory>

#include "core/base/GlobalState.h"
#include "core/base/TextUtils.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIManager.h"
#include "network/NetworkManager.h"

namespace {

constexpr const char* kWindowName = "DefaultChatWindow";
constexpr const char* kInputBoxName = "DefaultChatWindowInputBox";
constexpr const char* kFontFile = "Data/Graphics/Fonts/FixedSys.ttf";

}  // namespace

GUIChatWindow::GUIChatWindow() {
    m_type = kTypeGUIChatWindow;
    m_shadowColour = al_map_rgb(0, 0, 0);
    m_textColour = al_map_rgb(232, 85, 85);
    m_redrawEveryPulse = false;
}

GUIChatWindow::~GUIChatWindow() {
    // The input box shares the font; it goes first so nothing keeps it.
    DeleteChildren();
    ReleaseOwnFont();
}

void GUIChatWindow::ReleaseOwnFont() {
    if (m_font && m_ownsFont) al_destroy_font(m_font);
    m_font = nullptr;
    m_ownsFont = false;
}

void GUIChatWindow::Setup() {
    std::fputs("Setup - ", stderr);
    // A game without its own chat font gets the TrueType file; that is no
    // fault, so the library lookup is quiet.
    if (DataLibrary* library = GetGlobalState()->dataLibrary)
        m_font = library->GetQuietly<ALLEGRO_FONT>("Fonts", "General", "Dialogue", "ChatFont", DataKind::Font);
    m_ownsFont = false;
    if (!m_font) {
        m_font = al_load_ttf_font(kFontFile, m_fontSize, 0);
        m_ownsFont = m_font != nullptr;
    }
    std::fputs("Done\n", stderr);

    if (!GetInputBox()) {
        auto* box = new GUIInputTextBox;
        box->SetDimensions(0, m_height - m_fontSize - 5, m_width, m_fontSize + 5);
        // Without a font the box keeps its own limit; no width to divide by.
        const int dashWidth = m_font ? al_get_text_width(m_font, "-") : 0;
        box->SetSystemData(dashWidth > 0 ? m_width / dashWidth : box->GetMaxChars(), false);
        box->SetFont(m_font);
        box->SetInputFont(m_font);
        AddChild(kInputBoxName, box);
    }
    ComputeVisibleLines();
    m_setUp = true;
    MarkDirty();
}

GUIInputTextBox* GUIChatWindow::GetInputBox() const {
    GUIBaseObject* child = FindChild(kInputBoxName);
    if (!child || child->GetType() != kTypeGUIInputTextBox) return nullptr;
    return static_cast<GUIInputTextBox*>(child);
}

int GUIChatWindow::InputBoxHeight() const {
    GUIInputTextBox* box = GetInputBox();
    return box ? box->GetHeight() : 0;
}

void GUIChatWindow::AddLine(const char* text, uint32_t kind) {
    if (!text) return;
    m_lines.push_front(Line{text, kind});
    while (m_lines.size() > static_cast<size_t>(kMaxLines)) m_lines.pop_back();
    MarkDirty();
}

void GUIChatWindow::ClearLines() {
    if (!m_lines.empty()) MarkDirty();
    m_lines.clear();
}

const GUIChatWindow::Line* GUIChatWindow::GetLine(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= m_lines.size()) return nullptr;
    return &m_lines[static_cast<size_t>(index)];
}

std::string GUIChatWindow::ComposeChatText(const std::string& line) {
    // The name given with "-n", not the player's own name: a player started
    // without one is called "Player1" in the world but chats unnamed.
    const std::string& name = GetGlobalState()->outgoingName;
    if (!name.empty()) return name + ": " + line;
    return line;
}

void GUIChatWindow::OnLineEntered(GUIInputTextBox& box, const std::string& line) {
    GUIBaseObject* parent = box.GetParent();
    if (parent && parent->GetType() == kTypeGUIChatWindow) static_cast<GUIChatWindow*>(parent)->SendChatLine(line);
}

void GUIChatWindow::SendChatLine(const std::string& line) {
    NetworkManager* network = GetGlobalState()->networkManager;
    if (!network || !network->IsConnected()) return;
    network->SendChatMessage(ComposeChatText(line).c_str());
}

void GUIChatWindow::ComputeVisibleLines() {
    if (m_fontSize <= 0) {
        m_visibleLines = 0;
        return;
    }
    const int64_t space = int64_t{m_height} - (int64_t{InputBoxHeight()} + 15) - 5;
    // Ceiling division; a window too small for any line shows none.
    m_visibleLines = space <= 0 ? 0 : static_cast<int32_t>((space + m_fontSize - 1) / m_fontSize);
}

void GUIChatWindow::AddFilter(const std::string& name, int32_t mask) { m_filters.push_back(Filter{name, mask}); }

void GUIChatWindow::SelectFilterByIndex(int index) {
    m_selectedFilter = index >= 0 && static_cast<size_t>(index) < m_filters.size() ? index : -1;
    MarkDirty();
}

void GUIChatWindow::SelectFilterByName(const std::string& name) {
    m_selectedFilter = -1;
    for (size_t i = 0; i < m_filters.size(); ++i) {
        if (m_filters[i].name == name) {
            m_selectedFilter = static_cast<int>(i);
            break;
        }
    }
    MarkDirty();
}

void GUIChatWindow::ToggleFilterBits(int32_t bits) {
    if (m_selectedFilter < 0) return;
    m_filters[static_cast<size_t>(m_selectedFilter)].mask ^= bits;
    MarkDirty();
}

const int32_t* GUIChatWindow::GetSelectedMask() const {
    return m_selectedFilter < 0 ? nullptr : &m_filters[static_cast<size_t>(m_selectedFilter)].mask;
}

void GUIChatWindow::SetFontSize(int size) {
    m_fontSize = size < 4 ? 4 : size > 32 ? 32 : size;
    ReleaseOwnFont();
    m_font = al_load_ttf_font(kFontFile, m_fontSize, 0);
    m_ownsFont = m_font != nullptr;
    // The box drew with the old font, which may just have been destroyed.
    if (GUIInputTextBox* box = GetInputBox()) {
        box->SetFont(m_font);
        box->SetInputFont(m_font);
    }
    ComputeVisibleLines();
    MarkDirty();
}

bool GUIChatWindow::OnEvent(int, int, int) { return false; }

void* GUIChatWindow::GetProperty(const std::string&) { return nullptr; }

void GUIChatWindow::Render() {
    if (!m_setUp) return;
    if (Backing() && Backing()->GetBitmap()) Backing()->SetAsTarget();
    if (Backing()) Backing()->ClearToRGBA(0, 0, 0, 192);
    DrawChildren(Backing());
    if (Backing() && Backing()->GetBitmap()) Backing()->SetAsTarget();

    if (m_selectedFilter < 0) {
        if (m_filters.empty()) AddFilter("Default", 0);
        m_selectedFilter = 0;
    }
    const uint32_t mask = static_cast<uint32_t>(m_filters[static_cast<size_t>(m_selectedFilter)].mask);

    int y = m_height - (InputBoxHeight() + 15) - 5;
    if (!GetInputBox()) y = m_height - 20;
    m_drawnLines.clear();
    for (size_t i = 0; i < m_lines.size() && static_cast<int>(m_drawnLines.size()) < m_visibleLines; ++i) {
        const Line& line = m_lines[i];
        if (line.kind & mask) continue;
        if (m_font) {
            // As the terminal prints it: Allegro would stop at a malformed
            // UTF-8 sequence, which shows as "\xNN" with the rest after it.
            const std::string text = PrintableText(line.text);
            al_draw_text(m_font, m_shadowColour, m_drawX + 3, m_drawY + y - 1, 0, text.c_str());
            al_draw_text(m_font, m_textColour, m_drawX + 4, m_drawY + y, 0, text.c_str());
        }
        m_drawnLines.push_back(static_cast<int>(i));
        y -= m_fontSize;
    }
    m_dirty = false;
}

GUIBaseObject* BuildDefaultChatWindow() {
    GlobalState* state = GetGlobalState();
    GUIManager* manager = state->guiManager;
    if (!manager) return nullptr;
    if (GUIBaseObject* existing = manager->FindObject(kWindowName)) return existing;

    auto made = std::make_unique<GUIChatWindow>();
    made->SetDimensions(0, 400, 600, 202);
    made->Setup();
    made->AddFilter("Default", 0);

    GUIChatWindow* window = made.release();
    manager->ResetActiveObjectList();
    manager->AddObject(kWindowName, window);
    manager->BringToFront(nullptr, window);
    manager->SetChatWindow(window);

    if (state->noNetwork) {
        window->Hide(false);
        return window;
    }
    manager->AddToStandardUI(window);
    window->Show(false);
    return window;
}
