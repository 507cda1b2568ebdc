#include "Orb_DateTime.h"

#include "_Common/Strings/Orb_String.h"

#include <boost/date_time/gregorian/gregorian_types.hpp>
#include <boost/date_time/posix_time/posix_time.hpp>

#include <cstdio>

namespace pt = boost::posix_time;
namespace gr = boost::gregorian;

namespace {

// Reads between minDigits and maxDigits ASCII digits at pos; false when there are fewer.
bool readNumber(const ucstring& text, size_t& pos, size_t minDigits, size_t maxDigits, int& value) {
    size_t count = 0;
    value = 0;
    while (count < maxDigits && pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
        value = value * 10 + (text[pos] - u'0');
        ++pos;
        ++count;
    }
    return count >= minDigits;
}

bool readChar(const ucstring& text, size_t& pos, char16_t c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

// The digits of a format code taken from the text at the code's own position.
bool fieldFromFormat(const ucstring& format, const ucstring& text, const char16_t* code, int& value) {
    const size_t pos = format.find(code);
    if (pos == ucstring::npos) return false;
    const size_t length = std::char_traits<char16_t>::length(code);
    if (pos + length > text.size()) return false;
    size_t at = pos;
    return readNumber(text, at, length, length, value);
}

ucstring asciiText(const char* s) { return ucstringFromString(s); }

}  // namespace

OrbDateTime::OrbDateTime() { setToCurrent(); }
OrbDateTime::OrbDateTime(const pt::ptime& value) : mDateTime(value) {}
OrbDateTime::~OrbDateTime() = default;

void OrbDateTime::setDateTime(const pt::ptime& value) { mDateTime = value; }
const pt::ptime& OrbDateTime::dateTime() const { return mDateTime; }

void OrbDateTime::setToCurrent() { mDateTime = pt::microsec_clock::local_time(); }

bool OrbDateTime::isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }
bool OrbDateTime::isLeapYear() const {
    OrbDateTimeComponents c;
    decodeDate(c);
    return isLeapYear(c.year);
}

int OrbDateTime::daysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool OrbDateTime::encodeDateTime(const OrbDateTimeComponents& c) {
    // The calendar covers 1400-9999; everything outside it, or beyond a month's days, is refused
    // here rather than left to throw.
    if (c.year < 1400 || c.year > 9999 || c.day < 1 || c.day > daysInMonth(c.year, c.month) || c.hour > 23 ||
        c.minute > 59 || c.second > 59 || c.millisecond > 999)
        return false;
    mDateTime =
        pt::ptime(gr::date(c.year, c.month, c.day),
                  pt::hours(c.hour) + pt::minutes(c.minute) + pt::seconds(c.second) + pt::milliseconds(c.millisecond));
    return true;
}

void OrbDateTime::decodeDate(OrbDateTimeComponents& c) const {
    if (mDateTime.is_special()) {
        c.year = c.month = c.day = 0;
        return;
    }
    const gr::date::ymd_type ymd = mDateTime.date().year_month_day();
    c.year = static_cast<uint16_t>(ymd.year);
    c.month = static_cast<uint16_t>(ymd.month);
    c.day = static_cast<uint16_t>(ymd.day);
}

void OrbDateTime::decodeTime(OrbDateTimeComponents& c) const {
    if (mDateTime.is_special()) {
        c.hour = c.minute = c.second = c.millisecond = 0;
        return;
    }
    const pt::time_duration t = mDateTime.time_of_day();
    c.hour = static_cast<uint16_t>(t.hours());
    c.minute = static_cast<uint16_t>(t.minutes());
    c.second = static_cast<uint16_t>(t.seconds());
    c.millisecond = static_cast<uint16_t>(t.fractional_seconds() * 1000 / pt::time_duration::ticks_per_second());
}

void OrbDateTime::decodeDateTime(OrbDateTimeComponents& c) const {
    decodeDate(c);
    decodeTime(c);
}

int64_t OrbDateTime::seconds() const {
    if (mDateTime.is_special()) return 0;
    static const pt::ptime epoch(gr::date(1970, 1, 1));
    const pt::time_duration since = mDateTime - epoch;
    // total_seconds truncates towards zero; count whole seconds on the clock instead.
    int64_t s = since.total_seconds();
    if (since.is_negative() && since.fractional_seconds() != 0) --s;
    return s;
}

void OrbDateTime::dateString(ucstring& out) const {
    OrbDateTimeComponents c;
    decodeDate(c);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02u/%02u/%04u", unsigned(c.month), unsigned(c.day), unsigned(c.year));
    out = asciiText(buf);
}

void OrbDateTime::timeString(ucstring& out, bool withMilliseconds) const {
    OrbDateTimeComponents c;
    decodeTime(c);
    char buf[32];
    if (withMilliseconds) {
        std::snprintf(buf, sizeof buf, "%02u:%02u:%02u.%03u", unsigned(c.hour), unsigned(c.minute), unsigned(c.second),
                      unsigned(c.millisecond));
    } else {
        std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", unsigned(c.hour), unsigned(c.minute), unsigned(c.second));
    }
    out = asciiText(buf);
}

void OrbDateTime::dateTimeString(ucstring& out, bool withMilliseconds) const {
    ucstring date, time;
    dateString(date);
    timeString(time, withMilliseconds);
    out = date + u' ' + time;
}

bool OrbDateTime::setDateTimeString(const ucstring& text, const ucstring& format) {
    OrbDateTimeComponents c;
    if (format.empty()) {
        const ucstring t = stringTrim(text);
        size_t pos = 0;
        int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
        if (!readNumber(t, pos, 1, 2, month) || !readChar(t, pos, u'/') || !readNumber(t, pos, 1, 2, day) ||
            !readChar(t, pos, u'/') || !readNumber(t, pos, 4, 4, year))
            return false;
        if (pos < t.size()) {
            if (!charIsSpace(t[pos])) return false;
            while (pos < t.size() && charIsSpace(t[pos])) ++pos;
            if (!readNumber(t, pos, 1, 2, hour) || !readChar(t, pos, u':') || !readNumber(t, pos, 2, 2, minute) ||
                !readChar(t, pos, u':') || !readNumber(t, pos, 2, 2, second))
                return false;
            if (readChar(t, pos, u'.') && !readNumber(t, pos, 3, 3, millisecond)) return false;
            if (pos != t.size()) return false;
        }
        c = {uint16_t(year),   uint16_t(month),  uint16_t(day),        uint16_t(hour),
             uint16_t(minute), uint16_t(second), uint16_t(millisecond)};
        return encodeDateTime(c);
    }

    OrbDateTime now;
    now.decodeDateTime(c);
    const ucstring f = stringUpperCase(format);
    int v = 0;
    if (f.find(u"YYYY") != ucstring::npos) {
        if (fieldFromFormat(f, text, u"YYYY", v)) c.year = uint16_t(v);
    } else if (fieldFromFormat(f, text, u"YY", v)) {
        c.year = uint16_t(v < 50 ? 2000 + v : 1900 + v);
    }
    if (fieldFromFormat(f, text, u"MM", v)) c.month = uint16_t(v);
    if (fieldFromFormat(f, text, u"DD", v)) c.day = uint16_t(v);
    if (fieldFromFormat(f, text, u"HH", v)) c.hour = uint16_t(v);
    if (fieldFromFormat(f, text, u"NN", v)) c.minute = uint16_t(v);
    if (fieldFromFormat(f, text, u"SS", v)) c.second = uint16_t(v);
    if (fieldFromFormat(f, text, u"CCC", v)) c.millisecond = uint16_t(v);
    return encodeDateTime(c);
}
