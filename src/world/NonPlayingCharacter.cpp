#include "world/NonPlayingCharacter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <typeinfo>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/base/TimeQueue.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/RenderState.h"
#include "core/script/LuaManager.h"
#include "core/script/PropertyRouter.h"
#include "core/script/ScriptArgs.h"
#include "core/script/ScriptVariableSet.h"
#include "world/Camera.h"
#include "world/EntityManager.h"
#include "world/Terrain.h"
#include "world/ai/AIBasePackage.h"
#include "world/ai/AIDrawingList.h"

namespace {

// The shadow scan walks from the top of the box down to the ground; a box
// far above any map layer stops looking here rather than walking for ever.
constexpr int32_t kShadowScanLimit = -65536;

}  // namespace

NonPlayingCharacter::NonPlayingCharacter()
    : m_aiQueue(std::make_unique<TimeQueue>()),
      m_drawingList(std::make_unique<AIDrawingList>(&m_animTimer, &m_animDirection)),
      m_shadowSet(GetGlobalState()->shadowImages),
      m_variables(std::make_unique<ScriptVariableSet>()) {
    m_type = kTypeNonPlayingCharacter;
    m_id = -1;  // characters are not numbered
}

NonPlayingCharacter::~NonPlayingCharacter() {
    // Queued packages keep addresses into this character; they go first.
    ClearAIQueue();
    PropertyRouter::ForgetOwner(this);
}

// ---------------------------------------------------------------- setters

const std::string& NonPlayingCharacter::SetInternalName(const std::string& name) {
    m_internalName = name;
    return m_internalName;
}

const std::string& NonPlayingCharacter::SetDialoguePath(const std::string& path) {
    m_dialoguePath = path;
    return m_dialoguePath;
}

const std::string& NonPlayingCharacter::SetDefaultScript(const std::string& path) {
    m_scriptPath = path;
    return m_scriptPath;
}

void NonPlayingCharacter::SetBoundaryOffsets(int32_t x1, int32_t x2, int32_t y1, int32_t y2, int32_t z1, int32_t z2) {
    Dimensions& d = m_dimensions;
    d.x1 = x1;
    d.x2 = x2;
    d.y1 = y1;
    d.y2 = y2;
    d.z1 = z1;
    d.z2 = z2;
    d.XSize = static_cast<double>(x2) - x1;
    d.YSize = static_cast<double>(y2) - y1;
    d.ZSize = static_cast<double>(z2) - z1;
}

void NonPlayingCharacter::SetCoordinates(int32_t x, int32_t y, int32_t z) {
    m_dimensions.X = x;
    m_dimensions.Y = y;
    m_dimensions.Z = z;
    UpdateBoundaries();
}

void NonPlayingCharacter::SetPositionByImage(int32_t x, int32_t y, int32_t z) {
    m_dimensions.X = static_cast<double>(m_imageOffsetX) + x;
    m_dimensions.Y = static_cast<double>(m_imageOffsetY) + y;
    m_dimensions.Z = z;
    UpdateBoundaries();
}

void NonPlayingCharacter::SetCoordinateData(int32_t x, int32_t y, int32_t z, int32_t xsize, int32_t ysize,
                                            int32_t zsize) {
    m_dimensions.XSize = xsize;
    m_dimensions.YSize = ysize;
    m_dimensions.ZSize = zsize;
    SetCoordinates(x, y, z);
    UpdateBoundaries();
}

void NonPlayingCharacter::SetDisplayData(int32_t offsetX, int32_t offsetY, int32_t width, int32_t height) {
    // An image of the same size is kept: it is drawn again from the drawing
    // list whenever what it shows changes, so a new one would get the same
    // picture (a default script that sets the display data every tick
    // creates no bitmaps).
    const bool keep = m_appearance && m_appearance->GetBitmap() && width == m_imageW && height == m_imageH;
    if (!keep) {
        // Watchers of the old image (state trees, widgets) lose it with it.
        if (m_appearance) PropertyRouter::ForgetAddresses(m_appearance.get(), sizeof(BitmapWrapper));
        m_appearance.reset();
        // Allegro cannot make an empty bitmap; such a character simply has
        // no appearance image.
        if (width > 0 && height > 0 && al_is_system_installed())
            m_appearance = std::make_unique<BitmapWrapper>(width, height, &GetGlobalState()->openGLMode);
        m_appearanceDirty = 1;
        m_appearanceKey.clear();  // the new image holds no picture yet
    }
    m_imageOffsetX = offsetX;
    m_imageOffsetY = offsetY;
    m_imageW = width;
    m_imageH = height;
}

void NonPlayingCharacter::SetAnimTimerAndDirection(int32_t timer, int32_t direction) {
    m_animTimer = timer;
    m_animDirection = direction;
}

int32_t NonPlayingCharacter::GetXSize() const { return TruncateToInt32(m_dimensions.XSize); }
int32_t NonPlayingCharacter::GetYSize() const { return TruncateToInt32(m_dimensions.YSize); }
int32_t NonPlayingCharacter::GetZSize() const { return TruncateToInt32(m_dimensions.ZSize); }

void NonPlayingCharacter::GetClickBox(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) const {
    if (left) *left = m_clickLeft;
    if (top) *top = m_clickTop;
    if (right) *right = m_clickRight;
    if (bottom) *bottom = m_clickBottom;
}

// ---------------------------------------------------------------- states

bool NonPlayingCharacter::AllocateStateVariables(int32_t count) {
    if (count > kMaxStateVariables) return false;
    // Kept flag addresses point into the old array; addresses of the
    // character's other fields stay good.
    if (!m_states.empty()) PropertyRouter::ForgetAddresses(m_states.data(), m_states.size() * sizeof(StateVariable));
    m_states.assign(static_cast<size_t>(std::max(count, 0)), StateVariable{});
    m_statesAllocated = 1;
    return true;
}

void NonPlayingCharacter::SetStateVariable(int32_t index, const std::string& name, int32_t flag) {
    if (index < 0 || index >= GetStateCount()) return;
    m_states[index].name = name;
    m_states[index].flag = flag != 0 ? 1 : 0;
}

void NonPlayingCharacter::SetActiveStateByName(const char* name) {
    if (!name) return;
    for (size_t i = 0; i < m_states.size(); ++i) {
        bool match = m_states[i].name == name;
        m_states[i].flag = match ? 1 : 0;
        if (match) m_activeState = static_cast<int32_t>(i);
    }
}

void NonPlayingCharacter::SetActiveStateByIndex(int32_t index) {
    if (index < 0 || index >= GetStateCount()) return;
    for (StateVariable& state : m_states) state.flag = 0;
    m_states[index].flag = 1;
    m_activeState = index;
}

bool NonPlayingCharacter::HitTest(int32_t x, int32_t y) const {
    return x >= m_clickLeft && x <= m_clickRight && y >= m_clickTop && y <= m_clickBottom;
}

// ---------------------------------------------------------------- AI queue

void NonPlayingCharacter::PushAI(const std::string& name, int32_t time, AIBasePackage* package, bool hold) {
    if (!package) {
        std::fputs("NPC::PushAI:  Warning, AIPackage was NULL\n", stderr);
        return;
    }
    m_aiQueue->Push(name, time, package, hold);
}

void NonPlayingCharacter::ClearAIQueue() {
    while (void* value = m_aiQueue->Pop()) {
        auto* package = static_cast<AIBasePackage*>(value);
        // The package whose step is running is deleted once its step returns.
        if (package == m_runningPackage)
            m_runningOrphaned = true;
        else
            delete package;
    }
}

int NonPlayingCharacter::GetAIQueueLength() const { return m_aiQueue->GetCount(); }

bool NonPlayingCharacter::HandleMouseState(int32_t) { return true; }

void NonPlayingCharacter::Update() {
    if (m_enabled != 1) return;
    GlobalState* state = GetGlobalState();
    EntityManager* entities = state->entityManager;
    const uint64_t removals = entities ? entities->GetRemovalCount() : 0;
    if (!HandleMouseState(entities ? entities->GetMouseState() : -1)) return;

    bool fired = false;
    if (auto* package = static_cast<AIBasePackage*>(m_aiQueue->Advance(1, &fired))) {
        AIBasePackage* outer = m_runningPackage;
        bool outerOrphaned = m_runningOrphaned;
        m_runningPackage = package;
        m_runningOrphaned = false;
        package->RunAI();
        bool orphaned = m_runningOrphaned;
        m_runningPackage = outer;
        m_runningOrphaned = outerOrphaned;

        if (orphaned) {
            // The queue was cleared while it ran: it is no longer queued.
            delete package;
        } else if (package->IsFinished()) {
            if (!fired && m_aiQueue->Peek() == package) m_aiQueue->Pop();
            delete package;
        } else if (fired) {
            delete package;
        }
    }

    // A script run above may have removed this character: it is deleted when
    // the walk that updates it ends, and runs nothing more until then.
    if (entities && entities->GetRemovalCount() != removals && !entities->IsRegistered(this)) return;
    if (m_aiQueue->GetCount() == 0 && !m_scriptPath.empty()) {
        if (entities) entities->SetActiveEntity(this);
        if (LuaManager* lua = state->luaManager) lua->RunFile(m_scriptPath, m_scriptCode);
    }
}

// ---------------------------------------------------------------- geometry and drawing

void NonPlayingCharacter::UpdateBoundaries() {
    Dimensions& d = m_dimensions;
    d.UpdateBox();
    m_clickLeft = TruncateToInt32(d.X - 9);
    m_clickTop = TruncateToInt32(d.Y - 47);
    m_clickRight = TruncateToInt32(d.X + 9);
    m_clickBottom = TruncateToInt32(d.Y + 8);
}

int NonPlayingCharacter::GetDrawOrderKey() {
    if (m_displaySuppressed) return -1;
    const Dimensions& d = m_dimensions;
    Terrain* terrain = CurrentTerrain();
    if (terrain && terrain->IsIsometric()) return TruncateToInt32((d.Y + d.X + d.ZSize + d.YSize) / 2);
    // Widened so a character at the edge of the 32-bit range keeps a key.
    int64_t key = TruncateToInt32(d.Y);
    switch (m_animDirection) {
        case 0: key += 3; break;
        case 1:
        case 3:
        case 5:
        case 7: key -= 2; break;
        case 2:
        case 6: key -= 1; break;
        default: break;
    }
    return static_cast<int>(std::clamp<int64_t>(key, INT32_MIN, INT32_MAX));
}

void NonPlayingCharacter::UpdateAppearance() {
    // Without a bitmap (one too large to create) the list would paint on
    // whatever target is current, i.e. the frame.
    if (m_statesAllocated && m_drawingList && m_appearance && m_appearance->GetBitmap())
        m_drawingList->Draw(m_appearance.get(), 0, 0, 0);
}

void NonPlayingCharacter::AppendAppearanceKey(std::vector<uintptr_t>& key) const {
    key.push_back(m_statesAllocated);
    key.push_back(static_cast<uint32_t>(m_animFlip));
    if (m_drawingList) m_drawingList->AppendAppearanceKey(key, 0);
}

bool NonPlayingCharacter::PaintsDrawingListPlainly() const {
    // A plain character paints its list only once its states exist.
    return typeid(*this) == typeid(NonPlayingCharacter) && m_statesAllocated;
}

void NonPlayingCharacter::Draw(BitmapWrapper* target, Camera* camera) {
    if (m_enabled != 1 || !camera || m_displaySuppressed) return;
    const Dimensions& d = m_dimensions;

    // A character whose picture is the drawing list's one whole frame draws
    // that frame straight onto the view: the same pixels as through its
    // image, without drawing the image when the frame changes. Characters
    // that paint their image their own way always use it.
    m_directFrame = nullptr;
    const bool plain = PaintsDrawingListPlainly();
    if (m_appearance && !m_appearanceShared && m_drawingList && plain)
        m_directFrame = m_drawingList->SingleFrame(m_imageW, m_imageH, &m_directPalette);
    if (m_directFrame) {
        // The image no longer holds the current picture.
        m_appearanceKey.clear();
    } else if (m_appearance) {
        // The image keeps its picture until what it shows changes. A plain
        // character's key says all its picture depends on, so marking it
        // dirty only has the key compared; other kinds paint by their own
        // rules and are drawn again whenever marked.
        m_nextAppearanceKey.clear();
        AppendAppearanceKey(m_nextAppearanceKey);
        if ((m_appearanceDirty && !plain) || m_nextAppearanceKey != m_appearanceKey) {
            ALLEGRO_BITMAP* previous = al_get_target_bitmap();
            m_appearance->SetAsTarget();
            m_appearance->ClearToTransparent();
            UpdateAppearance();
            if (previous) al_set_target_bitmap(previous);
            m_appearanceDirty = 0;
            // Taken after the drawing, which may itself change what is shown.
            m_appearanceKey.clear();
            AppendAppearanceKey(m_appearanceKey);
        } else if (m_drawingList && plain) {
            // The palette selection the drawing would have left, for the
            // characters drawn after this one.
            m_drawingList->SelectPalettes();
        }
    }

    m_imageX = TruncateToInt32(d.X - m_imageOffsetX);
    m_imageY = TruncateToInt32(d.Y - m_imageOffsetY);
    const int32_t camX = camera->GetX();
    const int32_t camY = camera->GetY();
    const int64_t px = m_imageX;
    const int64_t py = m_imageY;

    if (camera->IsIsometric()) {
        m_screenX = static_cast<int32_t>(px - py + 225 - camX);
        m_screenY = TruncateToInt32(static_cast<double>((px + py) / 2 + 200) + d.zmax - camY - 17.0);
        const double half = (d.X + d.Y) / 2;
        m_clickLeft = TruncateToInt32(d.X - d.Y + d.x1 + 300 - camX);
        m_clickRight = TruncateToInt32(d.X - d.Y + d.x2 + 300 - camX);
        m_clickTop = TruncateToInt32(half + d.y1 + 200 - camY - 17);
        m_clickBottom = TruncateToInt32(half + d.y2 + 200 - camY - 17);
    } else {
        m_screenX = static_cast<int32_t>(px - camX);
        m_screenY = TruncateToInt32(static_cast<double>(py - camY) + d.Z);
        m_clickLeft = TruncateToInt32(d.xmin - camX);
        m_clickTop = TruncateToInt32(d.ymin - camY);
        m_clickRight = TruncateToInt32(d.xmax - camX);
        m_clickBottom = TruncateToInt32(d.ymax - camY);
    }

    SafeDrawSecondPass(target, camera);
}

void NonPlayingCharacter::ComputeShadow(Camera* camera, int32_t* size, int32_t* x, int32_t* y) const {
    const Dimensions& d = m_dimensions;
    Terrain* terrain = CurrentTerrain();
    const bool isometric = terrain && terrain->IsIsometric();

    int32_t height = 0;
    if (isometric) {
        const int32_t cx = TruncateToInt32(d.X);
        const int32_t cy = TruncateToInt32(d.Y);
        for (int32_t z = std::max(TruncateToInt32(d.zmax), kShadowScanLimit); z < 0; ++z) {
            if (terrain->IsBlocked(cx, cy, z)) {
                height = TruncateToInt32(z - d.zmax - 1.0);
                break;
            }
        }
    } else {
        height = TruncateToInt32(d.zmin);
    }

    int32_t index = height > 23 ? 3 : height > 15 ? 2 : height > 7 ? 1 : 0;
    *size = std::clamp(std::max(index, m_minShadowSize), 0, 3);

    const int32_t camX = camera ? camera->GetX() : 0;
    const int32_t camY = camera ? camera->GetY() : 0;
    if (isometric) {
        *x = TruncateToInt32(d.X - d.Y + 286 - camX);
        *y = TruncateToInt32((d.X + d.Y) / 2 + 195 + height + d.zmax - camY);
    } else {
        *x = TruncateToInt32(d.X - 14 - camX);
        *y = TruncateToInt32(d.Y - 2 - camY);
    }
}

void NonPlayingCharacter::DrawSecondPass(BitmapWrapper* target, Camera* camera) {
    // Selecting the target again costs a state change per character; it is
    // skipped when the target is already selected.
    if (target && (al_get_target_bitmap() != target->GetBitmap() || GetGlobalState()->openGLMode))
        target->SetAsTarget();
    if (m_shadowSet) {
        int32_t size = 0, x = 0, y = 0;
        ComputeShadow(camera, &size, &x, &y);
        if (BitmapWrapper* shadow = m_shadowSet[size]) shadow->Draw(x, y, shadow->GetFlags());
    }
    if (m_directFrame) {
        SetPaletteIndex(m_directPalette);
        m_directFrame->Draw(m_screenX, m_screenY, 0);
    } else if (m_appearance) {
        m_appearance->Draw(m_screenX, m_screenY, 0);
    }
}

// ---------------------------------------------------------------- routing

void* NonPlayingCharacter::RoutePointer(const std::string&) {
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}

void* NonPlayingCharacter::GetPropertyAddress(const std::string& name) {
    if (void* address = RoutePointer(name)) return address;

    if (name.compare(0, 3, "St|") == 0) {
        const std::string stateName = name.substr(3, 79);
        for (StateVariable& state : m_states) {
            if (state.name == stateName) {
                PropertyRouter::Report(PropertyRouter::kByte);
                return &state.flag;
            }
        }
        std::fprintf(stderr, "Pointer Routing:  Failed, no state variable %s found in %s\n", stateName.c_str(),
                     m_internalName.c_str());
        PropertyRouter::Report(PropertyRouter::kNone);
        return nullptr;
    }

    struct Field {
        const char* name;
        void* address;
        int32_t type;
    };
    Dimensions& d = m_dimensions;
    const Field fields[] = {
        {"Type", &m_type, PropertyRouter::kInt},
        {"ImageW", &m_imageW, PropertyRouter::kInt},
        {"ImageH", &m_imageH, PropertyRouter::kInt},
        {"AnimTimer", &m_animTimer, PropertyRouter::kInt},
        {"AnimDirection", &m_animDirection, PropertyRouter::kInt},
        {"AnimFlip", &m_animFlip, PropertyRouter::kInt},
        {"XCenter", &d.X, PropertyRouter::kDouble},
        {"YCenter", &d.Y, PropertyRouter::kDouble},
        {"ZCenter", &d.Z, PropertyRouter::kDouble},
        {"XSize", &d.XSize, PropertyRouter::kDouble},
        {"YSize", &d.YSize, PropertyRouter::kDouble},
        {"ZSize", &d.ZSize, PropertyRouter::kDouble},
        {"WalkSpeed", &m_walkSpeed, PropertyRouter::kDouble},
        {"TrotSpeed", &m_trotSpeed, PropertyRouter::kDouble},
        {"RunSpeed", &m_runSpeed, PropertyRouter::kDouble},
        {"UniqueID", &m_id, PropertyRouter::kId},
        {"InternalName", &m_internalName, PropertyRouter::kString},
        {"DialoguePath", &m_dialoguePath, PropertyRouter::kString},
        {"ScriptPath", &m_scriptPath, PropertyRouter::kString},
        {"AIDrawingList", m_drawingList.get(), PropertyRouter::kDrawingList},
        {"Appearance", m_appearance.get(), PropertyRouter::kAppearance},
        {"VariableList", m_variables.get(), PropertyRouter::kVariableList},
        {"Dimensions", &d, PropertyRouter::kDimensions},
    };
    // Whoever takes the appearance image sees it drawn from then on.
    if (name == "Appearance") m_appearanceShared = true;
    for (const Field& field : fields) {
        if (name == field.name) {
            // A character without an appearance image has nothing to give.
            PropertyRouter::Report(field.address ? field.type : PropertyRouter::kNone);
            return field.address;
        }
    }
    std::fprintf(stderr, "Pointer Routing:  Failed, no variable %s found in %s\n", name.c_str(),
                 m_internalName.c_str());
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}
