// DL_RegisterSound / DL_RegisterMusic (section, catalogue, heading, name, file):
// open the file as an audio stream, register its handle cell in the data
// library, hand it to the sound manager under the entry's name and make the
// new record the active object (so SM_ functions can configure it).
#include "core/media/DataLibrarySoundLua.h"

#include <cstdio>
#include <string>

#include "core/base/FileNames.h"
#include "core/base/GlobalState.h"
#include "core/base/TextUtils.h"
#include "core/media/SoundManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"
#include "platform/audio/Audio.h"

namespace {

enum class Track { Sound, Music };

int RegisterAudio(lua_State* L, Track track) {
    const std::string fn = track == Track::Music ? "DL_RegisterMusic" : "DL_RegisterSound";
    if (!script::HasArgs(L, 5)) return script::Fail(fn + ":  Failed, invalid argument list\n");
    std::string section, catalogue, heading, name, file;
    if (!script::GetText(L, 1, section) || !script::GetText(L, 2, catalogue) || !script::GetText(L, 3, heading) ||
        !script::GetText(L, 4, name) || !script::GetText(L, 5, file))
        return script::Fail(fn + ":  Failed, invalid argument list\n");

    GlobalState* state = GetGlobalState();
    DataLibrary* library = state->dataLibrary;
    if (!library) return script::Fail(fn + ":  Failed, DataLibrary does not exist\n");
    SoundManager* sound = state->soundManager;
    if (!sound) return script::Fail(fn + ":  Failed, SoundManager does not exist\n");

    // From here on a failure leaves no active object, so the SM_ calls that
    // follow in the script report it instead of changing an older record.
    FILE* probe = OpenFile(file, "rb");
    if (!probe) {
        library->SetActiveObject(nullptr, DataKind::Any);
        return script::Fail(fn + ":  Failed, file " + PrintableText(file) + " not found\n");
    }
    std::fclose(probe);

    // Under "-nomusic" a track is never played, so nothing of it is opened:
    // its entry holds no stream.
    if (track == Track::Music && state->noMusic) {
        library->Register(section.c_str(), catalogue.c_str(), heading.c_str(), name.c_str(), sound->CreateHandleCell(0),
                          DataKind::Music);
        library->SetActiveObject(nullptr, DataKind::Any);
        return 0;
    }

    const uint32_t flags = track == Track::Music ? audio::kStreamPrescan : 0;
    const uint32_t handle = audio::StreamCreateFile(NormalizePath(file), flags);
    if (handle == 0) {
        library->SetActiveObject(nullptr, DataKind::Any);
        return script::Fail(fn + ":  Failed, Bass error " + std::to_string(audio::ErrorGetCode()) + "\n");
    }

    // The cell belongs to the sound manager; the library entry and the record
    // both point at it.
    uint32_t* cell = sound->CreateHandleCell(handle);
    library->Register(section.c_str(), catalogue.c_str(), heading.c_str(), name.c_str(), cell,
                      track == Track::Music ? DataKind::Music : DataKind::Sound);
    AudioRecord* record = track == Track::Music ? sound->RegisterMusic(name, cell) : sound->RegisterSound(name, cell);
    // Null under "-nomusic": no record, no active object.
    library->SetActiveObject(record, record ? DataKind::SoundRecord : DataKind::Any);
    return 0;
}

int DL_RegisterSound(lua_State* L) { return RegisterAudio(L, Track::Sound); }
int DL_RegisterMusic(lua_State* L) { return RegisterAudio(L, Track::Music); }

const script::Function kFunctions[] = {
    {"DL_RegisterSound", DL_RegisterSound},
    {"DL_RegisterMusic", DL_RegisterMusic},
    {nullptr, nullptr},
};

}  // namespace

void RegisterDataLibrarySoundLuaFunctions(lua_State* L) { script::Register(L, kFunctions); }
