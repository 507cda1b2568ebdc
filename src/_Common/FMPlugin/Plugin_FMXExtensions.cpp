#include "Plugin_FMXExtensions.h"

#include "Plugin_Utilities.h"

#include <FMWrapper/FMXClient.h>
#include <platform/Module.h>

namespace {

decltype(&FM_BinaryData_Constructor4) gBinaryDataConstructor4 = nullptr;
decltype(&FM_BinaryData_AddBegin) gBinaryDataAddBegin = nullptr;
decltype(&FM_BinaryData_AddAppend) gBinaryDataAddAppend = nullptr;
decltype(&FM_BinaryData_AddFinish) gBinaryDataAddFinish = nullptr;
decltype(&FM_Data_GetPostscriptFontID) gDataGetPostscriptFontID = nullptr;
decltype(&FM_Data_GetPostscriptFontInfo) gDataGetPostscriptFontInfo = nullptr;
decltype(&FM_ExprEnv_RegisterExternalFunctionEx) gRegisterExternalFunctionEx = nullptr;
decltype(&FM_ExprEnv_SessionID) gSessionID = nullptr;
decltype(&FM_ExprEnv_FileID) gFileID = nullptr;
decltype(&FM_Text_GetBytesEx) gTextGetBytesEx = nullptr;
decltype(&FM_ExprEnv_RegisterScriptStep) gRegisterScriptStep = nullptr;
decltype(&FM_ExprEnv_UnRegisterScriptStep) gUnRegisterScriptStep = nullptr;

template <class F>
void resolve(void* library, const char* name, F& pointer) {
    pointer = reinterpret_cast<F>(platform::librarySymbol(library, name));
}

}  // namespace

void loadFMXAPIExtensions() {
    gBinaryDataConstructor4 = nullptr;
    gBinaryDataAddBegin = nullptr;
    gBinaryDataAddAppend = nullptr;
    gBinaryDataAddFinish = nullptr;
    gDataGetPostscriptFontID = nullptr;
    gDataGetPostscriptFontInfo = nullptr;
    gRegisterExternalFunctionEx = nullptr;
    gSessionID = nullptr;
    gFileID = nullptr;
    gTextGetBytesEx = nullptr;
    gRegisterScriptStep = nullptr;
    gUnRegisterScriptStep = nullptr;

    if (!envIsFM_11_0_Plus()) return;
    void* host = platform::loadedLibrary(FMX_HOST_LIBRARY);
    if (!host) return;
    if (envIsFM_14_0_Plus()) {
        resolve(host, "FM_BinaryData_Constructor4", gBinaryDataConstructor4);
        resolve(host, "FM_BinaryData_AddBegin", gBinaryDataAddBegin);
        resolve(host, "FM_BinaryData_AddAppend", gBinaryDataAddAppend);
        resolve(host, "FM_BinaryData_AddFinish", gBinaryDataAddFinish);
        resolve(host, "FM_Data_GetPostscriptFontID", gDataGetPostscriptFontID);
        resolve(host, "FM_Data_GetPostscriptFontInfo", gDataGetPostscriptFontInfo);
    }
    if (envIsFM_15_0_Plus()) {
        resolve(host, "FM_ExprEnv_RegisterExternalFunctionEx", gRegisterExternalFunctionEx);
        resolve(host, "FM_ExprEnv_SessionID", gSessionID);
        resolve(host, "FM_ExprEnv_FileID", gFileID);
    }
    if (envIsFM_16_0_Plus()) {
        resolve(host, "FM_Text_GetBytesEx", gTextGetBytesEx);
        resolve(host, "FM_ExprEnv_RegisterScriptStep", gRegisterScriptStep);
        resolve(host, "FM_ExprEnv_UnRegisterScriptStep", gUnRegisterScriptStep);
    }
    platform::releaseLibrary(host);
}

// ---- the exported forwarders ------------------------------------------------------------------

fmx::BinaryData* FM_BinaryData_Constructor4(const fmx::Text& name, fmx::uint32* context, fmx::_fmxcpt& _x) {
    return gBinaryDataConstructor4 ? gBinaryDataConstructor4(name, context, _x) : nullptr;
}
fmx::errcode FM_BinaryData_AddBegin(fmx::BinaryData* self, const fmx::QuadChar& dataType, fmx::uint32* context,
                                    fmx::_fmxcpt& _x) {
    return gBinaryDataAddBegin ? gBinaryDataAddBegin(self, dataType, context, _x) : kFMXExtensionMissing;
}
fmx::errcode FM_BinaryData_AddAppend(fmx::BinaryData* self, fmx::uint32 context, fmx::uint32 amount, void* buffer,
                                     fmx::_fmxcpt& _x) {
    return gBinaryDataAddAppend ? gBinaryDataAddAppend(self, context, amount, buffer, _x) : kFMXExtensionMissing;
}
fmx::errcode FM_BinaryData_AddFinish(fmx::BinaryData* self, fmx::uint32 context, fmx::_fmxcpt& _x) {
    return gBinaryDataAddFinish ? gBinaryDataAddFinish(self, context, _x) : kFMXExtensionMissing;
}
fmx::uint16 FM_Data_GetPostscriptFontID(const fmx::Text& fontName, fmx::_fmxcpt& _x) {
    return gDataGetPostscriptFontID ? gDataGetPostscriptFontID(fontName, _x) : 0;
}
bool FM_Data_GetPostscriptFontInfo(fmx::uint16 fontID, fmx::Text& fontName, fmx::_fmxcpt& _x) {
    return gDataGetPostscriptFontInfo ? gDataGetPostscriptFontInfo(fontID, fontName, _x) : false;
}
fmx::errcode FM_ExprEnv_RegisterExternalFunctionEx(const fmx::QuadChar& pluginId, fmx::int16 functionId,
                                                   const fmx::Text& functionName, const fmx::Text& functionPrototype,
                                                   const fmx::Text& functionDescription, fmx::int16 minArgs,
                                                   fmx::int16 maxArgs, fmx::uint32 compatibleOnFlags,
                                                   fmx::ExtPluginType funcPtr, fmx::_fmxcpt& _x) {
    return gRegisterExternalFunctionEx
               ? gRegisterExternalFunctionEx(pluginId, functionId, functionName, functionPrototype, functionDescription,
                                             minArgs, maxArgs, compatibleOnFlags, funcPtr, _x)
               : kFMXExtensionMissing;
}
fmx::ptrtype FM_ExprEnv_SessionID(const fmx::ExprEnv* self, fmx::_fmxcpt& _x) {
    return gSessionID ? gSessionID(self, _x) : 0;
}
fmx::ptrtype FM_ExprEnv_FileID(const fmx::ExprEnv* self, fmx::_fmxcpt& _x) { return gFileID ? gFileID(self, _x) : 0; }
fmx::uint32 FM_Text_GetBytesEx(const fmx::Text* self, char* buffer, fmx::uint32 bufferSize, fmx::uint32 position,
                               fmx::uint32 size, fmx::int32 encoding, fmx::_fmxcpt& _x) {
    return gTextGetBytesEx ? gTextGetBytesEx(self, buffer, bufferSize, position, size, encoding, _x)
                           : kFMXExtensionMissing;
}
fmx::errcode FM_ExprEnv_RegisterScriptStep(const fmx::QuadChar& pluginId, fmx::int16 scriptStepId,
                                           const fmx::Text& scriptStepName, const fmx::Text& scriptStepDefinition,
                                           const fmx::Text& scriptStepDescription, fmx::uint32 compatibleOnFlags,
                                           fmx::ExtPluginType funcPtr, fmx::_fmxcpt& _x) {
    return gRegisterScriptStep ? gRegisterScriptStep(pluginId, scriptStepId, scriptStepName, scriptStepDefinition,
                                                     scriptStepDescription, compatibleOnFlags, funcPtr, _x)
                               : kFMXExtensionMissing;
}
fmx::errcode FM_ExprEnv_UnRegisterScriptStep(const fmx::QuadChar& pluginId, fmx::int16 scriptStepId, fmx::_fmxcpt& _x) {
    return gUnRegisterScriptStep ? gUnRegisterScriptStep(pluginId, scriptStepId, _x) : kFMXExtensionMissing;
}
