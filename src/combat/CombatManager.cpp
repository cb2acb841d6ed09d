#include "combat/CombatManager.h"

#include <allegro5/allegro_ttf.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "combat/Character.h"
#include "combat/CombatEnemies.h"
#include "combat/CombatImages.h"
#include "combat/CombatParty.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatSprite.h"
#include "combat/CombatWindows.h"
#include "combat/GUICombatCommandWindow.h"
#include "combat/GUICombatMessageWindow.h"
#include "combat/GUICombatTargetWindow.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/base/Random.h"
#include "core/base/TransitionState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/DisplayManager.h"
#include "core/media/ExternalImageManager.h"
#include "core/media/SoundManager.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"

namespace {

void OpenObject(GUIBaseObject* object) {
    if (object) object->Open();
}

void CloseObject(GUIBaseObject* object) {
    if (object) object->Close();
}

// The turn factor of one draw: 1 + (draw mod 20 - 10) / 100, as a float.
float TurnFactor(int32_t draw) {
    int32_t m = draw % 20;
    if (m < 0) m += 20;
    return static_cast<float>(1.0 + (m - 10) / 100.0);
}

}  // namespace

CombatManager::CombatManager() : m_characterDisplays(new NamedList(false)) {
    // The party's status displays write with this font.
    m_font = al_is_system_installed() && al_is_ttf_addon_initialized()
                 ? al_load_ttf_font("Data/Graphics/Fonts/FixedSys.ttf", 14, 0)
                 : nullptr;
}

CombatManager::~CombatManager() {
    delete m_backBuffer;
    delete m_background;
    delete m_characterDisplays;
    delete m_preloadList;
    if (m_font) al_destroy_font(m_font);
}

// ---- Start ---------------------------------------------------------------------------

void CombatManager::StartCombat() {
    GlobalState* state = GetGlobalState();
    CombatRegistry& registry = GetCombatRegistry();
    m_party = registry.partyManager;
    m_enemies = registry.enemyManager;
    m_gui = state->guiManager;
    if (m_gui) m_gui->HideAllObjects();

    m_overlay = BuildCombatOverlay();
    BuildCombatCharDisplays(m_characterDisplays);
    m_messageWindow = BuildMessageWindow();
    m_commandWindow = BuildCommandWindow();
    m_pageButtonA = BuildIncrementPageButton();
    m_pageButtonB = BuildDecrementPageButton();
    m_targetWindow = BuildTargetWindow();
    if (m_messageWindow) m_messageWindow->Reset();
    EnterCommandPhase();
    m_battleRunning = true;
    m_state = -1;

    int32_t counter = 0;
    if (m_party) {
        m_party->PrepareForBattle();
        m_party->SetCombatIds(&counter);
        m_party->PlaceParty(0);
    }
    if (m_enemies) {
        m_enemies->ClearEnemies();
        m_enemies->SpawnEnemies(m_preloadList);
        m_enemies->SetCombatIds(&counter);
        m_enemies->LoadFieldSprites();
        m_enemies->PlaceEnemies(1);
    }

    if (m_gui) m_gui->SetClearBeforeDraw(false);
    LoadBackground(kDefaultBackground);
    ResetInput();
    m_reward = 0;
    m_state = -1;

    if (SoundManager* sound = state->soundManager) {
        if (AudioRecord* music = sound->FindMusic(kBattleMusic)) {
            sound->PlayStream(music);
            sound->SetVolume(music, 1.0f, 1);
        }
    }

    // A battle that cannot be played goes straight back to the map.
    if (const char* taken = TakenWindowName()) {
        std::fprintf(stderr, "CombatManager::StartCombat:  Failed, %s is a GUI object of another kind\n", taken);
        FinishBattle();
    } else if (!m_party || !m_party->GetActiveCharacter()) {
        std::fputs("CombatManager::StartCombat:  Failed, the party has no member who can fight\n", stderr);
        FinishBattle();
    } else if (!m_enemies || m_enemies->GetEnemyCount() < 1) {
        std::fputs("CombatManager::StartCombat:  Failed, there are no enemies to fight\n", stderr);
        FinishBattle();
    }
}

// ---- Per tick ----------------------------------------------------------------------------

void CombatManager::Update() {
    if (!m_battleRunning) return;
    if (m_state >= 0) {
        FinishBattle();
        return;
    }
    ShowOwnWindows();
    if (m_party) m_party->UpdateFieldSprites();
    if (m_enemies) m_enemies->UpdateFieldSprites();
    GUICombatMessageWindow* window = m_messageWindow;
    if (!window) return;
    if (!window->IsRunning()) {
        if (!m_ready) return;
        Character* active = m_party ? m_party->GetActiveCharacter() : nullptr;
        if (active) active->SetCommand(m_command, m_subChoice, m_target);
        ResetInput();
        if (active && m_party->NextActiveCharacter()) {
            EnterCommandPhase();
        } else {
            ResolveTurn();
            window->Start();
            EnterMessagePhase();
        }
    } else if (window->IsFinished()) {
        window->Reset();
        JudgeRound();
    }
}

void CombatManager::ShowOwnWindows() {
    auto hidden = [](const GUIBaseObject* window) { return window && !window->IsSelfVisible(); };
    if (m_messageWindow && m_messageWindow->IsRunning()) {
        if (hidden(m_messageWindow)) OpenObject(m_messageWindow);
    } else if (!m_ready && hidden(m_commandWindow) && hidden(m_targetWindow)) {
        // The window the choice was being made in: the target list once
        // Attack was chosen, else the commands with their page buttons.
        if (m_command == Character::kCommandAttack) {
            OpenObject(m_targetWindow);
        } else {
            OpenObject(m_commandWindow);
            OpenObject(m_pageButtonA);
            OpenObject(m_pageButtonB);
        }
    }
}

const char* CombatManager::TakenWindowName() const {
    if (!m_gui) return nullptr;
    const std::pair<const GUIBaseObject*, const char*> windows[] = {
        {m_overlay, "CombatOverlay"},
        {m_messageWindow, "CombatMessageWindow"},
        {m_commandWindow, "CombatCommandWindow"},
        {m_pageButtonA, "CombatIncrementPageButton"},
        {m_pageButtonB, "CombatDecrementPageButton"},
        {m_targetWindow, "CombatTargetWindow"},
    };
    for (const auto& [window, name] : windows)
        if (!window) return name;
    return nullptr;
}

void CombatManager::JudgeRound() {
    GUICombatMessageWindow* window = m_messageWindow;
    if (!m_party || m_party->IsWipedOut()) {
        if (m_party) m_party->ReviveKnockedOut();
        EnterMessagePhase();
        window->QueueText("Your party was vanquished...");
        window->QueueLineBreak();
        window->PushWait(128);
        window->QueueText("Press any key");
        window->QueueLineBreak();
        window->PushWaitForKey();
        window->PushBattleResult(0);
        window->Start();
        return;
    }
    if (m_enemies && !m_enemies->AreAllDefeated()) {
        m_state = -1;
        m_party->PrepareForBattle();
        EnterCommandPhase();
        return;
    }
    m_party->ReviveKnockedOut();
    EnterMessagePhase();
    window->QueueText("The enemy was defeated!");
    window->PushWait(64);
    window->QueueLineBreak();
    m_reward = m_enemies ? m_enemies->SumExperienceReward() : 0;
    window->QueueText(m_party->FormatExperienceMessage(m_reward));
    window->PushWait(64);
    window->QueueLineBreak();
    m_party->ShareExperience(m_reward);
    window->PushWait(64);
    window->QueueText("Press any key");
    window->QueueLineBreak();
    window->PushWaitForKey();
    window->PushBattleResult(1);
    window->Start();
}

void CombatManager::FinishBattle() {
    GlobalState* state = GetGlobalState();
    // Back to the map, which the battle kept loaded.
    state->stateSwitchRequest = 1;
    GetTransitionState().targetKind = kTransitionMap;
    if (DisplayManager* display = state->displayManager) {
        if (m_backBuffer)
            display->SetSnapshotSource(m_backBuffer);
        else
            display->RequestSnapshot();
    }
    if (m_gui) m_gui->SetClearBeforeDraw(true);
    CloseObject(m_pageButtonB);
    CloseObject(m_pageButtonA);
    CloseObject(m_overlay);
    CloseObject(m_messageWindow);
    CloseObject(m_commandWindow);
    CloseObject(m_targetWindow);
    for (NamedList::Node* node = m_characterDisplays->GetHead(); node; node = node->next)
        CloseObject(static_cast<GUIBaseObject*>(node->value));
    if (SoundManager* sound = state->soundManager) {
        if (AudioRecord* music = sound->FindMusic(kBattleMusic)) sound->FadeOut(music, 1.0f, 0.35f);
    }
    EndBattle();
    m_battleRunning = false;
}

void CombatManager::EndBattle() {
    CombatRegistry& registry = GetCombatRegistry();
    if (registry.imageLibrary) registry.imageLibrary->Clear();
    m_reward = 0;
    // The played queue may name combatants about to go.
    if (m_messageWindow) m_messageWindow->Reset();
    if (CombatEnemies* enemies = registry.enemyManager) {
        if (CombatParty* party = registry.partyManager) {
            Character* current = party->GetCurrentCharacter();
            if (NamedList* list = enemies->GetEnemyList(); current && list && list->ContainsValue(current))
                party->SetCurrentCharacter(nullptr);
        }
        enemies->ClearEnemies();
    }
    delete m_background;
    m_background = nullptr;
}

// ---- Turn order --------------------------------------------------------------------------

void CombatManager::ResolveTurn() {
    if (m_party) m_party->ClearActive();
    if (m_enemies) m_enemies->ChooseEnemyCommands();
    std::vector<TurnKey> keys;
    if (NamedList* list = m_party ? m_party->GetPartyList() : nullptr) {
        for (NamedList::Node* node = list->GetHead(); node; node = node->next) {
            auto* member = static_cast<Character*>(node->value);
            if (!member) continue;
            float factor = TurnFactor(RandomNext());
            member->SnapshotShownStats();
            keys.push_back({-(static_cast<float>(member->GetStats()->speed) * factor), member});
        }
    }
    if (m_enemies) m_enemies->AddTurnKeys(keys);
    std::stable_sort(keys.begin(), keys.end(), [](const TurnKey& a, const TurnKey& b) { return a.key < b.key; });
    for (const TurnKey& entry : keys)
        if (entry.combatant) entry.combatant->ExecuteCommand();
}

// ---- Drawing -------------------------------------------------------------------------------

void CombatManager::Draw() {
    if (m_state >= 0) return;
    GlobalState* state = GetGlobalState();
    if (!state->display) return;
    if (!m_backBuffer) m_backBuffer = BitmapWrapper::WrapBitmap(al_get_backbuffer(state->display), &state->openGLMode);
    DrawInto(m_backBuffer);
    al_flip_display();
}

void CombatManager::DrawInto(BitmapWrapper* target) {
    if (!target || !target->GetBitmap()) return;
    target->SetAsTarget();
    al_clear_to_color(al_map_rgba(255, 0, 0, 255));
    if (m_background) m_background->DrawDefault(0, 0);
    DrawCombatants();
    if (m_gui) m_gui->Draw(target);
    if (Character* active = m_party ? m_party->GetActiveCharacter() : nullptr) active->DrawPortrait(target, 0, 0);
}

void CombatManager::DrawCombatants() {
    struct Entry {
        int32_t key;
        Character* combatant;
    };
    std::vector<Entry> entries;
    auto collect = [&entries](NamedList* list) {
        if (!list) return;
        for (NamedList::Node* node = list->GetHead(); node; node = node->next) {
            auto* character = static_cast<Character*>(node->value);
            if (!character || !character->GetFieldSprite()) continue;
            entries.push_back({character->GetFieldSprite()->GetSortKey(), character});
        }
    };
    collect(m_party ? m_party->GetPartyList() : nullptr);
    collect(m_enemies ? m_enemies->GetEnemyList() : nullptr);
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    ALLEGRO_BITMAP* target = al_get_target_bitmap();
    for (const Entry& entry : entries) {
        entry.combatant->DrawFieldSprite();
        if (target) al_set_target_bitmap(target);
    }
}

// ---- Input -------------------------------------------------------------------------------------

void CombatManager::OrderCommand(int32_t command) {
    m_command = command;
    if (command == Character::kCommandAttack) {
        CloseObject(m_messageWindow);
        CloseObject(m_commandWindow);
        OpenObject(m_targetWindow);
        if (m_targetWindow) m_targetWindow->FillTargets(GUICombatTargetWindow::kEnemies, 1, -1);
        return;
    }
    m_ready = 1;
}

void CombatManager::OrderTarget(int32_t index) {
    m_target = index;
    m_ready = 1;
}

void CombatManager::NextCommandPage() {
    ++m_page;
    if (m_page >= m_lastPage) m_page = m_lastPage;
    if (m_page < 0) m_page = 0;
    if (Character* active = m_party ? m_party->GetActiveCharacter() : nullptr)
        active->FillCommandWindow(m_commandWindow, m_page);
}

void CombatManager::PreviousCommandPage() {
    --m_page;
    if (m_page >= m_lastPage) m_page = m_lastPage;
    if (m_page < 0) m_page = 0;
    if (Character* active = m_party ? m_party->GetActiveCharacter() : nullptr)
        active->FillCommandWindow(m_commandWindow, m_page);
}

void CombatManager::FillCommandWindowFor(Character* character) {
    if (!character) return;
    m_page = 0;
    character->FillCommandWindow(m_commandWindow, 0);
    m_lastPage = character->GetLastCommandPage();
}

void CombatManager::ResetInput() {
    m_command = -1;
    m_subChoice = -1;
    m_target = -1;
    m_ready = 0;
}

void CombatManager::EnterCommandPhase() {
    OpenObject(m_overlay);
    OpenObject(m_commandWindow);
    OpenObject(m_pageButtonA);
    OpenObject(m_pageButtonB);
    CloseObject(m_messageWindow);
    CloseObject(m_targetWindow);
}

void CombatManager::EnterMessagePhase() {
    OpenObject(m_overlay);
    OpenObject(m_messageWindow);
    CloseObject(m_commandWindow);
    CloseObject(m_pageButtonA);
    CloseObject(m_pageButtonB);
    CloseObject(m_targetWindow);
}

// ---- Combatants ---------------------------------------------------------------------------------

Character* CombatManager::FindCombatantByIndex(int32_t index) const {
    CombatRegistry& registry = GetCombatRegistry();
    CombatParty* party = registry.partyManager;
    CombatEnemies* enemies = registry.enemyManager;
    if (index < 0) return nullptr;
    int32_t partySize = party ? party->GetPartySize() : 0;
    if (index < partySize) {
        NamedList* list = party->GetPartyList();
        return list ? static_cast<Character*>(list->GetAt(index)) : nullptr;
    }
    NamedList* list = enemies ? enemies->GetEnemyList() : nullptr;
    return list ? static_cast<Character*>(list->GetAt(index - partySize)) : nullptr;
}

Character* CombatManager::FindCombatantById(int32_t id) const {
    CombatRegistry& registry = GetCombatRegistry();
    for (NamedList* list : {registry.partyManager ? registry.partyManager->GetPartyList() : nullptr,
                            registry.enemyManager ? registry.enemyManager->GetEnemyList() : nullptr}) {
        if (!list) continue;
        for (NamedList::Node* node = list->GetHead(); node; node = node->next) {
            auto* character = static_cast<Character*>(node->value);
            if (character && character->GetCombatId() == id) return character;
        }
    }
    return nullptr;
}

Character* CombatManager::PickRandomEnemy(int32_t command, int32_t subChoice) {
    CombatEnemies* enemies = GetCombatRegistry().enemyManager;
    return enemies ? enemies->PickRandomTarget(command, subChoice) : nullptr;
}

// ---- Preload list and background ------------------------------------------------------------------

void CombatManager::AddPreloadEnemy(void* prototype) {
    if (!prototype) return;
    if (!m_preloadList) m_preloadList = new NamedList(false);
    m_preloadList->Add("X", prototype);
}

void CombatManager::ClearPreloadList() {
    delete m_preloadList;
    m_preloadList = nullptr;
}

void CombatManager::LoadBackground(const std::string& name) {
    delete m_background;
    m_background = nullptr;
    ExternalImageManager* archives = GetGlobalState()->imageManager;
    if (!archives) return;
    if (archives->OpenFile(kBackgroundArchive)) m_background = archives->GetBitmapFromActiveFile(name);
    archives->CloseFile();
}
