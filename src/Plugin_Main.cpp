#include "Plugin_Main.h"

#include "Orb_Debug.h"
#include "Plugin_CfgDlg.h"
#include "Plugin_Config.h"
#include "Plugin_FunctionTable.h"
#include "Plugin_Status.h"
#include "Plugin_Thread.h"
#include "Plugin_Version.h"
#include "Support/QueueThread.h"
#include "_Common/FMPlugin/Plugin_FMXExtensions.h"
#include "_Common/FMPlugin/Plugin_HostFacts.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/FMPlugin/Plugin_SQL.h"
#include "_Common/FMPlugin/Plugin_Scripts.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileSteps.h"
#include "functions/Function__Common.h"

#include <platform/Threads.h>

#include <cstdio>

namespace {

void assignText(fmx::Text& text, const ucstring& value) {
    text.AssignUnicodeWithLength(value.data(), static_cast<fmx::uint32>(value.size()));
}

std::string gRegistrationFailure;

// A host that loaded the plug-in without its functions would answer every call with "not
// registered" and never say why; the load fails instead, and says so.
fmx::errcode refuseLoad(fmx::errcode err) {
    const std::string why = "Volan Pro could not register its functions and script steps, so it does not load: " +
                            (gRegistrationFailure.empty() ? "error " + std::to_string(err) : gRegistrationFailure);
    DEBUG_OUT(why);
    std::fprintf(stderr, "%s\n", why.c_str());
    std::fflush(stderr);
    return err;
}

}  // namespace

void pluginNoteRegistrationFailure(const std::string& why) { gRegistrationFailure = why; }

fmx::errcode pluginInit(fmx::int16 version, fmx::uint8 applicationType, const ucstring& versionText) {
    startupPluginThread(version, applicationType, versionText);
    startupQueueThread();
    loadFMXAPIExtensions();
    gRegistrationFailure.clear();
    fmx::errcode err = pluginRegisterFunctions();
    if (err == 0 && envIsFM_16_0_Plus()) err = pluginRegisterScriptSteps();
    return err == 0 ? err : refuseLoad(err);
}

void pluginShutdown() {
    if (envIsFM_16_0_Plus()) pluginUnregisterScriptSteps();
    pluginUnregisterFunctions();
    // The queue thread may be using a session's record: it stops before the records go.
    shutdownQueueThread();
    (void)runPluginThread(PluginThread::kActionShutdown);  // the worker gives up its own record first
    pluginVariablesReset();
    shutdownPluginThread();
}

void processFMPScripts(bool allowImmediateEvents, int, int idleSeconds) {
    FMPScriptEvent event;
    bool immediate = false;
    {
        PluginConfigLock lock(250);
        if (!lock.held()) {
            DEBUG_OUT(u"processFMPScripts: Could not get Plugin Config Lock: " + lock.error());
            return;
        }
        FMPScriptList* scripts = nullptr;
        const ucstring error = lock.get(scripts);
        if (!error.empty()) {
            DEBUG_OUT(u"processFMPScripts: " + error);
            return;
        }
        if (!scripts->takeNextEvent(allowImmediateEvents, idleSeconds, event, immediate)) return;
    }
    // The lock is free while the script runs, so the script may call the plug-in.
    const fmx::errcode result =
        callFMPScript(event.database, event.script, event.hasParameter ? &event.parameter : nullptr, event.control);

    PluginConfigLock lock(10000);
    FMPScriptList* scripts = nullptr;
    if (lock.held() && lock.get(scripts).empty()) scripts->eventFinished(event, immediate, result);
}

void processSQLQueue(const fmx::ExprEnv& environment) {
    PluginConfigLock lock(250);
    if (lock.held() && lock.state()) sqlProcessQueue(environment, lock.state()->sqlQueue);
}

void pluginFMIdle(fmx::uint8 idleLevel, fmx::ptrtype) {
    fmx::ExprEnvUniquePtr env;  // this pass's environment
    if (idleLevel > fmx::kFMXT_ScriptRunning) return;
    // This host runs no window event loop of its own: idle is when the host thread's windows hear
    // the user (a click on the status window's Cancel, for one).
    platform::pumpMessages();
    processFMPScripts(true, 0, 0);
    if (!gFMX_ExternCallPtr || !gFMX_ExternCallPtr->cCurrentEnv || gFMX_ExternCallPtr->cCurrentEnv(env.get()) != 0)
        return;
    processSQLQueue(*env);
    PluginVariables* variables = nullptr;
    if (!pluginVariablesForSession(env.get(), variables, false, 250).empty() || !variables) return;
    queueIdle(*variables);
}

void pluginFMSessionShutdown(fmx::ptrtype sessionId) { pluginVariablesCleanup(sessionId); }

void pluginFMFileShutdown(fmx::ptrtype, fmx::ptrtype) {}

fmx::errcode pluginRegisterFunctions() {
    // A change of "AddHelp" registers them again, with or without the help texts.
    setFunctionsReregister([] {
        pluginUnregisterFunctions();
        pluginRegisterFunctions();
    });
    DEBUG_SCOPE("pluginRegisterFunctions");
    PluginConfigLock lock(10000);
    if (!lock.held()) {
        pluginNoteRegistrationFailure("Could not get Plugin Config Lock: " + ucstringToUTF8String(lock.error()));
        return kPluginSetupFailed;
    }
    PluginPrefsEx* prefs = nullptr;
    const ucstring error = lock.get(prefs);
    if (!error.empty()) {
        pluginNoteRegistrationFailure(ucstringToUTF8String(error));
        return kPluginSetupFailed;
    }
    if (prefs->integerPref(u"PluginInterface", 0) == 1) {
        DEBUG_OUT("Plugin Functions are disabled.");
        return 0;
    }
    const bool addHelp = prefs->booleanPref(u"AddHelp", true);
    if (addHelp) DEBUG_OUT("Adding Help to Functions.");
    DEBUG_OUT("Adding Plugin Functions");

    fmx::QuadCharUniquePtr pluginId(PLUGIN_ID[0], PLUGIN_ID[1], PLUGIN_ID[2], PLUGIN_ID[3]);
    fmx::TextUniquePtr name, prototype, description;
    fmx::errcode result = 0;
    for (size_t i = 0; i < kPluginFunctionCount && result == 0; ++i) {
        const PluginFunction& f = kPluginFunctions[i];
        if (debugMode()) debugOutput(__FILE__, __LINE__, std::string("Adding ") + (f.name + 6) + " Function");
        assignText(*name, ucstringFromUTF8CStr(f.name));
        assignText(*prototype, pluginFunctionPrototype(f, addHelp));
        if (envIsFM_15_0_Plus()) {
            assignText(*description, ucstringFromUTF8CStr(f.keywords) + ucstringFromUTF8CStr(f.description));
            result = fmx::ExprEnv::RegisterExternalFunctionEx(*pluginId, f.id, *name, *prototype, *description,
                                                              f.minArgs, f.maxArgs, kPluginFunctionFlags, f.callback);
        } else {
            result = fmx::ExprEnv::RegisterExternalFunction(*pluginId, f.id, *name, *prototype, f.minArgs, f.maxArgs,
                                                            kPluginFunctionFlags, f.callback);
        }
        if (result != 0)
            pluginNoteRegistrationFailure(std::string("the host refused the function ") + f.name + " (error " +
                                          std::to_string(result) + ")");
    }
    return result;
}

void pluginUnregisterFunctions() {
    DEBUG_OUT("Removing File Functions");
    fileUnregisterFunctions();
    DEBUG_OUT("Removing Plugin Functions");
    fmx::QuadCharUniquePtr pluginId(PLUGIN_ID[0], PLUGIN_ID[1], PLUGIN_ID[2], PLUGIN_ID[3]);
    for (size_t i = 0; i < kPluginFunctionCount; ++i) {
        try {
            fmx::ExprEnv::UnRegisterExternalFunction(*pluginId, kPluginFunctions[i].id);
        } catch (...) {
        }
    }
}
