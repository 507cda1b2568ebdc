// The status text of a running transfer: sizes, rate, time left, and how often it changes.
#include "remote/TransferMeter.h"

#include "_Common/Strings/Orb_String.h"

#include <gtest/gtest.h>

TEST(TransferMeter, Texts) {
    struct Row {
        int64_t done, total;
        double elapsed;
        const char* text;
    };
    const Row rows[] = {
        {412'000'000, 1'000'000'000, 3.49, "Uploading 'big.bin' \u2014 412 MB of 1.0 GB, 118 MB/s, 5 s left"},
        {1, 0, 0, "Uploading 'big.bin' \u2014 1 byte"},
        {999, 5000, 1, "Uploading 'big.bin' \u2014 999 bytes of 5.0 KB, 999 bytes/s, 4 s left"},
        {999'960, 0, 2, "Uploading 'big.bin' \u2014 1.0 MB, 500 KB/s"},
        {10'000, 10'000, 1, "Uploading 'big.bin' \u2014 10 KB of 10 KB, 10 KB/s"},
        {1000, 1'000'000, 1, "Uploading 'big.bin' \u2014 1.0 KB of 1.0 MB, 1.0 KB/s, 16 min 39 s left"},
        {1000, 10'000'000, 1, "Uploading 'big.bin' \u2014 1.0 KB of 10 MB, 1.0 KB/s, 2 h 46 min left"},
        {0, 100, 1, "Uploading 'big.bin' \u2014 0 bytes of 100 bytes"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ucstringToUTF8String(transferProgressText(u"Uploading 'big.bin'", r.done, r.total, r.elapsed)),
                  r.text);
}

TEST(TransferMeter, ShowsAfterAMomentThenAtMostTwiceASecond) {
    TransferMeter meter;
    ucstring text;
    EXPECT_FALSE(meter.update(100, 1000, 10.0, text)) << "not started";
    meter.start(u"Downloading 'a'", 10.0);
    EXPECT_FALSE(meter.update(100, 1000, 10.2, text));
    EXPECT_FALSE(meter.update(0, 1000, 10.6, text)) << "nothing moved yet";
    EXPECT_TRUE(meter.update(100, 1000, 10.6, text));
    EXPECT_EQ(ucstringToUTF8String(text), "Downloading 'a' \u2014 100 bytes of 1.0 KB, 166 bytes/s, 5 s left");
    EXPECT_FALSE(meter.update(200, 1000, 10.9, text));
    EXPECT_TRUE(meter.update(300, 1000, 11.2, text));
    meter.stop();
    EXPECT_FALSE(meter.update(400, 1000, 12.0, text));
}
