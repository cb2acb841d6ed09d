#pragma once
// The one controller of a battle. StartCombat builds the battle screen, sets
// up the party and the enemies; then rounds alternate a command phase (the
// player picks a command, and for Attack a target, for every living party
// member) and a message phase (every combatant acts in speed order at once,
// and the message window plays back what the actions queued). At the end of
// a round the battle is judged: defeat, next round or victory. Once the
// result is known the battle files the request back to the map and cleans
// up.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class BitmapWrapper;
class Character;
class CombatEnemies;
class CombatParty;
class GUIBaseObject;
class GUICombatCommandWindow;
class GUICombatMessageWindow;
class GUICombatTargetWindow;
class GUIManager;
class NamedList;

class CombatManager {
public:
    static constexpr const char* kBackgroundArchive = "Data/Backgrounds.sif";
    static constexpr const char* kDefaultBackground = "Combat_ForestBackground";
    static constexpr const char* kBattleMusic = "Normal Battle";

    CombatManager();
    ~CombatManager();
    CombatManager(const CombatManager&) = delete;
    CombatManager& operator=(const CombatManager&) = delete;

    // ---- The battle --------------------------------------------------------------
    void StartCombat();
    // Once per timer tick of the combat state.
    void Update();
    // Once per redraw of the combat state.
    void Draw();
    // The battle's frame, drawn onto the target (Draw wraps the back buffer).
    void DrawInto(BitmapWrapper* target);
    // Every combatant acts in speed order; what they do is queued.
    void ResolveTurn();
    void EndBattle();

    // ---- Input from the combat windows -------------------------------------------
    void OrderCommand(int32_t command);
    void OrderTarget(int32_t index);
    void SetSubChoice(int32_t value) { m_subChoice = value; }
    void NextCommandPage();
    void PreviousCommandPage();
    void FillCommandWindowFor(Character* character);
    void ResetInput();
    void EnterCommandPhase();
    void EnterMessagePhase();
    void SetBattleResult(int32_t result) { m_state = result; }

    // ---- Combatants -----------------------------------------------------------------
    // Party member i below the party size, else enemy i minus the party size.
    Character* FindCombatantByIndex(int32_t index) const;
    // The first party member, else the first enemy, with that combatant id.
    Character* FindCombatantById(int32_t id) const;
    Character* PickRandomEnemy(int32_t command, int32_t subChoice);

    // ---- Preload list and background ------------------------------------------------
    // Null is ignored; duplicates become one enemy each.
    void AddPreloadEnemy(void* prototype);
    void ClearPreloadList();
    NamedList* GetPreloadList() const { return m_preloadList; }
    void LoadBackground(const std::string& name);
    BitmapWrapper* GetBackground() const { return m_background; }

    // ---- Accessors ------------------------------------------------------------------
    GUICombatMessageWindow* GetMessageWindow() const { return m_messageWindow; }
    GUICombatCommandWindow* GetCommandWindow() const { return m_commandWindow; }
    GUICombatTargetWindow* GetTargetWindow() const { return m_targetWindow; }
    NamedList* GetCharacterDisplays() const { return m_characterDisplays; }
    ALLEGRO_FONT* GetFont() const { return m_font; }
    int32_t GetReward() const { return m_reward; }
    int32_t GetState() const { return m_state; }
    bool IsReady() const { return m_ready != 0; }
    int32_t GetChosenCommand() const { return m_command; }
    int32_t GetChosenSubChoice() const { return m_subChoice; }
    int32_t GetChosenTarget() const { return m_target; }
    int32_t GetPage() const { return m_page; }
    int32_t GetLastPage() const { return m_lastPage; }
    // True from StartCombat until the end of the battle has been handled.
    bool IsBattleRunning() const { return m_battleRunning; }

    // CombatManager_ClearPreloadList, _AddPreloadEnemy, _InitiateCombat.
    static void RegisterLuaFunctions(lua_State* L);
    // DEBUG_ActivateCombat.
    static void RegisterDebugLuaFunctions(lua_State* L);

private:
    void JudgeRound();
    void FinishBattle();
    // A script the battle runs (an attack script) may hide any window, the
    // battle's own too: a hidden message window plays no further and a
    // hidden command window takes no choice, so the battle would wait for
    // ever. Each tick the one window the battle waits on is shown again when
    // it is hidden: the message window while its messages play, else, while
    // a command is awaited and neither the command nor the target window is
    // shown, the one the choice was being made in. Status displays and the
    // overlay stay as scripts leave them.
    void ShowOwnWindows();
    void DrawCombatants();
    // Refuses a battle that cannot be fought (no living party member):
    // the return to the map is filed at once.
    bool RefuseEmptyParty();
    // The name of the first battle window that could not be built because a
    // GUI object of another kind holds the name; null when all were built.
    const char* TakenWindowName() const;

    int32_t m_state = -1;
    int32_t m_reward = 0;
    NamedList* m_preloadList = nullptr;
    int32_t m_ready = 0;
    int32_t m_command = 0;
    int32_t m_subChoice = 0;
    int32_t m_target = -1;
    int32_t m_page = 0;
    int32_t m_lastPage = 0;
    CombatParty* m_party = nullptr;
    CombatEnemies* m_enemies = nullptr;
    GUIManager* m_gui = nullptr;
    GUIBaseObject* m_pageButtonA = nullptr;
    GUIBaseObject* m_pageButtonB = nullptr;
    GUIBaseObject* m_overlay = nullptr;
    GUICombatCommandWindow* m_commandWindow = nullptr;
    GUICombatTargetWindow* m_targetWindow = nullptr;
    NamedList* m_characterDisplays;
    BitmapWrapper* m_backBuffer = nullptr;
    ALLEGRO_FONT* m_font = nullptr;
    BitmapWrapper* m_background = nullptr;
    GUICombatMessageWindow* m_messageWindow = nullptr;
    bool m_battleRunning = false;
};
