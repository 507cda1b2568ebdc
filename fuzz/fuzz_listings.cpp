// Both listing parsers on arbitrary bytes, split into lines as the receive callback does. Checks:
// no more records than lines with text (a line no format reads is no record), "." and ".." are
// always there, every record is well formed and prints as the list functions show it, and every
// name is bytes the server sent.
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"
#include "functions/Function__RemoteList.h"

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

size_t linesWithText(const stringlist& lines) {
    size_t n = 0;
    for (const std::string& line : lines) {
        if (!stringTrim(line).empty()) ++n;
    }
    return n;
}

void checkRecords(const std::vector<RemoteItem>& list, const ListRawNames& rawNames, std::string_view data) {
    bool dot = false, dotDot = false;
    for (const RemoteItem& item : list) {
        // Only a link's line says where it leads; a parser adds nothing a walk would.
        check(item.resolved == RemoteItemResolved::kNotAsked && !item.walked && item.items.empty());
        ucstring type, size, date, time;
        listItemFields(item, type, size, date, time);
        check(type == u"file" || type == u"dir" || type == u"symlink" || type == u"unknown");
        check(item.target.empty() || type == u"symlink");
        check(date.size() == 10 && time.size() == 8);
        check(!item.name.empty());
        dot = dot || item.name == u".";
        dotDot = dotDot || item.name == u"..";
        if (item.name == u"." || item.name == u"..") continue;
        const auto raw = rawNames.find(item.name);
        const std::string bytes = raw != rawNames.end() ? raw->second : ucstringToUTF8String(item.name);
        check(data.find(bytes) != std::string_view::npos);
    }
    check(dot && dotDot);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    stringlist lines;
    stringlistAppendLines(lines, text);
    const size_t items = linesWithText(lines);

    static const OrbDateTime kNow(boost::posix_time::ptime(boost::gregorian::date(2026, 1, 1)));
    std::vector<RemoteItem> list;
    ListRawNames rawNames;
    parseStandardList(lines, list, kNow, &rawNames);
    checkRecords(list, rawNames, text);
    check(list.size() <= items + 2);

    rawNames.clear();
    parseMachineList(lines, list, &rawNames);
    checkRecords(list, rawNames, text);
    check(list.size() <= items + 2);

    for (const std::string& line : lines) check(!listItemInfoFromFactLine(line).name.empty());

    int32_t position = 0;
    ucstring result;
    ListItemRequest request;
    request.location = u"Remote";
    request.which = u"ALL";
    check(listGetItem(list, request, position, result).empty());
    request.which = u"NEXT";
    check(listGetItem(list, request, position, result).empty());
    check(position == 1 && !result.empty());
    return 0;
}
