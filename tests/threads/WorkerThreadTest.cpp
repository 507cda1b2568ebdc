// The worker thread that owns the configuration stores, and the configuration lock.
#include "Plugin_Config.h"
#include "Plugin_Thread.h"
#include "_Common/CoreCode/Orb_Config.h"
#include "_Common/CoreCode/Orb_Lock.h"
#include "_Common/FMPlugin/Plugin_FMXExtensions.h"
#include "_Common/FMPlugin/Plugin_HostFacts.h"
#include "functions/Function__Common.h"

#include <fmhost/Host.h>

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

int threadCount() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}

class WorkerThread : public ::testing::Test {
protected:
    void SetUp() override {
        // Some runtimes (ThreadSanitizer's) start a helper thread of their own with the first
        // thread; start and end one first so the baseline already holds it.
        std::thread([] {}).join();
        baseline = threadCount();
        startupPluginThread(57, 1, u"Pro 16.0.1");
        loadFMXAPIExtensions();
        ASSERT_TRUE(pluginThreadRunning());
    }
    void TearDown() override {
        shutdownPluginThread();
        EXPECT_FALSE(orbMultiThreaded());
        // A joined thread can stay listed for a moment while the kernel finishes its exit.
        for (int i = 0; i < 100 && threadCount() != baseline; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(threadCount(), baseline) << "a thread outlived the worker's shutdown";
    }
    int baseline = 0;
};

}  // namespace

TEST_F(WorkerThread, BuildsTheStoresOnStartAndTearsThemDown) {
    EXPECT_TRUE(orbMultiThreaded());
    PluginPrefsEx* prefs = nullptr;
    EXPECT_EQ(PluginConfigLock(1000).get(prefs), u"");
    const OrbVariable* v = nullptr;
    EXPECT_EQ(getORBConfigVar(u"VolNamesTimeout", v), u"");
    EXPECT_EQ(constFMAPIVersion(), 57);
    shutdownPluginThread();
    EXPECT_EQ(PluginConfigLock(1000).get(prefs),
              u"Could not get PluginPrefs Config Var: Plugin Config Variables are NULL.");
    EXPECT_EQ(getORBConfigVar(u"VolNames", v), u"Orb Config Variables are NULL.");
    shutdownPluginThread();  // a second time does nothing
    EXPECT_EQ(runPluginThread(PluginThread::kActionInit), u"Plugin Thread is NULL.");
}

TEST_F(WorkerThread, AShutdownActionFirstRunsInit) {
    EXPECT_EQ(runPluginThread(PluginThread::kActionShutdown), u"");
    PluginVariables* worker = nullptr;
    ASSERT_EQ(pluginVariablesForSession(nullptr, worker, false, 1000), u"");
    ASSERT_NE(worker, nullptr);
    EXPECT_TRUE(worker->initializedByWorker);
}

TEST_F(WorkerThread, SessionsKeepTheirOwnRecordsUntilTheyEnd) {
    auto one = fmhost::environmentFor(1), two = fmhost::environmentFor(2);
    PluginVariables *a = nullptr, *b = nullptr, *again = nullptr;
    ASSERT_EQ(pluginVariablesForSession(one.get(), a, true, 1000), u"");
    ASSERT_EQ(pluginVariablesForSession(two.get(), b, true, 1000), u"");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a, b);
    a->lastTransfer.setStringValue(u"ERROR: UploadFile: x");
    ASSERT_EQ(pluginVariablesForSession(one.get(), again, true, 1000), u"");
    EXPECT_EQ(again, a);
    EXPECT_EQ(again->lastTransfer.stringValue(), u"ERROR: UploadFile: x");

    pluginVariablesCleanup(1);
    ASSERT_EQ(pluginVariablesForSession(one.get(), again, false, 1000), u"");
    EXPECT_EQ(again, nullptr);  // gone, and not made again without asking
    ASSERT_EQ(pluginVariablesForSession(two.get(), again, false, 1000), u"");
    EXPECT_EQ(again, b);
}

TEST_F(WorkerThread, TheLockTimesOutWhileAnotherThreadHoldsIt) {
    std::atomic<bool> held{false}, release{false};
    std::thread owner([&] {
        ASSERT_EQ(lockPluginConfigLock(1000), u"");
        held = true;
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        unlockPluginConfigLock();
    });
    while (!held) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(lockPluginConfigLock(50), u"Timed out trying to get Plugin Config Lock.");
    release = true;
    owner.join();
    EXPECT_EQ(lockPluginConfigLock(1000), u"");
    unlockPluginConfigLock();
}

TEST_F(WorkerThread, AnAbandonedLockIsGivenUpForTheRestOfTheLoad) {
    // A thread that ends while holding the lock may have left the store half changed.
    std::thread([] { ASSERT_EQ(lockPluginConfigLock(1000), u""); }).join();
    EXPECT_EQ(lockPluginConfigLock(1000), u"Couldn't get Plugin Config Lock; Lock Abandoned.");
    EXPECT_EQ(lockPluginConfigLock(10000), u"Plugin Config Lock not created.");
}

TEST(ConfigLock, DoesNothingWhileNotMultiThreaded) {
    ASSERT_FALSE(orbMultiThreaded());
    EXPECT_EQ(lockPluginConfigLock(0), u"");
    unlockPluginConfigLock();
    EXPECT_EQ(lockORBConfigLock(0), u"");
    unlockORBConfigLock();
}
