#include "Plugin_Main.h"

#include "Orb_Debug.h"
#include "Plugin_Glue.h"
#include "Plugin_Thread.h"
#include "Support/QueueThread.h"
#include "_Common/FMPlugin/Plugin_FMXExtensions.h"
#include "_Common/FMPlugin/Plugin_SQL.h"
#include "_Common/FMPlugin/Plugin_Scripts.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"

fmx::errcode pluginInit(fmx::int16 version, fmx::uint8 applicationType, const std::u16string& versionText) {
    startupPluginThread(version, applicationType, versionText);
    startupQueueThread();
    loadFMXAPIExtensions();
    const fmx::errcode err = pluginRegisterFunctions();
    if (err != 0) return err;
    if (envIsFM_16_0_Plus()) return pluginRegisterScriptSteps();
    return err;
}

void pluginShutdown() {
    if (envIsFM_16_0_Plus()) pluginUnregisterScriptSteps();
    pluginUnregisterFunctions();
    shutdownQueueThread();
    shutdownPluginThread();
}

void pluginFMIdle(fmx::uint8 idleLevel, fmx::ptrtype) {
    fmx::ExprEnvUniquePtr env;  // this pass's environment
    if (idleLevel > fmx::kFMXT_ScriptRunning) return;
    processFMPScripts(true, 0, 0);
    if (!gFMX_ExternCallPtr || !gFMX_ExternCallPtr->cCurrentEnv || gFMX_ExternCallPtr->cCurrentEnv(env.get()) != 0)
        return;
    sqlProcessQueue(*env);
}

void pluginFMSessionShutdown(fmx::ptrtype) {}

void pluginFMFileShutdown(fmx::ptrtype, fmx::ptrtype) {}

fmx::errcode pluginRegisterFunctions() { return 0; }
void pluginUnregisterFunctions() {}
fmx::errcode pluginRegisterScriptSteps() { return 0; }
void pluginUnregisterScriptSteps() {}
