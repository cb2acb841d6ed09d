#include "app/ScriptFunctionList.h"

// Each family adds its names in its own block.
const std::vector<std::string>& AllScriptFunctionNames() {
    static const std::vector<std::string> names = {
        // Script host
        "GetScriptCode",
        "GetScriptString",
        "Get_Random_Number",
        "Activate_Debug_Mode",
        "Deactivate_Debug_Mode",
        "LM_ExecuteScript",
        "LM_SetBasePath",
        "LM_ExecuteScriptWithArguments",
        "LM_GetScriptArgumentNumber",
        "LM_GetScriptArgumentString",
        "GN_IsPointWithinRect",

        // Characters
        "NPC_SetInternalName",
        "NPC_SetDialoguePath",
        "NPC_SetDefaultScript",
        "NPC_SetBoundaryOffsetsData",
        "NPC_SetCoordinateData",
        "NPC_SetPositionData",
        "NPC_SetPositionDataByImage",
        "NPC_SetDisplayData",
        "NPC_AllocateStateVariables",
        "NPC_SetStateVariable",
        "NPC_SetDisplaySuppression",
        "NPC_ClearAIQueue",
        "NPC_PushAI",

        // Backgrounds
        "BackgroundManager_SpawnObject",
        "BackgroundManager_SetFillColor",
        "BackgroundManager_DisableFill",
        "BackgroundObject_SetSpeed",
        "BackgroundObject_SetModuloMode",

        // Cameras
        "CM_AddCamera",
        "CM_RemoveCamera",
        "CM_SetActiveCamera",
        "Cam_SetBoundaries",

        // Entity manager, with the older names
        "EM_NPC_CreateNPC",
        "EM_NPC_RemoveNPC",
        "EM_NPC_SetActiveNPC",
        "EM_OBJ_CreateObject",
        "EM_OBJ_RemoveObject",
        "EM_OBJ_SetActiveObject",
        "NPCM_AddNPC",
        "SetActiveNPCI",
        "SetActiveNPCA",
        "OBJM_CreateObject",
        "OBJM_SetActiveObject",
        "OBJM_SetActiveObjectByID",

        // World objects
        "OBJ_SetCoordinates",
        "OBJ_SetDimensions",
        "OBJ_SetKillScript",
        "Hook_OBJI_SetImage",
        "OBJSA_SetAnimationData",
        "OBJST_AddCircle",
        "OBJST_AddRectangle",
        "OBJST_ClearGeometryList",
        "OBJST_SetLevelDestination",
        "OBJST_SetEntityDestination",
        "OBJST_SetCoordinateDestination",
        "OBJSAS_SetPath",
        "OBJSAS_SetDelay",
        "OBJSAS_AddFloat",
        "OBJSAS_ModFloat",
        "OBJSAS_GetFloat",
        "OBJSAS_AddString",
        "OBJSAS_ModString",
        "OBJSAS_GetString",

        // GUI
        "GUI_HideAllObjects",
        "GUI_SetActiveObject",
        "GUI_SetActiveObjectList",
        "GUIOL_AddObject",
        "GUI_SetActiveObjectAndListFromBase",
        "GUI_SetStdCursor",
        "GUIG_Show",
        "GUIG_Hide",
        "GUIG_Flip",
        "GUIG_SetLock",
        "GUIG_SetDimensions",
        "GUIG_SetBorderImages",
        "GUIG_AddToStandardUI",

        // Buttons, text and image widgets
        "GUIB_SetImages",
        "GUIB_SetDisplayData",
        "GUIB_SetScriptData",
        "GUIB_SetFunctionData",
        "GUICB_SetFiringData",
        "GUIColB_SetColorData",
        "GUII_SetImage",
        "GUISI_SetImage",
        "GUIITB_SetSystemData",
        "GUIT_SetString",
        "GUISTL_WatchProperty",

        // Lists, drop menus and scroll bars
        "GUIDM_AddField",
        "GUIDM_AddEntry",
        "GUIDM_ModifyEntry",
        "GUIL_SetListSize",
        "GUIL_SetListEntry",
        "GUISB_SetScrollData",

        // Windows
        "GUIRSW_SetBackgroundPic",
        "GUIRSW_SetWindowDimensions",
        "GUIRSW_SetPictureDimensions",
        "GUIRSW_SetWindowBorderWidth",
        "GUISW_SetBackgroundPic",
        "GUISW_SetWindowDimensions",
        "GUISW_SetPictureDimensions",
        "GUISW_SetWindowBorderWidth",
        "GUIW_SetBackgroundColor",

        // Named paths
        "Path_SetRootToLocal",
        "Path_AddPath",
        "Path_AddPathFromRoot",
        "Path_SetPath",
        "Path_SetPathFromRoot",
        "Path_GetPath",

        // Property routing
        "PM_GetValue",
        "PM_SetValue",
        "PM_GetPropertyPointerInteger",
        "PM_SetPropertyPointerInteger",

        // Script variables
        "NPC_AddScriptVariableI",
        "NPC_AddScriptVariableA",
        "NPC_DeleteScriptVariable",
        "NPC_GetScriptVariableI",
        "NPC_GetScriptVariableA",
        "NPC_SetScriptVariableI",
        "NPC_SetScriptVariableA",
        "Env_AddScriptVariableI",
        "Env_AddScriptVariableA",
        "Env_DeleteScriptVariable",
        "Env_GetScriptVariableI",
        "Env_GetScriptVariableA",
        "Env_SetScriptVariableI",
        "Env_SetScriptVariableA",
        "Global_AddScriptVariableI",
        "Global_AddScriptVariableA",
        "Global_DeleteScriptVariable",
        "Global_GetScriptVariableI",
        "Global_GetScriptVariableA",
        "Global_SetScriptVariableI",
        "Global_SetScriptVariableA",

        // Timers
        "TimerManager_AddTimer",
        "TimerManager_GetTimer",
        "TimerManager_DelTimer",

        // Data library
        "DL_AddSection",
        "DL_AddCatalogue",
        "DL_AddHeading",
        "DL_SetActiveObject",
        "DL_PushActiveEntity",
        "DL_PopActiveEntity",
        "DL_RegisterFont",
        "DL_RegisterTextureFile",
        "DL_ExtractBitmap",
        "DL_ExtractPortrait",
        "DL_ExtractPalette",
        "DL_ExtractBitmapWithPalette",
        "DL_RegisterSound",
        "DL_RegisterMusic",
        "DL_RegisterItemPrototype",

        // Item prototypes and the inventory
        "IP_SetPrototypeCode",
        "IP_SetUsableFlags",
        "IP_SetImage",
        "IP_AddEquipEffect",
        "IP_SetStackProperties",
        "IP_SetFlavourText",
        "PInv_AddItem",

        // Image archives
        "EIM_OpenFile",
        "EIM_OpenFileUncompressed",
        "EIM_CloseFile",

        // Sound
        "SM_SetLoopPositions",
        "SM_SetAutoSuppress",

        // Keyboard
        "KeyboardManager_SetPlayerInputState",
        "KeyboardManager_AttachScript",
        "KeyboardManager_DetachScript",
        "CFG_SetKey",

        // AI manager, drawing lists and animation
        "Anim_DeclareSizes",
        "Anim_SetActiveHeading",
        "Anim_SetFrame",
        "Anim_SetDuration",
        "AIM_SetActiveAIObject",
        "AIM_CreateObject",
        "AIM_DeleteObject",
        "AI_GetType",
        "AI_Activate",
        "AI_Deactivate",
        "AIDP_AllocateSpace",
        "AIDP_SetAnimation",
        "AIDL_AddAI",
        "AIDL_SwitchAI",
        "AIDL_SetAIPalette",
        "AIDL_EnableAI",
        "AIDL_DisableAI",
        "AIDL_RemoveAI",
        "AIDL_ClearAIList",
        "AIDL_SetBaseStateToActive",
        "AIDL_SetActiveStateList",
        "AIS_AddState",

        // AI package family
        "AIFP_FollowCoordinates",
        "AIVR_SyncPointer",
        "AIVSR_SyncPointer",
        "AIVSR_SetScaler",
        "AITP_SyncTargetPointers",

        // Chat log
        "ChatManager_WatchProperty",

        // Map manager
        "MapM_SetBackgroundDisplayState",
        "MapM_SetMapDisplayState",
        "MapM_TransitionMap",
        "MapM_SetMapLoadTarget",
        "MapM_SetDefaultPosition",
        "MapM_SetTextureFileHeading",
        "MapM_BuildLookupList",
        "MapM_ChangeFloor",
        "MapM_SetAmbientMusic",

        // Isometric maps
        "ISOM_SetSizes",
        "ISOM_QueueTexture",
        "ISOM_CreateRoomDef",
        "ISOM_SetPathDefToActive",
        "ISOM_AddFloorTexture",
        "ISOM_AddWallLTexture",
        "ISOM_AddWallRTexture",

        // Player
        "Player_SetPosition",
        "Player_SetGameMode",
        "Player_Enable",
        "Player_Disable",

        // Transitions
        "TH_DropPlayerAtTarget",

        // Dialogue box
        "DM_SetDialogueNPC",
        "DM_ManualActivate",
        "DM_SetPortrait",
        "DM_SetBackground",
        "DM_QueueSetPortrait",
        "DM_QueueSetBackground",
        "DM_AddText",
        "DM_AddResponse",
        "DM_AddDelay",
        "DM_SetCursor",
        "DM_BreakLine",
        "DM_ResetCursor",
        "DM_SetTextSpeed",
        "DM_SetTextSpeedToDefault",
        "SetPortrait",
        "SetPortraitBackground",
        "SetDialogueLine",
        "SetDialogueLineIncr",
        "SetDialogueResponse",
        "SetDialogueResponseIncr",
        "GetLastChatResponse",
        "ClearDialogue",
    };
    return names;
}
