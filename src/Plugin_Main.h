// The plug-in's life with the host: start-up, idle work, session and file ends, shut-down, and the
// registration of its functions and script steps.
#pragma once

#include "_Common/FMPlugin/Plugin_ScriptStepXML.h"

#include <FMWrapper/FMXClient.h>

#include <string>

fmx::errcode pluginInit(fmx::int16 version, fmx::uint8 applicationType, const std::u16string& versionText);
void pluginShutdown();
void pluginFMIdle(fmx::uint8 idleLevel, fmx::ptrtype sessionId);
// The idle pass's host scripts and SQL: runs the next due scheduled script (without holding the
// configuration lock while it runs), and the queued SQL statements not yet complete.
void processFMPScripts(bool allowImmediateEvents, int idleLevel, int idleSeconds);
void processSQLQueue(const fmx::ExprEnv& environment);
void pluginFMSessionShutdown(fmx::ptrtype sessionId);
void pluginFMFileShutdown(fmx::ptrtype sessionId, fmx::ptrtype fileId);

// Registration returns the host's error, or kPluginSetupFailed when the plug-in's own state could
// not be had; either way the reason is noted with pluginNoteRegistrationFailure, and a load that
// fails for it says why (debug log and standard error) instead of running without functions.
constexpr fmx::errcode kPluginSetupFailed = 1;
void pluginNoteRegistrationFailure(const std::string& why);
fmx::errcode pluginRegisterFunctions();
void pluginUnregisterFunctions();
fmx::errcode pluginRegisterScriptSteps();
void pluginUnregisterScriptSteps();
// The XML definition of one of the plug-in's own steps (6010, 6020, 6030, 6050); empty for others.
std::string pluginScriptStepDefinition(int id);
