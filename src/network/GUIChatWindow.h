#pragma once
// The chat window "DefaultChatWindow": a half-transparent log above the
// bottom of the game window showing the chat relayed by the server and the
// output of console commands, newest at the bottom, with the one-line input
// box "DefaultChatWindowInputBox" along its lower edge. It keeps at most 256
// lines, unwrapped; each line has a kind code, and the selected filter hides
// the kinds whose bits its mask holds.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>

#include <cstdint>
#include <deque>
#include <string>

#include "gui/GUIBaseObject.h"

class GUIInputTextBox;

class GUIChatWindow : public GUIBaseObject {
public:
    static constexpr int kMaxLines = 256;
    // The kind of every line the system adds.
    static constexpr uint32_t kDefaultKind = 8;

    struct Line {
        std::string text;
        uint32_t kind;
    };

    GUIChatWindow();
    // Destroys a font the window loaded itself; one from the data library
    // stays the library's.
    ~GUIChatWindow() override;

    // Loads the font, creates the input box along the lower edge, computes
    // the visible lines and marks the window set up. Call after the window's
    // dimensions are set.
    void Setup();
    bool IsSetUp() const { return m_setUp; }

    // Null ignored. The newest line goes to the front; beyond 256 lines the
    // oldest is dropped.
    void AddLine(const char* text, uint32_t kind);
    void AddLine(const std::string& text, uint32_t kind) { AddLine(text.c_str(), kind); }
    void AddText(const char* text) { AddLine(text, kDefaultKind); }
    void AddText(const std::string& text) { AddLine(text.c_str(), kDefaultKind); }
    void ClearLines();
    int GetLineCount() const { return static_cast<int>(m_lines.size()); }
    // 0 is the newest; null outside the list.
    const Line* GetLine(int index) const;

    // "<outgoing name>: <line>" (the line alone without a name) to the server
    // when connected; otherwise nothing. The line is not shown here.
    void SendChatLine(const std::string& line);
    // The toolkit's line-entered handler: a line typed into a box whose
    // parent is a chat window is sent through that window.
    static void OnLineEntered(GUIInputTextBox& box, const std::string& line);
    // The text SendChatLine sends for the line.
    static std::string ComposeChatText(const std::string& line);

    void ComputeVisibleLines();
    int GetVisibleLines() const { return m_visibleLines; }

    // Filters: named masks; the selected one hides the kinds sharing a bit.
    void AddFilter(const std::string& name, int32_t mask);
    void SelectFilterByIndex(int index);
    void SelectFilterByName(const std::string& name);
    // The selected mask ^= bits; nothing without a selected filter.
    void ToggleFilterBits(int32_t bits);
    int GetFilterCount() const { return static_cast<int>(m_filters.size()); }
    // Null when no filter is selected.
    const int32_t* GetSelectedMask() const;

    // Clamped to 4..32; the font becomes the fixed TrueType file at that
    // height, and the input box gets it too.
    void SetFontSize(int size);
    int GetFontSize() const { return m_fontSize; }
    ALLEGRO_FONT* GetFont() const { return m_font; }
    GUIInputTextBox* GetInputBox() const;

    // Index of the lines drawn by the last Render, newest first (for tests
    // and tools that ask what is on screen).
    const std::deque<int>& GetDrawnLines() const { return m_drawnLines; }

    bool OnEvent(int event, int x, int y) override;
    void Render() override;
    void* GetProperty(const std::string& name) override;

private:
    struct Filter {
        std::string name;
        int32_t mask;
    };
    void ReleaseOwnFont();
    int InputBoxHeight() const;

    bool m_setUp = false;
    std::deque<Line> m_lines;  // newest at the front
    ALLEGRO_FONT* m_font = nullptr;
    bool m_ownsFont = false;
    ALLEGRO_COLOR m_shadowColour;
    ALLEGRO_COLOR m_textColour;
    int32_t m_fontSize = 16;
    int32_t m_visibleLines = 0;
    std::deque<Filter> m_filters;
    int m_selectedFilter = -1;
    std::deque<int> m_drawnLines;
};

// Finds the window "DefaultChatWindow" or builds it: set up, at the top
// level, at the front, kept as the GUI manager's chat window; shown and on
// the standard UI unless "-nonetwork" was given. Null without a GUI manager.
GUIBaseObject* BuildDefaultChatWindow();
