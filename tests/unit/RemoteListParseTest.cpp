// The listing parsers on what real servers sent (ProFTPD MLSD and LIST, pyftpdlib LIST, libcurl's
// SFTP listing) and on hand-made listings of every format they read.
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"
#include "remote/ListFormats.h"

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

using Items = std::vector<RemoteItem>;

std::string typeOf(const RemoteItem& item) { return ucstringToUTF8String(remoteItemTypeText(item.type)); }

// An item with the same name, or null.
const RemoteItem* named(const Items& list, const ucstring& name) {
    for (const RemoteItem& item : list) {
        if (item.name == name) return &item;
    }
    return nullptr;
}

void expectRecords(const Items& list, const std::vector<Expected>& expected) {
    ASSERT_EQ(list.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i) + " " + expected[i].name);
        const RemoteItem& item = list[i];
        EXPECT_EQ(item.name, ucstringFromUTF8String(expected[i].name));
        // Only a link's line says where it leads; a parser adds nothing a walk would.
        if (!item.target.empty()) {
            EXPECT_EQ(item.type, RemoteItemType::kSymlink);
        }
        EXPECT_EQ(item.resolved, RemoteItemResolved::kNotAsked);
        EXPECT_FALSE(item.walked);
        EXPECT_TRUE(item.items.empty());
        EXPECT_EQ(typeOf(item), expected[i].type);
        EXPECT_EQ(item.size, expected[i].size);
        EXPECT_EQ(stamp(item.modDate), std::string(expected[i].modified) + ".000");
    }
}

Items parseStandard(const std::string& text, const OrbDateTime& now = kCaptured) {
    Items list;
    parseStandardList(receivedLines(text), list, now);
    return list;
}

Items parseMachine(const std::string& text) {
    Items list;
    parseMachineList(receivedLines(text), list);
    return list;
}

}  // namespace

// ---- Captured listings -------------------------------------------------------------------------

TEST(RemoteListParse, ProFTPDMachineListKeepsOrderNamesAndFacts) {
    const Items list = parseMachine(readSample("proftpd-mlsd.txt"));
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
    const Items list = parseStandard(readSample("proftpd-list.txt"));
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
    EXPECT_EQ(list[5].target, u"does-not-exist");
    EXPECT_EQ(list[6].target, u"readme.txt");
}

TEST(RemoteListParse, ListOnlyServerWithoutDotEntriesGetsThemInFront) {
    const Items list = parseStandard(readSample("pyftpdlib-list.txt"));
    ASSERT_EQ(list.size(), 13u);
    expectRecords(list, [] {
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
    const Items list = parseStandard(readSample("sftp-list.txt"));
    ASSERT_EQ(list.size(), 13u);
    EXPECT_EQ(list[0].name, u"readme.txt");
    EXPECT_EQ(list[4].name, u".");
    EXPECT_EQ(list[10].name, u"..");
    const RemoteItem* dangling = named(list, u"dangling");
    ASSERT_TRUE(dangling);
    EXPECT_EQ(dangling->type, RemoteItemType::kSymlink);

    // The same folder over FTP and SFTP gives the same items.
    const Items ftp = parseStandard(readSample("proftpd-list.txt"));
    for (const RemoteItem& item : ftp) {
        const RemoteItem* same = named(list, item.name);
        ASSERT_TRUE(same) << ucstringToUTF8String(item.name);
        EXPECT_EQ(same->size, item.size);
        EXPECT_EQ(same->type, item.type);
    }
}

TEST(RemoteListParse, SubfolderListingsAgreeBetweenFormats) {
    const Items machine = parseMachine(readSample("proftpd-mlsd-subfolder.txt"));
    const Items unix = parseStandard(readSample("proftpd-list-subfolder.txt"));
    const Items sftp = parseStandard(readSample("sftp-list-subfolder.txt"));
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
        Items whole, pieces;
        for (size_t piece : {size_t(0), size_t(1), size_t(7)}) {
            Items& out = piece == 0 ? whole : pieces;
            if (machine) {
                parseMachineList(receivedLines(data, piece), out);
            } else {
                parseStandardList(receivedLines(data, piece), out, kCaptured);
            }
            if (piece == 0) continue;
            EXPECT_TRUE(whole == pieces) << "pieces of " << piece;
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
        Items list;
        ListRawNames rawNames;
        if (format.rfind("mlsd", 0) == 0) {
            parseMachineList(lines, list, &rawNames);
        } else {
            parseStandardList(lines, list, kCaptured, &rawNames);
        }
        std::string records;
        for (const RemoteItem& item : list) {
            const auto raw = rawNames.find(item.name);
            const std::string modified = stamp(item.modDate);
            records += typeOf(item) + "\t" + std::to_string(item.size) + "\t" +
                       modified.substr(0, modified.size() - 4) + "\t" +
                       (raw != rawNames.end() ? raw->second : ucstringToUTF8String(item.name)) + "\n";
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
        const RemoteItem info = listItemInfoFromFactLine(stringTrimLeft(reply[1]));
        EXPECT_EQ(info.name, name);
        EXPECT_EQ(remoteItemTypeText(info.type), ucstring(type));
        EXPECT_EQ(info.size, size);
        EXPECT_EQ(stamp(info.modDate), "2026-11-20 14:02:00.000");
    }
}

TEST(RemoteListParse, FactLinesFollowTheirOwnRules) {
    RemoteItem f;
    // Fact names in any case; types lower-cased.
    listParseFactLine("Type=FILE;SIZE=42;Modify=19991231235958; x.txt", f);
    EXPECT_EQ(f.name, u"x.txt");
    EXPECT_EQ(f.type, RemoteItemType::kFile);
    EXPECT_EQ(f.size, 42);
    EXPECT_EQ(stamp(f.modDate), "1999-12-31 23:59:58.000");

    // A fraction of a second is no part of the time; the name keeps its inner blanks.
    listParseFactLine("type=dir;modify=20240229120000.123; my  folder ", f);
    EXPECT_EQ(f.name, u"my  folder ");
    EXPECT_EQ(f.type, RemoteItemType::kFolder);
    EXPECT_EQ(f.size, 0);
    EXPECT_EQ(stamp(f.modDate), "2024-02-29 12:00:00.000");

    // "cdir" and "pdir" are "." and ".." whatever name the server gave.
    listParseFactLine("type=cdir;modify=20200101000000; /home/anna", f);
    EXPECT_EQ(f.name, u".");
    EXPECT_EQ(f.type, RemoteItemType::kFolder);
    listParseFactLine("type=PDir; /home", f);
    EXPECT_EQ(f.name, u"..");

    // A link, a missing time and a missing name.
    listParseFactLine("type=OS.unix=slink:/tmp;size=3;", f);
    EXPECT_EQ(f.type, RemoteItemType::kSymlink);
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
    const Items list = parseMachine("type=file;size=1;modify=20240101101010; a.txt\r\n\r\ntype=dir; b\r\n");
    expectRecords(list, {{".", "dir", 0, "2000-01-01 00:00:00"},
                         {"..", "dir", 0, "2000-01-01 00:00:00"},
                         {"a.txt", "file", 1, "2024-01-01 10:10:10"},
                         {"b", "dir", 0, "2000-01-01 00:00:00"}});
    // Only ".." sent: "." goes in front of everything, ".." stays where it was.
    const Items partial = parseMachine("type=file; a\ntype=pdir; ..\n");
    ASSERT_EQ(partial.size(), 3u);
    EXPECT_EQ(partial[0].name, u".");
    EXPECT_EQ(partial[1].name, u"a");
    EXPECT_EQ(partial[2].name, u"..");
    // Nothing at all still gives the two.
    EXPECT_EQ(parseMachine("").size(), 2u);
}

// ---- LIST layouts ------------------------------------------------------------------------------

TEST(RemoteListParse, UnixLineOfTheCurrentYear) {
    const Items list =
        parseStandard("drwxr-xr-x   2 user     group        4096 Mar  5 14:02 docs\n", at(2026, 7, 1, 9));
    expectRecords(list, {{".", "dir", 0, "2000-01-01 00:00:00"},
                         {"..", "dir", 0, "2000-01-01 00:00:00"},
                         {"docs", "dir", 4096, "2026-03-05 14:02:00"}});
}

// Lines that are no listing lines are no items.
TEST(RemoteListParse, UnixTotalLineYearsAndStrayLines) {
    const Items list = parseStandard(readSample("unix-total.txt"));
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
    const Items list = parseStandard(lines, at(2027, 1, 5, 12));
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(stamp(list[2].modDate), "2026-12-31 23:00:00.000");
    EXPECT_EQ(stamp(list[3].modDate), "2027-01-01 00:30:00.000");
    EXPECT_EQ(stamp(list[4].modDate), "2027-01-06 12:00:00.000");
    EXPECT_EQ(stamp(list[5].modDate), "2026-01-07 12:00:00.000");
    // On the last day of a year nothing of that year lies ahead.
    const Items late = parseStandard(lines, at(2026, 12, 31, 20));
    EXPECT_EQ(stamp(late[2].modDate), "2026-12-31 23:00:00.000");
}

TEST(RemoteListParse, UnixYearColumn) {
    const auto yearOf = [](const char* column) {
        const Items list = parseStandard(std::string("-rw-r--r-- 1 a b 1 Jun 15 ") + column + " f\n");
        OrbDateTimeComponents c;
        list[2].modDate.decodeDate(c);
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
    const Items list = parseStandard("-rw-r--r-- 1 a b 1 Xyz 15 10:00 f\n-rw-r--r-- 1 a b 1 Nfe 15 10:00 g\n");
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(stamp(list[2].modDate), "2000-01-01 00:00:00.000");
    // Three letters that straddle two month names are no month either.
    EXPECT_EQ(stamp(list[3].modDate), "2000-01-01 00:00:00.000");
}

TEST(RemoteListParse, MSDosListing) {
    const Items list = parseStandard(readSample("msdos-iis.txt"));
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
    const Items list = parseStandard(
        "01-02-03  12:00AM  1 a\n01-02-03  12:59PM  2 b\n01-02-03  01:05AM  3 c\n01-02-03  11:05pm  4 d\n"
        "01-02-03  2:15PM  5 e\n");
    ASSERT_EQ(list.size(), 7u);
    const char* expected[] = {"2003-01-02 00:00:00.000", "2003-01-02 12:59:00.000", "2003-01-02 01:05:00.000",
                              "2003-01-02 23:05:00.000", "2003-01-02 14:15:00.000"};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(stamp(list[i + 2].modDate), expected[i]) << i;
}

TEST(RemoteListParse, ClassicMacListing) {
    const Items list = parseStandard(readSample("mac-classic.txt"));
    expectRecords(list, {
                            {".", "dir", 0, "2000-01-01 00:00:00"},
                            {"..", "dir", 0, "2000-01-01 00:00:00"},
                            {"network", "dir", 2, "1996-05-10 00:00:00"},
                            {"MegaPhone.sit", "file", 1392298, "1995-11-22 00:00:00"},
                            {"empty.txt", "file", 0, "2026-01-31 09:07:00"},
                        });
}

TEST(RemoteListParse, OS400Listing) {
    const Items list = parseStandard(readSample("os400.txt"));
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
    const Items list =
        parseStandard("-rw-r--r-- 1 a b 1 Jan  1  2000 it's \"quoted\" {x}\n-rw-r--r-- 1 a b 2 Jan  1  2000 a;b $c\n");
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[2].name, u"it's \"quoted\" {x}");
    EXPECT_EQ(list[3].name, u"a;b $c");
}

TEST(RemoteListParse, OutputListIsReplaced) {
    Items list;
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
        Items list;
        parseListAs(c.format, receivedLines(c.lines), list, kCaptured);
        std::vector<std::string> items;
        for (const RemoteItem& item : list) {
            if (item.name == u"." || item.name == u"..") continue;
            items.push_back(ucstringToUTF8String(item.name) + " " + typeOf(item) + " " + std::to_string(item.size));
        }
        EXPECT_EQ(items, c.items) << c.format;
    }
    EXPECT_EQ(listFormatNames(), tested);
}
