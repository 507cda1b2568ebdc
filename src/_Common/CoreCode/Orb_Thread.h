// The base of the plug-in's background threads: a thread that waits for commands (1 run, 2 shut
// down) and reports its state (0 idle, 1 busy), each through an auto-reset event.
#pragma once

#include <platform/Threads.h>

#include <atomic>
#include <cstdint>

class OrbThread {
public:
    enum Command : int32_t { kCommandNone = 0, kCommandRun = 1, kCommandShutdown = 2 };
    enum State : int32_t { kStateIdle = 0, kStateBusy = 1 };
    // Deep enough for libcurl, OpenSSL and libssh2 frames.
    static constexpr size_t kStackSize = 2 * 1024 * 1024;
    // How long shutdownThread waits for a thread to end its loop.
    static constexpr int kShutdownWaitMs = 10000;

    OrbThread() = default;
    OrbThread(const OrbThread&) = delete;
    OrbThread& operator=(const OrbThread&) = delete;

    virtual platform::Thread& mutableThread() { return mThread; }
    virtual const platform::Thread& thread() const { return mThread; }
    virtual void setCommand(int32_t command) { mCommand = command; }
    virtual int32_t command() const { return mCommand; }
    virtual void setState(int32_t state) { mState = state; }
    virtual int32_t state() const { return mState; }
    virtual ~OrbThread();
    virtual void clear();
    virtual void threadMain() = 0;
    // Asks work in progress to end soon (the queue thread aborts its transfer); called when the
    // thread is told to shut down while busy.
    virtual void requestStop() {}

    // Starts the thread and waits up to 10 s for its first report: its state (0 when it runs),
    // 2 when it did not report in time, -1 on failure.
    int startThread();
    void runThread();
    // Tells the thread to end its loop and waits (bounded) for it to end; true when it ended.
    bool shutdownThread();
    void clearThreadCommand();
    int32_t waitForThreadCommandChange();
    void setThreadStateAndWake(int32_t state);
    int32_t waitForThreadStateChange(int timeoutMs);
    int32_t checkThreadState() const { return state(); }

private:
    platform::Thread mThread;
    std::atomic<int32_t> mCommand{kCommandNone};
    std::atomic<int32_t> mState{kStateIdle};
    platform::AutoResetEvent mCommandEvent;
    platform::AutoResetEvent mStateEvent;
};
