// The status window shared between threads as the transfer queue uses it: one thread reports
// progress, another presses Cancel, the thread that showed the window dispatches its messages.
#include "Plugin_Config.h"
#include "Plugin_Status.h"
#include "Plugin_Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(StatusWindowThreads, ProgressFromOneThreadCancelFromAnotherOwnerPumps) {
    dwSetBackend(DWBackendKind::Headless);
    startupPluginThread(57, 1, u"Pro 16.0.1");
    DynamicWindow* window = nullptr;
    {
        PluginConfigLock lock(1000);
        ASSERT_TRUE(lock.held());
        StatusWindow* status = nullptr;
        ASSERT_EQ(PluginConfigLock(1000).get(status), u"");
        status->show();
        status->enableCancelButton();
        window = status->statusWindow();
    }
    ASSERT_NE(window, nullptr);

    std::atomic<bool> sawCancel{false};
    std::atomic<int> reports{0};
    std::thread transfer([&] {
        // The queue thread: reports until it is told to stop. Its own pumping finds no window.
        for (int64_t done = 0; done < 1000000 && !sawCancel; ++done) {
            bool cancelled = false;
            if (updateStatusProgress(done % 1000, 1000, &cancelled)) sawCancel = cancelled;
            updateStatusText(done % 2 ? u"Uploading 'a'..." : u"Uploading 'b'...");
            ++reports;
        }
    });
    std::thread presser([&] {
        while (reports < 200) platform::sleepMilliseconds(1);
        window->postButtonClick(kStatusCancel);
    });
    // The host thread: dispatches its window's messages until the transfer has stopped.
    for (int i = 0; i < 20000 && !sawCancel; ++i) {
        platform::pumpMessages();
        DWLayoutObject o;
        window->objectState(kStatusPercent, o);  // reading while the other thread writes
        platform::sleepMilliseconds(1);
    }
    transfer.join();
    presser.join();
    EXPECT_TRUE(sawCancel);
    DWLayoutObject cancel;
    ASSERT_TRUE(window->objectState(kStatusCancel, cancel));
    EXPECT_EQ(cancel.text(), u"Cancelling...");
    EXPECT_FALSE(cancel.enabled());
    shutdownPluginThread();  // deletes the status window from the worker thread
}
