// The plug-in's entry point and the thin layer behind it.
#pragma once

#include "_Common/FMPlugin/Plugin_HostFacts.h"

#include <FMWrapper/FMXClient.h>

fmx::ptrtype glueInit(fmx::int16 version, fmx::uint8 applicationType, const fmx::unichar16* versionText);
void glueIdle(fmx::uint8 idleLevel, fmx::ptrtype sessionId);
void glueShutdown();
void glueAppPrefs();
void glueGetString(fmx::int16 version, fmx::uint8 stringId, fmx::ptrtype language, fmx::ptrtype bufferSize,
                   fmx::unichar16* buffer);
void glueSessionShutdown(fmx::ptrtype sessionId);
void glueFileShutdown(fmx::ptrtype sessionId, fmx::ptrtype fileId);

extern "C" __attribute__((visibility("default"))) void FMExternCallProc(FMX_ExternCallPtr pb);
