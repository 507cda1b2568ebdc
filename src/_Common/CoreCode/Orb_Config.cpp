#include "Orb_Config.h"

#include "Orb_Debug.h"
#include "_Common/CoreCode/Orb_Lock.h"
#include "_Common/Strings/Orb_String.h"

#include <atomic>
#include <memory>

namespace {
OrbLock gOrbLock("Orb Config");
std::unique_ptr<OrbVariableArray> gOrbConfig;

template <class V>
ucstring lookup(const ucstring& name, V*& variable) {
    if (!gOrbConfig) return u"Orb Config Variables are NULL.";
    bool found;
    if constexpr (std::is_const_v<V>)
        found = gOrbConfig->variableWithName(name, variable);
    else
        found = gOrbConfig->mutableVariableWithName(name, variable);
    return found ? ucstring() : u"Orb Config Variable not found.";
}
}  // namespace

void createORBConfigLock() { gOrbLock.create(); }

ucstring lockORBConfigLock(int waitMs) { return orbMultiThreaded() ? gOrbLock.lock(waitMs) : ucstring(); }

void unlockORBConfigLock() {
    if (orbMultiThreaded()) gOrbLock.unlock();
}

ucstring getORBConfigVar(const ucstring& name, const OrbVariable*& variable) { return lookup(name, variable); }
ucstring getMutableORBConfigVar(const ucstring& name, OrbVariable*& variable) { return lookup(name, variable); }

void orbConfigInit() {
    if (!orbMultiThreaded()) DEBUG_OUT("orbConfigInit called, but orbMultiThreaded is false; this is an error!");
    createORBConfigLock();
    gOrbConfig = std::make_unique<OrbVariableArray>();
    ucstring error;
    gOrbConfig->addStringVariable(error, u"RootVolName", u"");
    gOrbConfig->addIntegerVariable(error, u"RootVolNameTimeout", 0);
    gOrbConfig->addListVariable(error, u"VolNames", {});
    gOrbConfig->addIntegerVariable(error, u"VolNamesTimeout", 0);
}

void orbConfigShutdown() {
    gOrbConfig.reset();
    gOrbLock.destroy();
}
