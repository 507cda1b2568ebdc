#include "Plugin_Thread.h"

#include "Orb_Debug.h"
#include "Plugin_Config.h"
#include "_Common/CoreCode/Orb_Config.h"
#include "functions/Function__Common.h"

namespace {
PluginThread* gPluginThread = nullptr;
bool gPluginThreadHasInitialized = false;
}  // namespace

void PluginThread::threadMain() {
    setORBMultiThreaded(true);
    createDebugLock();
    DEBUG_OUT("PluginThread::threadMain has started");
    orbConfigInit();
    pluginConfigInit(fmAPIVersion(), fmProduct(), fmVersionStr());
    setThreadStateAndWake(kStateIdle);
    DEBUG_OUT("Starting PluginThread main loop");
    for (;;) {
        const int32_t command = waitForThreadCommandChange();
        if (command == kCommandShutdown || command < 0) break;
        if (command != kCommandRun) continue;
        const int32_t action = threadAction();
        if (action == kActionInit || action == kActionShutdown) {
            DEBUG_OUT(action == kActionInit ? "Action: Init" : "Action: Shutdown");
            PluginVariables* variables = nullptr;
            const ucstring error = pluginVariablesForSession(nullptr, variables, true, 10000);
            if (!error.empty()) {
                mActionError = u"Couldn't get plugin variables: " + error;
                DEBUG_OUT(mActionError);
            } else if (action == kActionInit && variables) {
                variables->initializedByWorker = true;
            }
        }
        clearThreadCommand();
        setThreadStateAndWake(kStateIdle);
    }
    DEBUG_OUT("PluginThread main loop ended");
    pluginConfigShutdown();
    setORBMultiThreaded(false);
    orbConfigShutdown();
}

void startupPluginThread(fmx::int16 version, fmx::uint8 applicationType, const ucstring& versionText) {
    if (gPluginThread) return;
    auto* thread = new (std::nothrow) PluginThread();
    if (!thread) {
        DEBUG_OUT("Could not allocate memory for Plugin Thread");
        return;
    }
    thread->setFMAPIVersion(version);
    thread->setFMProduct(applicationType);
    thread->mutableFMVersionStr() = versionText;
    const int result = thread->startThread();
    if (result != 0) {
        if (debugMode())
            debugOutput(__FILE__, __LINE__, "Could not start Plugin Thread; Error Code: " + std::to_string(result));
        if (thread->shutdownThread()) delete thread;  // one that would not stop keeps its object
        return;
    }
    gPluginThread = thread;
}

ucstring runPluginThread(int32_t action) {
    if (!gPluginThread) return u"Plugin Thread is NULL.";
    if (!gPluginThreadHasInitialized) {
        gPluginThreadHasInitialized = true;
        if (action != PluginThread::kActionInit) {
            const ucstring error = runPluginThread(PluginThread::kActionInit);
            if (!error.empty()) {
                gPluginThreadHasInitialized = false;
                return error;
            }
        }
    }
    gPluginThread->setThreadAction(action);
    gPluginThread->mutableActionError().clear();
    gPluginThread->runThread();
    ucstring error;
    for (;;) {
        const int32_t state = gPluginThread->waitForThreadStateChange(150);
        if (state == 0) break;
        if (state == 2) {
            platform::pumpMessages();
            continue;
        }
        DEBUG_OUT("thread wait returned an error; aborting thread wait loop");
        error = u"Plug-in thread wait loop aborted.";
        break;
    }
    if (!error.empty()) {
        if (action == PluginThread::kActionInit) gPluginThreadHasInitialized = false;
        return error;
    }
    if (action == PluginThread::kActionInit && !gPluginThread->actionError().empty())
        gPluginThreadHasInitialized = false;
    if (action == PluginThread::kActionShutdown) gPluginThreadHasInitialized = false;
    return gPluginThread->actionError();
}

void shutdownPluginThread() {
    if (!gPluginThread) return;
    DEBUG_OUT("Shutting Down Plugin Thread");
    // The thread ends its loop and tears the stores down; the wait is bounded.
    if (gPluginThread->shutdownThread()) delete gPluginThread;
    gPluginThread = nullptr;
    gPluginThreadHasInitialized = false;
}

bool pluginThreadRunning() { return gPluginThread != nullptr; }
