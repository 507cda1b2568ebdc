#include "ListFormats.h"

#include "Orb_Debug.h"
#include "_Common/Strings/Orb_String.h"

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>

namespace {

constexpr char16_t kNoName[] = u"<no name>";

// ---- Text --------------------------------------------------------------------------------------

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The separators of listing columns: blanks, tabs and the other white space of isBlankLine.
bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool asciiEqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && asciiEqualNoCase(text.substr(0, prefix.size()), prefix);
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && asciiEqualNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool allDigits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), isDigit); }

// The value of a run of digits; false when it is none, or too long for any size or date.
bool digitsValue(std::string_view s, int64_t& value) {
    if (!allDigits(s) || s.size() > 18) return false;
    value = 0;
    for (const char c : s) value = value * 10 + (c - '0');
    return true;
}

// strtol's reading of a piece of text: leading blanks and a sign, digits up to the first other
// character, 0 without digits.
int64_t numberFrom(std::string_view text) { return stringToInteger(std::string(text)); }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && charIsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && charIsSpace(s.back())) s.remove_suffix(1);
    return s;
}

bool isBlankLine(const std::string& line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return charIsSpace(c); });
}

// The first blank-separated words of a line; what lies past them is never a column, only a name.
struct Tokens {
    static constexpr size_t kMax = 16;
    std::string_view line;
    std::array<std::string_view, kMax> at{};
    size_t count = 0;

    explicit Tokens(std::string_view text) : line(text) {
        size_t i = 0;
        while (count < kMax) {
            while (i < line.size() && isBlank(line[i])) ++i;
            if (i >= line.size()) break;
            const size_t start = i;
            while (i < line.size() && !isBlank(line[i])) ++i;
            at[count++] = line.substr(start, i - start);
        }
    }

    size_t endOf(size_t i) const { return static_cast<size_t>(at[i].data() - line.data()) + at[i].size(); }

    // The rest of the line after token i and the one blank that ends it.
    std::string_view afterOneBlank(size_t i) const {
        const size_t end = endOf(i);
        return end < line.size() ? line.substr(end + 1) : std::string_view();
    }

    // The rest of the line after token i and every blank that follows: a name set in a column.
    std::string_view afterBlanks(size_t i) const {
        size_t end = endOf(i);
        while (end < line.size() && isBlank(line[end])) ++end;
        return line.substr(end);
    }
};

// ---- Dates -------------------------------------------------------------------------------------

// The parts of a modification time as a listing gives them; fields left alone keep the
// 2000-01-01 00:00:00 of a listing that gives none.
struct ListDate {
    int64_t year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// A date and time that names no real moment (an unknown month name, 31 February) is the
// default time rather than anything the clock happens to show.
OrbDateTime dateTimeFrom(const ListDate& d) {
    const auto inRange = [](int64_t v) { return v >= 0 && v <= 65535; };
    OrbDateTime result(listDefaultModDate().dateTime());
    if (!inRange(d.year) || !inRange(d.month) || !inRange(d.day) || !inRange(d.hour) || !inRange(d.minute) ||
        !inRange(d.second))
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
        if (pos + length <= text.size()) digitsValue(text.substr(pos, length), out);
    };
    field(0, 4, d.year);
    field(4, 2, d.month);
    field(6, 2, d.day);
    field(8, 2, d.hour);
    field(10, 2, d.minute);
    field(12, 2, d.second);
    return dateTimeFrom(d);
}

// A year as listings write it: two digits pivot at 70 (70-99 are 19xx, 00-69 20xx), three are
// read as 1xxx, four taken as they stand.
int64_t fullYear(int64_t year) {
    if (year < 70) return 2000 + year;
    if (year < 100) return 1900 + year;
    if (year < 1000) return 1000 + year;
    return year;
}

// Month names and abbreviations as ls and servers print them, one line per month, lower case
// (ASCII letters only), without a trailing ".": English, German, French, Spanish, Italian, Dutch,
// Portuguese, Swedish, Danish, Norwegian, Finnish, Polish, Czech, Hungarian, Turkish, Russian.
constexpr std::array<std::string_view, 12> kMonthNames = {
    "january januar janv janvier ene enero gen gennaio januari j\xC3\xA4n j\xC3\xA4nner janeiro sty "
    "stycze\xC5\x84 stycznia led leden tammi tammikuu oca ocak \xD1\x8F\xD0\xBD\xD0\xB2",
    "february februar f\xC3\xA9v f\xC3\xA9vr fevr f\xC3\xA9vrier fevrier febrero febbraio februari fev fevereiro "
    "lut luty lutego \xC3\xBAno \xC3\x9Ano \xC3\xBAnor helmi helmikuu febr \xD1\x84\xD0\xB5\xD0\xB2 \xC5\x9Fub "
    "\xC5\x9Eub",
    "march m\xC3\xA4r m\xC3\xA4rz mrz mars marts marzo mrt maart mar\xC3\xA7o marco marzec marca maalis maaliskuu "
    "m\xC3\xA1rc m\xC3\xA1rcius \xD0\xBC\xD0\xB0\xD1\x80 b\xC5\x99\x65 b\xC5\x99\x65zen",
    "april avr avril abr abril aprile kwi kwiecie\xC5\x84 kwietnia dub duben huhti huhtikuu \xC3\xA1pr "
    "\xC3\xA1prilis nis nisan \xD0\xB0\xD0\xBF\xD1\x80",
    "mai maj mag maggio mayo mei maio kv\xC4\x9B kv\xC4\x9Bten touko toukokuu m\xC3\xA1j m\xC3\xA1jus "
    "\xD0\xBC\xD0\xB0\xD0\xB9 \xD0\xBC\xD0\xB0\xD1\x8F",
    "june juni juin junio giu giugno junho cze czerwiec czerwca \xC4\x8Dvn \xC4\x8Cvn kes\xC3\xA4 kes\xC3\xA4kuu "
    "j\xC3\xBAn j\xC3\xBAnius haz haziran \xD0\xB8\xD1\x8E\xD0\xBD \xC4\x8D\x65rven",
    "july juli juil juillet julio lug luglio julho lip lipiec lipca \xC4\x8Dvc \xC4\x8Cvc hein\xC3\xA4 "
    "hein\xC3\xA4kuu j\xC3\xBAl j\xC3\xBAlius tem temmuz \xD0\xB8\xD1\x8E\xD0\xBB \xC4\x8D\x65rvenec",
    "august ao\xC3\xBBt aout ago agosto augustus augusti sie sierpie\xC5\x84 sierpnia srp srpen elo elokuu "
    "a\xC4\x9Fu a\xC4\x9Fustos \xD0\xB0\xD0\xB2\xD0\xB3",
    "sept september septembre septiembre setiembre set settembre setembro wrz wrzesie\xC5\x84 wrze\xC5\x9Bnia "
    "z\xC3\xA1\xC5\x99 z\xC3\xA1\xC5\x99\xC3\xAD syys syyskuu szept szeptember eyl eyl\xC3\xBCl "
    "\xD1\x81\xD0\xB5\xD0\xBD",
    "october okt oktober octobre octubre ott ottobre out outubro pa\xC5\xBA \xC5\x99\xC3\xADj \xC5\x98\xC3\xADj "
    "\xC5\x99\xC3\xADjen loka lokakuu eki ekim \xD0\xBE\xD0\xBA\xD1\x82 pa\xC5\xBA\x64ziernik "
    "pa\xC5\xBA\x64ziernika okt\xC3\xB3\x62\x65r",
    "november novembre noviembre novembro lis listopad listopada marras marraskuu kas kas\xC4\xB1m "
    "\xD0\xBD\xD0\xBE\xD1\x8F",
    "december dez dezember decembre dic diciembre dicembre des desember dezembro gru grudzie\xC5\x84 grudnia pro "
    "prosinec joulu joulukuu ara aral\xC4\xB1k \xD0\xB4\xD0\xB5\xD0\xBA d\xC3\xA9\x63 d\xC3\xA9\x63\x65mbre",
};

// The month a word names, in any case and with or without a trailing "."; 0 when it names none.
// "3月" and "3월" (Chinese, Japanese, Korean) are months too.
int64_t monthFromName(std::string_view word) {
    if (!word.empty() && word.back() == '.') word.remove_suffix(1);
    if (word.empty() || word.size() > 24) return 0;
    if (isDigit(word[0])) {
        size_t digits = 0;
        while (digits < word.size() && isDigit(word[digits])) ++digits;
        const std::string_view mark = word.substr(digits);
        int64_t month = 0;
        if (digits > 2 || !digitsValue(word.substr(0, digits), month) || month < 1 || month > 12) return 0;
        return mark == "\xE6\x9C\x88" || mark == "\xEC\x9B\x94" ? month : 0;
    }
    std::array<char, 24> buffer{};
    for (size_t i = 0; i < word.size(); ++i) buffer[i] = asciiLower(word[i]);
    const std::string_view lower(buffer.data(), word.size());
    if (lower.size() == 3) {
        static constexpr std::string_view kEnglish = "janfebmaraprmayjunjulaugsepoctnovdec";
        for (size_t i = 0; i < 12; ++i) {
            if (kEnglish.substr(i * 3, 3) == lower) return static_cast<int64_t>(i) + 1;
        }
    }
    for (size_t month = 0; month < kMonthNames.size(); ++month) {
        for (std::string_view names = kMonthNames[month]; !names.empty();) {
            const size_t blank = std::min(names.find(' '), names.size());
            if (names.substr(0, blank) == lower) return static_cast<int64_t>(month) + 1;
            names.remove_prefix(std::min(blank + 1, names.size()));
        }
    }
    return 0;
}

// A day of the month: one or two digits, 1-31, maybe followed by "." ("5." in German).
bool readDay(std::string_view s, int64_t& day) {
    if (!s.empty() && s.back() == '.') s.remove_suffix(1);
    return s.size() <= 2 && digitsValue(s, day) && day >= 1 && day <= 31;
}

bool readTwoDigits(std::string_view s, size_t at, int64_t& value) {
    return at + 2 <= s.size() && digitsValue(s.substr(at, 2), value);
}

// "H:MM", "HH:MM", "HH:MM:SS" and "HH:MM:SS.ff" (fractions dropped), the separator given. `d` is
// only changed when the whole text is a time of day.
bool readTime(std::string_view s, ListDate& d, char separator = ':') {
    const size_t mark = s.find(separator);
    int64_t hour = 0, minute = 0, second = 0;
    if (mark == 0 || mark > 2 || !digitsValue(s.substr(0, std::min(mark, s.size())), hour) ||
        !readTwoDigits(s, mark + 1, minute))
        return false;
    size_t end = mark + 3;
    if (end < s.size() && s[end] == separator) {
        if (!readTwoDigits(s, end + 1, second)) return false;
        end += 3;
        if (end < s.size() && (s[end] == '.' || s[end] == ',') && allDigits(s.substr(end + 1))) end = s.size();
    }
    if (end != s.size() || hour > 24 || minute > 59 || second > 60) return false;
    d.hour = hour;
    d.minute = minute;
    d.second = second;
    return true;
}

enum class DateOrder { kMDY, kDMY, kYMD };

// A numeric date: three runs of digits joined by one separator, "-", "/" or ".". A four-digit
// first part is a year (YYYY-MM-DD); a "." date is DD.MM.YY(YY) or else YY.MM.DD; otherwise the
// orders given are tried in turn. The first order that gives a month 1-12 and a day 1-31 wins;
// `d` is only changed then.
bool readNumericDate(std::string_view s, std::initializer_list<DateOrder> orders, ListDate& d) {
    std::array<std::string_view, 3> parts;
    size_t start = 0;
    const size_t first = s.find_first_of("-/.");
    if (first == std::string_view::npos) return false;
    const char separator = s[first];
    for (size_t i = 0; i < 3; ++i) {
        const size_t end = i < 2 ? s.find(separator, start) : s.size();
        if (end == std::string_view::npos) return false;
        parts[i] = s.substr(start, end - start);
        start = end + 1;
    }
    std::array<int64_t, 3> values{};
    for (size_t i = 0; i < 3; ++i) {
        if (parts[i].size() > 4 || !digitsValue(parts[i], values[i])) return false;
    }
    const auto tryOrder = [&](DateOrder order) {
        const size_t y = order == DateOrder::kYMD ? 0 : 2;
        const size_t m = order == DateOrder::kDMY ? 1 : order == DateOrder::kMDY ? 0 : 1;
        const size_t day = order == DateOrder::kDMY ? 0 : order == DateOrder::kMDY ? 1 : 2;
        if (parts[y].size() != 2 && parts[y].size() != 4) return false;
        if (parts[m].size() > 2 || parts[day].size() > 2) return false;
        if (values[m] < 1 || values[m] > 12 || values[day] < 1 || values[day] > 31) return false;
        d.year = fullYear(values[y]);
        d.month = values[m];
        d.day = values[day];
        return true;
    };
    if (parts[0].size() == 4) return tryOrder(DateOrder::kYMD);
    if (separator == '.') return tryOrder(DateOrder::kDMY) || tryOrder(DateOrder::kYMD);
    return std::any_of(orders.begin(), orders.end(), tryOrder);
}

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

// ---- Items -------------------------------------------------------------------------------------

// One LIST line's item before it becomes a RemoteItem.
struct ListEntry {
    RemoteItemType type = RemoteItemType::kUnknown;
    int64_t size = 0;
    std::string_view name;
    std::string_view target;  // where a link leads, when its line says
    ListDate date;
};

// What one listing has shown so far, for the formats that spread over lines.
struct ListContext {
    ListToday today;
    std::string_view vmsPending;    // a VMS name alone on its line: its details are on the next
    std::string_view vmsContinued;  // that name while the next line is read
    std::string_view vmsLastName;   // the VMS file just read: its older versions follow, skipped
    bool pdsMembers = false;        // an MVS member list header has been seen
};

enum class Read {
    kNotMine,  // the line is not of this format
    kNoItem,   // it is, but names no item of its own
    kItem,
};

// ---- LIST formats, one reader each: tried in this order, the first that takes a line reads it --

// EPLF: facts after "+", separated by ",", then a tab and the name. "/" marks a directory, "r" a
// file that can be fetched, "s" the size, "m" the time in seconds since 1970 (UTC).
//   +i8388621.29609,m824255902,/,\tdev
//   +i8388621.44468,m839956783,r,s10376,\tRFCEPLF
Read readEPLF(const Tokens& t, ListContext&, ListEntry& e) {
    const std::string_view line = t.line;
    if (line.size() < 3 || line[0] != '+') return Read::kNotMine;
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab + 1 == line.size()) return Read::kNotMine;
    e.name = line.substr(tab + 1);
    std::string_view facts = line.substr(1, tab - 1);
    while (!facts.empty()) {
        const size_t comma = std::min(facts.find(','), facts.size());
        const std::string_view fact = facts.substr(0, comma);
        facts.remove_prefix(std::min(comma + 1, facts.size()));
        if (fact.empty()) continue;
        int64_t value = 0;
        if (fact == "/") {
            e.type = RemoteItemType::kFolder;
        } else if (fact == "r") {
            if (e.type == RemoteItemType::kUnknown) e.type = RemoteItemType::kFile;
        } else if (fact[0] == 's' && digitsValue(fact.substr(1), value)) {
            e.size = value;
        } else if (fact[0] == 'm' && digitsValue(fact.substr(1), value) && value <= 253402300799) {
            const boost::posix_time::ptime when =
                boost::posix_time::ptime(boost::gregorian::date(1970, 1, 1)) + boost::posix_time::seconds(value);
            e.date = {when.date().year(),         when.date().month(),          when.date().day(),
                      when.time_of_day().hours(), when.time_of_day().minutes(), when.time_of_day().seconds()};
        }
    }
    return Read::kItem;
}

// "drwxr-xr-x", "-rw-r--r--+", "lrwxrwxrwx", "crw-rw----.", "-rwsr-S--T", "-rw-r-lr--@": a type
// letter, nine permission letters, maybe one marker of ACLs (+), extended attributes (@) or a
// security context (.).
bool isUnixMode(std::string_view mode) {
    static constexpr std::string_view kTypes = "-dlbcpsDLnw?", kPermissions = "-rwxsStTlL", kMarkers = "+@.";
    if (mode.size() != 10 && mode.size() != 11) return false;
    if (kTypes.find(mode[0]) == std::string_view::npos) return false;
    for (size_t i = 1; i < 10; ++i) {
        if (kPermissions.find(mode[i]) == std::string_view::npos) return false;
    }
    return mode.size() == 10 || kMarkers.find(mode[10]) != std::string_view::npos;
}

// A size column; a device shows "major, minor" or "major,minor" instead.
bool isUnixSize(std::string_view s, bool device) {
    int64_t value = 0;
    if (digitsValue(s, value)) return true;
    const size_t comma = s.find(',');
    return device && comma != std::string_view::npos && digitsValue(s.substr(0, comma), value) &&
           digitsValue(s.substr(comma + 1), value);
}

// A "+0100" time zone after an ISO time.
bool isZone(std::string_view s) { return s.size() == 5 && (s[0] == '+' || s[0] == '-') && allDigits(s.substr(1)); }

// How surely the tokens from `j` on are the date of a Unix line: 0 no date; 1 a word where a
// month should be that names none (the date is then the default); 2 a known month with a year of
// fewer than four digits; 3 sure. On success `d` is the date and `last` its last token.
int unixDateAt(const Tokens& t, size_t j, const ListToday& today, ListDate& d, size_t& last) {
    // "2024-03-05 14:02", "05.03.2024 14:02", "2024-03-05 14:02:11.123456789 +0100"
    ListDate date;
    if (isDigit(t.at[j][0]) && readNumericDate(t.at[j], {DateOrder::kMDY, DateOrder::kDMY}, date) &&
        readTime(t.at[j + 1], date)) {
        last = j + 1;
        if (last + 1 < t.count && isZone(t.at[last + 1])) ++last;
        d = date;
        return 3;
    }
    // "Mar  5 14:02", "5 Mar  2019", "5. Mär 14:02", "janv. 12  2020", " 3月  5 14:02"
    if (j + 2 >= t.count) return 0;
    std::string_view monthWord;
    int64_t day = 0;
    if (readDay(t.at[j + 1], day)) {
        monthWord = t.at[j];
    } else if (readDay(t.at[j], day)) {
        monthWord = t.at[j + 1];
    } else {
        return 0;
    }
    const int64_t month = monthFromName(monthWord);
    if (month == 0 && (isDigit(monthWord[0]) || monthWord.find(':') != std::string_view::npos)) return 0;
    const std::string_view timeOrYear = t.at[j + 2];
    int strength = 3;
    int64_t year = 0;
    if (readTime(timeOrYear, date)) {
        // ls shows the time instead of the year for recent files, so a date later than this
        // year allows lies in the year before.
        date.year = today.year;
        if (month > today.latestMonth || (month == today.latestMonth && day > today.latestDay)) --date.year;
    } else if (timeOrYear.size() <= 4 && digitsValue(timeOrYear, year)) {
        date.year = fullYear(year);
        if (timeOrYear.size() < 4) strength = 2;
    } else {
        return 0;
    }
    date.month = month;
    date.day = day;
    if (month == 0) {
        date = ListDate();
        strength = 1;
    }
    d = date;
    last = j + 2;
    return strength;
}

// Unix ls -l and what imitates it; also classic Mac servers (no owner, "folder" for a
// directory's owner column) and NetWare ("d [RWCEAFMS]" instead of a mode, the name set in a
// column). The owner and group may be missing, numeric, or hold blanks: the date is found first,
// the size is the column before it. The name is what follows the one blank after the date; a
// link's name ends before " -> ".
//   drwxr-xr-x   2 anna     staff        4096 Mar  5 14:02 docs
//   -rw-r--r--+  1 1001     1001     102400 Mar  5  2019 big file.bin
//   lrwxrwxrwx   1 root     root           10 Nov 20 14:02 link -> readme.txt
//   crw-rw-rw-   1 root     root       1,   3 Jan  3 08:00 null
//   -rw-r--r--   1 anna     Domain Users   12 2024-03-05 14:02 report.txt
//   -rw-r--r--   1 anna     staff          5  5. Mär 14:02 notiz.txt
//   drwxrwxr-x               folder        2 May 10  1996 network
//   d [RWCEAFMS] supervisor             512 Jan 16 18:53    login
Read readUnix(const Tokens& t, ListContext& ctx, ListEntry& e) {
    if (t.count < 4) return Read::kNotMine;
    const std::string_view mode = t.at[0];
    size_t firstColumn = 1;
    const bool netware = mode.size() == 1 && (mode[0] == 'd' || mode[0] == '-') && t.at[1].size() >= 2 &&
                         t.at[1].front() == '[' && t.at[1].back() == ']';
    if (netware) {
        firstColumn = 2;
    } else if (!isUnixMode(mode)) {
        return Read::kNotMine;
    }
    const char kind = asciiLower(mode[0]);
    const bool device = kind == 'b' || kind == 'c';

    int best = 0;
    size_t bestAt = 0;
    for (size_t j = firstColumn + 1; j + 1 < t.count && best < 3; ++j) {
        if (!isUnixSize(t.at[j - 1], device)) continue;
        ListDate date;
        size_t last = 0;
        const int strength = unixDateAt(t, j, ctx.today, date, last);
        if (strength <= best) continue;
        const std::string_view name = netware ? t.afterBlanks(last) : t.afterOneBlank(last);
        if (name.empty()) continue;
        best = strength;
        bestAt = j;
        e.date = date;
        e.name = name;
    }
    if (best == 0) return Read::kNotMine;

    switch (kind) {
        case 'd': e.type = RemoteItemType::kFolder; break;
        case '-': e.type = RemoteItemType::kFile; break;
        case 'l': e.type = RemoteItemType::kSymlink; break;
        default: break;
    }
    if (e.type == RemoteItemType::kSymlink) {
        const size_t arrow = e.name.find(" -> ");
        if (arrow != std::string_view::npos && arrow > 0) {
            e.target = e.name.substr(arrow + 4);
            e.name = e.name.substr(0, arrow);
        }
    }
    if (!device) digitsValue(t.at[bestAt - 1], e.size);
    return Read::kItem;
}

// VMS: NAME.TYPE;VERSION, used/allocated blocks of 512 bytes, date, time, owner, protection. A
// long name stands alone with the rest on the next line; a file without access shows an error
// instead. The name is shown without its version; the newest version comes first, older ones
// are skipped. A directory is its NAME.DIR file. The size is the used blocks times 512.
//   Directory DISK$USER:[ANNA]
//
//   LOGIN.COM;2                1/3          5-MAR-2024 14:02:11  [STAFF,ANNA]    (RWED,RWED,RE,)
//   MAIL.DIR;1                 2/3         12-JAN-2023 09:00     [STAFF,ANNA]    (RWE,RWE,,)
//   A_VERY_LONG_FILE_NAME_THAT_WRAPS.TXT;12
//                              8/9         01-FEB-1999 23:59:59.50  [STAFF,ANNA]  (RWED,RWED,R,)
//   SECRET.TXT;1   %RMS-E-PRV, insufficient privilege or file protection violation
//
//   Total of 4 files, 12/18 blocks.
Read readVMS(const Tokens& t, ListContext& ctx, ListEntry& e) {
    std::string_view name;
    size_t column = 1;
    if (!ctx.vmsContinued.empty() && isBlank(t.line[0])) {
        name = ctx.vmsContinued;
        column = 0;
    } else {
        const std::string_view first = t.at[0];
        const size_t semicolon = first.rfind(';');
        if (semicolon == std::string_view::npos || semicolon == 0 || !allDigits(first.substr(semicolon + 1)))
            return Read::kNotMine;
        name = first.substr(0, semicolon);
        if (t.count == 1) {
            ctx.vmsPending = name;
            return Read::kNoItem;
        }
    }
    if (column >= t.count) return Read::kNotMine;
    if (t.at[column][0] != '%') {
        const std::string_view blocks = t.at[column];
        const size_t slash = blocks.find('/');
        int64_t used = 0, allocated = 0;
        if (!digitsValue(blocks.substr(0, slash), used) || used > (int64_t{1} << 50) ||
            (slash != std::string_view::npos && !digitsValue(blocks.substr(slash + 1), allocated)))
            return Read::kNotMine;
        // "5-MAR-2024"
        if (column + 1 >= t.count) return Read::kNotMine;
        const std::string_view date = t.at[column + 1];
        const size_t dash1 = date.find('-'), dash2 = date.rfind('-');
        int64_t day = 0, year = 0;
        if (dash1 == std::string_view::npos || dash1 == dash2 || !readDay(date.substr(0, dash1), day) ||
            (date.size() - dash2 - 1 != 2 && date.size() - dash2 - 1 != 4) ||
            !digitsValue(date.substr(dash2 + 1), year))
            return Read::kNotMine;
        const int64_t month = monthFromName(date.substr(dash1 + 1, dash2 - dash1 - 1));
        if (month == 0) return Read::kNotMine;
        e.date.year = fullYear(year);
        e.date.month = month;
        e.date.day = day;
        if (column + 2 < t.count) readTime(t.at[column + 2], e.date);
        e.size = used * 512;
    }
    if (name == ctx.vmsLastName) return Read::kNoItem;
    ctx.vmsLastName = name;
    e.name = name;
    e.type = endsWithNoCase(name, ".DIR") ? RemoteItemType::kFolder : RemoteItemType::kFile;
    return Read::kItem;
}

// The size column of MS-DOS and Windows CE lines, maybe with thousands separators ("1,024",
// "1.024").
bool readGroupedSize(std::string_view s, int64_t& size) {
    if (s.empty() || !isDigit(s[0]) || s.size() > 24) return false;
    std::array<char, 24> digits{};
    size_t n = 0, sinceSeparator = 0;
    bool grouped = false;
    for (const char c : s) {
        if (isDigit(c)) {
            digits[n++] = c;
            ++sinceSeparator;
        } else if ((c == ',' || c == '.') && (!grouped || sinceSeparator == 3)) {
            grouped = true;
            sinceSeparator = 0;
        } else {
            return false;
        }
    }
    if (grouped && sinceSeparator != 3) return false;
    return digitsValue(std::string_view(digits.data(), n), size);
}

// 12 AM is midnight, 12 PM noon.
void applyHalfDay(char half, ListDate& d) {
    half = asciiLower(half);
    if (d.hour == 0) d.hour = 12;
    if (half == 'a' && d.hour == 12) d.hour = 0;
    if (half == 'p' && d.hour != 12) d.hour += 12;
}

bool isHalfDay(std::string_view s) {
    return asciiEqualNoCase(s, "AM") || asciiEqualNoCase(s, "PM") || asciiEqualNoCase(s, "A") ||
           asciiEqualNoCase(s, "P");
}

// "02:15PM", "2:15pm", "14:02", "12:30AM", "14:02:11".
bool readClock(std::string_view s, ListDate& d) {
    size_t end = 0;
    while (end < s.size() && (isDigit(s[end]) || s[end] == ':')) ++end;
    ListDate time = d;
    if (!readTime(s.substr(0, end), time)) return false;
    const std::string_view half = s.substr(end);
    if (!half.empty()) {
        if (!isHalfDay(half)) return false;
        applyHalfDay(half[0], time);
    }
    d = time;
    return true;
}

// MS-DOS style of IIS and others: date (MM-DD-YY or MM-DD-YYYY), time (12 or 24 hours), "<DIR>"
// or the size, then the name, set in a column.
//   03-05-17  02:15PM       <DIR>          My Folder
//   11-30-2023  12:30AM              1,024 night.txt
//   06-15-22  17:45                      5 no suffix.txt
Read readMSDos(const Tokens& t, ListContext&, ListEntry& e) {
    if (t.count < 4 || !isDigit(t.at[0][0])) return Read::kNotMine;
    if (!readNumericDate(t.at[0], {DateOrder::kMDY, DateOrder::kDMY}, e.date) || !readClock(t.at[1], e.date))
        return Read::kNotMine;
    size_t marker = 2;
    if (isHalfDay(t.at[2]) && t.at[1].back() >= '0' && t.at[1].back() <= '9') {
        applyHalfDay(t.at[2][0], e.date);
        marker = 3;
    }
    if (marker + 1 >= t.count) return Read::kNotMine;
    if (asciiEqualNoCase(t.at[marker], "<DIR>")) {
        e.type = RemoteItemType::kFolder;
    } else if (readGroupedSize(t.at[marker], e.size)) {
        e.type = RemoteItemType::kFile;
    } else {
        return Read::kNotMine;
    }
    e.name = t.afterBlanks(marker);
    return Read::kItem;
}

// Windows CE: weekday, month, day, time, year, "<DIR>" or the size, the name.
//   Sun Mar 05 14:02:11 2023       <DIR>  Documents
//   Tue Nov 30 09:15:00 2021        1,234  read me.txt
Read readWindowsCE(const Tokens& t, ListContext&, ListEntry& e) {
    static constexpr std::string_view kDays = "montuewedthufrisatsun";
    if (t.count < 7 || t.at[0].size() != 3) return Read::kNotMine;
    const std::array<char, 3> day{asciiLower(t.at[0][0]), asciiLower(t.at[0][1]), asciiLower(t.at[0][2])};
    const size_t weekday = kDays.find(std::string_view(day.data(), 3));
    if (weekday == std::string_view::npos || weekday % 3 != 0) return Read::kNotMine;
    int64_t year = 0;
    const int64_t month = monthFromName(t.at[1]);
    if (month == 0 || !readDay(t.at[2], e.date.day) || t.at[4].size() != 4 || !digitsValue(t.at[4], year) ||
        !readTime(t.at[3], e.date))
        return Read::kNotMine;
    e.date.month = month;
    e.date.year = year;
    if (asciiEqualNoCase(t.at[5], "<DIR>")) {
        e.type = RemoteItemType::kFolder;
    } else if (readGroupedSize(t.at[5], e.size)) {
        e.type = RemoteItemType::kFile;
    } else {
        return Read::kNotMine;
    }
    e.name = t.afterBlanks(5);
    return Read::kItem;
}

// OS/2: size, attributes (A, H, R, S) or "DIR", date, time, the name set in a column.
//        0           DIR   03-05-24  14:02  SUBDIR
//     1234      A          01-06-80  00:00  CONFIG.SYS
Read readOS2(const Tokens& t, ListContext&, ListEntry& e) {
    if (t.count < 4 || !digitsValue(t.at[0], e.size)) return Read::kNotMine;
    size_t column = 1;
    e.type = RemoteItemType::kFile;
    for (; column < t.count && column <= 3 && !isDigit(t.at[column][0]); ++column) {
        const std::string_view attributes = t.at[column];
        if (attributes == "DIR") {
            e.type = RemoteItemType::kFolder;
        } else if (attributes.find_first_not_of("AHRS") != std::string_view::npos) {
            return Read::kNotMine;
        }
    }
    if (column + 2 >= t.count || !readNumericDate(t.at[column], {DateOrder::kMDY, DateOrder::kDMY}, e.date) ||
        !readTime(t.at[column + 1], e.date))
        return Read::kNotMine;
    e.name = t.afterBlanks(column + 1);
    return Read::kItem;
}

// "*DIR", "*FILE", "*STMF", "*MEM"...
bool isOS400Type(std::string_view s) {
    return s.size() >= 2 && s[0] == '*' &&
           std::all_of(s.begin() + 1, s.end(), [](char c) { return (c >= 'A' && c <= 'Z') || isDigit(c); });
}

// OS/400 (IBM i): owner, size, date, time, object type, the name (maybe with blanks) set in a
// column, a directory's with a "/" after it. Members show no size and time. The date follows the
// job's format: MM/DD/YY, DD.MM.YY, YY/MM/DD, DD/MM/YY, with four-digit years too.
//   QSYS           77824 02/23/00 15:09:55 *DIR       QDOC/
//   ANNA            4096 05.03.24 14.02.11 *STMF      my report.txt
//   QPGMR                                  *MEM       QGPL/QCLSRC.FILE/A.MBR
Read readOS400(const Tokens& t, ListContext&, ListEntry& e) {
    if (t.count < 3) return Read::kNotMine;
    size_t typeColumn = 1;
    if (!isOS400Type(t.at[1])) {
        typeColumn = 4;
        if (t.count < 6 || !isOS400Type(t.at[4]) || !digitsValue(t.at[1], e.size) ||
            !readNumericDate(t.at[2], {DateOrder::kMDY, DateOrder::kYMD, DateOrder::kDMY}, e.date) ||
            !(readTime(t.at[3], e.date) || readTime(t.at[3], e.date, '.')))
            return Read::kNotMine;
    }
    e.type = t.at[typeColumn] == "*DIR" ? RemoteItemType::kFolder : RemoteItemType::kFile;
    e.name = t.afterBlanks(typeColumn);
    if (!e.name.empty() && e.name.back() == '/') e.name.remove_suffix(1);
    return Read::kItem;
}

// MVS data sets: volume, unit, date last referred to (YYYY/MM/DD), extents, used tracks, record
// format and length, block size, organisation, the name. Partitioned ("PO") data sets hold
// members and are directories; migrated and tape data sets show only the name.
//   Volume Unit    Referred Ext Used Recfm Lrecl BlkSz Dsorg Dsname
//   WORK01 3390   2024/03/05  1   15  FB      80 27920  PO  ANNA.JCL
//   Migrated                                                ANNA.OLD.DATA
//   Pseudo Directory                                        ANNA.SUB
Read readMVSDataset(const Tokens& t, ListContext&, ListEntry& e) {
    if (t.count < 2 || t.count == Tokens::kMax) return Read::kNotMine;
    const std::string_view name = t.at[t.count - 1];
    e.type = RemoteItemType::kFile;
    if (t.count == 2 && t.at[0] == "Migrated") {
    } else if (t.count == 3 && t.at[0] == "Pseudo" && t.at[1] == "Directory") {
        e.type = RemoteItemType::kFolder;
    } else if (t.count >= 6 && t.at[1] == "Not" && t.at[2] == "Direct" && t.at[3] == "Access") {
    } else if (t.count >= 4 && t.at[1].size() == 4 && allDigits(t.at[1])) {
        if (t.at[2] != "**NONE**" && !readNumericDate(t.at[2], {DateOrder::kYMD}, e.date)) return Read::kNotMine;
        const std::string_view organisation = t.at[t.count - 2];
        if (organisation == "PO" || organisation == "PO-E") e.type = RemoteItemType::kFolder;
    } else {
        return Read::kNotMine;
    }
    e.name = name;
    return Read::kItem;
}

// MVS partitioned data set members, after a " Name     VV.MM ..." header: name, version, created,
// changed date and time, size in lines, initial and modified lines, user. A member without
// statistics (a load module) shows the name alone or other columns.
//    Name     VV.MM   Created       Changed      Size  Init   Mod   Id
//   ALPHA     01.03 2023/01/05 2024/03/05 14:02    12    10     0 ANNA
//   LOADMOD
Read readMVSMember(const Tokens& t, ListContext& ctx, ListEntry& e) {
    if (!ctx.pdsMembers) return Read::kNotMine;
    e.type = RemoteItemType::kFile;
    e.name = t.at[0];
    const std::string_view version = t.count >= 5 ? t.at[1] : std::string_view();
    if (version.size() == 5 && version[2] == '.' && allDigits(version.substr(0, 2)) && allDigits(version.substr(3)) &&
        readNumericDate(t.at[3], {DateOrder::kYMD}, e.date))
        readTime(t.at[4], e.date);
    return Read::kItem;
}

using LineReader = Read (*)(const Tokens&, ListContext&, ListEntry&);

struct ListFormat {
    const char* name;
    LineReader read;
};

// Every LIST format, in the order they are tried.
constexpr std::array<ListFormat, 9> kFormats = {{
    {"EPLF", readEPLF},
    {"Unix", readUnix},
    {"VMS", readVMS},
    {"MS-DOS", readMSDos},
    {"Windows CE", readWindowsCE},
    {"OS/2", readOS2},
    {"OS/400", readOS400},
    {"MVS data sets", readMVSDataset},
    {"MVS members", readMVSMember},
}};

// Lines known to hold no item: "total 12", VMS "Directory DISK$USER:[ANNA]" and "Total of 4 files",
// the MVS headers (the member one announces member lines).
bool isHeaderLine(const Tokens& t, ListContext& ctx) {
    const std::string_view first = t.at[0];
    if (asciiEqualNoCase(first, "total") || first == "Directory") return true;
    if (first == "Volume" && t.count > 1 && t.at[1] == "Unit") return true;
    if (first == "Name" && t.count > 2 && (t.at[1] == "VV.MM" || t.at[2] == "TTR")) {
        ctx.pdsMembers = true;
        return true;
    }
    return false;
}

// ---- Items -------------------------------------------------------------------------------------

// Puts "." and ".." in front (in that order) unless the listing had them.
void fixUpDotEntries(std::vector<RemoteItem>& list, bool sawDot, bool sawDotDot) {
    std::vector<RemoteItem> front;
    for (const auto& [name, seen] : {std::pair{u".", sawDot}, std::pair{u"..", sawDotDot}}) {
        if (seen) continue;
        RemoteItem& item = front.emplace_back();
        item.name = name;
        item.type = RemoteItemType::kFolder;
    }
    list.insert(list.begin(), std::make_move_iterator(front.begin()), std::make_move_iterator(front.end()));
}

void noteDotEntry(const ucstring& name, bool& sawDot, bool& sawDotDot) {
    if (name == u".") sawDot = true;
    if (name == u"..") sawDotDot = true;
}

void skipLine(std::string_view line) { DEBUG_OUT("Listing line of no known format skipped: " + std::string(line)); }

}  // namespace

// ---- Items -------------------------------------------------------------------------------------

const OrbDateTime& listDefaultModDate() {
    static const OrbDateTime kDefault(boost::posix_time::ptime(boost::gregorian::date(2000, 1, 1)));
    return kDefault;
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

void listParseFactLine(std::string_view line, RemoteItem& item, ListRawNames* rawNames) {
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

    item.name = listNameFromBytes(name, rawNames);
    if (asciiEqualNoCase(type, "file")) {
        item.type = RemoteItemType::kFile;
    } else if (asciiEqualNoCase(type, "dir")) {
        item.type = RemoteItemType::kFolder;
    } else if (asciiEqualNoCase(type, "cdir")) {
        item.type = RemoteItemType::kFolder;
        item.name = u".";
    } else if (asciiEqualNoCase(type, "pdir")) {
        item.type = RemoteItemType::kFolder;
        item.name = u"..";
    } else if (startsWithNoCase(type, "OS.unix=slink") || asciiEqualNoCase(type, "OS.unix=symlink")) {
        // "OS.unix=slink:/target" (RFC 3659's example), "OS.unix=symlink" (ProFTPD)
        item.type = RemoteItemType::kSymlink;
    } else {
        item.type = RemoteItemType::kUnknown;
    }
    if (item.name.empty()) item.name = kNoName;
    item.size = haveSize ? numberFrom(size) : 0;
    item.modDate = haveModify ? dateTimeFromDigits(modify) : listDefaultModDate();
}

RemoteItem listItemInfoFromFactLine(std::string_view factLine) {
    RemoteItem item;
    listParseFactLine(factLine, item);
    const size_t slash = item.name.rfind(u'/');
    if (slash != ucstring::npos && slash + 1 < item.name.size()) item.name.erase(0, slash + 1);
    return item;
}

// ---- Parsers -----------------------------------------------------------------------------------

// MLSD: facts, one blank, the name exactly as sent.
//   modify=20261120140200;perm=adfr;size=6;type=file;UNIX.mode=0644; readme.txt
//   modify=20261120140200;perm=fle;type=cdir; .
//   modify=20261120140200;size=10;type=OS.unix=slink:/srv/readme.txt; link-to-readme
void parseMachineList(const stringlist& lines, std::vector<RemoteItem>& list, ListRawNames* rawNames) {
    DEBUG_SCOPE("parseMachineList");
    list.clear();
    list.reserve(lines.size() + 2);
    bool sawDot = false, sawDotDot = false;
    for (const std::string& line : lines) {
        if (isBlankLine(line)) continue;
        const size_t blank = line.find(' ');
        if (blank == std::string::npos || blank + 1 == line.size()) {
            skipLine(line);
            continue;
        }
        RemoteItem& item = list.emplace_back();
        listParseFactLine(line, item, rawNames);
        noteDotEntry(item.name, sawDot, sawDotDot);
    }
    fixUpDotEntries(list, sawDot, sawDotDot);
}

namespace {

// LIST lines read by the formats from `first` to `last`, the first that takes a line reading it.
void parseWithFormats(const ListFormat* first, const ListFormat* last, const stringlist& lines,
                      std::vector<RemoteItem>& list, const OrbDateTime& now, ListRawNames* rawNames) {
    list.clear();
    list.reserve(lines.size() + 2);
    bool sawDot = false, sawDotDot = false;
    ListContext context;
    context.today = listTodayFrom(now);

    for (const std::string& line : lines) {
        const Tokens tokens(line);
        if (tokens.count == 0) continue;
        context.vmsContinued = std::exchange(context.vmsPending, std::string_view());
        ListEntry entry;
        Read read = Read::kNotMine;
        for (const ListFormat* format = first; format != last; ++format) {
            read = format->read(tokens, context, entry);
            if (read != Read::kNotMine) {
                if (format->read != readVMS) context.vmsLastName = std::string_view();
                break;
            }
            entry = ListEntry();
        }
        if (read == Read::kNotMine && !isHeaderLine(tokens, context)) skipLine(line);
        if (read != Read::kItem) continue;
        if (entry.name.empty()) {
            skipLine(line);
            continue;
        }
        RemoteItem& item = list.emplace_back();
        item.name = listNameFromBytes(entry.name, rawNames);
        item.type = entry.type;
        item.size = entry.size;
        item.modDate = dateTimeFrom(entry.date);
        if (!entry.target.empty()) item.target = listNameFromBytes(entry.target, nullptr);
        noteDotEntry(item.name, sawDot, sawDotDot);
    }
    fixUpDotEntries(list, sawDot, sawDotDot);
}

}  // namespace

void parseStandardList(const stringlist& lines, std::vector<RemoteItem>& list, const OrbDateTime& now,
                       ListRawNames* rawNames) {
    DEBUG_SCOPE("parseStandardList");
    parseWithFormats(kFormats.begin(), kFormats.end(), lines, list, now, rawNames);
}

stringlist listFormatNames() {
    stringlist names;
    for (const ListFormat& format : kFormats) names.push_back(format.name);
    return names;
}

void parseListAs(const std::string& format, const stringlist& lines, std::vector<RemoteItem>& list,
                 const OrbDateTime& now) {
    const auto* found =
        std::find_if(kFormats.begin(), kFormats.end(), [&](const ListFormat& f) { return format == f.name; });
    parseWithFormats(found, found == kFormats.end() ? found : found + 1, lines, list, now, nullptr);
}
