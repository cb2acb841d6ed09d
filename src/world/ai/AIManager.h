#pragma once
// Registry of the AI objects that scripts create: floating AI packages
// (stepped once per game tick while the map lives), animations and drawing
// packages, each kept by name in its list ("FloatingAIPackageList",
// "AnimationsList", "AIDrawingPackageList"). It also holds the active object
// of each AI script family (AIM_, AI_, AIDL_, AIDP_, Anim_, AIS_).
//
// Lifetime: the manager owns every object in its lists.
// - An AI package taken out with DeleteObject is deleted (after the floating
//   walk when one is running).
// - An animation or drawing package taken out with DeleteObject is kept
//   alive until the manager goes, because drawing packages and characters'
//   drawing lists may still use it.
// - ClearFloatingAI (map unload) deletes everything in the floating list.
// Every active pointer that designates a deleted object is cleared, and
// objects that go tell the router so kept addresses into them are cleared.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/RootObject.h"

class AIBasePackage;
class AIDrawingList;
class AIDrawingPackage;
class Animation;
class AnimationState;
class AnimationStateList;

class AIManager : public RootObject {
public:
    static constexpr const char* kFloatingList = "FloatingAIPackageList";
    static constexpr const char* kAnimationsList = "AnimationsList";
    static constexpr const char* kDrawingPackageList = "AIDrawingPackageList";

    // Registers the AI families' script functions on the script host's state
    // (when it exists).
    AIManager();
    // Deletes every animation, drawing package and floating package.
    ~AIManager();
    AIManager(const AIManager&) = delete;
    AIManager& operator=(const AIManager&) = delete;

    // First match by name in its list, or null.
    Animation* GetAnimation(const std::string& name) const;
    AIDrawingPackage* GetDrawingPackage(const std::string& name) const;
    AIBasePackage* GetFloatingPackage(const std::string& name) const;

    // Append under the name; the manager owns the object from then on.
    // Null objects, and objects the manager already holds (which would be
    // deleted twice), are refused. The list is named as in DeleteObject.
    bool AddAnimation(const std::string& name, Animation* animation, const std::string& list = kAnimationsList);
    bool AddDrawingPackage(const std::string& name, AIDrawingPackage* package,
                           const std::string& list = kDrawingPackageList);
    bool AddFloatingPackage(const std::string& name, AIBasePackage* package, const std::string& list = kFloatingList);
    static bool IsListName(const std::string& list);

    // Takes the first object of that name out of the named list (another
    // list name: nothing). See the lifetime rules above.
    void DeleteObject(const std::string& list, const std::string& name);

    // RunAI of every AI package in the floating list, in list order. A
    // package removed during the walk is not run afterwards.
    void UpdateFloatingAI();
    // Deletes everything in the floating list (a map unload).
    void ClearFloatingAI();
    int GetCount(const std::string& list) const;

    // Property lookup of the router's "AIManager" owner kind: owner "Base"
    // gives the object called `name` (floating 1000, animation 1202, drawing
    // package 1201); another owner names an object whose own field `name` is
    // asked for. The value type is left in the router; null on failure.
    void* GetPropertyAddress(const std::string& owner, const std::string& name);

    // True when the address is an object of this kind in one of the lists
    // (animations and drawing packages in any list, AI packages in the
    // floating list).
    bool HoldsAnimation(const void* address) const;
    bool HoldsDrawingPackage(const void* address) const;
    bool HoldsFloatingPackage(const void* address) const;

    // Active objects of the script families.
    AIBasePackage* GetActiveAIObject() const { return m_activeAI; }
    void SetActiveAIObject(AIBasePackage* package) { m_activeAI = package; }
    AIDrawingList* GetActiveDrawingList() const { return m_activeDrawingList; }
    void SetActiveDrawingList(AIDrawingList* list) { m_activeDrawingList = list; }
    AIDrawingPackage* GetActiveDrawingPackage() const { return m_activeDrawingPackage; }
    void SetActiveDrawingPackage(AIDrawingPackage* package) { m_activeDrawingPackage = package; }
    Animation* GetActiveAnimation() const { return m_activeAnimation; }
    void SetActiveAnimation(Animation* animation) { m_activeAnimation = animation; }
    AnimationState* GetActiveAnimationState() const { return m_activeState; }
    AnimationStateList* GetCurrentStateList() const { return m_stateList; }
    void SetActiveAnimationState(AnimationState* state, AnimationStateList* list) {
        m_activeState = state;
        m_stateList = list;
    }

    // Picks the state list that state-building acts on: "Base" clears the
    // active animation state and gives the active drawing list's state
    // trees; another name is looked up in the current state list, becomes
    // the active animation state and its children are the result (null when
    // not found). Without an active drawing list: a line and null.
    AnimationStateList* SearchForAnimationStateList(const std::string& name);

    // Clears every active pointer to an object that is going away. A drawing
    // list also takes the state pointers into its trees with it.
    void ForgetObject(const void* object);
    void ForgetDrawingList(AIDrawingList* list);

private:
    enum class Kind { Package, Animation, DrawingPackage };
    struct Entry {
        std::string name;
        Kind kind;
        void* object;
    };
    using List = std::vector<Entry>;

    List* ListByName(const std::string& list);
    const List* ListByName(const std::string& list) const;
    bool Add(const std::string& list, const std::string& name, Kind kind, void* object);
    static const Entry* FindEntry(const List& list, const std::string& name);
    bool Holds(const void* address, Kind kind, bool floatingOnly) const;
    // True when the object is anywhere in the manager's keeping (the lists,
    // the retired and the pending deletions).
    bool Owns(const void* object) const;
    // Deletes the object (deferred to after the floating walk when one runs)
    // after clearing every pointer to it.
    void Destroy(Kind kind, void* object);
    static void DeleteNow(Kind kind, void* object);

    AIBasePackage* m_activeAI = nullptr;
    AIDrawingList* m_activeDrawingList = nullptr;
    AIDrawingPackage* m_activeDrawingPackage = nullptr;
    Animation* m_activeAnimation = nullptr;
    AnimationState* m_activeState = nullptr;
    AnimationStateList* m_stateList = nullptr;

    List m_animations;
    List m_drawingPackages;
    List m_floating;
    // Animations and drawing packages taken out of their lists, kept alive
    // until the manager goes.
    List m_retired;
    // Objects whose deletion waits for the floating walk to end.
    List m_pending;
    int m_walkDepth = 0;
};

// Registers the AIM_, AI_, AIDP_, AIDL_ and AIS_ functions.
void RegisterAIManagerLuaFunctions(lua_State* L);
// The parts of it, one per family file.
void RegisterAIDrawingPackageLuaFunctions(lua_State* L);
void RegisterAIDrawingListLuaFunctions(lua_State* L);
