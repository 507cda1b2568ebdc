// Volan_StatusWindow and the status window the transfers report to, on the headless backend.
#include "Plugin_Config.h"
#include "Plugin_Glue.h"
#include "Plugin_Main.h"
#include "Plugin_Status.h"
#include "Plugin_Thread.h"
#include "_Common/FMPlugin/Plugin_FMXExtensions.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/Strings/Orb_FMXText.h"
#include "functions/Function__Common.h"
#include "functions/Functions.h"

#include <fmhost/Host.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

class StatusWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        dwSetBackend(DWBackendKind::Headless);
        startupPluginThread(57, product, u"Pro 16.0.1");
        loadFMXAPIExtensions();
        env = fmhost::environmentFor(7);
    }
    void TearDown() override { shutdownPluginThread(); }

    // Volan_StatusWindow with texts and numbers as the host passes them.
    std::u16string call(const std::u16string& action, std::vector<double> numbers = {},
                        std::vector<std::u16string> texts = {}) {
        fmx::DataVectUniquePtr args;
        fmx::LocaleUniquePtr locale;
        fmx::DataUniquePtr a;
        fmx::TextUniquePtr t;
        t->AssignUnicodeWithLength(action.data(), static_cast<fmx::uint32>(action.size()));
        a->SetAsText(*t, *locale);
        args->PushBack(*a);
        for (double n : numbers) {
            fmx::DataUniquePtr d;
            fmx::FixPtUniquePtr f;
            f->AssignDouble(n);
            d->SetAsNumber(*f);
            args->PushBack(*d);
        }
        for (const auto& s : texts) {
            fmx::DataUniquePtr d;
            fmx::TextUniquePtr st;
            st->AssignUnicodeWithLength(s.data(), static_cast<fmx::uint32>(s.size()));
            d->SetAsText(*st, *locale);
            args->PushBack(*d);
        }
        fmx::DataUniquePtr result;
        EXPECT_EQ(StatusWindowFunctionCallback(480, *env, *args, *result), 0);
        return ucstringFromFMXText(result->GetAsText());
    }

    // Runs `use` on the status window under the configuration lock, as the transfers do.
    template <class F>
    void withStatus(F use) {
        PluginConfigLock lock(1000);
        ASSERT_TRUE(lock.held());
        StatusWindow* status = nullptr;
        ASSERT_EQ(PluginConfigLock(1000).get(status), u"");
        use(*status);
    }

    DWLayoutObject object(int32_t id) {
        DWLayoutObject o;
        withStatus([&](StatusWindow& s) {
            ASSERT_NE(s.statusWindow(), nullptr);
            EXPECT_TRUE(s.statusWindow()->objectState(id, o));
        });
        return o;
    }

    void bounds(int32_t& left, int32_t& top, int32_t& width, int32_t& height) {
        withStatus([&](StatusWindow& s) { s.statusWindow()->getWindowBounds(left, top, width, height); });
    }

    static std::u16string num(int64_t n) {
        std::string s = std::to_string(n);
        return std::u16string(s.begin(), s.end());
    }

    uint8_t product = 1;
    std::shared_ptr<fmx::ExprEnv> env;
};

class ServerStatusWindowTest : public StatusWindowTest {
protected:
    ServerStatusWindowTest() { product = 3; }
};

}  // namespace

TEST_F(StatusWindowTest, ShowCentresWithoutAStoredPosition) {
    EXPECT_EQ(call(u"state"), u"Status hidden.\r\r");
    const std::u16string shown = call(u"show", {0, 0});
    int32_t left, top, width, height;
    bounds(left, top, width, height);
    EXPECT_EQ(left, (1920 - width) / 2);
    EXPECT_EQ(top, (1080 - height) / 2);
    EXPECT_EQ(shown, u"Status shown.\r" + num(left) + u"\r" + num(top));
    EXPECT_EQ(call(u"STATE"), shown);
    // Showing it again does not move it.
    EXPECT_EQ(call(u" Show ", {40, 50}), shown);

    // The window as built: title, texts, a disabled Cancel.
    withStatus([](StatusWindow& s) { EXPECT_EQ(s.statusWindow()->title(), u"Volan Pro Status"); });
    EXPECT_EQ(object(kStatusText).text(), u"Idle.");
    EXPECT_EQ(object(kStatusPercent).text(), u"0%");
    EXPECT_EQ(object(kStatusCancel).text(), u"Cancel");
    EXPECT_FALSE(object(kStatusCancel).enabled());
    EXPECT_EQ(object(kStatusCancel).minWidth(), 100);
    EXPECT_TRUE(object(kStatusCustomLabel).collapsed());
    EXPECT_EQ(object(kStatusProgressBar).minWidth(), 150);
}

TEST_F(StatusWindowTest, HideRemembersThePositionForTheNextShow) {
    EXPECT_EQ(call(u"Hide"), u"ERROR: StatusWindow: Could not hide the status window because it is not open.");
    call(u"Show", {120, 80});
    EXPECT_EQ(call(u"Hide"), u"Status hidden.\r120\r80");
    EXPECT_EQ(call(u"State"), u"Status hidden.\r\r");
    withStatus([](StatusWindow&) {
        PluginPrefsEx* prefs = nullptr;
        ASSERT_EQ(PluginConfigLock(1000).get(prefs), u"");
        EXPECT_EQ(prefs->integerPref(u"LastStatusLeft", -1), 120);
        EXPECT_EQ(prefs->integerPref(u"LastStatusTop", -1), 80);
    });
    EXPECT_EQ(call(u"Show"), u"Status shown.\r120\r80");  // 0 and 0: where it was last
    EXPECT_EQ(call(u"Hide"), u"Status hidden.\r120\r80");
    EXPECT_EQ(call(u"Show", {7, 0}), u"Status shown.\r7\r80");
}

TEST_F(StatusWindowTest, MoveReportsOldAndNewPosition) {
    call(u"Show", {10, 20});
    EXPECT_EQ(call(u"move", {300, 200}), u"Status moved.\r10\r20\r300\r200");
    int32_t left, top, width, height;
    bounds(left, top, width, height);
    EXPECT_EQ(call(u"Move", {-1, 5}),
              u"Status moved.\r300\r200\r" + num((1920 - width) / 2) + u"\r5");  // -1 centres
    EXPECT_EQ(call(u"Move", {12.9, 7}).substr(0, 14), u"Status moved.\r");
    EXPECT_EQ(call(u"State"), u"Status shown.\r12\r7");  // whole numbers
}

TEST_F(StatusWindowTest, UnknownActions) {
    EXPECT_EQ(call(u"Blink"),
              u"ERROR: StatusWindow: Unknown action: BLINK; Valid actions are \"Show\", \"Hide\", \"Move\", or "
              u"\"State\".");
    fmx::DataVectUniquePtr none;
    fmx::DataUniquePtr result;
    StatusWindowFunctionCallback(480, *env, *none, *result);
    EXPECT_NE(ucstringFromFMXText(result->GetAsText()).find(u"Unknown action: ;"), std::u16string::npos);
}

TEST_F(StatusWindowTest, TitleAndCustomLabel) {
    call(u"Show", {1, 1}, {u"  Nightly Upload  ", u"  Sending the archive  "});
    withStatus([](StatusWindow& s) {
        EXPECT_EQ(s.statusWindow()->title(), u"Nightly Upload");
        EXPECT_EQ(s.customLabel(), u"Sending the archive");
    });
    EXPECT_EQ(object(kStatusCustomLabel).text(), u"Sending the archive");
    EXPECT_FALSE(object(kStatusCustomLabel).collapsed());
    int32_t left, top, width, heightWithLabel;
    bounds(left, top, width, heightWithLabel);

    call(u"Show", {0, 0}, {u"", u""});  // already open: title and label still follow
    withStatus([](StatusWindow& s) { EXPECT_EQ(s.statusWindow()->title(), u"Volan Pro Status"); });
    EXPECT_TRUE(object(kStatusCustomLabel).collapsed());
    int32_t height;
    bounds(left, top, width, height);
    EXPECT_EQ(heightWithLabel - height, 17 + 8);  // one line and its spacing
    EXPECT_EQ(left, 1);                           // still where it was

    // Updates by title from the transfers.
    updateStatusTitle(u"Volan Pro - Connected to \"site\"");
    withStatus([](StatusWindow& s) { EXPECT_EQ(s.statusWindow()->title(), u"Volan Pro - Connected to \"site\""); });
}

TEST_F(StatusWindowTest, ProgressAndTexts) {
    EXPECT_FALSE(updateStatusProgress(10, 100));  // closed: nothing at all
    updateStatusText(u"Uploading 'x'...");
    call(u"Show", {5, 5});
    EXPECT_EQ(object(kStatusText).text(), u"Idle.");  // not open when it was sent

    updateStatus(u"Downloading 'a.txt'...", 0);
    EXPECT_EQ(object(kStatusText).text(), u"Downloading 'a.txt'...");
    bool cancelled = false;
    EXPECT_FALSE(updateStatusProgress(50, 200, &cancelled));
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(object(kStatusProgressBar).value(), 25);
    EXPECT_EQ(object(kStatusPercent).text(), u"25%");
    updateStatusProgress(1, 3);  // 33.3: truncated
    EXPECT_EQ(object(kStatusPercent).text(), u"33%");
    updateStatusProgress(300, 200);  // never above 100
    EXPECT_EQ(object(kStatusPercent).text(), u"100%");
    updateStatusProgress(5, 0);  // unknown total: indeterminate
    EXPECT_EQ(object(kStatusProgressBar).value(), -1);
    EXPECT_EQ(object(kStatusPercent).text(), u"");
    updateStatus(u"Idle.", 0);
    EXPECT_EQ(object(kStatusPercent).text(), u"0%");

    updateStatusMultiFile(u"2 transfers remaining.");
    EXPECT_EQ(object(kStatusMultiFile).text(), u"2 transfers remaining.");
    updateStatusMultiFile(u"");
    EXPECT_EQ(object(kStatusMultiFile).text(), u"");
}

TEST_F(StatusWindowTest, CancelPressedFromAnotherThread) {
    call(u"Show", {5, 5});
    withStatus([](StatusWindow& s) { s.enableCancelButton(); });
    EXPECT_TRUE(object(kStatusCancel).enabled());

    DynamicWindow* window = nullptr;
    withStatus([&](StatusWindow& s) { window = s.statusWindow(); });
    std::thread([window] { window->postButtonClick(kStatusCancel); }).join();
    EXPECT_EQ(object(kStatusCancel).text(), u"Cancel");  // not seen until this thread pumps

    bool cancelled = false;
    EXPECT_FALSE(updateStatusProgress(10, 100, &cancelled));  // reports, then pumps: the click arrives
    EXPECT_EQ(object(kStatusCancel).text(), u"Cancelling...");
    EXPECT_FALSE(object(kStatusCancel).enabled());
    withStatus([](StatusWindow& s) { EXPECT_TRUE(s.cancelled()); });

    EXPECT_TRUE(updateStatusProgress(90, 100, &cancelled));
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(object(kStatusPercent).text(), u"10%");  // left alone once cancelled

    // A disabled button cannot be pressed again; the next transfer enables it and clears the flag.
    window->postButtonClick(kStatusCancel);
    withStatus([](StatusWindow& s) {
        s.disableCancelButton(false);
        EXPECT_TRUE(s.cancelled());
        s.enableCancelButton();
        EXPECT_FALSE(s.cancelled());
    });
    EXPECT_EQ(object(kStatusCancel).text(), u"Cancel");
    EXPECT_TRUE(object(kStatusCancel).enabled());
    withStatus([](StatusWindow& s) {
        s.disableCancelButton(true);
        EXPECT_FALSE(s.cancelled());
    });
}

TEST_F(StatusWindowTest, IdleEmptiesTheQueueAfterCancel) {
    call(u"Show", {5, 5});  // in session 7
    // The session of the environment idle is given here (0); made after the call above, which
    // would otherwise have taken it over as a free record.
    fmx::ExprEnvUniquePtr hostEnv;
    PluginVariables* session = nullptr;
    ASSERT_EQ(pluginVariablesForSession(hostEnv.get(), session, true, 1000), u"");
    auto queueTwo = [&] {
        PluginConfigLock lock(1000);
        for (const char16_t* dir : {u"first", u"second"}) {
            QueuedTransfer folder;
            folder.kind = QueuedKind::DownloadFolder;
            folder.dir = dir;
            session->queue.push_back(folder);
        }
    };
    FMX_ExternCallStruct hostCall{};
    hostCall.extnVersion = 57;
    hostCall.cCurrentEnv = [](fmx::ExprEnv*) -> fmx::errcode { return 0; };
    gFMX_ExternCallPtr = &hostCall;

    queueTwo();
    withStatus([](StatusWindow& s) {
        s.enableCancelButton();
        s.updateStatusMultiFile(u"1 transfer remaining.");
    });
    pluginFMIdle(0, 0);  // nothing pressed: one step of the queue (the head folder entry ends)
    EXPECT_EQ(session->queue.size(), 1u);

    DynamicWindow* window = nullptr;
    withStatus([&](StatusWindow& s) { window = s.statusWindow(); });
    std::thread([window] { window->postButtonClick(kStatusCancel); }).join();
    pluginFMIdle(0, 0);  // idle pumps the host thread's windows, then sees the press
    EXPECT_EQ(session->queue.size(), 0u);
    EXPECT_FALSE(object(kStatusCancel).enabled());
    EXPECT_EQ(object(kStatusMultiFile).text(), u"");

    // Hidden, a pressed Cancel is left alone: the queue only takes its one step.
    call(u"Hide");
    queueTwo();
    pluginFMIdle(0, 0);
    EXPECT_EQ(session->queue.size(), 1u);
    gFMX_ExternCallPtr = nullptr;
}

TEST_F(ServerStatusWindowTest, ServerProductsShowNothing) {
    EXPECT_EQ(call(u"Show", {10, 10}, {u"T", u"L"}), u"Status shown.\r0\r0");
    EXPECT_EQ(call(u"State"), u"Status hidden.\r\r");
    EXPECT_EQ(call(u"Hide"), u"ERROR: StatusWindow: Could not hide the status window because it is not open.");
    withStatus([](StatusWindow& s) { EXPECT_EQ(s.statusWindow(), nullptr); });
}
