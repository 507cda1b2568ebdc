// The running account of a transfer for the status window: bytes done of the total, the rate and
// the time left, as in "Uploading 'big.bin' — 412 MB of 1.0 GB, 118 MB/s, 5 s left".
#pragma once

#include "_Common/Strings/Orb_StringTypes.h"

#include <cstdint>

// "17 bytes", "4.1 KB", "412 MB", "1.0 GB": decimal units, one decimal below ten.
ucstring transferSizeText(int64_t bytes);
// "5 s", "3 min 20 s", "2 h 5 min".
ucstring transferDurationText(int64_t seconds);
// `label` followed by what has moved after `elapsed` seconds; without a total (`total` <= 0) no
// "of" and no time left, and without a measurable rate yet no rate.
ucstring transferProgressText(const ucstring& label, int64_t done, int64_t total, double elapsed);

// Seconds on a steady clock, for the meter.
double transferClockSeconds();

// Decides when the text is worth showing again: not before the transfer has run for a moment (a
// rate measured over less says little), then at most twice a second.
class TransferMeter {
public:
    static constexpr double kFirstAfter = 0.5;
    static constexpr double kInterval = 0.5;

    // A new transfer starts at `now` (seconds on any steady clock).
    void start(const ucstring& label, double now);
    // Forgets the transfer: update() then gives nothing.
    void stop() { mRunning = false; }
    // The text to show now, or false when it is not yet time.
    bool update(int64_t done, int64_t total, double now, ucstring& text);

private:
    ucstring mLabel;
    double mStart = 0;
    double mLastShown = 0;
    bool mRunning = false;
    bool mShown = false;
};
