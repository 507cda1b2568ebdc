// The listing parsers on what real servers sent (ProFTPD MLSD and LIST, pyftpdlib LIST, libcurl's
// SFTP listing) and on hand-made listings of every format they read.
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"
#include "functions/Function__RemoteList.h"

#include <gtest/gtest.h>

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

namespace pt = boost::posix_time;
namespace gr = boost::gregorian;

std::string readSample(const std::string& name) {
    std::ifstream in(std::string(VOLAN_TEST_DATA_DIR) + "/listings/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

// The lines as the receive callback collects them, the data arriving in pieces of `piece` bytes.
stringlist receivedLines(const std::string& data, size_t piece = 0) {
    stringlist lines;
    if (piece == 0) piece = data.size() + 1;
    for (size_t at = 0; at < data.size(); at += piece)
        stringlistAppendLines(lines, std::string_view(data).substr(at, piece));
    return lines;
}

OrbDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return OrbDateTime(
        pt::ptime(gr::date(year, month, day), pt::hours(hour) + pt::minutes(minute) + pt::seconds(second)));
}

// When the samples were captured.
const OrbDateTime kCaptured = at(2026, 12, 8, 22, 16, 3);

std::string stamp(const OrbDateTime& t) {
    OrbDateTimeComponents c;
    t.decodeDateTime(c);
    char buf[80];
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u", unsigned(c.year), unsigned(c.month),
                  unsigned(c.day), unsigned(c.hour), unsigned(c.minute), unsigned(c.second), unsigned(c.millisecond));
    return buf;
}

struct Expected {
    const char* name;  // UTF-8
    const char* type;
    int64_t size;
    const char* modified;  // "YYYY-MM-DD HH:MM:SS"
};

const OrbVariable* member(const OrbVariable& record, const char16_t* name) {
    const OrbVariable* found = nullptr;
    record.arrayValue().variableWithName(name, found);
    return found;
}

void expectRecords(const OrbVariableArray& list, const std::vector<Expected>& expected) {
    ASSERT_EQ(list.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i) + " " + expected[i].name);
        const OrbVariable& record = list.variableArray()[i];
        EXPECT_EQ(record.type(), OrbVariable::kArray);
        EXPECT_EQ(record.name(), ucstringFromUTF8String(expected[i].name));
        // A link whose line says where it leads also holds that, for folder walks.
        const OrbVariable* target = member(record, u"Target");
        ASSERT_EQ(record.arrayValue().size(), target ? 4u : 3u);
        if (target) {
            EXPECT_FALSE(target->stringValue().empty());
        }
        const OrbVariable* type = member(record, u"Type");
        const OrbVariable* size = member(record, u"Size");
        const OrbVariable* modified = member(record, u"ModDate");
        ASSERT_TRUE(type && size && modified);
        EXPECT_EQ(type->type(), OrbVariable::kString);
        EXPECT_EQ(type->stringValue(), ucstringFromUTF8String(expected[i].type));
        EXPECT_EQ(size->type(), OrbVariable::kInteger);
        EXPECT_EQ(size->integerValue(), expected[i].size);
        EXPECT_EQ(modified->type(), OrbVariable::kTimestamp);
        EXPECT_EQ(stamp(modified->timestampValue()), std::string(expected[i].modified) + ".000");
    }
}

OrbVariableArray parseStandard(const std::string& text, const OrbDateTime& now = kCaptured) {
    OrbVariableArray list;
    parseStandardList(receivedLines(text), list, now);
    return list;
}

OrbVariableArray parseMachine(const std::string& text) {
    OrbVariableArray list;
    parseMachineList(receivedLines(text), list);
    return list;
}

}  // namespace

// ---- Captured listings -------------------------------------------------------------------------

TEST(RemoteListParse, ProFTPDMachineListKeepsOrderNamesAndFacts) {
    const OrbVariableArray list = parseMachine(readSample("proftpd-mlsd.txt"));
    // The server sent "." and ".." among the items: they stay where they are.
    expectRecords(list, {
                            {"readme.txt", "file", 6, "2026-11-20 14:02:00"},
                            {"subfolder", "dir", 0, "2026-11-20 14:02:00"},
                            {".hidden", "file", 2, "2026-11-20 14:02:00"},
                            {"a;b.txt", "file", 5, "2026-11-20 14:02:00"},
                            {".", "dir", 0, "2026-12-01 09:30:00"},
                            {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", "file", 2, "2026-11-20 14:02:00"},
                            {"price $5.txt", "file", 7, "2026-11-20 14:02:00"},
                            {"big file.bin", "file", 102400, "2026-03-05 08:15:00"},
                            {"\xC3\x9Cn\xC3\xAF"
                             "c\xC3\xB6"
                             "d\xC3\xA9 r\xC3\xA9sum\xC3\xA9.txt",
                             "file", 2, "2026-11-20 14:02:00"},
                            {"..", "dir", 0, "2026-12-08 22:15:57"},
                            {"link-to-readme", "symlink", 10, "2026-11-20 14:02:00"},
                            {"old report.txt", "file", 4, "2019-03-05 10:00:00"},
                        });
}

// A link is listed under its own name, without " -> " and the target.
TEST(RemoteListParse, ProFTPDUnixListReadsTimesYearsAndLinks) {
    const OrbVariableArray list = parseStandard(readSample("proftpd-list.txt"));
    expectRecords(list, {
                            {".", "dir", 4096, "2026-12-01 09:30:00"},
                            {"..", "dir", 4096, "2026-12-08 22:15:00"},
                            {".hidden", "file", 2, "2026-11-20 14:02:00"},
                            {"a;b.txt", "file", 5, "2026-11-20 14:02:00"},
                            {"big file.bin", "file", 102400, "2026-03-05 00:00:00"},
                            {"dangling", "symlink", 14, "2026-11-20 14:02:00"},
                            {"link-to-readme", "symlink", 10, "2026-11-20 14:02:00"},
                            {"old report.txt", "file", 4, "2019-03-05 00:00:00"},
                            {"price $5.txt", "file", 7, "2026-11-20 14:02:00"},
                            {"readme.txt", "file", 6, "2026-11-20 14:02:00"},
                            {"subfolder", "dir", 4096, "2026-11-20 14:02:00"},
                            {"\xC3\x9Cn\xC3\xAF"
                             "c\xC3\xB6"
                             "d\xC3\xA9 r\xC3\xA9sum\xC3\xA9.txt",
                             "file", 2, "2026-11-20 14:02:00"},
                            {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", "file", 2, "2026-11-20 14:02:00"},
                        });
    EXPECT_EQ(member(list.variableArray()[5], u"Target")->stringValue(), u"does-not-exist");
    EXPECT_EQ(member(list.variableArray()[6], u"Target")->stringValue(), u"readme.txt");
}

TEST(RemoteListParse, ListOnlyServerWithoutDotEntriesGetsThemInFront) {
    const OrbVariableArray list = parseStandard(readSample("pyftpdlib-list.txt"));
    ASSERT_EQ(list.size(), 13u);
    expectRecords(OrbVariableArray(list), [] {
        std::vector<Expected> e = {
            {".", "dir", 0, "2000-01-01 00:00:00"},
            {"..", "dir", 0, "2000-01-01 00:00:00"},
            {".hidden", "file", 2, "2026-11-20 14:02:00"},
            {"a;b.txt", "file", 5, "2026-11-20 14:02:00"},
            {"big file.bin", "file", 102400, "2026-03-05 00:00:00"},  // "Mar 05  2026"
            {"dangling", "symlink", 14, "2026-11-20 14:02:00"},
            {"link-to-readme", "symlink", 10, "2026-11-20 14:02:00"},
            {"old report.txt", "file", 4, "2019-03-05 00:00:00"},
            {"price $5.txt", "file", 7, "2026-11-20 14:02:00"},
            {"readme.txt", "file", 6, "2026-11-20 14:02:00"},
            {"subfolder", "dir", 4096, "2026-11-20 14:02:00"},
            {"\xC3\x9Cn\xC3\xAF"
             "c\xC3\xB6"
             "d\xC3\xA9 r\xC3\xA9sum\xC3\xA9.txt",
             "file", 2, "2026-11-20 14:02:00"},
            {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", "file", 2, "2026-11-20 14:02:00"},
        };
        return e;
    }());
}

TEST(RemoteListParse, SFTPListingKeepsDotEntriesWhereSent) {
    const OrbVariableArray list = parseStandard(readSample("sftp-list.txt"));
    ASSERT_EQ(list.size(), 13u);
    EXPECT_EQ(list.variableArray()[0].name(), u"readme.txt");
    EXPECT_EQ(list.variableArray()[4].name(), u".");
    EXPECT_EQ(list.variableArray()[10].name(), u"..");
    const OrbVariable* dangling = nullptr;
    ASSERT_TRUE(list.variableWithName(u"dangling", dangling));
    EXPECT_EQ(member(*dangling, u"Type")->stringValue(), u"symlink");

    // The same folder over FTP and SFTP gives the same items.
    const OrbVariableArray ftp = parseStandard(readSample("proftpd-list.txt"));
    for (const OrbVariable& record : ftp) {
        const OrbVariable* same = nullptr;
        ASSERT_TRUE(list.variableWithName(record.name(), same)) << ucstringToUTF8String(record.name());
        EXPECT_EQ(member(*same, u"Size")->integerValue(), member(record, u"Size")->integerValue());
        EXPECT_EQ(member(*same, u"Type")->stringValue(), member(record, u"Type")->stringValue());
    }
}

TEST(RemoteListParse, SubfolderListingsAgreeBetweenFormats) {
    const OrbVariableArray machine = parseMachine(readSample("proftpd-mlsd-subfolder.txt"));
    const OrbVariableArray unix = parseStandard(readSample("proftpd-list-subfolder.txt"));
    const OrbVariableArray sftp = parseStandard(readSample("sftp-list-subfolder.txt"));
    expectRecords(machine, {{".", "dir", 0, "2026-11-20 14:02:00"},
                            {"inner.txt", "file", 6, "2026-11-20 14:02:00"},
                            {"..", "dir", 0, "2026-12-01 09:30:00"}});
    expectRecords(unix, {{".", "dir", 4096, "2026-11-20 14:02:00"},
                         {"..", "dir", 4096, "2026-12-01 09:30:00"},
                         {"inner.txt", "file", 6, "2026-11-20 14:02:00"}});
    expectRecords(sftp, {{".", "dir", 4096, "2026-11-20 14:02:00"},
                         {"inner.txt", "file", 6, "2026-11-20 14:02:00"},
                         {"..", "dir", 4096, "2026-12-01 09:30:00"}});
}

TEST(RemoteListParse, LinesCutBetweenPiecesOfDataReadTheSame) {
    for (const char* name : {"proftpd-list.txt", "msdos-iis.txt", "proftpd-mlsd.txt", "vms.txt", "mixed.txt"}) {
        SCOPED_TRACE(name);
        const std::string data = readSample(name);
        const bool machine = std::string(name).find("mlsd") != std::string::npos;
        OrbVariableArray whole, pieces;
        for (size_t piece : {size_t(0), size_t(1), size_t(7)}) {
            OrbVariableArray& out = piece == 0 ? whole : pieces;
            if (machine) {
                parseMachineList(receivedLines(data, piece), out);
            } else {
                parseStandardList(receivedLines(data, piece), out, kCaptured);
            }
            if (piece == 0) continue;
            ucstring a, b;
            whole.toText(a, kLineEndingCR);
            pieces.toText(b, kLineEndingCR);
            EXPECT_EQ(a, b) << "pieces of " << piece;
        }
    }
}

// ---- Hand-made samples of every format ---------------------------------------------------------

// Each sample <format>.txt has its records in <format>.expected, one line each in listing order:
// type, size, time and the name as the server sent it, separated by tabs.
TEST(RemoteListParse, EveryFormatGivesItsExpectedRecords) {
    for (const std::string format :
         {"unix-shapes", "unix-localized", "msdos-windows", "mlsd-servers", "mac-folders", "os400-ifs", "netware",
          "vms", "mvs-datasets", "mvs-members", "os2", "eplf", "windows-ce", "mixed"}) {
        SCOPED_TRACE(format);
        const stringlist lines = receivedLines(readSample(format + ".txt"));
        OrbVariableArray list;
        ListRawNames rawNames;
        if (format.rfind("mlsd", 0) == 0) {
            parseMachineList(lines, list, &rawNames);
        } else {
            parseStandardList(lines, list, kCaptured, &rawNames);
        }
        std::string records;
        for (const OrbVariable& record : list) {
            const auto raw = rawNames.find(record.name());
            const std::string modified = stamp(member(record, u"ModDate")->timestampValue());
            records += ucstringToUTF8String(member(record, u"Type")->stringValue()) + "\t" +
                       std::to_string(member(record, u"Size")->integerValue()) + "\t" +
                       modified.substr(0, modified.size() - 4) + "\t" +
                       (raw != rawNames.end() ? raw->second : ucstringToUTF8String(record.name())) + "\n";
        }
        EXPECT_EQ(records, readSample(format + ".expected"));
    }
}

// ---- MLST fact lines ---------------------------------------------------------------------------

TEST(RemoteListParse, MLSTReplyGivesItemInformation) {
    for (const auto& [file, name, type, size] : {std::tuple{"proftpd-mlst-reply.txt", u"readme.txt", u"file", 6},
                                                 {"proftpd-mlst-reply-dir.txt", u"subfolder", u"dir", 0}}) {
        SCOPED_TRACE(file);
        // The fact line is the second-to-last reply line, without its leading blank.
        const stringlist reply = stringlistSplitStringByLines(readSample(file));
        ASSERT_EQ(reply.size(), 4u);  // three lines and the empty text after the last break
        OrbVariableArray info;
        listItemInfoFromFactLine(stringTrimLeft(reply[1]), info);
        ASSERT_EQ(info.size(), 4u);
        const OrbVariable* v = nullptr;
        ASSERT_TRUE(info.variableWithName(u"Name", v));
        EXPECT_EQ(v->stringValue(), name);
        ASSERT_TRUE(info.variableWithName(u"Type", v));
        EXPECT_EQ(v->stringValue(), type);
        ASSERT_TRUE(info.variableWithName(u"Size", v));
        EXPECT_EQ(v->integerValue(), size);
        ASSERT_TRUE(info.variableWithName(u"ModDate", v));
        EXPECT_EQ(stamp(v->timestampValue()), "2026-11-20 14:02:00.000");
    }
}

TEST(RemoteListParse, FactLinesFollowTheirOwnRules) {
    ListItemFacts f;
    // Fact names in any case; types lower-cased.
    listParseFactLine("Type=FILE;SIZE=42;Modify=19991231235958; x.txt", f);
    EXPECT_EQ(f.name, u"x.txt");
    EXPECT_EQ(f.type, u"file");
    EXPECT_EQ(f.size, 42);
    EXPECT_EQ(stamp(f.modDate), "1999-12-31 23:59:58.000");

    // A fraction of a second is no part of the time; the name keeps its inner blanks.
    listParseFactLine("type=dir;modify=20240229120000.123; my  folder ", f);
    EXPECT_EQ(f.name, u"my  folder ");
    EXPECT_EQ(f.type, u"dir");
    EXPECT_EQ(f.size, 0);
    EXPECT_EQ(stamp(f.modDate), "2024-02-29 12:00:00.000");

    // "cdir" and "pdir" are "." and ".." whatever name the server gave.
    listParseFactLine("type=cdir;modify=20200101000000; /home/anna", f);
    EXPECT_EQ(f.name, u".");
    EXPECT_EQ(f.type, u"dir");
    listParseFactLine("type=PDir; /home", f);
    EXPECT_EQ(f.name, u"..");

    // A link, a missing time and a missing name.
    listParseFactLine("type=OS.unix=slink:/tmp;size=3;", f);
    EXPECT_EQ(f.type, u"symlink");
    EXPECT_EQ(f.name, u"<no name>");
    EXPECT_EQ(f.size, 3);
    EXPECT_EQ(stamp(f.modDate), "2000-01-01 00:00:00.000");

    // A time that names no real moment, or lacks digits, is the default time, never the clock's.
    listParseFactLine("type=file;modify=20230230101010; feb30", f);
    EXPECT_EQ(stamp(f.modDate), "2000-01-01 00:00:00.000");
    listParseFactLine("type=file;modify=20230715; short", f);
    EXPECT_EQ(stamp(f.modDate), "2023-07-15 00:00:00.000");
    listParseFactLine("type=file;modify=2023071512xx00; letters", f);
    EXPECT_EQ(stamp(f.modDate), "2023-07-15 12:00:00.000");
}

TEST(RemoteListParse, MachineListWithoutDotEntriesStartsWithThem) {
    const OrbVariableArray list = parseMachine("type=file;size=1;modify=20240101101010; a.txt\r\n\r\ntype=dir; b\r\n");
    expectRecords(list, {{".", "dir", 0, "2000-01-01 00:00:00"},
                         {"..", "dir", 0, "2000-01-01 00:00:00"},
                         {"a.txt", "file", 1, "2024-01-01 10:10:10"},
                         {"b", "dir", 0, "2000-01-01 00:00:00"}});
    // Only ".." sent: "." goes in front of everything, ".." stays where it was.
    const OrbVariableArray partial = parseMachine("type=file; a\ntype=pdir; ..\n");
    ASSERT_EQ(partial.size(), 3u);
    EXPECT_EQ(partial.variableArray()[0].name(), u".");
    EXPECT_EQ(partial.variableArray()[1].name(), u"a");
    EXPECT_EQ(partial.variableArray()[2].name(), u"..");
    // Nothing at all still gives the two.
    EXPECT_EQ(parseMachine("").size(), 2u);
}

// ---- LIST layouts ------------------------------------------------------------------------------

TEST(RemoteListParse, UnixLineOfTheCurrentYear) {
    const OrbVariableArray list =
        parseStandard("drwxr-xr-x   2 user     group        4096 Mar  5 14:02 docs\n", at(2026, 7, 1, 9));
    expectRecords(list, {{".", "dir", 0, "2000-01-01 00:00:00"},
                         {"..", "dir", 0, "2000-01-01 00:00:00"},
                         {"docs", "dir", 4096, "2026-03-05 14:02:00"}});
}

// Lines that are no listing lines are no items.
TEST(RemoteListParse, UnixTotalLineYearsAndStrayLines) {
    const OrbVariableArray list = parseStandard(readSample("unix-total.txt"));
    expectRecords(list, {
                            {".", "dir", 0, "2000-01-01 00:00:00"},
                            {"..", "dir", 0, "2000-01-01 00:00:00"},
                            {"ninety.txt", "file", 10, "1990-01-02 00:00:00"},
                            {"docs", "dir", 4096, "2026-03-05 14:02:00"},       // "5 Mar"
                            {"party.txt", "file", 300, "1999-12-17 00:00:00"},  // "17 Dec  1999"
                            {"last december.txt", "file", 77, "2025-12-20 10:00:00"},
                            {"fifo", "unknown", 0, "2026-01-03 08:00:00"},
                        });
}

TEST(RemoteListParse, UnixTimesNearTheTurnOfTheYear) {
    const std::string lines =
        "-rw-r--r-- 1 a b 1 Dec 31 23:00 old\n"
        "-rw-r--r-- 1 a b 2 Jan  1 00:30 new\n"
        "-rw-r--r-- 1 a b 3 Jan  6 12:00 tomorrow\n"
        "-rw-r--r-- 1 a b 4 Jan  7 12:00 later\n";
    const OrbVariableArray list = parseStandard(lines, at(2027, 1, 5, 12));
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(stamp(member(list.variableArray()[2], u"ModDate")->timestampValue()), "2026-12-31 23:00:00.000");
    EXPECT_EQ(stamp(member(list.variableArray()[3], u"ModDate")->timestampValue()), "2027-01-01 00:30:00.000");
    EXPECT_EQ(stamp(member(list.variableArray()[4], u"ModDate")->timestampValue()), "2027-01-06 12:00:00.000");
    EXPECT_EQ(stamp(member(list.variableArray()[5], u"ModDate")->timestampValue()), "2026-01-07 12:00:00.000");
    // On the last day of a year nothing of that year lies ahead.
    const OrbVariableArray late = parseStandard(lines, at(2026, 12, 31, 20));
    EXPECT_EQ(stamp(member(late.variableArray()[2], u"ModDate")->timestampValue()), "2026-12-31 23:00:00.000");
}

TEST(RemoteListParse, UnixYearColumn) {
    const auto yearOf = [](const char* column) {
        const OrbVariableArray list = parseStandard(std::string("-rw-r--r-- 1 a b 1 Jun 15 ") + column + " f\n");
        OrbDateTimeComponents c;
        member(list.variableArray()[2], u"ModDate")->timestampValue().decodeDate(c);
        return int(c.year);
    };
    EXPECT_EQ(yearOf("5"), 2005);
    EXPECT_EQ(yearOf("69"), 2069);
    EXPECT_EQ(yearOf("70"), 1970);
    EXPECT_EQ(yearOf("89"), 1989);
    EXPECT_EQ(yearOf("90"), 1990);
    EXPECT_EQ(yearOf("99"), 1999);
    EXPECT_EQ(yearOf("450"), 1450);
    EXPECT_EQ(yearOf("1999"), 1999);
    EXPECT_EQ(yearOf("2031"), 2031);
}

TEST(RemoteListParse, UnknownMonthGivesTheDefaultTime) {
    const OrbVariableArray list =
        parseStandard("-rw-r--r-- 1 a b 1 Xyz 15 10:00 f\n-rw-r--r-- 1 a b 1 Nfe 15 10:00 g\n");
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(stamp(member(list.variableArray()[2], u"ModDate")->timestampValue()), "2000-01-01 00:00:00.000");
    // Three letters that straddle two month names are no month either.
    EXPECT_EQ(stamp(member(list.variableArray()[3], u"ModDate")->timestampValue()), "2000-01-01 00:00:00.000");
}

TEST(RemoteListParse, MSDosListing) {
    const OrbVariableArray list = parseStandard(readSample("msdos-iis.txt"));
    expectRecords(list, {
                            {".", "dir", 0, "2000-01-01 00:00:00"},
                            {"..", "dir", 0, "2000-01-01 00:00:00"},
                            {"My Folder", "dir", 0, "2017-03-05 14:15:00"},
                            {"night.txt", "file", 1024, "2023-11-30 00:30:00"},
                            {"noon.txt", "file", 2048, "2023-11-30 12:30:00"},
                            {"ninety.txt", "file", 12, "1990-01-02 09:00:00"},
                            {"party.txt", "file", 7, "1999-12-31 23:59:00"},
                            {"four digit year.txt", "file", 4096, "2021-04-07 08:05:00"},
                            {"no suffix.txt", "file", 5, "2022-06-15 17:45:00"},
                            {"midnight.txt", "file", 9, "2022-06-16 00:10:00"},
                        });
}

TEST(RemoteListParse, MSDosTimesWithAndWithoutLeadingZero) {
    const OrbVariableArray list = parseStandard(
        "01-02-03  12:00AM  1 a\n01-02-03  12:59PM  2 b\n01-02-03  01:05AM  3 c\n01-02-03  11:05pm  4 d\n"
        "01-02-03  2:15PM  5 e\n");
    ASSERT_EQ(list.size(), 7u);
    const char* expected[] = {"2003-01-02 00:00:00.000", "2003-01-02 12:59:00.000", "2003-01-02 01:05:00.000",
                              "2003-01-02 23:05:00.000", "2003-01-02 14:15:00.000"};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(stamp(member(list.variableArray()[i + 2], u"ModDate")->timestampValue()), expected[i]) << i;
}

TEST(RemoteListParse, ClassicMacListing) {
    const OrbVariableArray list = parseStandard(readSample("mac-classic.txt"));
    expectRecords(list, {
                            {".", "dir", 0, "2000-01-01 00:00:00"},
                            {"..", "dir", 0, "2000-01-01 00:00:00"},
                            {"network", "dir", 2, "1996-05-10 00:00:00"},
                            {"MegaPhone.sit", "file", 1392298, "1995-11-22 00:00:00"},
                            {"empty.txt", "file", 0, "2026-01-31 09:07:00"},
                        });
}

TEST(RemoteListParse, OS400Listing) {
    const OrbVariableArray list = parseStandard(readSample("os400.txt"));
    expectRecords(list, {
                            {".", "dir", 0, "2000-01-01 00:00:00"},
                            {"..", "dir", 0, "2000-01-01 00:00:00"},
                            {"QDOC", "dir", 77824, "2000-02-23 15:09:55"},
                            {"QSYS.LIB", "file", 0, "1999-12-31 23:59:01"},
                            {"QGPL/QCLSRC.FILE/A.MBR", "file", 0, "2000-01-01 00:00:00"},
                        });
}

TEST(RemoteListParse, ListingsWithoutItems) {
    // Blank, only a total line, or lines of no known format: just "." and "..".
    for (const char* text : {"", "\r\n\r\n", "   \n\t\n", "total 0\n", "Welcome to the server\n226 Done\n"}) {
        SCOPED_TRACE(text);
        expectRecords(parseStandard(text),
                      {{".", "dir", 0, "2000-01-01 00:00:00"}, {"..", "dir", 0, "2000-01-01 00:00:00"}});
    }
    // Leading empty lines, or a first line of no known format, do not hide the items after them.
    EXPECT_EQ(parseStandard("\n\nTOTAL 4\n\n-rw-r--r-- 1 a b 1 Jan  1  2000 f\n").size(), 3u);
    EXPECT_EQ(parseStandard("Welcome to the server\n-rw-r--r-- 1 a b 1 Jan 1 2000 f\n").size(), 3u);
}

TEST(RemoteListParse, NamesThatAreNoVariableNamesAreKept) {
    const OrbVariableArray list =
        parseStandard("-rw-r--r-- 1 a b 1 Jan  1  2000 it's \"quoted\" {x}\n-rw-r--r-- 1 a b 2 Jan  1  2000 a;b $c\n");
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.variableArray()[2].name(), u"it's \"quoted\" {x}");
    EXPECT_EQ(list.variableArray()[3].name(), u"a;b $c");
}

TEST(RemoteListParse, OutputListIsReplaced) {
    OrbVariableArray list;
    parseStandardList(receivedLines(readSample("os400.txt")), list, kCaptured);
    parseStandardList(receivedLines(readSample("mac-classic.txt")), list, kCaptured);
    EXPECT_EQ(list.size(), 5u);
    parseMachineList(receivedLines("type=file; only\n"), list);
    EXPECT_EQ(list.size(), 3u);
}

// Each LIST format alone, on the sample lines above its reader: every format is in the table, and
// each reads its own lines ("name type size", the dot entries aside).
TEST(RemoteListParse, EachFormatAloneReadsItsOwnLines) {
    const struct {
        const char* format;
        const char* lines;
        std::vector<std::string> items;
    } kCases[] = {
        {"EPLF",
         "+i8388621.29609,m824255902,/,\tdev\n+i8388621.44468,m839956783,r,s10376,\tRFCEPLF\n",
         {"dev dir 0", "RFCEPLF file 10376"}},
        {"Unix",
         "drwxr-xr-x   2 anna     staff        4096 Mar  5 14:02 docs\n"
         "lrwxrwxrwx   1 root     root           10 Nov 20 14:02 link -> readme.txt\n",
         {"docs dir 4096", "link symlink 10"}},
        {"VMS",
         "LOGIN.COM;2                1/3          5-MAR-2024 14:02:11  [STAFF,ANNA]    (RWED,RWED,RE,)\n"
         "MAIL.DIR;1                 2/3         12-JAN-2023 09:00     [STAFF,ANNA]    (RWE,RWE,,)\n",
         {"LOGIN.COM file 512", "MAIL.DIR dir 1024"}},
        {"MS-DOS",
         "03-05-17  02:15PM       <DIR>          My Folder\n11-30-2023  12:30AM              1,024 night.txt\n",
         {"My Folder dir 0", "night.txt file 1024"}},
        {"Windows CE",
         "Sun Mar 05 14:02:11 2023       <DIR>  Documents\nTue Nov 30 09:15:00 2021        1,234  read me.txt\n",
         {"Documents dir 0", "read me.txt file 1234"}},
        {"OS/2",
         "       0           DIR   03-05-24  14:02  SUBDIR\n    1234      A          01-06-80  00:00  CONFIG.SYS\n",
         {"SUBDIR dir 0", "CONFIG.SYS file 1234"}},
        {"OS/400",
         "QSYS           77824 02/23/00 15:09:55 *DIR       QDOC/\n"
         "ANNA            4096 05.03.24 14.02.11 *STMF      my report.txt\n",
         {"QDOC dir 77824", "my report.txt file 4096"}},
        {"MVS data sets",
         "Volume Unit    Referred Ext Used Recfm Lrecl BlkSz Dsorg Dsname\n"
         "WORK01 3390   2024/03/05  1   15  FB      80 27920  PO  ANNA.JCL\n"
         "Migrated                                                ANNA.OLD.DATA\n",
         {"ANNA.JCL dir 0", "ANNA.OLD.DATA file 0"}},
        {"MVS members",
         " Name     VV.MM   Created       Changed      Size  Init   Mod   Id\n"
         "ALPHA     01.03 2023/01/05 2024/03/05 14:02    12    10     0 ANNA\nLOADMOD\n",
         {"ALPHA file 0", "LOADMOD file 0"}},
    };
    std::vector<std::string> tested;
    for (const auto& c : kCases) {
        tested.push_back(c.format);
        OrbVariableArray list;
        parseListAs(c.format, receivedLines(c.lines), list, kCaptured);
        std::vector<std::string> items;
        for (const OrbVariable& record : list) {
            if (record.name() == u"." || record.name() == u"..") continue;
            items.push_back(ucstringToUTF8String(record.name()) + " " +
                            ucstringToUTF8String(member(record, u"Type")->stringValue()) + " " +
                            std::to_string(member(record, u"Size")->integerValue()));
        }
        EXPECT_EQ(items, c.items) << c.format;
    }
    EXPECT_EQ(listFormatNames(), tested);
}
