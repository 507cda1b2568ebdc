#include "Function__RemoteList.h"

#include "Orb_Debug.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include <algorithm>
#include <array>
#include <initializer_list>

namespace {

constexpr char16_t kNoName[] = u"<no name>";
constexpr char16_t kCR[] = u"\r";

using Results = StringRegEx::Results;

bool asciiEqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// strtol's reading of a piece of text: leading blanks and a sign, digits up to the first other
// character, 0 without digits.
int64_t numberFrom(std::string_view text) { return stringToInteger(std::string(text)); }

std::string_view pieceAt(std::string_view text, size_t pos, size_t length) {
    return pos < text.size() ? text.substr(pos, length) : std::string_view();
}

std::string_view group(const Results& results, size_t index) {
    if (index >= results.size() || !results[index].matched || results[index].length() == 0) return {};
    return std::string_view(&*results[index].first, static_cast<size_t>(results[index].length()));
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && charIsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && charIsSpace(s.back())) s.remove_suffix(1);
    return s;
}

// The parts of a modification time as a listing gives them; fields left alone keep the
// 2000-01-01 00:00:00 of a listing that gives none.
struct ListDate {
    int64_t year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// A date and time that names no real moment (an unknown month name, 31 February) is the
// default time rather than anything the clock happens to show.
OrbDateTime dateTimeFrom(const ListDate& d) {
    const auto inRange = [](int64_t v, int64_t lo, int64_t hi) { return v >= lo && v <= hi; };
    OrbDateTime result(listDefaultModDate().dateTime());
    if (!inRange(d.year, 0, 65535) || !inRange(d.month, 0, 65535) || !inRange(d.day, 0, 65535) ||
        !inRange(d.hour, 0, 65535) || !inRange(d.minute, 0, 65535) || !inRange(d.second, 0, 65535))
        return result;
    OrbDateTimeComponents c;
    c.year = static_cast<uint16_t>(d.year);
    c.month = static_cast<uint16_t>(d.month);
    c.day = static_cast<uint16_t>(d.day);
    c.hour = static_cast<uint16_t>(d.hour);
    c.minute = static_cast<uint16_t>(d.minute);
    c.second = static_cast<uint16_t>(d.second);
    if (!result.encodeDateTime(c)) result = OrbDateTime(listDefaultModDate().dateTime());
    return result;
}

// Fixed-position digits of "YYYYMMDDHHNNSS"; a field without all its digits keeps its default.
OrbDateTime dateTimeFromDigits(std::string_view text) {
    ListDate d;
    const auto field = [&](size_t pos, size_t length, int64_t& out) {
        if (pos + length > text.size()) return;
        int64_t v = 0;
        for (size_t i = pos; i < pos + length; ++i) {
            if (text[i] < '0' || text[i] > '9') return;
            v = v * 10 + (text[i] - '0');
        }
        out = v;
    };
    field(0, 4, d.year);
    field(4, 2, d.month);
    field(6, 2, d.day);
    field(8, 2, d.hour);
    field(10, 2, d.minute);
    field(12, 2, d.second);
    return dateTimeFrom(d);
}

// Month of a three-letter English name (any case) at the start of `text`; 0 when unknown.
int64_t monthFromName(std::string_view text) {
    static constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                            "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    if (text.size() < 3) return 0;
    for (size_t i = 0; i < kMonths.size(); ++i) {
        if (asciiEqualNoCase(text.substr(0, 3), kMonths[i])) return static_cast<int64_t>(i) + 1;
    }
    return 0;
}

// Month, day and year of the MS-DOS and OS/400 layouts: "MM-DD-YY" (any separators). Two-digit
// years up to 90 are 20xx, above 90 19xx; a four-digit year is taken as it stands.
void readNumericDate(std::string_view date, ListDate& d) {
    d.month = numberFrom(pieceAt(date, 0, 2));
    d.day = numberFrom(pieceAt(date, 3, 2));
    const std::string_view year4 = pieceAt(date, 6, 4);
    if (year4.size() == 4 && std::all_of(year4.begin(), year4.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        d.year = numberFrom(year4);
        return;
    }
    const int64_t year = numberFrom(pieceAt(date, 6, 2));
    d.year = year <= 90 ? 2000 + year : 1900 + year;
}

// The year column of a Unix line.
int64_t unixYear(int64_t year) {
    if (year < 90) return 2000 + year;
    if (year < 100) return 1900 + year;
    if (year < 1000) return 1000 + year;
    return year;
}

enum class Layout { kUnix, kMSDos, kMac, kOS400, kNone };

struct LayoutExpression {
    Layout layout;
    const char* expression;
    const char* failure;
};

constexpr std::array<LayoutExpression, 4> kLayouts = {{
    {Layout::kUnix, "^(.)[-rwxst]* +[^ ]+ +[^ ]+ +[^ ]* +([0-9]+) +([a-zA-Z0-9]+ +[a-zA-Z0-9]+) +([0-9:]+) +(.*)$",
     "Could not set Unix regex: "},
    {Layout::kMSDos, "^([-0-9]+) +([0-9:APMapm]+) +([0-9<DIRdir>]+) +(.*)$", "Could not set MSDos regex: "},
    {Layout::kMac, "^(.)[-rwxst]+ +[0-9folderFOLDER]+ +[0-9]* +([0-9]+) +([a-zA-Z]+ +[0-9]+) +([0-9:]+) +(.*)$",
     "Could not set MacOS regex: "},
    {Layout::kOS400, "^[^ ]+ +([0-9]*) +([^ ]*) +([^ ]*) +(\\*[^ ]+) +([^ ]+/?) *$", "Could not set OS400 regex: "},
}};

// What a Unix line's time column is measured against: this year, and the latest day of it that
// a file can carry (tomorrow, allowing for the server's time zone).
struct ListToday {
    int64_t year = 2000, latestMonth = 12, latestDay = 31;
};

ListToday listTodayFrom(const OrbDateTime& now) {
    ListToday today;
    OrbDateTimeComponents c;
    now.decodeDate(c);
    today.year = c.year;
    const OrbDateTime tomorrow(now.dateTime() + boost::gregorian::days(1));
    tomorrow.decodeDate(c);
    if (c.year == today.year) {
        today.latestMonth = c.month;
        today.latestDay = c.day;
    }
    return today;
}

bool isBlankLine(const std::string& line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return charIsSpace(c); });
}

// One LIST line's item before it becomes a record.
struct ListEntry {
    std::string_view type;
    int64_t size = 0;
    std::string_view name;
    ListDate date;
};

void readUnixOrMac(const Results& r, const ListToday& today, ListEntry& e) {
    switch (asciiLower(group(r, 1).empty() ? '\0' : group(r, 1)[0])) {
        case 'd': e.type = "dir"; break;
        case '-': e.type = "file"; break;
        case 'l': e.type = "symlink"; break;
        default: break;
    }
    e.size = numberFrom(group(r, 2));
    e.name = group(r, 5);

    // "5 Mar" (day first) reads as "Mar 5".
    std::string_view date = group(r, 3);
    std::string swapped;
    if (!date.empty() && date[0] >= '0' && date[0] <= '9') {
        const size_t blank = date.find(' ');
        if (blank != std::string_view::npos) {
            swapped.assign(trimBlanks(date.substr(blank)));
            swapped += ' ';
            swapped.append(date.substr(0, blank));
            date = swapped;
        }
    }
    e.date.month = monthFromName(date);
    e.date.day = numberFrom(pieceAt(date, 4, 2));
    if (e.date.day <= 0) e.date.day = 1;

    const std::string_view timeOrYear = group(r, 4);
    const size_t colon = timeOrYear.find(':');
    if (colon == std::string_view::npos) {
        e.date.year = unixYear(numberFrom(timeOrYear));
        return;
    }
    e.date.hour = numberFrom(timeOrYear.substr(0, colon));
    e.date.minute = numberFrom(pieceAt(timeOrYear, colon + 1, 2));
    // ls shows the time instead of the year for the last six months, so a date later than this
    // year allows lies in the year before.
    e.date.year = today.year;
    if (e.date.month > today.latestMonth || (e.date.month == today.latestMonth && e.date.day > today.latestDay))
        --e.date.year;
}

void readMSDos(const Results& r, ListEntry& e) {
    readNumericDate(group(r, 1), e.date);

    // "02:15PM": the hour before the colon, two digits of minutes, then AM or PM when given.
    const std::string_view time = group(r, 2);
    const size_t colon = time.find(':');
    e.date.hour = numberFrom(time.substr(0, colon));
    if (colon != std::string_view::npos) {
        e.date.minute = numberFrom(pieceAt(time, colon + 1, 2));
        const std::string_view suffix = pieceAt(time, colon + 3, 1);
        const char half = suffix.empty() ? '\0' : static_cast<char>(suffix[0] & ~0x20);
        if (half == 'A' || half == 'P') {
            if (e.date.hour == 0) e.date.hour = 12;
            if (half == 'A' && e.date.hour == 12) e.date.hour = 0;
            if (half == 'P' && e.date.hour != 12) e.date.hour += 12;
        }
    }

    const std::string_view marker = group(r, 3);
    if (asciiEqualNoCase(marker, "<DIR>")) {
        e.type = "dir";
        e.size = 0;
    } else {
        e.type = "file";
        e.size = numberFrom(marker);
    }
    e.name = group(r, 4);
}

void readOS400(const Results& r, ListEntry& e) {
    e.size = numberFrom(group(r, 1));
    readNumericDate(group(r, 2), e.date);
    const std::string_view time = group(r, 3);
    e.date.hour = numberFrom(pieceAt(time, 0, 2));
    e.date.minute = numberFrom(pieceAt(time, 3, 2));
    e.date.second = numberFrom(pieceAt(time, 6, 2));
    e.type = asciiEqualNoCase(group(r, 4), "*DIR") ? "dir" : "file";
    e.name = group(r, 5);
    if (!e.name.empty() && e.name.back() == '/') e.name.remove_suffix(1);
}

// Puts ".." and then "." in front unless the listing had them.
void fixUpDotEntries(OrbVariableArray& list, bool sawDot, bool sawDotDot) {
    OrbVariableArray::Variables& items = list.mutableVariableArray();
    const auto insertFront = [&](const ucstring& name) {
        OrbVariableArray one;
        listAddItemRecord(one, name, u"dir", 0, listDefaultModDate());
        items.insert(items.begin(), std::move(one.mutableVariableArray().front()));
    };
    if (!sawDotDot) insertFront(u"..");
    if (!sawDot) insertFront(u".");
}

void noteDotEntry(const ucstring& name, bool& sawDot, bool& sawDotDot) {
    if (name == u".") sawDot = true;
    if (name == u"..") sawDotDot = true;
}

const OrbVariable* member(const OrbVariable& record, const char16_t* name) {
    const OrbVariable* found = nullptr;
    record.arrayValue().variableWithName(name, found);
    return found;
}

bool isRecord(const OrbVariable& v) { return v.type() == OrbVariable::kArray; }

}  // namespace

// ---- Item records ------------------------------------------------------------------------------

const OrbDateTime& listDefaultModDate() {
    static const OrbDateTime kDefault(boost::posix_time::ptime(boost::gregorian::date(2000, 1, 1)));
    return kDefault;
}

void listAddItemRecord(OrbVariableArray& list, const ucstring& name, const ucstring& type, int64_t size,
                       const OrbDateTime& modDate) {
    // Copied from a finished record rather than built: a new variable reads the clock, which
    // costs more than the whole copy on long listings.
    static const OrbVariable kPrototype = [] {
        OrbVariable record;
        record.setType(OrbVariable::kArray);
        OrbVariableArray::Variables& members = record.mutableArrayValue().mutableVariableArray();
        members.reserve(3);
        members.emplace_back(u"Type");
        members.emplace_back(u"Size");
        members.emplace_back(u"ModDate");
        return record;
    }();
    // Added without the name checks of variables: file names may hold characters ("$", ";",
    // quotes) that are no variable names elsewhere, and an item is never to be lost for its name.
    OrbVariableArray::Variables& items = list.mutableVariableArray();
    items.push_back(kPrototype);
    OrbVariable& record = items.back();
    record.setNameAsIs(name);
    OrbVariableArray::Variables& members = record.mutableArrayValue().mutableVariableArray();
    members[0].setStringValue(type);
    members[1].setIntegerValue(size);
    members[2].setTimestampValue(modDate);
}

ucstring listNameFromBytes(std::string_view bytes, ListRawNames* rawNames) {
    size_t substitutions = 0;
    ucstring name = ucstringFromUTF8String(bytes, &substitutions);
    if (substitutions == 0) return name;
    name.clear();
    for (const unsigned char byte : bytes) name.push_back(byte);
    if (rawNames) (*rawNames)[name] = std::string(bytes);
    return name;
}

void listParseFactLine(std::string_view line, ListItemFacts& facts, ListRawNames* rawNames) {
    const size_t blank = line.find(' ');
    const std::string_view factText = line.substr(0, blank);
    const std::string_view name = blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);

    std::string_view type, size, modify;
    bool haveSize = false, haveModify = false;
    size_t start = 0;
    while (start <= factText.size()) {
        size_t end = factText.find(';', start);
        if (end == std::string_view::npos) end = factText.size();
        const std::string_view fact = factText.substr(start, end - start);
        const size_t equals = fact.find('=');
        if (equals != std::string_view::npos) {
            const std::string_view factName = trimBlanks(fact.substr(0, equals));
            const std::string_view value = fact.substr(equals + 1);
            if (asciiEqualNoCase(factName, "type")) {
                type = value;
            } else if (asciiEqualNoCase(factName, "size")) {
                size = value;
                haveSize = true;
            } else if (asciiEqualNoCase(factName, "modify")) {
                modify = value;
                haveModify = true;
            }
        }
        start = end + 1;
    }

    facts.name = listNameFromBytes(name, rawNames);
    if (asciiEqualNoCase(type, "file")) {
        facts.type = u"file";
    } else if (asciiEqualNoCase(type, "dir")) {
        facts.type = u"dir";
    } else if (asciiEqualNoCase(type, "cdir")) {
        facts.type = u"dir";
        facts.name = u".";
    } else if (asciiEqualNoCase(type, "pdir")) {
        facts.type = u"dir";
        facts.name = u"..";
    } else {
        facts.type = u"unknown";
    }
    if (facts.name.empty()) facts.name = kNoName;
    facts.size = haveSize ? numberFrom(size) : 0;
    facts.modDate = haveModify ? dateTimeFromDigits(modify) : listDefaultModDate();
}

void listItemInfoFromFactLine(std::string_view factLine, OrbVariableArray& info) {
    ListItemFacts facts;
    listParseFactLine(factLine, facts);
    info.clear();
    ucstring error;
    info.addStringVariable(error, u"Type", facts.type, true);
    info.addIntegerVariable(error, u"Size", facts.size, true);
    info.addTimestampVariable(error, u"ModDate", facts.modDate, true);
    const size_t slash = facts.name.rfind(u'/');
    ucstring name = facts.name;
    if (slash != ucstring::npos && slash + 1 < facts.name.size()) name = facts.name.substr(slash + 1);
    // Added as a member, not parsed: a name is text whatever it looks like.
    OrbVariable nameVariable(u"Name");
    nameVariable.setStringValue(name);
    info.mutableVariableArray().push_back(std::move(nameVariable));
}

// ---- Parsers -----------------------------------------------------------------------------------

void parseMachineList(const stringlist& lines, OrbVariableArray& list, ListRawNames* rawNames) {
    DEBUG_SCOPE("parseMachineList");
    list.clear();
    list.mutableVariableArray().reserve(lines.size() + 2);
    bool sawDot = false, sawDotDot = false;
    ListItemFacts facts;
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        listParseFactLine(line, facts, rawNames);
        noteDotEntry(facts.name, sawDot, sawDotDot);
        listAddItemRecord(list, facts.name, facts.type, facts.size, facts.modDate);
    }
    fixUpDotEntries(list, sawDot, sawDotDot);
}

void parseStandardList(const stringlist& lines, OrbVariableArray& list, const OrbDateTime& now,
                       ListRawNames* rawNames) {
    DEBUG_SCOPE("parseStandardList");
    list.clear();
    bool sawDot = false, sawDotDot = false;

    // The first line with text; a "total" line before the items is no item.
    size_t first = 0;
    while (first < lines.size() && isBlankLine(lines[first])) ++first;
    if (first < lines.size() && stringStartsWith(lines[first], "TOTAL", true)) ++first;
    while (first < lines.size() && isBlankLine(lines[first])) ++first;

    if (first >= lines.size()) {
        fixUpDotEntries(list, sawDot, sawDotDot);
        return;
    }

    // The first line decides the layout of the whole listing.
    StringRegEx matcher;
    Layout layout = Layout::kNone;
    for (const LayoutExpression& candidate : kLayouts) {
        const std::string failure = matcher.setExpression(candidate.expression);
        if (!failure.empty()) {
            DEBUG_OUT(std::string(candidate.failure) + failure);
            fixUpDotEntries(list, sawDot, sawDotDot);
            return;
        }
        if (matcher.match(lines[first])) {
            layout = candidate.layout;
            break;
        }
    }
    if (layout == Layout::kNone) {
        DEBUG_OUT("listing type doesn't match any of the regular expressions");
        fixUpDotEntries(list, sawDot, sawDotDot);
        return;
    }

    const ListToday today = listTodayFrom(now);

    list.mutableVariableArray().reserve(lines.size() - first + 2);
    for (size_t i = first; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (isBlankLine(line)) continue;
        ListEntry entry;
        if (matcher.match(line)) {
            const Results& r = matcher.results();
            switch (layout) {
                case Layout::kUnix:
                case Layout::kMac: readUnixOrMac(r, today, entry); break;
                case Layout::kMSDos: readMSDos(r, entry); break;
                case Layout::kOS400: readOS400(r, entry); break;
                case Layout::kNone: break;
            }
        }
        // A line that does not fit still becomes an item, with nothing known about it.
        ucstring name = entry.name.empty() ? ucstring(kNoName) : listNameFromBytes(entry.name, rawNames);
        const ucstring type = entry.type.empty() ? ucstring(u"unknown") : ucstringFromString(entry.type);
        noteDotEntry(name, sawDot, sawDotDot);
        listAddItemRecord(list, name, type, entry.size, dateTimeFrom(entry.date));
    }
    fixUpDotEntries(list, sawDot, sawDotDot);
}

// ---- Wildcards ---------------------------------------------------------------------------------

ucstring convertWildcardToRegEx(const ucstring& wildcard) {
    ucstring expression = stringNormalize(wildcard);
    if (expression.empty()) return expression;
    stringReplaceAllInPlace(expression, u".", u"\\.");
    stringReplaceAllInPlace(expression, u"*", u".*");
    stringReplaceAllInPlace(expression, u"?", u".");
    return u"^" + expression;
}

ucstring listCompileWildcard(const ucstring& wildcard, ucStringRegEx& matcher, bool& active) {
    active = false;
    const ucstring expression = convertWildcardToRegEx(wildcard);
    if (expression.empty()) return ucstring();
    const ucstring failure = matcher.setExpression(expression);
    if (!failure.empty())
        return u"Could not compile wildcard regular expression: " + expression + u"; Error: " + failure;
    active = true;
    return ucstring();
}

bool listWildcardMatches(ucStringRegEx& matcher, const ucstring& name) { return matcher.match(stringUpperCase(name)); }

// ---- The list functions ------------------------------------------------------------------------

ucstring listValidateWhich(const ucstring& which) {
    if (stringNormalize(which).empty()) return u"You must specify which list item to retrieve. ('Which' parameter).";
    return ucstring();
}

ucstring listItemCount(const OrbVariableArray& list, const ucstring& wildcard, int64_t& count) {
    count = 0;
    ucStringRegEx matcher;
    bool filtered = false;
    ucstring error = listCompileWildcard(wildcard, matcher, filtered);
    if (!error.empty()) return error;
    for (const OrbVariable& v : list) {
        if (isRecord(v) && (!filtered || listWildcardMatches(matcher, v.name()))) ++count;
    }
    return ucstring();
}

void listItemFields(const OrbVariable& record, ucstring& type, ucstring& size, ucstring& date, ucstring& time) {
    const OrbVariable* t = member(record, u"Type");
    type = t ? t->variableAsString(kLineEndingCR) : ucstring();
    if (type.empty()) type = u"unknown";
    const OrbVariable* s = member(record, u"Size");
    size.clear();
    stringFromInteger(size, s ? s->variableAsInteger() : 0);
    const OrbVariable* m = member(record, u"ModDate");
    const OrbDateTime& when = m ? m->timestampValue() : listDefaultModDate();
    when.dateString(date);
    when.timeString(time, false);
}

ucstring listGetItem(const OrbVariableArray& list, const ListItemRequest& request, int32_t& position,
                     ucstring& result) {
    result.clear();
    ucstring error = listValidateWhich(request.which);
    if (!error.empty()) return error;
    const ucstring which = stringNormalize(request.which);
    const ucstring fieldSeparator = request.fieldSeparator.empty() ? ucstring(u"||") : request.fieldSeparator;
    const ucstring rowSeparator = request.rowSeparator.empty() ? ucstring(kCR) : request.rowSeparator;

    ucStringRegEx matcher;
    bool filtered = false;
    error = listCompileWildcard(request.wildcard, matcher, filtered);
    if (!error.empty()) return error;

    std::vector<const OrbVariable*> records;
    records.reserve(list.size());
    for (const OrbVariable& v : list) {
        if (isRecord(v) && (!filtered || listWildcardMatches(matcher, v.name()))) records.push_back(&v);
    }
    const int64_t count = static_cast<int64_t>(records.size());

    ucstring type, size, date, time;
    if (which == u"ALL") {
        for (const OrbVariable* record : records) {
            listItemFields(*record, type, size, date, time);
            result += request.location;
            for (const ucstring* field :
                 std::initializer_list<const ucstring*>{&type, &record->name(), &size, &date, &time}) {
                result += fieldSeparator;
                result += *field;
            }
            result += rowSeparator;
        }
        return ucstring();
    }

    const int64_t previous = position;
    int64_t wanted = 0;
    if (which == u"FIRST") {
        wanted = count > 0 ? 1 : 0;
    } else if (which == u"NEXT") {
        wanted = previous + 1 > count ? 0 : previous + 1;
    } else {
        wanted = stringToInteger(which);
        if (wanted < 0 || wanted > count) wanted = 0;
    }
    position = static_cast<int32_t>(wanted);
    if (wanted == 0) return ucstring();

    const OrbVariable& record = *records[static_cast<size_t>(wanted - 1)];
    listItemFields(record, type, size, date, time);
    result = u"Location=" + request.location + kCR + u"Type=" + type + kCR + u"FileName=" + record.name() + kCR +
             u"FileSize=" + size + kCR + u"FileDate=" + date + kCR + u"FileTime=" + time;
    return ucstring();
}

// ---- Directory trees ---------------------------------------------------------------------------

void listRemoteHelper(ListRemoteHelperContext& context, const ListDirectoryFunction& listDirectory) {
    DEBUG_SCOPE("listRemoteHelper");
    if (context.maxDepth != 0 && context.currentDepth >= context.maxDepth) return;
    if (context.currentDepth >= kRemoteTreeDepthLimit) {
        context.error = u"The remote folder tree goes deeper than " +
                        ucstringFromString(std::to_string(kRemoteTreeDepthLimit)) +
                        u" levels (does a folder contain itself?); stopped at '" + context.directory + u"'.";
        return;
    }
    std::set<ucstring> visitedHere;  // the walk's own record, at its top level
    struct Walk {
        ListRemoteHelperContext& context;
        bool top;
        ~Walk() {
            if (top) context.visited = nullptr;
        }
    } walk{context, context.visited == nullptr};
    if (walk.top) context.visited = &visitedHere;
    ucstring folder = context.directory;
    while (folder.size() > 1 && folder.back() == u'/') folder.pop_back();
    if (!context.visited->insert(folder).second) {
        context.error = u"The remote folder '" + folder + u"' came up twice in its own tree; stopped.";
        return;
    }
    ++context.currentDepth;

    context.items.clear();
    const ucstring error = listDirectory(context.directory, context.items);
    if (!error.empty()) {
        if (context.error.empty()) context.error = error;
        --context.currentDepth;
        return;
    }

    for (OrbVariable& record : context.items) {
        if (!isRecord(record) || record.name() == u"." || record.name() == u"..") continue;
        const OrbVariable* type = member(record, u"Type");
        if (!type || type->stringValue() != u"dir") continue;
        // A name with a path separator is not one item of this directory (a broken or hostile
        // listing); it is never entered, and directory downloads skip it.
        if (record.name().find_first_of(u"/\\") != ucstring::npos) continue;

        ListRemoteHelperContext child;
        // "/" is the root, not a folder named "": no doubled slash in the child's path.
        child.directory = context.directory;
        if (child.directory.empty() || child.directory.back() != u'/') child.directory += u'/';
        child.directory += record.name();
        child.maxDepth = context.maxDepth;
        child.currentDepth = context.currentDepth;
        child.visited = context.visited;
        listRemoteHelper(child, listDirectory);
        if (!child.error.empty()) {
            context.error = child.error;
            break;
        }
        OrbVariable items(u"Items");
        items.setType(OrbVariable::kArray);
        items.mutableArrayValue() = std::move(child.items);
        record.mutableArrayValue().mutableVariableArray().push_back(std::move(items));
    }
    --context.currentDepth;
}
