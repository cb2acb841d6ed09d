#pragma once
// The kind id (GetType) of every widget: the toolkit's own and those of the
// windows the layers above make, in one table ordered by id, so that a new
// kind finds a free id at a glance and the build fails when two share one.
// The text-line family keeps 3200-3299 (IsGUITextLineType).
#include <cstddef>
#include <cstdint>

// X(name, id), one row per kind; the layer that makes a kind from above the
// toolkit is named beside it.
#define QEL_WIDGET_KINDS(X)                           \
    X(kTypeGUIBaseObject, 3000)                       \
    X(kTypeGUIButton, 3010)                           \
    X(kTypeGUICheckBox, 3020)                         \
    X(kTypeGUIColorBox, 3030)                         \
    X(kTypeGUIDialogueManager, 3040) /* world */      \
    X(kTypeGUIChatWindow, 3050)      /* network */    \
    X(kTypeGUIImage, 3100)                            \
    X(kTypeGUISmartImage, 3101)                       \
    X(kTypeGUITextLine, 3200)                         \
    X(kTypeGUIInputTextBox, 3201)                     \
    X(kTypeGUISmartTextLine, 3202)                    \
    X(kTypeGUIWindow, 3300)                           \
    X(kTypeGUIScrollableWindow, 3301)                 \
    X(kTypeGUIResizeWindow, 3302)                     \
    X(kTypeGUIScrollBar, 3400)                        \
    X(kTypeGUIEnvironmentWindow, 3500) /* maps */     \
    X(kTypeGUIDropMenu, 3600)                         \
    X(kTypeGUIList, 3700)                             \
    X(kTypeGUICombatCommandWindow, 3800) /* combat */ \
    X(kTypeGUICombatMessageWindow, 3801) /* combat */ \
    X(kTypeGUICombatTargetWindow, 3802)  /* combat */ \
    X(kTypeGUICombatCharDisplay, 3803)   /* combat */

enum GUITypeId : int32_t {
#define QEL_WIDGET_KIND_ENUMERATOR(name, id) name = id,
    QEL_WIDGET_KINDS(QEL_WIDGET_KIND_ENUMERATOR)
#undef QEL_WIDGET_KIND_ENUMERATOR
};

namespace widget_kinds {

constexpr int32_t kIds[] = {
#define QEL_WIDGET_KIND_ID(name, id) id,
    QEL_WIDGET_KINDS(QEL_WIDGET_KIND_ID)
#undef QEL_WIDGET_KIND_ID
};

constexpr bool IdsAreDistinct() {
    constexpr size_t count = sizeof(kIds) / sizeof(kIds[0]);
    for (size_t i = 0; i < count; ++i)
        for (size_t j = i + 1; j < count; ++j)
            if (kIds[i] == kIds[j]) return false;
    return true;
}

}  // namespace widget_kinds

static_assert(widget_kinds::IdsAreDistinct(), "two widget kinds share an id in QEL_WIDGET_KINDS");
