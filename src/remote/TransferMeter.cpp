#include "TransferMeter.h"

#include "_Common/Strings/Orb_String.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>

ucstring transferSizeText(int64_t bytes) {
    if (bytes < 1000)
        return ucstringFromUTF8String(std::to_string(bytes < 0 ? 0 : bytes) + (bytes == 1 ? " byte" : " bytes"));
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB"};
    double value = static_cast<double>(bytes) / 1000.0;
    size_t unit = 0;
    // Rounded as shown: 999.96 KB is "1.0 MB", not "1000 KB".
    while (unit + 1 < std::size(units) && std::round(value) >= 1000.0) {
        value /= 1000.0;
        ++unit;
    }
    char text[32];
    if (value < 9.95)
        std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    else
        std::snprintf(text, sizeof text, "%.0f %s", value, units[unit]);
    return ucstringFromUTF8String(text);
}

ucstring transferDurationText(int64_t seconds) {
    if (seconds < 0) seconds = 0;
    char text[48];
    if (seconds < 60)
        std::snprintf(text, sizeof text, "%lld s", static_cast<long long>(seconds));
    else if (seconds < 3600)
        std::snprintf(text, sizeof text, "%lld min %lld s", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%lld h %lld min", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds % 3600 / 60));
    return ucstringFromUTF8String(text);
}

ucstring transferProgressText(const ucstring& label, int64_t done, int64_t total, double elapsed) {
    ucstring text = label + u" \u2014 " + transferSizeText(done);
    if (total > 0) text += u" of " + transferSizeText(total);
    if (elapsed <= 0 || done <= 0) return text;
    const double rate = static_cast<double>(done) / elapsed;
    text += u", " + transferSizeText(static_cast<int64_t>(rate)) + u"/s";
    if (total > done)
        text += u", " + transferDurationText(std::llround(static_cast<double>(total - done) / rate)) + u" left";
    return text;
}

double transferClockSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void TransferMeter::start(const ucstring& label, double now) {
    mLabel = label;
    mStart = now;
    mLastShown = now;
    mRunning = true;
    mShown = false;
}

bool TransferMeter::update(int64_t done, int64_t total, double now, ucstring& text) {
    if (!mRunning || done <= 0) return false;
    if (now - mStart < kFirstAfter || (mShown && now - mLastShown < kInterval)) return false;
    mShown = true;
    mLastShown = now;
    text = transferProgressText(mLabel, done, total, now - mStart);
    return true;
}
