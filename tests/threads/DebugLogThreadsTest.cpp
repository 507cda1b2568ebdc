// Threads logging at the same time: each writes its own file, named after its thread, through the
// table guarded by the named debug lock.
#include "../support/DebugLogFiles.h"
#include "../support/TestDrives.h"
#include "Orb_Debug.h"
#include "Orb_DebugFiles.h"
#include "_Common/CoreCode/Orb_Config.h"

#include <platform/Threads.h>

#include <gtest/gtest.h>

#include <thread>

TEST(DebugLogThreads, TwoThreadsTwoFiles) {
    TestDrives drives;
    TestDrives::makeFolder(drives.c("/logs"));
    setORBMultiThreaded(true);
    createDebugLock();
    mutableDebugLogFolderName() = u"C:\\logs";
    setDebugMode(true, u"Volan Pro", u"3.0.1", u"5.5.1");

    struct Result {
        platform::ThreadId id = 0;
        std::u16string file;
    };
    Result results[2];
    const auto work = [](Result& result, const std::string& tag) {
        result.id = platform::currentThreadId();
        for (int i = 0; i < 200; ++i) {
            FunctionDebug scope(tag.c_str(), i, "t.cpp");
            scope.output(i, tag + " line " + std::to_string(i));
        }
        result.file = debugLogFileForThread();
    };
    std::thread a(work, std::ref(results[0]), "A");
    std::thread b(work, std::ref(results[1]), "B");
    a.join();
    b.join();

    ASSERT_NE(results[0].file, results[1].file);
    for (int t = 0; t < 2; ++t) {
        const std::u16string& file = results[t].file;
        EXPECT_EQ(ucstringToUTF8String(file.substr(file.rfind(u'-'))), "-" + std::to_string(results[t].id) + ".txt");
        const std::vector<debuglog::Row> rows = debuglog::rows(TestDrives::readFile(debuglog::nativePath(file)));
        ASSERT_EQ(rows.size(), 1u + 600u) << t;  // the header, then enter, line and leave 200 times
        const std::string tag = t == 0 ? "A" : "B";
        for (size_t i = 1; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i][0], std::to_string(results[t].id));
            ASSERT_EQ(rows[i].back().substr(0, 1), tag);
        }
        EXPECT_EQ(rows[2].back(), tag + ":  " + tag + " line 0");
    }

    setDebugMode(false, u"Volan Pro", u"3.0.1", u"5.5.1");
    mutableDebugLogFolderName().clear();
    cleanupDebugVarsCache();
    destroyDebugLock();
    setORBMultiThreaded(false);
}
