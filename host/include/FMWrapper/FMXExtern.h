// The call record the host passes to the plug-in's single entry point, FMExternCallProc.
#pragma once

#include "FMXCalcEngine.h"

namespace fmx {

// Selectors of FMX_ExternCallStruct::whichCall.
enum : uint8 {
    kFMXT_Init = 0,
    kFMXT_Idle = 1,
    kFMXT_External = 2,
    kFMXT_Shutdown = 4,
    kFMXT_DoAppPreferences = 5,
    kFMXT_GetString = 7,
    kFMXT_SessionShutdown = 8,
    kFMXT_FileShutdown = 9,
};

// Idle levels (parameter 1 of an idle call).
enum : uint8 {
    kFMXT_UserIdle = 0,
    kFMXT_UserNotIdle = 1,
    kFMXT_ScriptPaused = 2,
    kFMXT_ScriptRunning = 3,
    kFMXT_Unsafe = 4,
};

// Application types (parameter 1 of the init call); values above 2 are server-side hosts.
enum : uint8 {
    kFMXT_Developer = 0,
    kFMXT_Pro = 1,
    kFMXT_Runtime = 2,
    kFMXT_Server = 3,
    kFMXT_Web = 4,
};

// How a started script treats the one that is running.
enum ScriptControl : uint8 { kFMXT_Halt = 0, kFMXT_Exit = 1, kFMXT_Resume = 2, kFMXT_Pause = 3 };

// String ids of string requests.
enum : uint8 { kFMXT_NameStr = 128, kFMXT_AppConfigStr = 129, kFMXT_OptionsStr = 131, kFMXT_HelpURLStr = 132 };

// Results of the init call.
constexpr ptrtype kDoNotEnable = static_cast<ptrtype>(-2);
constexpr ptrtype kBadExtnVersion = static_cast<ptrtype>(-1);

}  // namespace fmx

typedef fmx::errcode (*FMX_StartScriptCall)(const fmx::Text* fileName, const fmx::Text* scriptName,
                                            fmx::ScriptControl control, const fmx::Data* parameter);
typedef fmx::errcode (*FMX_CurrentEnvCall)(fmx::ExprEnv* env);

struct FMX_ExternCallStruct {
    fmx::int16 extnVersion;  // the host's plug-in interface version
    fmx::uint8 whichCall;    // the selector
    fmx::uint8 unsafeCalls;  // unused here
    fmx::uint8 parm1;        // selector-dependent
    fmx::ptrtype parm2;      // selector-dependent
    fmx::ptrtype parm3;      // selector-dependent
    fmx::ptrtype result;     // written back by the plug-in
    fmx::ptrtype unused;
    FMX_StartScriptCall cStartScript;
    FMX_CurrentEnvCall cCurrentEnv;
};
typedef FMX_ExternCallStruct* FMX_ExternCallPtr;

typedef void (*FMX_ExternCallProc)(FMX_ExternCallPtr pb);
