// The small process-wide store of the file-reference code (cached volume names).
#pragma once

#include "_Common/CoreCode/Orb_Lock.h"
#include "_Common/CoreCode/Orb_Variable.h"

void createORBConfigLock();
[[nodiscard]] ucstring lockORBConfigLock(int waitMs);
void unlockORBConfigLock();
[[nodiscard]] ucstring getORBConfigVar(const ucstring& name, const OrbVariable*& variable);
[[nodiscard]] ucstring getMutableORBConfigVar(const ucstring& name, OrbVariable*& variable);

void orbConfigInit();
void orbConfigShutdown();
