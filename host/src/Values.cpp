#include "Values.h"

#include <unicode/ustring.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fmhost {

namespace {

// Days from civil (proleptic Gregorian), counted so that 0001-01-01 is day 1.
int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 719163;  // shift the 1970 epoch to 0001-01-01 = day 1
}

}  // namespace

void DateTimeImpl::setDate(int64_t year, int64_t month, int64_t day) {
    // Normalise the month first (13 is January of the next year), then let the day overflow.
    int64_t m0 = month - 1;
    year += m0 >= 0 ? m0 / 12 : (m0 - 11) / 12;
    m0 = ((m0 % 12) + 12) % 12;
    days = daysFromCivil(year, m0 + 1, 1) + (day - 1);
}

void DateTimeImpl::civil(int& year, int& month, int& day) const {
    int64_t z = days - 719163 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

int32_t BinaryDataImpl::indexOf(const QuadCharImpl& type) const {
    for (size_t i = 0; i < streams.size(); ++i)
        if (streams[i].type == type) return static_cast<int32_t>(i);
    return -1;
}

std::u16string fromUTF8(const std::string& s) {
    if (s.empty()) return {};
    std::u16string out(s.size(), u'\0');
    int32_t len = 0;
    UErrorCode err = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &len, s.data(),
                         static_cast<int32_t>(s.size()), 0xFFFD, nullptr, &err);
    out.resize(U_SUCCESS(err) ? static_cast<size_t>(len) : 0);
    return out;
}

std::string toUTF8(const std::u16string& s) {
    if (s.empty()) return {};
    std::string out(s.size() * 3, '\0');
    int32_t len = 0;
    UErrorCode err = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &len, reinterpret_cast<const UChar*>(s.data()),
                       static_cast<int32_t>(s.size()), 0xFFFD, nullptr, &err);
    out.resize(U_SUCCESS(err) ? static_cast<size_t>(len) : 0);
    return out;
}

std::u16string numberToText(long double v) {
    char buf[64];
    if (std::isnan(v) || std::isinf(v)) return u"?";
    if (v == std::floor(v) && std::fabs(v) < 1e18L) {
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
    } else {
        std::snprintf(buf, sizeof buf, "%.15Lg", v);
    }
    return fromUTF8(buf);
}

bool textToNumber(const std::u16string& s, long double& v) {
    const std::string t = toUTF8(s);
    const char* p = t.c_str();
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
    char* end = nullptr;
    v = std::strtold(p, &end);
    if (end == p) {
        v = 0;
        return false;
    }
    return true;
}

std::u16string dateToText(const DateTimeImpl& d) {
    int y, m, day;
    d.civil(y, m, day);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d/%d/%04d", m, day, y);
    return fromUTF8(buf);
}

std::u16string timeToText(const DateTimeImpl& d) {
    const int64_t totalSec = d.micros / 1000000;
    const int64_t usec = d.micros % 1000000;
    char buf[48];
    if (usec)
        std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld.%06lld", static_cast<long long>(totalSec / 3600),
                      static_cast<long long>(totalSec / 60 % 60), static_cast<long long>(totalSec % 60),
                      static_cast<long long>(usec));
    else
        std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", static_cast<long long>(totalSec / 3600),
                      static_cast<long long>(totalSec / 60 % 60), static_cast<long long>(totalSec % 60));
    std::u16string r = fromUTF8(buf);
    // drop trailing zeros of the fraction
    if (usec)
        while (r.back() == u'0') r.pop_back();
    return r;
}

bool textToDate(const std::u16string& s, DateTimeImpl& d) {
    const std::string t = toUTF8(s);
    int a = 0, b = 0, c = 0;
    if (std::sscanf(t.c_str(), " %d-%d-%d", &a, &b, &c) == 3 && a > 31) {
        d.setDate(a, b, c);  // year-month-day
        return true;
    }
    if (std::sscanf(t.c_str(), " %d/%d/%d", &a, &b, &c) == 3) {
        d.setDate(c, a, b);  // month/day/year
        return true;
    }
    return false;
}

bool textToTime(const std::u16string& s, DateTimeImpl& d) {
    const std::string t = toUTF8(s);
    long long h = 0;
    int m = 0;
    double sec = 0;
    int n = std::sscanf(t.c_str(), " %lld:%d:%lf", &h, &m, &sec);
    if (n < 2) return false;
    d.micros = ((h * 60 + m) * 60) * 1000000LL + static_cast<int64_t>(std::llround(sec * 1e6));
    return true;
}

std::u16string dataToText(const DataImpl& d) {
    if (d.empty && d.type != fmx::kDTText) return {};
    switch (d.type) {
        case fmx::kDTText: return d.text.s;
        case fmx::kDTNumber: return numberToText(d.number.v);
        case fmx::kDTBoolean: return d.number.v != 0 ? u"1" : u"0";
        case fmx::kDTDate: return dateToText(d.dateTime);
        case fmx::kDTTime: return timeToText(d.dateTime);
        case fmx::kDTTimeStamp: return dateToText(d.dateTime) + u" " + timeToText(d.dateTime);
        case fmx::kDTBinary: return d.binary.fileName;
        default: return {};
    }
}

long double dataToNumber(const DataImpl& d) {
    switch (d.type) {
        case fmx::kDTNumber:
        case fmx::kDTBoolean: return d.empty ? 0 : d.number.v;
        case fmx::kDTDate: return d.empty ? 0 : static_cast<long double>(d.dateTime.days);
        case fmx::kDTTime: return d.empty ? 0 : static_cast<long double>(d.dateTime.micros) / 1e6L;
        case fmx::kDTTimeStamp:
            return d.empty ? 0 : static_cast<long double>(d.dateTime.days) * 86400 + d.dateTime.micros / 1e6L;
        case fmx::kDTText: {
            long double v = 0;
            textToNumber(d.text.s, v);
            return v;
        }
        default: return 0;
    }
}

}  // namespace fmhost
