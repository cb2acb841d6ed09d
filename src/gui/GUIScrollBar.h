#pragma once
// A bar holding an integer value in a range: a tiled track with a box drawn
// at the value, an arrow button at each end that steps the value, and a
// press anywhere on the track that drags the value with the mouse.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>

#include "gui/GUIBaseObject.h"

class GUIScrollBar : public GUIBaseObject {
public:
    // Track and box images: Images/GUI/Misc/"ScrollBarBlank" and
    // "ScrollBarBox" (null when the library lacks them).
    GUIScrollBar();
    ~GUIScrollBar() override;

    void SetRange(int32_t lowest, int32_t highest);
    // Ignored unless above 0.
    void SetStep(int32_t step);
    // Clamped into the range.
    void SetValue(int32_t value);
    // Value / step: the first entry a list shows for this value.
    int32_t GetFirstShownIndex() const { return m_value / m_step; }
    // Value plus or minus one step, clamped; the bar and its ancestors are
    // marked dirty.
    void Increment();
    void Decrement();
    // Lays the bar out at (x, y): a vertical bar is 8 wide and h high with
    // the range 0 to h - 24, a horizontal one w wide and 8 high with the
    // range 0 to w - 24. Arrow buttons "SubClickButton" and "AddClickButton"
    // are placed at its two ends, replacing those of an earlier layout.
    void SetScrollData(int x, int y, int w, int h, bool vertical);

    bool IsVertical() const { return m_vertical; }
    bool IsDraggingBox() const { return m_draggingBox; }
    int32_t GetLowestValue() const { return m_lowest; }
    int32_t GetHighestValue() const { return m_highest; }
    int32_t GetStep() const { return m_step; }
    int32_t GetValue() const { return m_value; }

    bool OnEvent(int event, int x, int y) override;
    void Render() override;
    // "isVertical" (1), "mLowestValue", "mHighestValue", "mBoxCurrentValue" (2).
    void* GetProperty(const std::string& name) override;

    // GUISB_SetScrollData.
    static void RegisterLuaFunctions(lua_State* L);

private:
    int32_t Clamp(int64_t value) const;
    void StepBy(int64_t delta);
    // Its value and direction can be written through its properties.
    bool ShownStateChanged() const override;

    uint8_t m_vertical = 0;
    bool m_draggingBox = false;
    BitmapWrapper* m_blankImage = nullptr;
    BitmapWrapper* m_boxImage = nullptr;
    int32_t m_lowest = 0;
    int32_t m_highest = 0;
    int32_t m_step = 1;
    int32_t m_value = 0;
    int32_t m_pressX = 0;
    int32_t m_pressY = 0;
    int32_t m_valueAtPress = 0;
    // What the last Render drew.
    int32_t m_drawnValue = 0;
    uint8_t m_drawnVertical = 0;
};

// Button callbacks: step the scroll bar whose arrow was clicked (the clicked
// button's parent), or else the GUI manager's scroll bar in use; false when
// there is none.
bool Button_Scrollbar_Increment(void* argument);
bool Button_Scrollbar_Decrement(void* argument);
