// Wildcards, the counting and item texts of the list functions, and the directory-tree walk.
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"
#include "functions/Function__RemoteList.h"

#include <gtest/gtest.h>

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include <map>

namespace {

namespace pt = boost::posix_time;
namespace gr = boost::gregorian;

OrbDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return OrbDateTime(
        pt::ptime(gr::date(year, month, day), pt::hours(hour) + pt::minutes(minute) + pt::seconds(second)));
}

using Items = std::vector<RemoteItem>;

// ".", "..", then a few files and a folder, as a server's MLSD gives them.
Items sampleList() {
    Items list;
    parseMachineList(stringlistSplitStringByLines("type=file;size=10;modify=20240305141516; a.txt\n"
                                                  "type=file;size=2048;modify=19991231235959; B.TXT\n"
                                                  "type=dir;modify=20200101080000; Docs\n"
                                                  "type=file;size=3; abc\n"
                                                  "type=file;size=4; abcd\n"),
                     list);
    return list;
}

template <class List>
ucstring getItem(const List& list, const ucstring& which, int32_t& position, const ucstring& wildcard = ucstring(),
                 const ucstring& location = u"Remote") {
    ListItemRequest request;
    request.location = location;
    request.which = which;
    request.wildcard = wildcard;
    ucstring result;
    const ucstring error = listGetItem(list, request, position, result);
    EXPECT_EQ(error, u"");
    return result;
}

ucstring itemText(const char16_t* type, const char16_t* name, const char16_t* size, const char16_t* date,
                  const char16_t* time, const char16_t* location = u"Remote") {
    return ucstring(u"Location=") + location + u"\rType=" + type + u"\rFileName=" + name + u"\rFileSize=" + size +
           u"\rFileDate=" + date + u"\rFileTime=" + time;
}

}  // namespace

// ---- Wildcards ---------------------------------------------------------------------------------

TEST(RemoteListWildcard, ConvertsToAnAnchoredUpperCaseExpression) {
    EXPECT_EQ(convertWildcardToRegEx(u" *.txt "), u"^.*\\.TXT");
    EXPECT_EQ(convertWildcardToRegEx(u"a?c"), u"^A.C");
    EXPECT_EQ(convertWildcardToRegEx(u"report-2024*.?sv"), u"^REPORT-2024.*\\..SV");
    EXPECT_EQ(convertWildcardToRegEx(u"[ab]*"), u"^[AB].*");  // other characters pass through
    EXPECT_EQ(convertWildcardToRegEx(u""), u"");
    EXPECT_EQ(convertWildcardToRegEx(u" \t "), u"");
}

TEST(RemoteListWildcard, MatchesWholeNamesWithoutRegardToCase) {
    ucStringRegEx matcher;
    bool active = false;
    ASSERT_EQ(listCompileWildcard(u"*.TXT", matcher, active), u"");
    EXPECT_TRUE(active);
    EXPECT_TRUE(listWildcardMatches(matcher, u"a.txt"));
    EXPECT_TRUE(listWildcardMatches(matcher, u"B.TXT"));
    EXPECT_FALSE(listWildcardMatches(matcher, u"a.txt.bak"));
    EXPECT_FALSE(listWildcardMatches(matcher, u"atxt"));  // "." is a dot, not any character

    ASSERT_EQ(listCompileWildcard(u"a?c", matcher, active), u"");
    EXPECT_TRUE(listWildcardMatches(matcher, u"abc"));
    EXPECT_TRUE(listWildcardMatches(matcher, u"A\u00E9C"));
    EXPECT_FALSE(listWildcardMatches(matcher, u"abcd"));
    EXPECT_FALSE(listWildcardMatches(matcher, u"ac"));

    ASSERT_EQ(listCompileWildcard(u"  ", matcher, active), u"");
    EXPECT_FALSE(active);
}

TEST(RemoteListWildcard, ReportsExpressionsThatDoNotCompile) {
    ucStringRegEx matcher;
    bool active = true;
    const ucstring error = listCompileWildcard(u"[a*", matcher, active);
    EXPECT_FALSE(active);
    const ucstring prefix = u"Could not compile wildcard regular expression: ^[A.*; Error: ";
    ASSERT_GT(error.size(), prefix.size());
    EXPECT_EQ(error.substr(0, prefix.size()), prefix);
    ucStringRegEx direct;
    EXPECT_EQ(error.substr(prefix.size()), direct.setExpression(u"^[A.*"));  // the compiler's own message
}

// ---- Counting ----------------------------------------------------------------------------------

TEST(RemoteListCount, CountsRecordsThatMatch) {
    const Items list = sampleList();
    int64_t count = -1;
    EXPECT_EQ(listItemCount(list, u"", count), u"");
    EXPECT_EQ(count, 7);  // "." and ".." included
    EXPECT_EQ(listItemCount(list, u"*.txt", count), u"");
    EXPECT_EQ(count, 2);
    EXPECT_EQ(listItemCount(list, u"a?c", count), u"");
    EXPECT_EQ(count, 1);
    EXPECT_EQ(listItemCount(list, u"*", count), u"");
    EXPECT_EQ(count, 7);
    EXPECT_EQ(listItemCount(list, u"nothing*", count), u"");
    EXPECT_EQ(count, 0);

    const ucstring error = listItemCount(list, u"(", count);
    EXPECT_EQ(error.rfind(u"Could not compile wildcard regular expression: ^(; Error: ", 0), 0u);
    EXPECT_EQ(count, 0);

    const Items empty;
    EXPECT_EQ(listItemCount(empty, u"", count), u"");
    EXPECT_EQ(count, 0);
}

// ---- Items -------------------------------------------------------------------------------------

TEST(RemoteListItem, WhichMustBeGiven) {
    EXPECT_EQ(listValidateWhich(u"  "), u"You must specify which list item to retrieve. ('Which' parameter).");
    EXPECT_EQ(listValidateWhich(u"first"), u"");
    ListItemRequest request;
    request.location = u"Remote";
    int32_t position = 3;
    ucstring result = u"old";
    EXPECT_EQ(listGetItem(sampleList(), request, position, result),
              u"You must specify which list item to retrieve. ('Which' parameter).");
    EXPECT_EQ(result, u"");
    EXPECT_EQ(position, 3);
}

TEST(RemoteListItem, FirstNextAndNumbers) {
    const Items list = sampleList();
    int32_t position = 0;
    EXPECT_EQ(getItem(list, u"FIRST", position), itemText(u"dir", u".", u"0", u"01/01/2000", u"00:00:00"));
    EXPECT_EQ(position, 1);
    EXPECT_EQ(getItem(list, u" next ", position), itemText(u"dir", u"..", u"0", u"01/01/2000", u"00:00:00"));
    EXPECT_EQ(getItem(list, u"Next", position), itemText(u"file", u"a.txt", u"10", u"03/05/2024", u"14:15:16"));
    EXPECT_EQ(position, 3);
    EXPECT_EQ(getItem(list, u"5", position), itemText(u"dir", u"Docs", u"0", u"01/01/2020", u"08:00:00"));
    EXPECT_EQ(position, 5);
    EXPECT_EQ(getItem(list, u"next", position), itemText(u"file", u"abc", u"3", u"01/01/2000", u"00:00:00"));
    EXPECT_EQ(getItem(list, u"7", position), itemText(u"file", u"abcd", u"4", u"01/01/2000", u"00:00:00"));

    // Past the end: empty, and the next NEXT starts over.
    EXPECT_EQ(getItem(list, u"NEXT", position), u"");
    EXPECT_EQ(position, 0);
    EXPECT_EQ(getItem(list, u"NEXT", position), itemText(u"dir", u".", u"0", u"01/01/2000", u"00:00:00"));
    EXPECT_EQ(position, 1);

    // Numbers out of range, zero and words that are no number give nothing and reset.
    for (const char16_t* which : {u"8", u"0", u"-1", u"LAST"}) {
        position = 4;
        EXPECT_EQ(getItem(list, which, position), u"") << ucstringToUTF8String(which);
        EXPECT_EQ(position, 0);
    }
}

TEST(RemoteListItem, PositionsCountOnlyMatchingRecords) {
    const Items list = sampleList();
    int32_t position = 0;
    EXPECT_EQ(getItem(list, u"first", position, u"*.TXT"),
              itemText(u"file", u"a.txt", u"10", u"03/05/2024", u"14:15:16"));
    EXPECT_EQ(getItem(list, u"next", position, u"*.TXT"),
              itemText(u"file", u"B.TXT", u"2048", u"12/31/1999", u"23:59:59"));
    EXPECT_EQ(position, 2);
    EXPECT_EQ(getItem(list, u"next", position, u"*.TXT"), u"");
    EXPECT_EQ(getItem(list, u"1", position, u"a?c"), itemText(u"file", u"abc", u"3", u"01/01/2000", u"00:00:00"));
    EXPECT_EQ(getItem(list, u"2", position, u"a?c"), u"");
    position = 0;
    EXPECT_EQ(getItem(list, u"FIRST", position, u"zzz*"), u"");
    EXPECT_EQ(position, 0);

    ListItemRequest request;
    request.location = u"Remote";
    request.which = u"FIRST";
    request.wildcard = u"a[";
    ucstring result;
    position = 2;
    EXPECT_EQ(listGetItem(list, request, position, result)
                  .rfind(u"Could not compile wildcard regular expression: ^A[; Error: ", 0),
              0u);
    EXPECT_EQ(result, u"");
    EXPECT_EQ(position, 2);
}

TEST(RemoteListItem, AllRowsWithDefaultAndOwnSeparators) {
    const Items list = sampleList();
    int32_t position = 4;
    EXPECT_EQ(getItem(list, u"all", position, u"*.txt"),
              u"Remote||file||a.txt||10||03/05/2024||14:15:16\r"
              u"Remote||file||B.TXT||2048||12/31/1999||23:59:59\r");
    EXPECT_EQ(position, 4);  // ALL does not move the position

    ListItemRequest request;
    request.location = u"Local";
    request.which = u"ALL";
    request.wildcard = u"a*";
    request.fieldSeparator = u"\t";
    request.rowSeparator = u"\n";
    ucstring result;
    EXPECT_EQ(listGetItem(list, request, position, result), u"");
    EXPECT_EQ(result,
              u"Local\tfile\ta.txt\t10\t03/05/2024\t14:15:16\n"
              u"Local\tfile\tabc\t3\t01/01/2000\t00:00:00\n"
              u"Local\tfile\tabcd\t4\t01/01/2000\t00:00:00\n");

    request.wildcard = u"none*";
    EXPECT_EQ(listGetItem(list, request, position, result), u"");
    EXPECT_EQ(result, u"");
}

TEST(RemoteListItem, LocalLocationAndFieldDefaults) {
    OrbVariableArray list;
    ucstring error;
    // A record without any member, one with an empty type, and an entry that is no record.
    OrbVariableArray bare;
    list.addArrayVariable(error, u"bare", bare);
    OrbVariableArray typed;
    typed.addStringVariable(error, u"Type", u"");
    typed.addIntegerVariable(error, u"Size", 1234567890123);
    typed.addTimestampVariable(error, u"ModDate", at(1987, 6, 5, 4, 3, 2));
    list.addArrayVariable(error, u"typed", typed);
    list.addStringVariable(error, u"stray", u"text");

    int32_t position = 0;
    EXPECT_EQ(getItem(list, u"1", position, u"", u"Local"),
              itemText(u"unknown", u"bare", u"0", u"01/01/2000", u"00:00:00", u"Local"));
    EXPECT_EQ(getItem(list, u"2", position, u"", u"Local"),
              itemText(u"unknown", u"typed", u"1234567890123", u"06/05/1987", u"04:03:02", u"Local"));
    EXPECT_EQ(getItem(list, u"3", position, u"", u"Local"), u"");  // the stray entry is no record
    int64_t count = 0;
    EXPECT_EQ(listItemCount(list, u"", count), u"");
    EXPECT_EQ(count, 2);
}

// ---- Directory trees ---------------------------------------------------------------------------

namespace {

// A server's folders as MLSD texts.
struct FakeServer {
    std::map<ucstring, std::string> folders;
    std::vector<ucstring> listed;

    ListDirectoryFunction lister() {
        return [this](const ucstring& directory, Items& list) -> ucstring {
            listed.push_back(directory);
            const auto it = folders.find(directory);
            if (it == folders.end()) return u"Error getting list; Server response: 550 " + directory;
            parseMachineList(stringlistSplitStringByLines(it->second), list);
            return ucstring();
        };
    }
};

FakeServer treeServer() {
    FakeServer server;
    server.folders[u"/"] = "type=cdir; /\ntype=file;size=1; top.txt\ntype=dir; a\ntype=dir; b\n";
    server.folders[u"/a"] = "type=file;size=2; a1.txt\ntype=dir; deep\n";
    server.folders[u"/a/deep"] = "type=pdir; ..\ntype=file;size=3; d.txt\n";
    server.folders[u"/b"] = "";
    return server;
}

const RemoteItem* child(const Items& items, const char16_t* name) {
    for (const RemoteItem& item : items) {
        if (item.name == name) return &item;
    }
    return nullptr;
}

// The items the walk gave a folder; null when it did not go into it.
const Items* itemsOf(const RemoteItem* item) { return item && item->walked ? &item->items : nullptr; }

}  // namespace

TEST(RemoteListTree, ListsEveryLevelWithoutLimit) {
    FakeServer server = treeServer();
    ListRemoteHelperContext context;
    context.directory = u"/";
    listRemoteHelper(context, server.lister());
    EXPECT_EQ(context.error, u"");
    EXPECT_EQ(context.currentDepth, 0);
    EXPECT_EQ(server.listed, (std::vector<ucstring>{u"/", u"/a", u"/a/deep", u"/b"}));

    ASSERT_EQ(context.items.size(), 5u);  // ".", "..", top.txt, a, b
    EXPECT_EQ(itemsOf(child(context.items, u".")), nullptr);
    EXPECT_EQ(itemsOf(child(context.items, u"top.txt")), nullptr);
    const Items* a = itemsOf(child(context.items, u"a"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->size(), 4u);
    const Items* deep = itemsOf(child(*a, u"deep"));
    ASSERT_NE(deep, nullptr);
    ASSERT_NE(child(*deep, u"d.txt"), nullptr);
    EXPECT_EQ(child(*deep, u"d.txt")->size, 3);
    const Items* b = itemsOf(child(context.items, u"b"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->size(), 2u);  // only "." and ".."
}

TEST(RemoteListTree, DepthLimitStopsTheWalk) {
    FakeServer server = treeServer();
    ListRemoteHelperContext context;
    context.directory = u"/";
    context.maxDepth = 1;
    listRemoteHelper(context, server.lister());
    EXPECT_EQ(context.error, u"");
    EXPECT_EQ(server.listed, std::vector<ucstring>{u"/"});
    const Items* a = itemsOf(child(context.items, u"a"));
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->empty());

    server.listed.clear();
    context = ListRemoteHelperContext();
    context.directory = u"/";
    context.maxDepth = 2;
    listRemoteHelper(context, server.lister());
    EXPECT_EQ(server.listed, (std::vector<ucstring>{u"/", u"/a", u"/b"}));
    EXPECT_EQ(context.currentDepth, 0);
}

TEST(RemoteListTree, FirstErrorStopsTheWalk) {
    FakeServer server = treeServer();
    server.folders.erase(u"/a/deep");
    ListRemoteHelperContext context;
    context.directory = u"/";
    listRemoteHelper(context, server.lister());
    EXPECT_EQ(context.error, u"Error getting list; Server response: 550 /a/deep");
    EXPECT_EQ(server.listed, (std::vector<ucstring>{u"/", u"/a", u"/a/deep"}));  // "/b" is never listed
    EXPECT_EQ(context.currentDepth, 0);

    // A folder below the top joins its names with one "/".
    server = treeServer();
    server.folders[u"/pub/a"] = "type=file; x\n";
    server.folders[u"/pub"] = "type=dir; a\n";
    context = ListRemoteHelperContext();
    context.directory = u"/pub";
    listRemoteHelper(context, server.lister());
    EXPECT_EQ(context.error, u"");
    EXPECT_EQ(server.listed, (std::vector<ucstring>{u"/pub", u"/pub/a"}));
}
