// The platform's threads, events and locks.
#include <gtest/gtest.h>
#include <platform/Files.h>
#include <platform/Threads.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

using namespace std::chrono_literals;

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

using Lock = platform::RecursiveTimedMutex::Lock;

TEST(RecursiveTimedMutex, TimesOutWhileAnotherThreadHoldsIt) {
    platform::RecursiveTimedMutex m;
    std::atomic<bool> held{false}, release{false};
    std::thread owner([&] {
        ASSERT_EQ(m.lock(1000), Lock::Acquired);
        held = true;
        while (!release) std::this_thread::sleep_for(1ms);
        m.unlock();
    });
    while (!held) std::this_thread::sleep_for(1ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(m.lock(100), Lock::TimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 90ms);
    release = true;
    owner.join();
    EXPECT_EQ(m.lock(1000), Lock::Acquired);
    m.unlock();
}

TEST(RecursiveTimedMutex, IsReentrantForItsOwner) {
    platform::RecursiveTimedMutex m;
    ASSERT_EQ(m.lock(100), Lock::Acquired);
    EXPECT_EQ(m.lock(100), Lock::Acquired);
    m.unlock();
    // Still held once: another thread cannot have it yet, nor give it back.
    std::atomic<int> other{-1};
    std::thread t([&] {
        m.unlock();
        other = static_cast<int>(m.lock(50));
    });
    t.join();
    EXPECT_EQ(other, static_cast<int>(Lock::TimedOut));
    m.unlock();
    std::thread t2([&] {
        other = static_cast<int>(m.lock(50));
        if (other == static_cast<int>(Lock::Acquired)) m.unlock();
    });
    t2.join();
    EXPECT_EQ(other, static_cast<int>(Lock::Acquired));
}

TEST(RecursiveTimedMutex, ReportsAnOwnerThatEndedHoldingIt) {
    platform::RecursiveTimedMutex m;
    std::thread([&] { ASSERT_EQ(m.lock(100), Lock::Acquired); }).join();  // ends holding it
    EXPECT_EQ(m.lock(-1), Lock::Abandoned);
    EXPECT_EQ(m.lock(1000), Lock::Acquired);  // free again
    m.unlock();
}

// The lock of files shared between processes: one holder at a time, also within one process, and
// given up by the system when a holder's process ends without unlocking.
TEST(FileLock, OneHolderAtATimeAndFreedWhenItsProcessDies) {
    char folder[] = "/tmp/volan-filelock-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::u16string path;
    ASSERT_TRUE(platform::fileWindowsPath(std::string(folder) + "/.lock", path));
    std::string error;
    platform::FileLock first, second;
    ASSERT_TRUE(first.lock(path, 1000, error)) << error;
    bool timedOut = false;
    EXPECT_FALSE(second.lock(path, 50, error, &timedOut));
    EXPECT_TRUE(timedOut);
    first.unlock();
    ASSERT_TRUE(second.lock(path, 50, error)) << error;
    second.unlock();

    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::FileLock mine;
        std::string e;
        if (!mine.lock(path, 1000, e)) _exit(1);
        (void)!write(ready[1], "x", 1);
        pause();  // killed while holding it
        _exit(0);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    EXPECT_FALSE(first.lock(path, 50, error));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(first.lock(path, 1000, error)) << error;
    first.unlock();
    close(ready[0]);
    close(ready[1]);
    std::filesystem::remove_all(folder);
}
