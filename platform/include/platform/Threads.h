// Threads, events and the calling thread's window messages.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace platform {

// The system-wide id of a thread; unique while the thread lives (ids are reused afterwards).
using ThreadId = uint64_t;
ThreadId currentThreadId();
// True while the thread with that id (of this process) is still running.
bool threadIsAlive(ThreadId id);

// A thread with a chosen stack size. The owner must wait for it (waitFor) or give it up (abandon)
// before the object goes away.
class Thread {
public:
    Thread() = default;
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts `body` on a new thread; false when the system refused.
    bool start(std::function<void()> body, size_t stackSize);
    // Waits up to `timeout` for the thread to end; true when it has ended (and was joined).
    bool waitFor(std::chrono::milliseconds timeout);
    // Leaves a thread that would not end to itself.
    void abandon();
    bool started() const { return mState != nullptr; }
    ThreadId id() const;

    struct State;  // shared with the running thread

private:
    std::shared_ptr<State> mState;
};

// An auto-reset event: set() wakes one wait and then resets by itself.
class AutoResetEvent {
public:
    enum class Wait { Signaled, TimedOut };
    void set();
    // A negative timeout waits without limit.
    Wait wait(int timeoutMs);

private:
    std::mutex mMutex;
    std::condition_variable mCondition;
    bool mSignaled = false;
};

// A mutex whose lock can wait a limited time. Built on a condition variable rather than
// std::timed_mutex, whose timed lock ThreadSanitizer does not follow.
class TimedMutex {
public:
    void lock();
    bool try_lock();
    template <class Rep, class Period>
    bool try_lock_for(const std::chrono::duration<Rep, Period>& timeout) {
        return lockWithin(std::chrono::duration_cast<std::chrono::milliseconds>(timeout));
    }
    void unlock();

private:
    bool lockWithin(std::chrono::milliseconds timeout);
    std::mutex mMutex;
    std::condition_variable mCondition;
    bool mLocked = false;
};

// A mutex of this process that the thread holding it may take again (each lock wants its
// unlock), with a timed wait that also sees an owner thread that ended while holding it. Built on a
// condition variable, so thread checkers follow it.
class RecursiveTimedMutex {
public:
    enum class Lock { Acquired, TimedOut, Abandoned };
    // A negative timeout waits without limit. After Abandoned the caller does not hold the mutex;
    // it is free again.
    Lock lock(int timeoutMs);
    void unlock();

private:
    std::mutex mMutex;
    std::condition_variable mCondition;
    ThreadId mOwner = 0;
    int mDepth = 0;
};

// Dispatches the calling thread's waiting window messages, so windows stay live while it waits.
// The window toolkit installs the pump; without one this does nothing.
void pumpMessages();
void setMessagePump(std::function<void()> pump);

// Keeps the module holding `address` loaded for the rest of the process (for code that a thread
// which would not stop may still run).
void pinModule(const void* address);

void sleepMilliseconds(int ms);

}  // namespace platform
