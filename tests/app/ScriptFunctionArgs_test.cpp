// Every script function called with a wrong argument count or a text
// argument that is nil, a boolean or a table prints its own line and returns
// nothing. Families add their rows to BadCallTable() below.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "support/LuaTestState.h"
#include "support/StderrCapture.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;

namespace {

struct BadCall {
    std::string function;
    std::string arguments;  // Lua source of the argument list
    std::string line;       // what it must print
};

// Rows for a function of `count` arguments whose `textPositions` (from 1)
// must be text: one argument too few and one too many, and nil, a boolean
// and a table in each text position.
void AddRows(std::vector<BadCall>& rows, const std::string& function, int count,
             std::initializer_list<int> textPositions, const std::string& line) {
    auto list = [](const std::vector<std::string>& values) {
        std::string text;
        for (size_t i = 0; i < values.size(); ++i) text += (i ? ", " : "") + values[i];
        return text;
    };
    std::vector<std::string> good;
    for (int i = 0; i < count; ++i) good.push_back("'v" + std::to_string(i) + "'");
    if (count > 0) rows.push_back({function, list({good.begin(), good.end() - 1}), line});
    std::vector<std::string> more = good;
    more.push_back("1");
    rows.push_back({function, list(more), line});
    for (int position : textPositions) {
        for (const char* bad : {"nil", "true", "{}"}) {
            std::vector<std::string> values = good;
            values[position - 1] = bad;
            rows.push_back({function, list(values), line});
        }
    }
}

// One row as written.
void AddRow(std::vector<BadCall>& rows, const std::string& function, const std::string& arguments,
            const std::string& line) {
    rows.push_back({function, arguments, line});
}

std::vector<BadCall> BadCallTable() {
    std::vector<BadCall> rows;
    const std::string invalid = ":  Failed, invalid argument list\n";

    // Script host
    AddRow(rows, "LM_ExecuteScript", "", "LM ExecuteScript" + invalid);
    for (const char* bad : {"nil", "false", "{}", "nil, 3", "{}, 'f', 1", "'P', true, 1"})
        AddRow(rows, "LM_ExecuteScript", bad, "LM ExecuteScript" + invalid);
    AddRows(rows, "LM_SetBasePath", 1, {1}, "LM SetBasePath  Failed, invalid argument list\n");
    AddRow(rows, "LM_ExecuteScriptWithArguments", "", "LM_ExecuteScriptWithArguments" + invalid);
    AddRow(rows, "LM_ExecuteScriptWithArguments", "'x.lua'", "LM_ExecuteScriptWithArguments" + invalid);
    for (const char* bad : {"nil, 'N', 1", "'x.lua', {}", "true, 'A', 'a'", "'x.lua', nil, 1", "'x.lua', 'NA', 1, nil",
                            "'x.lua', 'xA', {}, true"})
        AddRow(rows, "LM_ExecuteScriptWithArguments", bad, "LM_ExecuteScriptWithArguments" + invalid);
    AddRows(rows, "LM_GetScriptArgumentNumber", 1, {}, "LM_GetScriptArgumentNumber" + invalid);
    // The string getter's count failure prints its twin's line.
    AddRows(rows, "LM_GetScriptArgumentString", 1, {}, "LM_GetScriptArgumentNumber" + invalid);
    AddRows(rows, "GN_IsPointWithinRect", 6, {}, "GN_IsPointWithinRect" + invalid);

    // Named paths
    AddRows(rows, "Path_AddPath", 2, {1, 2}, "Path AddPath" + invalid);
    AddRows(rows, "Path_AddPathFromRoot", 2, {1, 2}, "Path AddPathFromRoot" + invalid);
    AddRows(rows, "Path_SetPath", 2, {1, 2}, "Path SetPath" + invalid);
    AddRows(rows, "Path_SetPathFromRoot", 2, {1, 2}, "Path SetPathFromRoot" + invalid);
    AddRows(rows, "Path_GetPath", 1, {1}, "Path GetPath" + invalid);

    // Property routing
    AddRows(rows, "PM_GetValue", 3, {1, 2, 3}, "PM GetValue" + invalid);
    AddRows(rows, "PM_SetValue", 4, {2, 3, 4}, "PM SetValue" + invalid);
    AddRows(rows, "PM_GetPropertyPointerInteger", 3, {1, 2, 3}, "PM GetPropertyPointer (int)" + invalid);
    AddRows(rows, "PM_SetPropertyPointerInteger", 4, {2, 3, 4}, "PM SetPropertyPointer (int)" + invalid);

    // GUI
    AddRows(rows, "GUI_SetActiveObject", 1, {1}, "GUI SetActiveObject" + invalid);
    AddRows(rows, "GUI_SetActiveObjectList", 1, {1}, "GUI SetActiveObjectList" + invalid);
    AddRows(rows, "GUI_SetActiveObjectAndListFromBase", 1, {1}, "GUI SetActiveObjectAndListFromBase" + invalid);
    AddRows(rows, "GUI_SetStdCursor", 4, {1, 2, 3, 4}, "GUI_SetStdCursor" + invalid);
    for (const char* few : {"", "'a'"})
        AddRow(rows, "GUIOL_AddObject", few, "GUIOL AddObject:  Failed, not enough args to determine type\n");
    for (const char* bad : {"nil, 'GUIWindow'", "'a', true", "{}, 'GUIWindow', 1", "'a', {}"})
        AddRow(rows, "GUIOL_AddObject", bad, "GUIOL AddObject" + invalid);
    AddRows(rows, "GUIG_SetDimensions", 4, {}, "GUIG SetDimensions" + invalid);
    AddRows(rows, "GUIG_SetBorderImages", 3, {1, 2, 3}, "GUIG SetBorderImages" + invalid);

    // Windows
    AddRows(rows, "GUIW_SetBackgroundColor", 3, {}, "GUIW SetBackgroundColor" + invalid);
    AddRows(rows, "GUISW_SetBackgroundPic", 1, {1}, "GUISW SetBackgroundPic" + invalid);
    AddRows(rows, "GUISW_SetWindowDimensions", 4, {}, "GUISW SetWindowDimentions" + invalid);
    AddRows(rows, "GUISW_SetPictureDimensions", 4, {}, "GUISW SetPictureDimentions" + invalid);
    AddRows(rows, "GUISW_SetWindowBorderWidth", 1, {}, "GUISW SetWindowBorderWidth" + invalid);
    AddRows(rows, "GUIRSW_SetBackgroundPic", 1, {1}, "GUIRSW SetBackgroundPic" + invalid);
    AddRows(rows, "GUIRSW_SetWindowDimensions", 4, {}, "GUIRSW SetWindowDimensions" + invalid);
    AddRows(rows, "GUIRSW_SetPictureDimensions", 4, {}, "GUIRSW SetPictureDimensions" + invalid);
    AddRows(rows, "GUIRSW_SetWindowBorderWidth", 1, {}, "GUIRSW SetWindowBorderWidth" + invalid);
    AddRows(rows, "GUIB_SetImages", 3, {1, 2, 3}, "GUIB SetImages" + invalid);
    AddRows(rows, "GUIB_SetDisplayData", 2, {}, "GUIB SetDisplayData" + invalid);
    AddRows(rows, "GUIB_SetScriptData", 2, {1}, "GUIB SetScriptData" + invalid);
    AddRows(rows, "GUIB_SetFunctionData", 1, {1}, "GUIB SetFunctionData" + invalid);
    AddRows(rows, "GUIT_SetString", 1, {1}, "GUIT SetString" + invalid);
    AddRows(rows, "GUISTL_WatchProperty", 3, {1, 2, 3}, "GUISTL WatchProperty" + invalid);
    AddRows(rows, "GUIITB_SetSystemData", 2, {}, "GUIITB SetSystemData:  Failed, Invalid argument list\n");
    AddRows(rows, "GUII_SetImage", 1, {1}, "GUII SetImage: Failed, invalid argument list\n");
    AddRows(rows, "GUISI_SetImage", 3, {1, 2, 3}, "GUISI SetImage" + invalid);
    AddRows(rows, "GUICB_SetFiringData", 4, {1, 3}, "GUICB SetFiringData" + invalid);
    AddRows(rows, "GUIColB_SetColorData", 4, {}, "GUIColB SetColorData" + invalid);
    AddRows(rows, "GUISB_SetScrollData", 5, {}, "GUISB SetScrollData" + invalid);
    AddRows(rows, "GUIL_SetListSize", 1, {}, "GUIL SetListSize" + invalid);
    AddRows(rows, "GUIL_SetListEntry", 7, {2, 3, 4, 5, 6, 7}, "GUIL SetListEntry" + invalid);
    AddRows(rows, "GUIDM_AddField", 1, {1}, "GUIDM AddField" + invalid);
    AddRows(rows, "GUIDM_AddEntry", 6, {1, 2, 3, 4}, "GUIDM AddEntry" + invalid);
    AddRows(rows, "GUIDM_ModifyEntry", 6, {1, 2, 3, 4}, "GUIDM ModifyEntry" + invalid);

    // Script variables: Env_ and Global_ check their arguments first. With no
    // character, every NPC_ function but AddScriptVariableI reports that
    // before looking at its arguments.
    for (const char* scope : {"Env", "Global"}) {
        std::string s = scope;
        AddRows(rows, s + "_AddScriptVariableI", 2, {1}, s + " AddScriptVariableI" + invalid);
        AddRows(rows, s + "_AddScriptVariableA", 2, {1, 2}, s + " AddScriptVariableA" + invalid);
        AddRows(rows, s + "_DeleteScriptVariable", 1, {1}, s + " DeleteScriptVariable" + invalid);
        AddRows(rows, s + "_GetScriptVariableI", 1, {1}, s + " GetScriptVariableI" + invalid);
        AddRows(rows, s + "_GetScriptVariableA", 1, {1}, s + " GetScriptVariableA" + invalid);
        AddRows(rows, s + "_SetScriptVariableI", 2, {1}, s + " SetScriptVariableI" + invalid);
        AddRows(rows, s + "_SetScriptVariableA", 2, {1, 2}, s + " SetScriptVariableA" + invalid);
    }
    AddRows(rows, "NPC_AddScriptVariableI", 2, {1}, "NPC AddScriptVariableI" + invalid);
    const std::string noCharacter =
        "EM::GetActiveNPC: Failed, rActiveEntity was NULL\n"
        "NPC AddScriptVariableI:  Failed, Active NPC not set\n";
    AddRows(rows, "NPC_AddScriptVariableA", 2, {1, 2}, noCharacter);
    AddRows(rows, "NPC_DeleteScriptVariable", 1, {1}, noCharacter);
    AddRows(rows, "NPC_GetScriptVariableI", 1, {1}, noCharacter);
    AddRows(rows, "NPC_GetScriptVariableA", 1, {1}, noCharacter);
    AddRows(rows, "NPC_SetScriptVariableI", 2, {1}, noCharacter);
    AddRows(rows, "NPC_SetScriptVariableA", 2, {1, 2}, noCharacter);

    // Characters: the count (and text arguments) are checked before the
    // active character.
    const std::string incorrect = ":  Failed, incorrect argument list\n";
    AddRows(rows, "NPC_SetInternalName", 1, {1}, "NPC_SetInternalName" + incorrect);
    AddRows(rows, "NPC_SetDialoguePath", 1, {1}, "NPC SetDialoguePath" + incorrect);
    AddRows(rows, "NPC_SetDefaultScript", 1, {1}, "NPC SetDefaultScript" + incorrect);
    AddRows(rows, "NPC_SetBoundaryOffsetsData", 6, {}, "NPC_SetBoundaryOffsetsData" + incorrect);
    AddRows(rows, "NPC_SetCoordinateData", 6, {}, "NPC SetCoordinateData" + incorrect);
    AddRows(rows, "NPC_SetPositionData", 3, {}, "NPC SetPositionData" + incorrect);
    AddRows(rows, "NPC_SetPositionDataByImage", 3, {}, "NPC_SetUpperLeftCornerPositionData" + incorrect);
    AddRows(rows, "NPC_SetDisplayData", 4, {}, "NPC SetDisplayData" + incorrect);
    AddRows(rows, "NPC_AllocateStateVariables", 1, {}, "NPC AllocateStateVariables" + incorrect);
    AddRows(rows, "NPC_SetStateVariable", 3, {2}, "NPC SetStateVariable" + incorrect);
    AddRows(rows, "NPC_SetDisplaySuppression", 1, {}, "NPC_SetDisplaySuppression" + incorrect);
    for (const char* bad : {"", "'a', 1", "'a', 1, nil", "'a', 1, {}"})
        AddRow(rows, "NPC_PushAI", bad, "NPC PushAI:  Failed, not enough arguments to determine type\n");
    AddRow(rows, "NPC_PushAI", "'a', 1, 'Walk'", "NPC PushAI:  Failed, could not find type Walk\n");
    AddRow(rows, "NPC_PushAI", "'a', 1, 'Basic Pathing', 'WalkSpeed', 1",
           "NPC PushAI:  -Basic Pathing- Failed, invalid argument list\n");
    AddRow(rows, "NPC_PushAI", "'a', 1, 'Follow Target', 1",
           "NPC_PushAI:  -Follow Target- Failed, invalid argument list\n");
    AddRow(rows, "NPC_PushAI", "'a', 1, 'Force Frame', 1",
           "NPC PushAI:  -Force Frame- Failed, invalid argument list\n");
    AddRow(rows, "NPC_PushAI", "'a', 1, 'Fire Script', 's'",
           "NPC PushAI:  -Fire Script- Failed, invalid argument list\n");
    AddRow(rows, "NPC_PushAI", "nil, 1, 'Trail Target', 'a', 'b', 'c'",
           "NPC PushAI:  -Trail Target- Failed, invalid argument list\n");
    AddRow(rows, "NPC_PushAI", "'a', 1, 'Trail Target', 'a', true, 'c'",
           "NPC PushAI:  -Trail Target- Failed, invalid argument list\n");
    AddRow(rows, "NPC_PushAI", "'a', 1, 'Basic Pathing', nil, 1, 2",
           "NPC PushAI:  -Basic Pathing- Failed, invalid argument list\n");
    AddRow(rows, "NPC_PushAI", "'a', 1, 'Fire Script', {}, 1",
           "NPC PushAI:  -Fire Script- Failed, invalid argument list\n");

    // Static-dialogue characters and world enemies: their count lines
    // (the detect-range line lost its first letter; the respawn line names
    // the aggro range).
    AddRows(rows, "NPCSD_SetDialogueSuppression", 1, {}, "NPCSD_SetDialogueSuppression" + incorrect);
    AddRows(rows, "NPC_WorldEnemy_SetMaxSpawns", 1, {}, "NPC_WorldEnemy_SetMaxSpawns: no spawn number given.\n");
    AddRows(rows, "NPC_WorldEnemy_SetDetectRange", 1, {},
            "PC_WorldEnemy_SetDetectRange: no detect range number given.\n");
    AddRows(rows, "NPC_WorldEnemy_SetAggroRange", 1, {},
            "NPC_WorldEnemy_SetAggroRange: no aggro range number given.\n");
    AddRows(rows, "NPC_WorldEnemy_SetRespawnTime", 1, {},
            "NPC_WorldEnemy_SetRespawnTime: no aggro range number given.\n");
    for (const char* bad : {"", "nil", "true, 5", "{}"})
        AddRow(rows, "NPC_WorldEnemy_AddMob", bad, "NPC_WorldEnemy_AddMob: no monster prototype name given.\n");
    AddRow(rows, "NPC_WorldEnemy_AddMob", "'Imp', 5, 6", "NPC_WorldEnemy_AddMob: too many arguments given.\n");
    for (const char* bad : {"", "nil", "false, 'x'", "{}"})
        AddRow(rows, "NPC_WorldEnemy_AddBoss", bad, "NPC_WorldEnemy_AddBoss" + invalid);

    // Timers
    AddRows(rows, "TimerManager_AddTimer", 2, {1}, "TimerManager AddTimer" + invalid);
    AddRows(rows, "TimerManager_GetTimer", 1, {1}, "TimerManager GetTimer" + invalid);
    AddRows(rows, "TimerManager_DelTimer", 1, {1}, "TimerManager DelTimer" + invalid);

    // Data library
    AddRows(rows, "DL_AddSection", 1, {1}, "DL_AddSection" + invalid);
    AddRows(rows, "DL_AddCatalogue", 2, {1, 2}, "DL_AddCatalogue" + invalid);
    AddRows(rows, "DL_AddHeading", 3, {1, 2, 3}, "DL_AddHeading" + invalid);
    AddRows(rows, "DL_SetActiveObject", 4, {1, 2, 3, 4}, "DL_SetActiveObject" + invalid);
    AddRows(rows, "DL_RegisterFont", 5, {1, 2, 3, 4, 5}, "DL_RegisterFont" + invalid);
    AddRows(rows, "DL_RegisterTextureFile", 5, {1, 2, 3, 4, 5}, "DL_RegisterTextureFile" + invalid);

    // Keyboard
    AddRows(rows, "KeyboardManager_SetPlayerInputState", 1, {}, "KeyboardManager SetPlayerInputState" + invalid);
    AddRow(rows, "KeyboardManager_SetPlayerInputState", "'on'", "KeyboardManager SetPlayerInputState" + invalid);
    AddRows(rows, "KeyboardManager_AttachScript", 2, {}, "KeyboardManager AttachScript" + invalid);
    AddRows(rows, "KeyboardManager_DetachScript", 1, {}, "KeyboardManager DetachScript" + invalid);
    AddRows(rows, "CFG_SetKey", 3, {1, 2, 3}, "CFG_SetKey" + invalid);

    // Backgrounds
    AddRows(rows, "BackgroundManager_SpawnObject", 7, {1, 2}, "BackgroundManager SpawnObject" + invalid);
    AddRows(rows, "BackgroundManager_SetFillColor", 3, {}, "BackgroundManager SetFillColor" + invalid);
    AddRows(rows, "BackgroundObject_SetSpeed", 2, {}, "BackgroundObject SetSpeed" + invalid);

    // Cameras
    AddRows(rows, "CM_AddCamera", 5, {1}, "CM AddCamera" + invalid);
    AddRows(rows, "CM_RemoveCamera", 1, {1}, "CM RemoveCamera" + invalid);
    AddRows(rows, "CM_SetActiveCamera", 1, {1}, "CM SetActiveCamera" + invalid);
    AddRows(rows, "Cam_SetBoundaries", 4, {}, "Cam SetBoundaries" + invalid);

    // Entity manager: the creating and set-active functions take extra
    // arguments silently; too few or a bad text fails.
    for (const char* bad : {"", "'n'", "nil, 'EnemyNPC'", "'n', true", "{}, 'EnemyNPC'", "'n', 'EnemyNPC', {}"})
        AddRow(rows, "EM_NPC_CreateNPC", bad, "EM_NPC_CreateNPC" + invalid);
    for (const char* function : {"EM_NPC_RemoveNPC", "EM_NPC_SetActiveNPC", "EM_OBJ_SetActiveObject"})
        for (const char* bad : {"", "nil", "false", "{}"}) AddRow(rows, function, bad, function + invalid);
    AddRows(rows, "EM_OBJ_CreateObject", 2, {1, 2}, "EM_OBJ_CreateObject" + invalid);
    AddRows(rows, "EM_OBJ_RemoveObject", 1, {1}, "EM_OBJ_RemoveObject" + invalid);

    // World objects
    AddRows(rows, "OBJ_SetCoordinates", 3, {}, "OBJ_SetCoordinates" + invalid);
    AddRows(rows, "OBJ_SetDimensions", 3, {}, "OBJ_SetDimensions" + invalid);
    AddRows(rows, "OBJ_SetKillScript", 2, {1}, "OBJ_SetKillScript" + invalid);
    AddRows(rows, "Hook_OBJI_SetImage", 4, {1, 2, 3, 4}, "OBJI_SetImage" + invalid);
    AddRows(rows, "OBJSA_SetAnimationData", 4, {1}, "ObjectStaticAnimation SetAnimationData" + invalid);
    AddRows(rows, "OBJST_AddCircle", 3, {}, "OBJST_AddCircle" + invalid);
    AddRows(rows, "OBJST_AddRectangle", 4, {}, "OBJST_AddRectangle" + invalid);
    AddRows(rows, "OBJST_SetLevelDestination", 1, {1}, "OBJST_SetLevelDestination" + invalid);
    AddRows(rows, "OBJST_SetEntityDestination", 1, {1}, "OBJST_SetEntityDestination" + invalid);
    AddRows(rows, "OBJST_SetCoordinateDestination", 3, {}, "OBJST_SetCoordinateDestination" + invalid);
    AddRows(rows, "OBJSAS_SetPath", 1, {1}, "OBJSAS_SetPath" + invalid);
    AddRows(rows, "OBJSAS_SetDelay", 1, {}, "OBJSAS_SetDelay" + invalid);
    AddRows(rows, "OBJSAS_AddFloat", 2, {1}, "OBJSAS_AddFloat" + invalid);
    AddRows(rows, "OBJSAS_ModFloat", 2, {1}, "OBJSAS_ModFloat" + invalid);
    AddRows(rows, "OBJSAS_GetFloat", 1, {1}, "OBJSAS_GetFloat" + invalid);
    AddRows(rows, "OBJSAS_AddString", 2, {1, 2}, "OBJSAS_AddString" + invalid);
    AddRows(rows, "OBJSAS_ModString", 2, {1, 2}, "OBJSAS_ModString" + invalid);
    AddRows(rows, "OBJSAS_GetString", 1, {1}, "OBJSAS_GetString" + invalid);

    // Chat log
    AddRows(rows, "ChatManager_WatchProperty", 1, {1}, "ChatManager WatchProperty" + invalid);

    // Map manager
    AddRows(rows, "MapM_SetBackgroundDisplayState", 1, {}, "MapM SetBackgroundDisplayState" + invalid);
    AddRows(rows, "MapM_SetMapDisplayState", 1, {}, "MapM SetMapDisplayState" + invalid);
    AddRows(rows, "MapM_TransitionMap", 1, {1}, "MapM TransitionMap" + invalid);
    AddRows(rows, "MapM_SetMapLoadTarget", 1, {1}, "MapM SetMapLoadTarget" + invalid);
    AddRows(rows, "MapM_SetDefaultPosition", 2, {}, "MapM SetDefaultPosition" + invalid);
    AddRows(rows, "MapM_SetTextureFileHeading", 3, {1, 2, 3}, "MapM_SetTextureFileHeading" + invalid);
    AddRows(rows, "MapM_ChangeFloor", 2, {}, "MapM_ChangeFloor" + invalid);
    AddRows(rows, "MapM_SetAmbientMusic", 1, {1}, "MapM_SetAmbientMusic" + invalid);

    // Defined maps
    AddRows(rows, "DefinedMap_SetDimensions", 2, {}, "DefinedMap SetDimensions" + invalid);
    AddRows(rows, "DefinedMap_ClipArea", 5, {}, "DefinedMap ClipArea" + invalid);

    // Isometric maps
    AddRows(rows, "ISOM_SetSizes", 3, {}, "ISOM_SetSizes" + invalid);
    AddRows(rows, "ISOM_QueueTexture", 1, {1}, "ISOM_QueueTexture" + invalid);
    AddRows(rows, "ISOM_CreateRoomDef", 1, {1}, "ISOM_CreateRoomDef" + invalid);
    AddRows(rows, "ISOM_AddFloorTexture", 1, {1}, "ISOM_AddFloorTexture" + invalid);
    AddRows(rows, "ISOM_AddWallLTexture", 1, {1}, "ISOM_AddWallLTexture" + invalid);
    AddRows(rows, "ISOM_AddWallRTexture", 1, {1}, "ISOM_AddWalRLTexture" + invalid);

    // Player (its own spelling of the line)
    AddRows(rows, "Player_SetPosition", 3, {}, "Player_SetPosition:  Failed, invalid argument lmIst\n");
    AddRows(rows, "Player_SetGameMode", 1, {}, "Player_SetGameMode:  Failed, invalid argument lmIst\n");

    // AI manager, drawing lists and animation
    AddRows(rows, "Anim_DeclareSizes", 2, {}, "Anim DeclareSizes" + invalid);
    AddRows(rows, "Anim_SetActiveHeading", 3, {1, 2, 3}, "Anim_SetActiveHeading" + invalid);
    AddRows(rows, "Anim_SetFrame", 3, {3}, "Anim SetFrame" + invalid);
    AddRows(rows, "Anim_SetDuration", 1, {}, "Anim SetDuration" + invalid);
    AddRows(rows, "AIM_SetActiveAIObject", 4, {1, 2, 3, 4}, "AIM SetActiveAIObject" + invalid);
    for (const char* bad :
         {"", "'n'", "nil, 'AnimationsList', 'Animation'", "'n', true, 'Animation'", "'n', 'AnimationsList', {}"})
        AddRow(rows, "AIM_CreateObject", bad, "AIM CreateObject" + invalid);
    AddRows(rows, "AIM_DeleteObject", 2, {1, 2}, "AIM DeleteObject" + invalid);
    AddRows(rows, "AIDP_AllocateSpace", 1, {}, "AIDP AllocateSpace" + invalid);
    AddRows(rows, "AIDP_SetAnimation", 2, {2}, "AIDP SetAnimation" + invalid);
    AddRows(rows, "AIDL_AddAI", 2, {1, 2}, "AIDL AddAI" + invalid);
    AddRows(rows, "AIDL_SwitchAI", 2, {1, 2}, "AIDL SwitchAI" + invalid);
    AddRows(rows, "AIDL_SetAIPalette", 2, {1}, "AIDL SetAIPalette" + invalid);
    AddRows(rows, "AIDL_EnableAI", 1, {1}, "AIDL EnableAI" + invalid);
    AddRows(rows, "AIDL_DisableAI", 1, {1}, "AIDL DisableAI" + invalid);
    AddRows(rows, "AIDL_RemoveAI", 1, {1}, "AIDL RemoveAI" + invalid);
    AddRows(rows, "AIDL_SetActiveStateList", 1, {1}, "AIDL SetActiveStateList" + invalid);
    AddRows(rows, "AIS_AddState", 6, {1, 3, 4, 5}, "AIS AddState" + invalid);
    // AI package family (AIFP_FollowCoordinates tests its active object
    // before its arguments).
    AddRows(rows, "AIVR_SyncPointer", 6, {1, 2, 3, 4, 5, 6}, "AIVR SyncPointer" + invalid);
    AddRows(rows, "AIVSR_SyncPointer", 6, {1, 2, 3, 4, 5, 6}, "AIVSR SyncPointer" + invalid);
    AddRows(rows, "AIVSR_SetScaler", 1, {}, "AIVSR SetScaler" + invalid);
    AddRows(rows, "AITP_SyncTargetPointers", 7, {1, 2, 3, 4, 5, 6, 7}, "AITP SyncTargetPointers" + invalid);

    // Dialogue box
    AddRows(rows, "DM_SetDialogueNPC", 1, {1}, "DM_SetDialogueNPC" + invalid);
    for (const char* fn : {"DM_SetPortrait", "DM_SetBackground", "DM_QueueSetPortrait", "DM_QueueSetBackground"})
        AddRows(rows, fn, 4, {1, 2, 3, 4}, fn + invalid);
    AddRows(rows, "DM_AddText", 1, {1}, "DM_AddText" + invalid);
    AddRows(rows, "DM_AddResponse", 2, {1}, "DM_AddResponse" + invalid);
    AddRows(rows, "DM_AddDelay", 1, {}, "DM_AddDelay" + invalid);
    AddRows(rows, "DM_SetCursor", 2, {}, "DM_SetCursor" + invalid);
    AddRows(rows, "DM_SetTextSpeed", 1, {}, "DM_SetTextSpeed" + invalid);
    AddRows(rows, "SetDialogueLine", 2, {2}, "SetDialogueLine" + invalid);
    AddRows(rows, "SetDialogueLineIncr", 2, {2}, "SetDialogueLineIncr" + invalid);
    AddRows(rows, "SetDialogueResponse", 3, {2}, "SetDialogueResponse" + invalid);
    AddRows(rows, "SetDialogueResponseIncr", 3, {2}, "SetDialogueResponseIncr" + invalid);

    // Item prototypes and the inventory
    AddRows(rows, "DL_RegisterItemPrototype", 5, {1, 2, 3, 4, 5}, "DL_RegisterItemPrototype" + invalid);
    AddRows(rows, "IP_SetPrototypeCode", 2, {}, "IP_SetPrototypeCode: Failed, invalid argument list\n");
    AddRows(rows, "IP_SetUsableFlags", 3, {}, "IP_SetUsableFlags" + invalid);
    AddRows(rows, "IP_SetImage", 4, {1, 2, 3, 4}, "IP_SetImage" + invalid);
    AddRows(rows, "IP_SetStackProperties", 2, {}, "IP_SetStackProperties" + invalid);
    AddRows(rows, "IP_SetFlavourText", 2, {2}, "IP_SetFlavourText" + invalid);
    AddRows(rows, "PInv_AddItem", 5, {1, 2, 3, 4}, "PInv_AddItem" + invalid);
    AddRows(rows, "ICM_AddRestoreEffect", 2, {}, "ICM_AddRestoreEffect" + invalid);

    // Save files
    AddRows(rows, "SFM_IssueSave", 1, {1}, "SFM_IssueSave - Failed, invalid argument list\n");
    AddRows(rows, "SFM_IssueLoad", 1, {1}, "SFM_IssueLoad - Failed, invalid argument list\n");

    // Combat
    AddRows(rows, "CombatManager_AddPreloadEnemy", 4, {1, 2, 3, 4}, "CombatManager_AddPreloadEnemy" + invalid);
    AddRows(rows, "GUICCD_SetBaseImage", 4, {1, 2, 3, 4}, "GUICCD_SetBaseImage" + invalid);

    // Field sprites, their animations and poses
    const std::string oneBlank = ": Failed, invalid argument list\n";
    AddRows(rows, "FSprite_SetCanvasSize", 2, {}, "FSprite_SetCanvasSize" + oneBlank);
    AddRows(rows, "FSprite_SetDrawingOffsets", 2, {}, "FSprite_SetDrawingOffsets" + oneBlank);
    AddRows(rows, "FSprite_SetPalette", 1, {}, "FSprite_SetPalette" + oneBlank);
    AddRows(rows, "FSprite_SetAttackOffset", 1, {}, "FSprite_SetAttackOffsets" + oneBlank);
    AddRows(rows, "FSpriteAnim_SetAutoUpdate", 1, {}, "FSpriteAnim_SetAutoUpdate" + invalid);
    AddRows(rows, "FSpriteAnim_SetFrameData", 2, {}, "FSpriteAnim_SetFrameData" + invalid);
    AddRows(rows, "FSpriteAnim_SetFrameImage", 7, {2, 3, 4, 5}, "FSpriteAnim_SetFrameImage" + invalid);
    AddRows(rows, "FSpriteAnim_CDL_SetFrameImage", 4, {2}, "FSpriteAnim_CDL_SetFrameImage" + invalid);
    AddRows(rows, "FSpriteDL_RegisterAnim", 5, {1, 2, 3, 4, 5}, "FSpriteDL_RegisterAnim" + invalid);
    AddRows(rows, "FSpriteDL_RegisterAnimByPop", 1, {1}, "FSpriteDL_RegisterAnimByPop" + invalid);
    AddRows(rows, "FSpriteDL_PopAndHook", 1, {1}, "FSpriteDL_PopAndHook" + invalid);

    // Enemy prototypes
    AddRows(rows, "DL_RegisterEnemyPrototype", 4, {1, 2, 3, 4}, "DL_RegisterEnemyPrototype" + invalid);
    AddRows(rows, "DL_RegisterFieldSpriteAnimation", 4, {1, 2, 3, 4}, "DL_RegisterFieldSpriteAnimation" + invalid);
    AddRows(rows, "EP_SetCombatName", 1, {1}, "EP_SetCombatName" + invalid);
    AddRows(rows, "EP_SetRandomFlag", 1, {}, "EP_SetRandomFlag" + invalid);
    AddRows(rows, "EP_SetLoadingInstructionPath", 1, {1}, "EP_SetLoadingInstructionPath" + invalid);
    AddRows(rows, "EP_SetDeathMessage", 1, {1}, "EP_SetDeathMessage" + invalid);
    AddRows(rows, "EP_SetCombatStats", 9, {}, "EP_SetCombatStats" + invalid);
    AddRows(rows, "EP_SetLevelRange", 2, {}, "EP_SetLevelRange" + invalid);
    AddRows(rows, "EP_SetEXPForKill", 1, {}, "EP_SetEXPForKill" + invalid);
    AddRows(rows, "EP_SetLoadingString", 1, {1}, "EP_SetLoadingString" + invalid);
    AddRows(rows, "EP_AddLoadingInstruction", 2, {1}, "EP_AddLoadingInstruction" + invalid);
    AddRows(rows, "EP_SetAttackAnimInstructions", 5, {}, "EP_SetAttackAnimInstructions" + invalid);

    // The party
    AddRows(rows, "PartyManager_AddCharacter", 1, {1}, "PartyManager_AddCharacter" + invalid);
    AddRows(rows, "PartyManager_DelCharacter", 2, {1}, "PartyManager_DelCharacter" + invalid);

    return rows;
}

}  // namespace

TEST(ScriptFunctionArgs, BadCallsPrintTheirLineAndReturnNothing) {
    LuaTestState lua;
    std::vector<BadCall> rows = BadCallTable();
    ASSERT_GT(rows.size(), 100u);
    for (const BadCall& row : rows) {
        std::string call = row.function + "(" + row.arguments + ")";
        StderrCapture cap;
        bool ok = lua.Run("results = select('#', " + call + ")");
        std::string out = cap.Take();
        ASSERT_TRUE(ok) << call << ": " << lua.LastError();
        EXPECT_EQ(out, row.line) << call;
        EXPECT_EQ(lua.GetNumber("results"), 0) << call;
    }
}
