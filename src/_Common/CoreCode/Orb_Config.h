// The small process-wide store of the file-reference code (cached volume names) and the switch
// that tells every lock whether the plug-in runs multi-threaded.
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"

// False at load; the worker thread sets it before it builds the stores and clears it after it
// tears them down. While it is false the lock operations succeed at once and do nothing.
bool orbMultiThreaded();
void setORBMultiThreaded(bool multiThreaded);

void createORBConfigLock();
ucstring lockORBConfigLock(int waitMs);
void unlockORBConfigLock();
ucstring getORBConfigVar(const ucstring& name, const OrbVariable*& variable);
ucstring getMutableORBConfigVar(const ucstring& name, OrbVariable*& variable);

void orbConfigInit();
void orbConfigShutdown();
