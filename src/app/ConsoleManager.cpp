#include "app/ConsoleManager.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIManager.h"
#include "network/GUIChatWindow.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/PlayerVorn.h"

namespace {

constexpr const char* kSection = "commands";
constexpr const char* kCategories[] = {"npc", "player", "system"};
constexpr const char* kNormal = "normal";
constexpr const char* kRestricted = "restricted";

// Where a command was registered, so the destructor can take it out again.
struct CommandPath {
    const char* category;
    const char* heading;
};

// The chat window kept by the GUI manager, when there is one.
GUIChatWindow* ChatWindow() {
    GUIManager* manager = GetGlobalState()->guiManager;
    GUIBaseObject* window = manager ? manager->GetChatWindow() : nullptr;
    if (!window || window->GetType() != kTypeGUIChatWindow) return nullptr;
    return static_cast<GUIChatWindow*>(window);
}

// Command output goes to the chat window; without one there is nowhere to
// show it.
void Say(const char* text) {
    if (GUIChatWindow* chat = ChatWindow()) chat->AddText(text);
}

// Splits at single blanks as strtok does: runs of blanks separate, empty
// words do not exist.
std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    size_t position = 0;
    while (position < text.size()) {
        size_t start = text.find_first_not_of(' ', position);
        if (start == std::string::npos) break;
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        words.push_back(text.substr(start, end - start));
        position = end;
    }
    return words;
}

// A decimal number truncated toward zero into `out`; values outside the
// int32 range are held at its ends. False, with `out` untouched, for a word
// that is not wholly a number ("abc", "12abc", "nan").
bool TruncatedCoordinate(const std::string& text, int32_t& out) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    if (end == begin || *end != '\0' || std::isnan(value)) return false;
    out = TruncateToInt32(value);
    return true;
}

constexpr const char* kSetNpcPositionUsage =
    "Incorrect number of arguments given, format should be /npc setnpcposition stringname doublex doubley doublez";

}  // namespace

ConsoleManager::ConsoleManager() = default;

ConsoleManager::~ConsoleManager() {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library || !m_registered) return;
    QuietLookups quiet(*library);
    for (const auto& command : m_commands) {
        for (const char* category : kCategories) {
            for (const char* heading : {kNormal, kRestricted}) {
                NamedList* list = library->GetHeading(kSection, category, heading);
                if (list && library->FindPointerInHeading(list, command->name.c_str(), DataKind::ConsoleCommand) ==
                                command.get())
                    library->RemovePointer(kSection, category, heading, command->name.c_str(),
                                           DataKind::ConsoleCommand);
            }
        }
    }
}

void ConsoleManager::RegisterCommands() {
    if (m_registered) return;
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) {
        std::fputs("ConsoleManager::RegisterCommands:  Failed, DataLibrary does not exist\n", stderr);
        return;
    }
    library->AddSection(kSection);
    for (const char* category : kCategories) {
        library->AddCatalogue(kSection, category);
        library->AddHeading(kSection, category, kNormal);
        library->AddHeading(kSection, category, kRestricted);
    }

    auto command = std::make_unique<ConsoleCommand>();
    command->name = "setnpcposition";
    command->argumentCount = 4;
    command->handler = CommandSetNpcPosition;
    if (library->Register(kSection, "npc", kRestricted, command->name.c_str(), command.get(), DataKind::ConsoleCommand))
        m_commands.push_back(std::move(command));
    m_registered = true;
}

bool ConsoleManager::IsCommand(const char* line) const {
    if (!line) return false;
    return std::strncmp(line, m_prefix.c_str(), m_prefix.size()) == 0;
}

void ConsoleManager::ExecuteCommand(const char* line) {
    if (!IsCommand(line)) return;
    const std::vector<std::string> words = SplitWords(std::string(line).substr(m_prefix.size()));
    if (words.size() < 2) {
        Say("Incomplete command given, format is /category commandname [parameter] ...");
        return;
    }
    const std::string& category = words[0];
    const std::string& name = words[1];

    ConsoleCommand* command = nullptr;
    if (DataLibrary* library = GetGlobalState()->dataLibrary) {
        QuietLookups quiet(*library);
        for (const char* heading : {kNormal, kRestricted}) {
            command = library->Get<ConsoleCommand>(kSection, category.c_str(), heading, name.c_str(),
                                                   DataKind::ConsoleCommand);
            if (command) break;
        }
    }
    if (!command || !command->handler) {
        Say((name + " is not a recognized command.").c_str());
        return;
    }

    command->arguments.assign(static_cast<size_t>(command->argumentCount > 0 ? command->argumentCount : 0),
                              std::nullopt);
    for (size_t i = 0; i < command->arguments.size() && i + 2 < words.size(); ++i) command->arguments[i] = words[i + 2];
    command->handler(command);
}

void CommandSetNpcPosition(ConsoleCommand* command) {
    if (!command) return;
    static const char* const kMissing[] = {
        "Command NPC SetPosition error, npc name not given.\n",
        "Command NPC SetPosition error, x center coordinate name not given.\n",
        "Command NPC SetPosition error, y center coordinate name not given.\n",
        "Command NPC SetPosition error, z center coordinate name not given.\n",
    };
    for (size_t i = 0; i < 4; ++i) {
        if (i >= command->arguments.size() || !command->arguments[i]) {
            std::fputs(kMissing[i], stderr);
            Say(kSetNpcPositionUsage);
            return;
        }
    }
    const std::string& name = *command->arguments[0];
    int32_t x = 0, y = 0, z = 0;
    // Coordinates that are not numbers move nobody.
    if (!TruncatedCoordinate(*command->arguments[1], x) || !TruncatedCoordinate(*command->arguments[2], y) ||
        !TruncatedCoordinate(*command->arguments[3], z)) {
        Say(kSetNpcPositionUsage);
        return;
    }

    EntityManager* entities = GetGlobalState()->entityManager;
    RootEntity* entity = entities ? entities->GetNPC(name.c_str()) : nullptr;
    if (auto* character = dynamic_cast<NonPlayingCharacter*>(entity)) {
        character->SetCoordinates(x, y, z);
        return;
    }
    // "Pelloc" finds the player, which keeps its own position.
    if (auto* player = dynamic_cast<PlayerVorn*>(entity)) {
        player->SetPosition(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
        return;
    }
    std::fprintf(stderr, "Command NPC SetPosition error, npc %s does not exist.\n", name.c_str());
}
