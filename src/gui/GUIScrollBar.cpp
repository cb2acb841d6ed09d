#include "gui/GUIScrollBar.h"

#include <algorithm>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"

namespace {

constexpr int kThickness = 8;  // a bar's width (vertical) or height (horizontal)
constexpr int kArrowSize = 8;  // the arrow buttons are square
constexpr int kEndSpace = 24;  // the two arrows and the box leave this much of the track

const char* const kSubButton = "SubClickButton";
const char* const kAddButton = "AddClickButton";

struct ArrowLayout {
    const char* key;
    int x, y;
    const char* images[3];
    int drawFlags;
    const char* callback;
};

// The scroll bar an arrow click steps: the clicked arrow's own bar, else the
// bar pressed last.
GUIScrollBar* ScrollBarToStep() {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return nullptr;
    if (GUIBaseObject* button = manager->GetClickedButton())
        if (GUIBaseObject* parent = button->GetParent())
            if (parent->GetType() == kTypeGUIScrollBar) return static_cast<GUIScrollBar*>(parent);
    GUIBaseObject* inUse = manager->GetScrollBarInUse();
    if (inUse && inUse->GetType() == kTypeGUIScrollBar) return static_cast<GUIScrollBar*>(inUse);
    return nullptr;
}

}  // namespace

GUIScrollBar::GUIScrollBar() {
    m_type = kTypeGUIScrollBar;
    m_redrawEveryPulse = false;
    if (DataLibrary* library = GetGlobalState()->dataLibrary) {
        m_blankImage = library->Get<BitmapWrapper>("Images", "GUI", "Misc", "ScrollBarBlank", DataKind::Bitmap);
        m_boxImage = library->Get<BitmapWrapper>("Images", "GUI", "Misc", "ScrollBarBox", DataKind::Bitmap);
    }
}

GUIScrollBar::~GUIScrollBar() = default;

int32_t GUIScrollBar::Clamp(int64_t value) const {
    // The lowest bound wins, so a bar too short for any travel (its highest
    // value below its lowest) holds the lowest value rather than one outside
    // its range.
    if (value >= m_highest) value = m_highest;
    if (value <= m_lowest) value = m_lowest;
    return static_cast<int32_t>(value);
}

void GUIScrollBar::SetRange(int32_t lowest, int32_t highest) {
    m_lowest = lowest;
    m_highest = highest;
}

void GUIScrollBar::SetStep(int32_t step) {
    if (step > 0) m_step = step;
}

void GUIScrollBar::SetValue(int32_t value) {
    const int32_t previous = m_value;
    m_value = Clamp(value);
    if (m_value != previous) MarkDirty();
}

void GUIScrollBar::StepBy(int64_t delta) { SetValue(Clamp(int64_t{m_value} + delta)); }

bool GUIScrollBar::ShownStateChanged() const { return m_value != m_drawnValue || m_vertical != m_drawnVertical; }

void GUIScrollBar::Increment() { StepBy(m_step); }

void GUIScrollBar::Decrement() { StepBy(-int64_t{m_step}); }

void GUIScrollBar::SetScrollData(int x, int y, int w, int h, bool vertical) {
    GUIBaseObject::SetDimensions(x, y, SaturateToInt32(int64_t{x} + w), SaturateToInt32(int64_t{y} + h));
    m_vertical = vertical ? 1 : 0;
    if (vertical) {
        m_width = kThickness;
        m_height = h;
        SetRange(0, SaturateToInt32(int64_t{h} - kEndSpace));
    } else {
        m_width = w;
        m_height = kThickness;
        SetRange(0, SaturateToInt32(int64_t{w} - kEndSpace));
    }
    m_x2 = SaturateToInt32(int64_t{x} + m_width);
    m_y2 = SaturateToInt32(int64_t{y} + m_height);

    // Arrows of an earlier layout would stay where the old ends were, drawn
    // and clickable in the middle of the new track: they go first.
    std::vector<GUIBaseObject*> old;
    for (NamedList::Node* node = m_children.GetHead(); node; node = node->next)
        if (node->value && (node->name == kSubButton || node->name == kAddButton))
            old.push_back(static_cast<GUIBaseObject*>(node->value));
    for (GUIBaseObject* button : old) delete button;  // takes itself off the list

    const int farEnd = SaturateToInt32(int64_t{vertical ? h : w} - kArrowSize);
    const ArrowLayout layouts[2][2] = {
        {{kSubButton, 0, 0, {"ButtonArroSBF0", "ButtonArroSBF1", "ButtonArroSBF2"}, 1, "Button_Scrollbar_Decrement"},
         {kAddButton,
          farEnd,
          0,
          {"ButtonArroSBF0", "ButtonArroSBF1", "ButtonArroSBF2"},
          0,
          "Button_Scrollbar_Increment"}},
        {{kSubButton, 0, 0, {"ButtonArroSB0", "ButtonArroSB1", "ButtonArroSB2"}, 0, "Button_Scrollbar_Decrement"},
         // The bottom arrow is the top one turned upside down (a left-right
         // mirror would leave it pointing up).
         {kAddButton,
          0,
          farEnd,
          {"ButtonArroSB0", "ButtonArroSB1", "ButtonArroSB2"},
          ALLEGRO_FLIP_VERTICAL,
          "Button_Scrollbar_Increment"}},
    };
    for (const ArrowLayout& layout : layouts[vertical ? 1 : 0]) {
        auto* button = new GUIButton;
        button->SetDimensions(layout.x, layout.y, kArrowSize, kArrowSize);
        button->SetImagesByName(layout.images[0], layout.images[1], layout.images[2]);
        button->SetDisplayData(0.0f, layout.drawFlags);
        button->SetFunction(layout.callback);
        AddChild(layout.key, button);
    }
}

bool GUIScrollBar::OnEvent(int event, int x, int y) {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (event == kGUIEventPulse && m_draggingBox && manager && manager->GetDragObject() == this) {
        const int64_t moved = m_vertical ? int64_t{y} - m_pressY : int64_t{x} - m_pressX;
        SetValue(Clamp(int64_t{m_valueAtPress} + moved));
    }
    if (IsMouseInside()) {
        if (event == kGUIEventPress) {
            // A press anywhere on the track drags; the box need not be hit.
            m_draggingBox = true;
            m_pressX = x;
            m_pressY = y;
            m_valueAtPress = m_value;
            if (manager) {
                manager->SetScrollBarInUse(this);
                manager->SetDragObject(this);
            }
            return true;
        }
        if (event == kGUIEventRelease && m_draggingBox) {
            m_draggingBox = false;
            if (manager) {
                manager->SetScrollBarInUse(nullptr);
                manager->SetDragObject(nullptr);
            }
            return true;
        }
    } else if (event == kGUIEventRelease) {
        // Released elsewhere: the drag stops; the manager keeps the bar as
        // the one in use until its next press and release.
        m_draggingBox = false;
    }
    return false;
}

void GUIScrollBar::Render() {
    if (Backing() && Backing()->GetBitmap()) Backing()->SetAsTarget();
    // Tiles past the backing bitmap would be clipped away: the walk stops at
    // its edge, so a bar of a huge size a script gave costs nothing extra.
    const int64_t length = Backing() ? std::min<int64_t>(m_vertical ? m_height : m_width,
                                                         m_vertical ? Backing()->GetHeight() : Backing()->GetWidth())
                                     : 0;
    if (m_vertical) {
        if (m_blankImage)
            for (int64_t y = kArrowSize; y < length - kArrowSize; y += kArrowSize)
                m_blankImage->Draw(m_drawX, SaturateToInt32(m_drawY + y), 0);
        if (m_boxImage) m_boxImage->Draw(m_drawX, SaturateToInt32(int64_t{m_drawY} + m_value + kArrowSize), 0);
    } else {
        if (m_blankImage)
            for (int64_t x = kArrowSize; x < length - kArrowSize; x += kArrowSize)
                m_blankImage->Draw(SaturateToInt32(m_drawX + x), m_drawY, 0);
        if (m_boxImage) m_boxImage->Draw(SaturateToInt32(int64_t{m_drawX} + m_value + kArrowSize), m_drawY, 0);
    }
    m_drawnValue = m_value;
    m_drawnVertical = m_vertical;
    DrawChildren(Backing());
    m_dirty = false;
}

void* GUIScrollBar::GetProperty(const std::string& name) {
    if (name == "isVertical") {
        PropertyRouter::Report(PropertyRouter::kByte);
        return &m_vertical;
    }
    int32_t* field = name == "mLowestValue"       ? &m_lowest
                     : name == "mHighestValue"    ? &m_highest
                     : name == "mBoxCurrentValue" ? &m_value
                                                  : nullptr;
    if (field) PropertyRouter::Report(PropertyRouter::kInt);
    return field;
}

bool Button_Scrollbar_Increment(void*) {
    GUIScrollBar* bar = ScrollBarToStep();
    if (!bar) return false;
    bar->Increment();
    return true;
}

bool Button_Scrollbar_Decrement(void*) {
    GUIScrollBar* bar = ScrollBarToStep();
    if (!bar) return false;
    bar->Decrement();
    return true;
}
