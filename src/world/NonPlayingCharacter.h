#pragma once
// A character standing in the world: the characters map scripts create, the
// player's avatar, and the other players shown from the network. It has
// names and script paths, a Dimensions box in world space, walking speeds,
// a queue of AI packages that move and animate it, a drawing list that paints
// its current frame into its own appearance image, named state flags that
// drawing lists and AI packages watch, and a set of script variables.
//
// The entity manager owns characters, updates them every tick and draws them
// in draw order. Kept addresses of a character's fields (AI packages,
// animation states, widgets) are cleared through the property router when
// the character goes. Queued AI packages are owned by the character.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/base/RootEntity.h"
#include "world/Dimensions.h"

class AIBasePackage;
class AIDrawingList;
class BitmapWrapper;
class Camera;
class ScriptVariableSet;
class TimeQueue;

class NonPlayingCharacter : public RootEntity {
public:
    struct StateVariable {
        std::string name;  // empty until named
        uint8_t flag = 0;
    };

    NonPlayingCharacter();
    // Deletes the queued AI packages, the appearance, the drawing list and
    // the variables, and clears every kept address into the character.
    ~NonPlayingCharacter() override;
    NonPlayingCharacter(const NonPlayingCharacter&) = delete;
    NonPlayingCharacter& operator=(const NonPlayingCharacter&) = delete;

    // One AI step (once per tick, and once more per mouse button event):
    // nothing unless enabled; HandleMouseState decides whether the AI runs.
    void Update() override;
    // -1 while the display is suppressed.
    int GetDrawOrderKey() override;
    void Draw(BitmapWrapper* target, Camera* camera) override;
    void DrawSecondPass(BitmapWrapper* target, Camera* camera) override;

    // Whether the AI runs in this update, for the entity manager's mouse
    // state (-1 tick, 0 press, 1 release). A plain character always runs.
    virtual bool HandleMouseState(int32_t mouseState);
    // Absolute box from the centre and offsets, and the world click box.
    virtual void UpdateBoundaries();
    // Draws the current frame into the appearance image (the current target).
    virtual void UpdateAppearance();
    // What UpdateAppearance would paint now (see AIDrawingList); the image
    // is drawn again only when this changes or the character is marked
    // dirty.
    virtual void AppendAppearanceKey(std::vector<uintptr_t>& key) const;
    // Whether UpdateAppearance paints exactly the drawing list at (0, 0)
    // without flip flags, so that the key says all the picture depends on
    // (and a single whole frame may be drawn straight onto the view). A
    // kind that paints its own way answers false; so does any kind that
    // does not say.
    virtual bool PaintsDrawingListPlainly() const;
    // Subclasses' own routed fields; a plain character has none (value type
    // 0, null).
    virtual void* RoutePointer(const std::string& name);

    // Address of a routed field; the value type is left in the router. See
    // the .cpp for the names.
    void* GetPropertyAddress(const std::string& name);

    // Accessors.
    const std::string& GetInternalName() const { return m_internalName; }
    const std::string& GetDialoguePath() const { return m_dialoguePath; }
    const std::string& GetDefaultScript() const { return m_scriptPath; }
    int32_t GetScriptCode() const { return m_scriptCode; }
    void SetScriptCode(int32_t code) { m_scriptCode = code; }
    int32_t GetAnimTimer() const { return m_animTimer; }
    int32_t GetAnimDirection() const { return m_animDirection; }
    int32_t GetAnimFlip() const { return m_animFlip; }
    int32_t GetActiveState() const { return m_activeState; }
    ScriptVariableSet* GetVariableList() const { return m_variables.get(); }
    AIDrawingList* GetDrawingList() const { return m_drawingList.get(); }
    Dimensions GetDimensions() const { return m_dimensions; }
    Dimensions* GetDimensionsPointer() { return &m_dimensions; }
    int32_t GetXSize() const;
    int32_t GetYSize() const;
    int32_t GetZSize() const;
    BitmapWrapper* GetAppearance() const { return m_appearance.get(); }
    int32_t GetImageWidth() const { return m_imageW; }
    int32_t GetImageHeight() const { return m_imageH; }
    int32_t GetScreenX() const { return m_screenX; }
    int32_t GetScreenY() const { return m_screenY; }
    bool IsDisplaySuppressed() const { return m_displaySuppressed != 0; }
    bool IsAppearanceDirty() const { return m_appearanceDirty != 0; }
    int32_t GetStateCount() const { return static_cast<int32_t>(m_states.size()); }
    const std::vector<StateVariable>& GetStateVariables() const { return m_states; }
    // The click box: left, top, right, bottom (inclusive).
    void GetClickBox(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) const;
    double GetWalkSpeed() const { return m_walkSpeed; }
    double GetTrotSpeed() const { return m_trotSpeed; }
    double GetRunSpeed() const { return m_runSpeed; }
    int32_t GetMinimumShadowSize() const { return m_minShadowSize; }
    void SetMinimumShadowSize(int32_t size) { m_minShadowSize = size; }

    // Setters.
    const std::string& SetInternalName(const std::string& name);
    const std::string& SetDialoguePath(const std::string& path);
    const std::string& SetDefaultScript(const std::string& path);
    // Stores the six offsets and the sizes; the box is not recomputed.
    void SetBoundaryOffsets(int32_t x1, int32_t x2, int32_t y1, int32_t y2, int32_t z1, int32_t z2);
    void SetCoordinates(int32_t x, int32_t y, int32_t z);
    // The point given is the appearance image's upper-left corner.
    void SetPositionByImage(int32_t x, int32_t y, int32_t z);
    void SetCoordinateData(int32_t x, int32_t y, int32_t z, int32_t xsize, int32_t ysize, int32_t zsize);
    // A new appearance image of width x height (none for a size below 1).
    void SetDisplayData(int32_t offsetX, int32_t offsetY, int32_t width, int32_t height);
    void SetDisplaySuppression(bool flag) { m_displaySuppressed = flag ? 1 : 0; }
    // The four shadow images (sizes 0-3); null draws no shadow.
    void SetShadowSet(BitmapWrapper** set) { m_shadowSet = set; }
    void SetAnimTimerAndDirection(int32_t timer, int32_t direction);
    void MarkAppearanceDirty() { m_appearanceDirty = 1; }
    void SetEnabled(uint8_t enabled) { m_enabled = enabled; }
    uint8_t GetEnabled() const { return m_enabled; }

    // State flags. A negative count is taken as 0. A count above
    // kMaxStateVariables (a script's stray number) changes nothing and
    // answers false.
    static constexpr int32_t kMaxStateVariables = 65536;
    bool AllocateStateVariables(int32_t count);
    void SetStateVariable(int32_t index, const std::string& name, int32_t flag);
    void SetActiveStateByName(const char* name);
    void SetActiveStateByIndex(int32_t index);

    // True when (x, y) is inside the click box (inclusive).
    bool HitTest(int32_t x, int32_t y) const;

    // AI queue. The character owns what is queued. A time of -1 holds the
    // entry until it finishes or the queue is cleared.
    void PushAI(const std::string& name, int32_t time, AIBasePackage* package, bool hold);
    void ClearAIQueue();
    int GetAIQueueLength() const;

    // Registers the NPC_ functions.
    static void RegisterLuaFunctions(lua_State* L);

protected:
    // The shadow size index (0-3) and where it goes, for a camera.
    void ComputeShadow(Camera* camera, int32_t* size, int32_t* x, int32_t* y) const;

    std::string m_internalName;
    std::string m_dialoguePath;
    std::string m_scriptPath;
    int32_t m_scriptCode = -1;
    uint8_t m_displaySuppressed = 0;
    Dimensions m_dimensions;
    int32_t m_imageOffsetX = 0;
    int32_t m_imageOffsetY = 0;
    int32_t m_imageX = 0;
    int32_t m_imageY = 0;
    int32_t m_imageW = 0;
    int32_t m_imageH = 0;
    int32_t m_screenX = 0;
    int32_t m_screenY = 0;
    int32_t m_animFlip = 0;
    int32_t m_clickLeft = 0;
    int32_t m_clickTop = 0;
    int32_t m_clickRight = 0;
    int32_t m_clickBottom = 0;
    std::unique_ptr<TimeQueue> m_aiQueue;
    double m_walkSpeed = 2.2;
    double m_trotSpeed = 3.0;
    double m_runSpeed = 5.0;
    uint8_t m_statesAllocated = 0;
    int32_t m_animTimer = 0;
    int32_t m_animDirection = 4;
    std::unique_ptr<AIDrawingList> m_drawingList;
    std::unique_ptr<BitmapWrapper> m_appearance;
    int32_t m_minShadowSize = 1;
    BitmapWrapper** m_shadowSet = nullptr;
    int32_t m_activeState = 0;
    uint8_t m_enabled = 1;
    uint8_t m_appearanceDirty = 1;
    // The key of the picture in the appearance image, and the one being
    // computed (kept to spare an allocation a frame).
    std::vector<uintptr_t> m_appearanceKey;
    std::vector<uintptr_t> m_nextAppearanceKey;
    // The frame drawn straight onto the frame this time instead of the
    // appearance image, and its palette; null when the image is drawn.
    BitmapWrapper* m_directFrame = nullptr;
    int32_t m_directPalette = -1;
    // Set once the appearance image was handed out by name: it is then
    // always kept up to date.
    bool m_appearanceShared = false;
    std::vector<StateVariable> m_states;
    std::unique_ptr<ScriptVariableSet> m_variables;

private:
    // The package whose RunAI is in progress; a queue clear during that run
    // leaves its deletion to the update that runs it.
    AIBasePackage* m_runningPackage = nullptr;
    bool m_runningOrphaned = false;
};

// Registers the NPC_ functions in the globals table.
void RegisterNPCLuaFunctions(lua_State* L);
