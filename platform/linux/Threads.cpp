#include <platform/Threads.h>

#include <dlfcn.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

namespace platform {

ThreadId currentThreadId() { return static_cast<ThreadId>(syscall(SYS_gettid)); }

bool threadIsAlive(ThreadId id) {
    const std::string task = "/proc/self/task/" + std::to_string(id);
    return access(task.c_str(), F_OK) == 0;
}

struct Thread::State {
    pthread_t handle{};
    std::function<void()> body;
    std::atomic<ThreadId> id{0};
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    bool joined = false;
};

namespace {
void* threadStart(void* arg) {
    // The thread holds its own reference, so an abandoned thread never outlives its state.
    auto* holder = static_cast<std::shared_ptr<Thread::State>*>(arg);
    std::shared_ptr<Thread::State> state = *holder;
    delete holder;
    state->id = currentThreadId();
    try {
        state->body();
    } catch (...) {
    }
    std::lock_guard<std::mutex> lock(state->mutex);
    state->finished = true;
    state->ended.notify_all();
    return nullptr;
}
}  // namespace

Thread::~Thread() {
    if (mState && !mState->joined) abandon();
}

bool Thread::start(std::function<void()> body, size_t stackSize) {
    if (mState) return false;
    auto state = std::make_shared<State>();
    state->body = std::move(body);
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    const size_t minimum = static_cast<size_t>(PTHREAD_STACK_MIN);
    pthread_attr_setstacksize(&attr, stackSize < minimum ? minimum : stackSize);
    auto* holder = new std::shared_ptr<State>(state);
    const int rc = pthread_create(&state->handle, &attr, threadStart, holder);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        delete holder;
        return false;
    }
    mState = std::move(state);
    return true;
}

bool Thread::waitFor(std::chrono::milliseconds timeout) {
    if (!mState) return true;
    {
        std::unique_lock<std::mutex> lock(mState->mutex);
        if (!mState->ended.wait_for(lock, timeout, [&] { return mState->finished; })) return false;
    }
    if (!mState->joined) {
        pthread_join(mState->handle, nullptr);
        mState->joined = true;
    }
    mState.reset();
    return true;
}

void Thread::abandon() {
    if (!mState) return;
    if (!mState->joined) pthread_detach(mState->handle);
    mState.reset();
}

ThreadId Thread::id() const { return mState ? mState->id.load() : 0; }

void AutoResetEvent::set() {
    std::lock_guard<std::mutex> lock(mMutex);
    mSignaled = true;
    mCondition.notify_one();
}

AutoResetEvent::Wait AutoResetEvent::wait(int timeoutMs) {
    std::unique_lock<std::mutex> lock(mMutex);
    if (timeoutMs < 0) {
        mCondition.wait(lock, [&] { return mSignaled; });
    } else if (!mCondition.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return mSignaled; })) {
        return Wait::TimedOut;
    }
    mSignaled = false;
    return Wait::Signaled;
}

void TimedMutex::lock() {
    std::unique_lock<std::mutex> lock(mMutex);
    mCondition.wait(lock, [&] { return !mLocked; });
    mLocked = true;
}

bool TimedMutex::try_lock() {
    std::lock_guard<std::mutex> lock(mMutex);
    if (mLocked) return false;
    mLocked = true;
    return true;
}

bool TimedMutex::lockWithin(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mMutex);
    if (!mCondition.wait_for(lock, timeout, [&] { return !mLocked; })) return false;
    mLocked = true;
    return true;
}

void TimedMutex::unlock() {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mLocked = false;
    }
    mCondition.notify_one();
}

RecursiveTimedMutex::Lock RecursiveTimedMutex::lock(int timeoutMs) {
    const ThreadId me = currentThreadId();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    std::unique_lock<std::mutex> guard(mMutex);
    if (mDepth > 0 && mOwner == me) {
        ++mDepth;
        return Lock::Acquired;
    }
    while (mDepth > 0) {
        // The owner is looked at now and then: a thread that ended never unlocks.
        if (!threadIsAlive(mOwner)) {
            mOwner = 0;
            mDepth = 0;
            mCondition.notify_all();
            return Lock::Abandoned;
        }
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        if (timeoutMs >= 0) {
            if (std::chrono::steady_clock::now() >= deadline) return Lock::TimedOut;
            until = std::min(until, deadline);
        }
        mCondition.wait_until(guard, until);
    }
    mOwner = me;
    mDepth = 1;
    return Lock::Acquired;
}

void RecursiveTimedMutex::unlock() {
    {
        std::lock_guard<std::mutex> guard(mMutex);
        if (mDepth == 0 || mOwner != currentThreadId() || --mDepth > 0) return;
        mOwner = 0;
    }
    mCondition.notify_one();
}

namespace {
std::mutex gPumpMutex;
std::function<void()> gPump;
}  // namespace

void pumpMessages() {
    std::function<void()> pump;
    {
        std::lock_guard<std::mutex> lock(gPumpMutex);
        pump = gPump;
    }
    if (pump) pump();
}

void setMessagePump(std::function<void()> pump) {
    std::lock_guard<std::mutex> lock(gPumpMutex);
    gPump = std::move(pump);
}

void pinModule(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) && info.dli_fname) dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

void sleepMilliseconds(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace platform
