#include "Plugin_Config.h"

#include "Orb_Debug.h"
#include "Plugin_Status.h"
#include "Plugin_Version.h"
#include "Support/FTPAccount.h"
#include "Support/PluginVariables.h"
#include "_Common/CoreCode/Orb_Lock.h"
#include "_Common/FMPlugin/Plugin_HostFacts.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/FMPlugin/Plugin_Scripts.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"
#include "remote/CABundle.h"
#include "remote/KnownHosts.h"

#include <platform/Threads.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

OrbLock gPluginLock("Plugin Config");
std::unique_ptr<PluginState> gState;

ucstring missing(const char16_t* name) {
    return u"Could not get " + ucstring(name) + u" Config Var: Plugin Config Variables are NULL.";
}

// Runs `use` with the status window under the configuration lock (short wait).
template <class F>
void withStatusWindow(F use) {
    PluginConfigLock lock(250);
    if (!lock.held()) {
        DEBUG_OUT(u"Could not get Plugin Config Lock: " + lock.error());
        return;
    }
    StatusWindow* status = nullptr;
    const ucstring error = lock.get(status);
    if (!error.empty()) {
        DEBUG_OUT(error);
        return;
    }
    use(*status);
}

}  // namespace

PluginState::PluginState() = default;
PluginState::~PluginState() = default;

ucstring lockPluginConfigLock(int waitMs) { return orbMultiThreaded() ? gPluginLock.lock(waitMs) : ucstring(); }

void unlockPluginConfigLock() {
    if (orbMultiThreaded()) gPluginLock.unlock();
}

PluginConfigLock::PluginConfigLock(int waitMs) : mError(lockPluginConfigLock(waitMs)) {}

PluginConfigLock::~PluginConfigLock() {
    if (mError.empty()) unlockPluginConfigLock();
}

PluginState* PluginConfigLock::state() const { return held() ? gState.get() : nullptr; }

ucstring PluginConfigLock::get(PluginPrefsEx*& prefs) const {
    prefs = state() ? state()->prefs.get() : nullptr;
    return prefs ? ucstring() : missing(u"PluginPrefs");
}

ucstring PluginConfigLock::get(FTPAccounts*& accounts) const {
    accounts = state() ? state()->accounts.get() : nullptr;
    return accounts ? ucstring() : missing(u"FTPAccounts");
}

ucstring PluginConfigLock::get(StatusWindow*& status) const {
    status = state() ? state()->status.get() : nullptr;
    return status ? ucstring() : missing(u"PluginStatus");
}

ucstring PluginConfigLock::get(FMPScriptList*& scripts) const {
    scripts = state() ? state()->scripts.get() : nullptr;
    return scripts ? ucstring() : missing(u"FMPScripts");
}

ucstring PluginConfigLock::get(std::vector<std::unique_ptr<PluginVariables>>*& sessions) const {
    sessions = state() ? &state()->sessions : nullptr;
    return sessions ? ucstring() : missing(u"PluginVarsCache");
}

void pluginConfigInit(fmx::int16 version, fmx::uint8 applicationType, const ucstring& versionText) {
    setHostFacts(version, applicationType, versionText);
    OrbHostLocations host{};
    host.frontDatabase = [](OrbFileRef& location) { return frontDatabaseLocation(location).empty(); };
    host.application = fmAppLocation;
    setOrbHostLocations(host);
    if (!orbMultiThreaded()) DEBUG_OUT("pluginConfigInit called, but orbMultiThreaded is false; this is an error!");
    if (gState) pluginConfigShutdown();  // a second init replaces the state whole
    gPluginLock.create();
    gState = std::make_unique<PluginState>();
    PluginState& state = *gState;

    state.prefs = std::make_unique<PluginPrefsEx>();
    state.prefs->load(true);
    state.scripts = std::make_unique<FMPScriptList>();
    // The certificate bundle libcurl verifies servers with, and the SFTP known-hosts file, both
    // in the preferences folder.
    OrbFileRef prefsFolder;
    if (state.prefs->getSystemPrefsPath(prefsFolder)) {
        const ucstring caError = exportCABundle(prefsFolder, state.caPath);
        if (!caError.empty()) DEBUG_OUT(u"Could not export cURL CA file: " + caError);
        state.knownHostsPath = knownHostsFilePath(prefsFolder);
    } else {
        DEBUG_OUT("Could not export cURL CA file: Path does not exist: (preferences folder)");
    }
    state.accounts = std::make_unique<FTPAccounts>(state.prefs.get());
    if (state.prefs->foundSystemPrefsLastTime() || !state.prefs->importedVersion().empty())
        state.accounts->loadAccounts();
    state.status = std::make_unique<StatusWindow>();
}

void pluginConfigShutdown() {
    if (gState) {
        // In the order they were always taken down: the sessions first, the status window last.
        gState->sessions.clear();
        gState->prefs.reset();
        gState->scripts.reset();
        gState->accounts.reset();
        gState->status.reset();
    }
    gState.reset();
    gPluginLock.destroy();
}

// ---- The status window -----------------------------------------------------------------------

void updateStatus(const ucstring& text, int64_t progress) {
    withStatusWindow([&](StatusWindow& s) { s.updateStatus(text, progress); });
}

void updateStatusText(const ucstring& text) {
    withStatusWindow([&](StatusWindow& s) { s.updateStatusText(text); });
}

void updateStatusTitle(const ucstring& title) {
    withStatusWindow([&](StatusWindow& s) { s.setCustomTitle(title); });
}

void updateStatusMultiFile(const ucstring& text) {
    withStatusWindow([&](StatusWindow& s) { s.updateStatusMultiFile(text); });
}

bool updateStatusProgress(int64_t done, int64_t total, bool* cancelled) {
    bool open = false, pressed = false;
    withStatusWindow([&](StatusWindow& s) {
        if (!s.isOpen()) return;
        open = true;
        if (s.cancelled()) {
            pressed = true;
            return;
        }
        int64_t percent = -1;
        if (total > 0)
            percent = std::min<int64_t>(
                100, static_cast<int64_t>(static_cast<double>(done) * 100.0 / static_cast<double>(total)));
        s.updateProgressBar(percent);
    });
    if (pressed) {
        if (cancelled) *cancelled = true;
        return true;
    }
    // The calling thread is busy inside the transfer: this is when its windows hear the user.
    if (open) platform::pumpMessages();
    return false;
}
