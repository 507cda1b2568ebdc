// Both listing parsers on arbitrary bytes, split into lines as the receive callback does. Checks:
// every non-blank line becomes one record (MLSD: every non-empty line), "." and ".." are always
// there, and every record is well formed and prints as the list functions show it.
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

size_t nonEmptyLines(const stringlist& lines, bool blankIsEmpty) {
    size_t n = 0;
    for (const std::string& line : lines) {
        if (blankIsEmpty ? !stringTrim(line).empty() : !line.empty()) ++n;
    }
    return n;
}

void checkRecords(const OrbVariableArray& list) {
    bool dot = false, dotDot = false;
    for (const OrbVariable& record : list) {
        check(record.type() == OrbVariable::kArray);
        check(record.arrayValue().size() == 3);
        ucstring type, size, date, time;
        listItemFields(record, type, size, date, time);
        check(type == u"file" || type == u"dir" || type == u"symlink" || type == u"unknown");
        check(date.size() == 10 && time.size() == 8);
        dot = dot || record.name() == u".";
        dotDot = dotDot || record.name() == u"..";
    }
    check(dot && dotDot);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    stringlist lines;
    stringlistAppendLines(lines, std::string_view(reinterpret_cast<const char*>(data), size));

    static const OrbDateTime kNow(boost::posix_time::ptime(boost::gregorian::date(2026, 1, 1)));
    OrbVariableArray list;
    parseStandardList(lines, list, kNow);
    checkRecords(list);
    // A listing of a known layout has one record per non-blank line, plus "." and ".." when
    // missing; anything else only those two. A leading total line is no record.
    check(list.size() <= nonEmptyLines(lines, true) + 2);

    parseMachineList(lines, list);
    checkRecords(list);
    const size_t items = nonEmptyLines(lines, false);
    check(list.size() >= items && list.size() <= items + 2);

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
