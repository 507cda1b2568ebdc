#include "Orb_Thread.h"

#include "Orb_Debug.h"

#include <chrono>

namespace {
// Any function of this module: its address tells the platform which module to keep loaded.
void moduleMarker() {}
}  // namespace

OrbThread::~OrbThread() {
    // A thread still running here would use a destroyed object; it must have been shut down.
    if (mThread.started()) shutdownThread();
}

void OrbThread::clear() {
    setCommand(kCommandNone);
    setState(kStateIdle);
}

int OrbThread::startThread() {
    clear();
    setState(kStateBusy);
    if (!mThread.start([this] { threadMain(); }, kStackSize)) return -1;
    for (int waited = 0; waited < 10000; waited += 250) {
        const int32_t state = waitForThreadStateChange(250);
        if (state != 2) return state;
        platform::pumpMessages();
    }
    return 2;
}

void OrbThread::runThread() {
    setState(kStateBusy);
    setCommand(kCommandRun);
    mCommandEvent.set();
}

bool OrbThread::shutdownThread() {
    if (!mThread.started()) return true;
    const bool busy = state() == kStateBusy;
    setCommand(kCommandShutdown);
    if (busy) requestStop();
    mCommandEvent.set();
    // A thread is never killed: that could leave locks held and memory half-written. It is asked
    // to stop and waited for; one that does not end is left running, with its code kept loaded.
    if (mThread.waitFor(std::chrono::milliseconds(kShutdownWaitMs))) return true;
    if (debugMode()) debugOutput(__FILE__, __LINE__, "OrbThread::shutdownThread: thread did not end; leaving it.");
    platform::pinModule(reinterpret_cast<const void*>(&moduleMarker));
    mThread.abandon();
    return false;
}

void OrbThread::clearThreadCommand() {
    // Only a finished run is cleared; a shutdown given meanwhile must survive.
    int32_t expected = kCommandRun;
    mCommand.compare_exchange_strong(expected, kCommandNone);
}

int32_t OrbThread::waitForThreadCommandChange() {
    mCommandEvent.wait(-1);
    return command();
}

void OrbThread::setThreadStateAndWake(int32_t state) {
    setState(state);
    mStateEvent.set();
}

int32_t OrbThread::waitForThreadStateChange(int timeoutMs) {
    if (mStateEvent.wait(timeoutMs) == platform::AutoResetEvent::Wait::TimedOut) return 2;
    return state();
}
