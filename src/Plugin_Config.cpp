#include "Plugin_Config.h"

#include "Orb_Debug.h"
#include "Plugin_Status.h"
#include "Plugin_Version.h"
#include "Support/FTPAccount.h"
#include "_Common/CoreCode/Orb_Config.h"
#include "_Common/CoreCode/Orb_Lock.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/FMPlugin/Plugin_Scripts.h"
#include "functions/Function__Common.h"
#include "remote/CABundle.h"
#include "remote/KnownHosts.h"

#include <atomic>
#include <memory>
#include <vector>

namespace {

std::atomic<fmx::int16> gFMAPIVersion{0};
std::atomic<fmx::uint8> gFMProduct{0};
ucstring gFMVersionStr;

OrbLock gPluginLock("Plugin Config");
std::unique_ptr<OrbVariableArray> gPluginConfig;

template <class V>
ucstring lookup(const ucstring& name, V*& variable) {
    if (!gPluginConfig) return u"Plugin Config Variables are NULL.";
    bool found;
    if constexpr (std::is_const_v<V>)
        found = gPluginConfig->variableWithName(name, variable);
    else
        found = gPluginConfig->mutableVariableWithName(name, variable);
    return found ? ucstring() : u"Plugin Config Variable not found.";
}

template <class T>
T* takePointer(const ucstring& name) {
    OrbVariable* v = nullptr;
    if (!lookup(name, v).empty()) return nullptr;
    T* p = static_cast<T*>(v->pointerValue());
    v->setPointerValue(nullptr);
    return p;
}

void addPointer(const ucstring& name, void* object) {
    ucstring error;
    gPluginConfig->addPointerVariable(error, name, object);
}

}  // namespace

fmx::int16 constFMAPIVersion() { return gFMAPIVersion; }
fmx::uint8 constFMProduct() { return gFMProduct; }
const ucstring& constFMVersionStr() { return gFMVersionStr; }

void createPluginConfigLock() { gPluginLock.create(); }

ucstring lockPluginConfigLock(int waitMs) { return orbMultiThreaded() ? gPluginLock.lock(waitMs) : ucstring(); }

void unlockPluginConfigLock() {
    if (orbMultiThreaded()) gPluginLock.unlock();
}

ucstring getPluginConfigVar(const ucstring& name, const OrbVariable*& variable) { return lookup(name, variable); }
ucstring getMutablePluginConfigVar(const ucstring& name, OrbVariable*& variable) { return lookup(name, variable); }

void pluginConfigInit(fmx::int16 version, fmx::uint8 applicationType, const ucstring& versionText) {
    gFMAPIVersion = version;
    gFMProduct = applicationType;
    gFMVersionStr = versionText;
    if (!orbMultiThreaded()) DEBUG_OUT("pluginConfigInit called, but orbMultiThreaded is false; this is an error!");
    if (gPluginConfig) pluginConfigShutdown();  // a second init replaces the store whole
    createPluginConfigLock();
    gPluginConfig = std::make_unique<OrbVariableArray>();

    addPointer(u"PluginVarsCache", new std::vector<PluginVariables*>());

    auto* prefs = new PluginPrefsEx();
    prefs->load(true);
    addPointer(u"PluginPrefs", prefs);

    addPointer(u"FMPScripts", new FMPScriptList());
    ucstring error;
    gPluginConfig->addStringVariable(error, u"FMPScriptLastUserName", u"");
    gPluginConfig->addStringVariable(error, u"FMPScriptLastUserData", u"");
    gPluginConfig->addArrayVariable(error, u"SQLQueue", OrbVariableArray());
    // The certificate bundle libcurl verifies servers with, and the SFTP known-hosts file, both
    // in the preferences folder.
    ucstring caPath, knownHostsPath;
    OrbFileRef prefsFolder;
    if (prefs->getSystemPrefsPath(prefsFolder)) {
        const ucstring caError = exportCABundle(prefsFolder, caPath);
        if (!caError.empty()) DEBUG_OUT(u"Could not export cURL CA file: " + caError);
        knownHostsPath = knownHostsFilePath(prefsFolder);
    } else {
        DEBUG_OUT("Could not export cURL CA file: Path does not exist: (preferences folder)");
    }
    gPluginConfig->addStringVariable(error, u"CURLCAPath", caPath);
    gPluginConfig->addStringVariable(error, u"SSHKnownHostsPath", knownHostsPath);
    auto* accounts = new FTPAccounts();
    addPointer(u"FTPAccounts", accounts);
    if (prefs->foundSystemPrefsLastTime() || !prefs->importedVersion().empty()) accounts->loadAccounts();

    // Only the object: its window is built on a host thread when it is first shown.
    addPointer(u"PluginStatus", new StatusWindow());
}

void pluginConfigShutdown() {
    if (gPluginConfig) {
        if (auto* sessions = takePointer<std::vector<PluginVariables*>>(u"PluginVarsCache")) {
            for (PluginVariables* v : *sessions) delete v;
            delete sessions;
        }
        delete takePointer<PluginPrefsEx>(u"PluginPrefs");
        delete takePointer<FMPScriptList>(u"FMPScripts");
        delete takePointer<FTPAccounts>(u"FTPAccounts");
        delete takePointer<StatusWindow>(u"PluginStatus");
    }
    gPluginConfig.reset();
    gPluginLock.destroy();
}
