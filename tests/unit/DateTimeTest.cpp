// Local date and time values: components, seconds, texts and parsing.
#include "_Common/CoreCode/Orb_DateTime.h"

#include <gtest/gtest.h>

#include <boost/date_time/posix_time/posix_time.hpp>

namespace {

OrbDateTime at(uint16_t y, uint16_t mo, uint16_t d, uint16_t h = 0, uint16_t mi = 0, uint16_t s = 0, uint16_t ms = 0) {
    OrbDateTime t;
    EXPECT_TRUE(t.encodeDateTime({y, mo, d, h, mi, s, ms}));
    return t;
}

OrbDateTimeComponents parts(const OrbDateTime& t) {
    OrbDateTimeComponents c;
    t.decodeDateTime(c);
    return c;
}

}  // namespace

TEST(DateTime, NewValuesHoldTheCurrentLocalTime) {
    const auto before = boost::posix_time::microsec_clock::local_time();
    const OrbDateTime now;
    const auto after = boost::posix_time::microsec_clock::local_time();
    EXPECT_LE(before, now.dateTime());
    EXPECT_GE(after, now.dateTime());
}

TEST(DateTime, ComponentsRoundTrip) {
    const OrbDateTime t = at(2021, 7, 4, 9, 5, 3, 45);
    const OrbDateTimeComponents c = parts(t);
    EXPECT_EQ(c.year, 2021);
    EXPECT_EQ(c.month, 7);
    EXPECT_EQ(c.day, 4);
    EXPECT_EQ(c.hour, 9);
    EXPECT_EQ(c.minute, 5);
    EXPECT_EQ(c.second, 3);
    EXPECT_EQ(c.millisecond, 45);

    OrbDateTimeComponents dateOnly{1, 1, 1, 7, 7, 7, 7};
    t.decodeDate(dateOnly);
    EXPECT_EQ(dateOnly.year, 2021);
    EXPECT_EQ(dateOnly.hour, 7);  // left alone
}

TEST(DateTime, ImpossibleComponentsAreRefused) {
    OrbDateTime t = at(2000, 1, 1);
    const auto before = t.dateTime();
    EXPECT_FALSE(t.encodeDateTime({2021, 2, 29, 0, 0, 0, 0}));
    EXPECT_FALSE(t.encodeDateTime({2021, 13, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(t.encodeDateTime({2021, 4, 31, 0, 0, 0, 0}));
    EXPECT_FALSE(t.encodeDateTime({2021, 1, 1, 24, 0, 0, 0}));
    EXPECT_FALSE(t.encodeDateTime({2021, 1, 1, 0, 60, 0, 0}));
    EXPECT_FALSE(t.encodeDateTime({2021, 1, 1, 0, 0, 60, 0}));
    EXPECT_FALSE(t.encodeDateTime({2021, 1, 1, 0, 0, 0, 1000}));
    EXPECT_FALSE(t.encodeDateTime({0, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(t.dateTime(), before);
    EXPECT_TRUE(t.encodeDateTime({2020, 2, 29, 0, 0, 0, 0}));
}

TEST(DateTime, GregorianLeapYears) {
    EXPECT_TRUE(OrbDateTime::isLeapYear(2000));
    EXPECT_FALSE(OrbDateTime::isLeapYear(1900));
    EXPECT_TRUE(OrbDateTime::isLeapYear(2024));
    EXPECT_FALSE(OrbDateTime::isLeapYear(2023));
    EXPECT_TRUE(at(2024, 3, 1).isLeapYear());
    EXPECT_EQ(OrbDateTime::daysInMonth(2024, 2), 29);
    EXPECT_EQ(OrbDateTime::daysInMonth(2100, 2), 28);
}

TEST(DateTime, SecondsOnTheLocalClock) {
    EXPECT_EQ(at(1970, 1, 1).seconds(), 0);
    EXPECT_EQ(at(1970, 1, 2, 0, 0, 1).seconds(), 86401);
    EXPECT_EQ(at(1969, 12, 31, 23, 59, 59).seconds(), -1);
    EXPECT_EQ(at(1969, 12, 31, 23, 59, 59, 500).seconds(), -1);
    // Past January 2038 the count goes on instead of wrapping.
    EXPECT_EQ(at(2040, 1, 1).seconds(), 2208988800LL);
}

TEST(DateTime, Texts) {
    const OrbDateTime t = at(2021, 7, 4, 9, 5, 3, 45);
    ucstring s;
    t.dateString(s);
    EXPECT_EQ(s, u"07/04/2021");
    t.timeString(s, false);
    EXPECT_EQ(s, u"09:05:03");
    t.timeString(s, true);
    EXPECT_EQ(s, u"09:05:03.045");
    t.dateTimeString(s, false);
    EXPECT_EQ(s, u"07/04/2021 09:05:03");
    t.dateTimeString(s, true);
    EXPECT_EQ(s, u"07/04/2021 09:05:03.045");
}

TEST(DateTime, ParsesTheTextFormWithoutAFormat) {
    OrbDateTime t;
    ASSERT_TRUE(t.setDateTimeString(u"7/4/2021 9:05:03"));
    EXPECT_EQ(t, at(2021, 7, 4, 9, 5, 3));
    ASSERT_TRUE(t.setDateTimeString(u"12/31/1999 23:59:59.999"));
    EXPECT_EQ(t, at(1999, 12, 31, 23, 59, 59, 999));
    ASSERT_TRUE(t.setDateTimeString(u" 02/29/2024 "));
    EXPECT_EQ(t, at(2024, 2, 29));

    const OrbDateTime kept = t;
    EXPECT_FALSE(t.setDateTimeString(u"13/01/2020 00:00:00"));
    EXPECT_FALSE(t.setDateTimeString(u"2/30/2020 01:00:00"));
    EXPECT_FALSE(t.setDateTimeString(u"7/4/21 9:05:03"));
    EXPECT_FALSE(t.setDateTimeString(u"7/4/2021 9:5:03"));
    EXPECT_FALSE(t.setDateTimeString(u"7/4/2021 9:05:03.5"));
    EXPECT_FALSE(t.setDateTimeString(u"7/4/2021 9:05:03 PM"));
    EXPECT_FALSE(t.setDateTimeString(u"2021-07-04"));
    EXPECT_FALSE(t.setDateTimeString(u""));
    EXPECT_EQ(t, kept);
}

TEST(DateTime, ParsesWithAFormat) {
    OrbDateTime t;
    const OrbDateTime before;
    ASSERT_TRUE(t.setDateTimeString(u"23-07-15", u"DD-MM-YY"));
    const OrbDateTime after;
    OrbDateTimeComponents c = parts(t);
    EXPECT_EQ(c.year, 2015);
    EXPECT_EQ(c.month, 7);
    EXPECT_EQ(c.day, 23);
    // The time of day is the current one.
    const auto timeOfDay = t.dateTime().time_of_day();
    const auto from = before.dateTime().time_of_day() - boost::posix_time::milliseconds(1);
    const auto to = after.dateTime().time_of_day();
    if (from < to) {  // unless midnight passed meanwhile
        EXPECT_GE(timeOfDay, from);
        EXPECT_LE(timeOfDay, to);
    }

    ASSERT_TRUE(t.setDateTimeString(u"990101", u"yymmdd"));
    EXPECT_EQ(parts(t).year, 1999);
    ASSERT_TRUE(t.setDateTimeString(u"490101", u"YYMMDD"));
    EXPECT_EQ(parts(t).year, 2049);
    ASSERT_TRUE(t.setDateTimeString(u"500101", u"YYMMDD"));
    EXPECT_EQ(parts(t).year, 1950);

    ASSERT_TRUE(t.setDateTimeString(u"2021.12.31 23:59:58.123", u"yyyy.mm.dd hh:nn:ss.ccc"));
    EXPECT_EQ(t, at(2021, 12, 31, 23, 59, 58, 123));
}

TEST(DateTime, FieldsMissingFromTheTextKeepTheCurrentValue) {
    OrbDateTime t;
    const OrbDateTime now;
    // The text stops before the month's characters. (2000 is a leap year, so today's month and
    // day exist in it.)
    ASSERT_TRUE(t.setDateTimeString(u"2000", u"YYYY-MM"));
    const OrbDateTimeComponents c = parts(t);
    EXPECT_EQ(c.year, 2000);
    EXPECT_EQ(c.month, parts(now).month);
    // Letters where digits belong leave the field alone too.
    ASSERT_TRUE(t.setDateTimeString(u"2000-xx", u"YYYY-MM"));
    EXPECT_EQ(parts(t).month, parts(now).month);
    // A day that does not exist fails as a whole.
    EXPECT_FALSE(t.setDateTimeString(u"2001-02-30", u"YYYY-MM-DD"));
}
