#pragma once
// A character's drawing model: named entries, each a drawing package with a
// palette, drawn in list order, and the state trees that choose which
// animation of each package is shown. It belongs to one character and is
// bound to that character's AnimTimer and AnimDirection.
#include <cstdint>
#include <string>
#include <vector>

#include "core/base/RootObject.h"
#include "world/AnimationStateList.h"

class AIDrawingPackage;
class BitmapWrapper;

class AIDrawingList : public RootObject {
public:
    struct Entry {
        std::string name;
        AIDrawingPackage* package;  // the AIManager's
        int32_t palette;
        uint8_t enabled;
    };

    // timer and direction are the owner's own fields.
    AIDrawingList(int32_t* timer, int32_t* direction);
    // Deletes the entries and the state trees; the AIManager forgets it.
    ~AIDrawingList();
    AIDrawingList(const AIDrawingList&) = delete;
    AIDrawingList& operator=(const AIDrawingList&) = delete;

    // Operations by entry name act on the first entry of that name and do
    // nothing when there is none. A null package is never stored.
    void AddAI(const std::string& name, AIDrawingPackage* package);
    void SwitchAI(const std::string& name, AIDrawingPackage* package);
    void SetAIPalette(const std::string& name, int32_t palette);
    void EnableAI(const std::string& name);
    void DisableAI(const std::string& name);
    void RemoveAI(const std::string& name);
    void ClearAIList();
    void SetPaletteOverride(int32_t palette) { m_paletteOverride = palette; }
    int32_t GetPaletteOverride() const { return m_paletteOverride; }
    void SetVerbose(uint8_t flag) { m_verbose = flag; }

    const std::vector<Entry>& GetEntries() const { return m_entries; }
    AnimationStateList& GetStateTrees() { return m_states; }

    // The first result other than -1 of the state trees; -1 when none.
    int32_t ChooseAnimation() const;
    // Draws every enabled entry onto the target at (x, y) with the flip
    // flags, for the owner's timer and direction. Nothing unless the target
    // and both owner fields are given.
    void Draw(BitmapWrapper* target, int32_t x, int32_t y, int32_t flags);

    // Appends what Draw would paint now for the owner's timer and direction
    // and the flip flags: the chosen animation, and each enabled entry's
    // package, palette and frame. Equal keys paint equal pictures.
    void AppendAppearanceKey(std::vector<uintptr_t>& key, int32_t flags) const;

    // Leaves the program's palette selection as Draw would leave it, without
    // drawing: for a picture that is kept instead of drawn again.
    void SelectPalettes() const;

    // The one frame Draw would paint now, when it paints exactly one frame,
    // plainly (no palette map), lying whole inside a width x height image at
    // (0, 0); null otherwise. The palette the entry sets goes to *palette.
    BitmapWrapper* SingleFrame(int32_t width, int32_t height, int32_t* palette) const;

    // A drawing list has no routable fields: value type 0 and null.
    void* GetPropertyAddress(const std::string& name);

private:
    Entry* FindEntry(const std::string& name);

    std::vector<Entry> m_entries;
    int32_t* m_timer;
    int32_t* m_direction;
    AnimationStateList m_states;
    int32_t m_paletteOverride = -1;
    uint8_t m_verbose = 0;
};
