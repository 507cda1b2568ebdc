// A point in local time with microsecond resolution, as held by variables of the date, time and
// timestamp types. There is no time zone: values are taken and shown on the local clock.
#pragma once

#include "_Common/Strings/Orb_StringTypes.h"

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include <cstdint>

struct OrbDateTimeComponents {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t millisecond = 0;
};

class OrbDateTime {
public:
    // A new value holds the current local time.
    OrbDateTime();
    explicit OrbDateTime(const boost::posix_time::ptime& value);
    OrbDateTime(const OrbDateTime&) = default;
    OrbDateTime& operator=(const OrbDateTime&) = default;

    virtual void setDateTime(const boost::posix_time::ptime& value);
    virtual const boost::posix_time::ptime& dateTime() const;
    virtual ~OrbDateTime();

    void setToCurrent();

    // Builds the value from components; false (and the value unchanged) when they name no real
    // date and time (month 13, 30 February, second 60, a year outside 1400-9999).
    bool encodeDateTime(const OrbDateTimeComponents& components);
    // Split into components; decodeDate and decodeTime fill only their own fields.
    void decodeDateTime(OrbDateTimeComponents& components) const;
    void decodeDate(OrbDateTimeComponents& components) const;
    void decodeTime(OrbDateTimeComponents& components) const;

    // Whole seconds since 1970-01-01 00:00:00 on the same clock (negative before it). 64-bit, so
    // dates after January 2038 count on instead of wrapping.
    int64_t seconds() const;

    // "MM/DD/YYYY", "HH:MM:SS" or "HH:MM:SS.mmm", and both joined by a blank.
    void dateString(ucstring& out) const;
    void timeString(ucstring& out, bool withMilliseconds) const;
    void dateTimeString(ucstring& out, bool withMilliseconds) const;

    // Reads a date and time. Without a format: month/day/four-digit year, then optionally a blank
    // and hour:minute:second with two-digit minute and second and optionally ".mmm"; month, day
    // and hour take one or two digits. With a format (codes YYYY or YY, MM, DD, HH, NN for minutes,
    // SS, CCC for milliseconds, any case), each code reads the characters at its own position and
    // every field the format or the text lacks keeps the current local date and time. False (and
    // the value unchanged) when the text does not fit or names no real date and time.
    bool setDateTimeString(const ucstring& text, const ucstring& format = ucstring());

    bool isLeapYear() const;
    static bool isLeapYear(int year);
    static int daysInMonth(int year, int month);

    bool operator==(const OrbDateTime& other) const { return mDateTime == other.mDateTime; }
    bool operator!=(const OrbDateTime& other) const { return !(*this == other); }

private:
    boost::posix_time::ptime mDateTime;
};
