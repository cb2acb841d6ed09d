// Save files under damage, loaded as the game loads them: each input is the
// file that SFM_IssueLoad reads into a party of three and a stocked
// inventory.
//
// Promises: a refused file leaves the party and the inventory exactly as
// they were (the same objects, names, numbers, items and quantities). An
// accepted one saves again; that save loads back to the same game, and
// saving that game gives the same bytes again. (An accepted file need not
// come back byte for byte: records of unknown types or versions, classes
// and item codes the game does not know, empty slots with a quantity, the
// stored names and the order of the records are all accepted and dropped or
// rebuilt by a load, so the save of a load is the canonical form.)
#include <string>

#include "core/base/FileBuffer.h"
#include "savefile/SFM.h"
#include "support/FuzzSupport.h"
#include "support/SaveGame.h"

using fuzzsupport::Check;

namespace {

constexpr const char* kSave = "Fuzz.sav";
constexpr const char* kAgain = "Again.sav";

std::string Contents(const char* path) {
    FileBuffer file;
    if (!file.Load(path) || file.GetSize() == 0) return {};
    return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::SaveGame& game = fuzzsupport::SaveGame::Get();
    game.Reset();
    fuzzsupport::WriteWholeFile(kSave, data, size);
    // The same reader on a manager of its own tells whether the file is
    // good; the game's manager then loads it as the script function does.
    const bool accepted = SFM().ReadFile(kSave);
    const std::string before = game.Snapshot(true);
    const size_t modules = game.Saves().GetModuleCount();
    game.Saves().IssueLoad(kSave);
    if (!accepted) {
        Check(game.Snapshot(true) == before, "a refused save file changed the game");
        Check(game.Saves().GetModuleCount() == modules, "a refused save file changed the record list");
        return 0;
    }

    const std::string loaded = game.Snapshot(false);
    fuzzsupport::RemoveFile(kAgain);
    game.Saves().IssueSave(kAgain);
    const std::string saved = Contents(kAgain);
    Check(!saved.empty(), "the game loaded from a save file cannot be saved");
    Check(SFM().ReadFile(kAgain), "the save of a loaded game is refused");
    game.Reset();
    game.Saves().IssueLoad(kAgain);
    Check(game.Snapshot(false) == loaded, "the save of a loaded game loads back differently");
    game.Saves().IssueSave(kAgain);
    Check(Contents(kAgain) == saved, "saving a game twice gives different bytes");
    return 0;
}
