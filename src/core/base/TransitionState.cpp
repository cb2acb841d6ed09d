#include "core/base/TransitionState.h"

#include <cstdio>
#include <functional>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"

namespace {

using Fill = std::function<void(TransitionState&)>;

TransitionState g_record;
std::vector<Fill> g_held;

// Applies one request to the record now.
void Apply(const Fill& fill) {
    GlobalState* state = GetGlobalState();
    state->stateSwitchRequest = 1;
    if (auto requestSnapshot = GetLayerHooks().requestSnapshot) requestSnapshot();
    fill(g_record);
}

// While a Transition runs it reads the record and shows the display's
// snapshot, so a new request must change neither: it waits for the end.
void File(Fill fill) {
    if (GetGlobalState()->transition) {
        g_held.push_back(std::move(fill));
        return;
    }
    Apply(fill);
}

std::optional<std::string> Copy(const char* text) {
    if (!text) return std::nullopt;
    return std::string(text);
}

}  // namespace

TransitionState& GetTransitionState() { return g_record; }

void ClearTransitionState() {
    g_record = TransitionState{};
    g_held.clear();
}

void RequestStartTransition() {
    std::optional<std::string> target;
    if (auto currentMapName = GetLayerHooks().currentMapName) target = currentMapName();
    File([target](TransitionState& record) {
        record.targetKind = kTransitionMap;
        record.entityMode = 1;
        record.keepMap = 0;
        record.mapName = target;
    });
}

void RequestEntityTransition(const char* mapName, const char* entityName) {
    if (!mapName || !entityName) return;
    File([map = std::string(mapName), entity = std::string(entityName)](TransitionState& record) {
        record.targetKind = kTransitionMap;
        record.entityMode = 1;
        record.keepMap = 0;
        record.mapName = map;
        record.entityName = entity;
    });
}

void RequestMapTransition(const char* mapName, int32_t x, int32_t y, int32_t z) {
    if (!mapName) return;
    File([map = Copy(mapName), x, y, z](TransitionState& record) {
        record.targetKind = kTransitionMap;
        record.entityMode = 0;
        record.keepMap = 0;
        record.mapName = map;
        record.dropX = x;
        record.dropY = y;
        record.dropZ = z;
    });
}

bool IsBattleRunningOrRequested() {
    if (g_record.currentMode == kTransitionBattle) return true;
    // Filed and not yet taken up, or being carried out. (Requests held back
    // behind another transition are filed one after the other into the same
    // record, so two of them still make one battle.)
    const GlobalState* state = GetGlobalState();
    return g_record.targetKind == kTransitionBattle && (state->stateSwitchRequest || state->transition);
}

void RequestCombatTransition() {
    if (IsBattleRunningOrRequested()) {
        std::fputs("RequestCombatTransition:  Failed, a battle is running\n", stderr);
        return;
    }
    File([](TransitionState& record) {
        record.targetKind = kTransitionBattle;
        record.keepMap = 1;
    });
}

void RequestTitleTransition() {
    std::fputs("Setup transition to title\n", stderr);
    File([](TransitionState& record) {
        record.targetKind = kTransitionTitle;
        record.keepMap = 0;
    });
}

void FileHeldTransitionRequests() {
    if (g_held.empty()) return;
    // Taken out first: a request made while these are applied is filed anew.
    std::vector<Fill> held;
    held.swap(g_held);
    for (const Fill& fill : held) Apply(fill);
}

size_t HeldTransitionRequestCount() { return g_held.size(); }
