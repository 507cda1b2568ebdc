// The platform's threads, events and named mutexes.
#include <gtest/gtest.h>
#include <platform/NamedMutex.h>
#include <platform/Threads.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace {

std::string uniqueName(const char* what) {
    return std::string("volan-test.") + what + "." + std::to_string(getpid()) + "." +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
}

struct ScopedName {
    explicit ScopedName(const char* what) : name(uniqueName(what)) {}
    ~ScopedName() { platform::NamedMutex::remove(name); }
    std::string name;
};

}  // namespace

TEST(AutoResetEvent, WakesOneWaitThenResets) {
    platform::AutoResetEvent event;
    EXPECT_EQ(event.wait(10), platform::AutoResetEvent::Wait::TimedOut);
    event.set();
    EXPECT_EQ(event.wait(0), platform::AutoResetEvent::Wait::Signaled);
    EXPECT_EQ(event.wait(10), platform::AutoResetEvent::Wait::TimedOut);  // reset by the first wait
}

TEST(AutoResetEvent, WakesAWaiterOnAnotherThread) {
    platform::AutoResetEvent event;
    std::atomic<bool> woke{false};
    std::thread waiter([&] { woke = event.wait(5000) == platform::AutoResetEvent::Wait::Signaled; });
    std::this_thread::sleep_for(20ms);
    event.set();
    waiter.join();
    EXPECT_TRUE(woke);
}

TEST(Thread, RunsWithTheRequestedStackAndIsWaitedFor) {
    platform::Thread t;
    std::atomic<platform::ThreadId> seen{0};
    std::atomic<bool> release{false};
    // A 2 MiB stack holds a 1 MiB frame that a tiny stack could not.
    ASSERT_TRUE(t.start(
        [&] {
            volatile char big[1 << 20];
            big[0] = 1;
            big[sizeof big - 1] = big[0];
            seen = platform::currentThreadId();
            while (!release) std::this_thread::sleep_for(1ms);
        },
        2 << 20));
    while (!seen) std::this_thread::sleep_for(1ms);
    EXPECT_NE(seen.load(), platform::currentThreadId());
    EXPECT_TRUE(platform::threadIsAlive(seen));
    EXPECT_FALSE(t.waitFor(20ms));  // still running
    release = true;
    EXPECT_TRUE(t.waitFor(5000ms));
    EXPECT_FALSE(platform::threadIsAlive(seen));
}

TEST(NamedMutex, TimesOutWhileAnotherThreadHoldsIt) {
    ScopedName n("timeout");
    platform::NamedMutex a, b;
    std::string error;
    ASSERT_TRUE(a.open(n.name, error)) << error;
    ASSERT_TRUE(b.open(n.name, error)) << error;
    std::atomic<bool> held{false}, release{false};
    std::thread owner([&] {
        ASSERT_EQ(a.lock(1000), platform::NamedMutex::Lock::Acquired);
        held = true;
        while (!release) std::this_thread::sleep_for(1ms);
        a.unlock();
    });
    while (!held) std::this_thread::sleep_for(1ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(b.lock(100), platform::NamedMutex::Lock::TimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 90ms);
    release = true;
    owner.join();
    EXPECT_EQ(b.lock(1000), platform::NamedMutex::Lock::Acquired);
    b.unlock();
}

TEST(NamedMutex, IsReentrantForItsOwner) {
    ScopedName n("reentrant");
    platform::NamedMutex m;
    std::string error;
    ASSERT_TRUE(m.open(n.name, error)) << error;
    ASSERT_EQ(m.lock(100), platform::NamedMutex::Lock::Acquired);
    EXPECT_EQ(m.lock(100), platform::NamedMutex::Lock::Acquired);
    m.unlock();
    // Still held once: another thread cannot have it yet.
    std::atomic<int> other{-1};
    std::thread t([&] { other = static_cast<int>(m.lock(50)); });
    t.join();
    EXPECT_EQ(other, static_cast<int>(platform::NamedMutex::Lock::TimedOut));
    m.unlock();
    std::thread t2([&] {
        other = static_cast<int>(m.lock(50));
        if (other == static_cast<int>(platform::NamedMutex::Lock::Acquired)) m.unlock();
    });
    t2.join();
    EXPECT_EQ(other, static_cast<int>(platform::NamedMutex::Lock::Acquired));
}

TEST(NamedMutex, ReportsAnOwnerThatDiedHoldingIt) {
#if defined(__SANITIZE_THREAD__)
    // ThreadSanitizer takes a lock won with EOWNERDEAD for a failed one and then flags its unlock.
    GTEST_SKIP() << "not modelled by ThreadSanitizer; runs in the other builds";
#endif
    ScopedName n("abandoned");
    platform::NamedMutex m;
    std::string error;
    ASSERT_TRUE(m.open(n.name, error)) << error;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::NamedMutex mine;
        std::string e;
        if (!mine.open(n.name, e) || mine.lock(1000) != platform::NamedMutex::Lock::Acquired) _exit(1);
        _exit(0);  // dies holding it
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(m.lock(1000), platform::NamedMutex::Lock::Abandoned);
    // Made usable again for everyone.
    EXPECT_EQ(m.lock(1000), platform::NamedMutex::Lock::Acquired);
    m.unlock();
}

TEST(NamedMutex, IsSharedBetweenProcesses) {
    ScopedName n("shared");
    platform::NamedMutex m;
    std::string error;
    ASSERT_TRUE(m.open(n.name, error)) << error;
    ASSERT_EQ(m.lock(1000), platform::NamedMutex::Lock::Acquired);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::NamedMutex mine;
        std::string e;
        if (!mine.open(n.name, e)) _exit(2);
        _exit(mine.lock(100) == platform::NamedMutex::Lock::TimedOut ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other process should have timed out";
    m.unlock();
}
