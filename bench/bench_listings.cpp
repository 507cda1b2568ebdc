// Parsing large directory listings of 100,000 lines: Unix, MS-DOS and mixed LIST listings (every
// line is read by the first format that takes it) and MLSD. The "per_line" counter is the time
// per listing line; items_per_second the lines per second.
#include "_Common/Strings/Orb_StringList.h"
#include "functions/Function__RemoteList.h"

#include <benchmark/benchmark.h>

#include <boost/date_time/gregorian/gregorian_types.hpp>

#include <cstdio>
#include <iterator>
#include <string>

namespace {

constexpr size_t kLines = 100000;
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Names of varying length, some with blanks and non-ASCII letters, as real folders hold them.
std::string itemName(size_t i) {
    switch (i % 4) {
        case 0: return "report-" + std::to_string(i) + ".txt";
        case 1: return "Photo " + std::to_string(i) + " (copy).jpg";
        case 2: return "r\xC3\xA9sum\xC3\xA9_" + std::to_string(i) + ".pdf";
        default: return "data_" + std::to_string(i);
    }
}

stringlist unixListing() {
    stringlist lines;
    lines.reserve(kLines);
    for (size_t i = 0; i < kLines; ++i) {
        const bool dir = i % 10 == 0;
        std::string line = dir ? "drwxr-xr-x   2 " : "-rw-r--r--   1 ";
        line += "anna     staff    ";
        line += std::to_string(dir ? 4096 : (i * 7919) % 10000000);
        line += ' ';
        line += kMonths[i % 12];
        line += i % 31 + 1 < 10 ? "  " : " ";
        line += std::to_string(i % 31 + 1);
        line += i % 3 == 0 ? "  2019 " : " 14:02 ";
        line += itemName(i);
        lines.push_back(std::move(line));
    }
    return lines;
}

stringlist msdosListing() {
    stringlist lines;
    lines.reserve(kLines);
    for (size_t i = 0; i < kLines; ++i) {
        char date[32];
        std::snprintf(date, sizeof date, "%02zu-%02zu-%02zu  %02zu:%02zu%s  ", i % 12 + 1, i % 28 + 1, i % 30,
                      i % 12 + 1, i % 60, i % 2 ? "AM" : "PM");
        std::string line = date;
        line += i % 10 == 0 ? "     <DIR>          " : "         " + std::to_string((i * 7919) % 10000000) + " ";
        line += itemName(i);
        lines.push_back(std::move(line));
    }
    return lines;
}

// One line of each format in turn, as a listing of no known server might mix them.
stringlist mixedListing() {
    static const char* const kSamples[] = {
        "drwxr-xr-x   2 anna     staff        4096 Mar  5 14:02 docs",
        "-rw-r--r--+  1 1001     1001       102400 Mar  5  2019 big file.bin",
        "lrwxrwxrwx   1 root     root           10 Nov 20 14:02 link -> readme.txt",
        "-rw-r--r--   1 anna     staff           5  5. M\xC3\xA4r 14:02 notiz.txt",
        "03-05-17  02:15PM       <DIR>          My Folder",
        "11-30-2023  12:30AM              1,024 night.txt",
        "LOGIN.COM;2                1/3          5-MAR-2024 14:02:11  [STAFF,ANNA]    (RWED,RWED,RE,)",
        "QSYS           77824 02/23/00 15:09:55 *DIR       QDOC/",
        "+i8388621.44468,m839956783,r,s10376,\tRFCEPLF",
        "  1234      A          01-06-80  00:00  CONFIG.SYS",
        "d [RWCEAFMS] supervisor             512 Jan 16 18:53    login",
        "Tue Nov 30 09:15:00 2021        1,234  read me.txt",
    };
    stringlist lines;
    lines.reserve(kLines);
    for (size_t i = 0; i < kLines; ++i) lines.emplace_back(kSamples[i % std::size(kSamples)]);
    return lines;
}

stringlist machineListing() {
    stringlist lines;
    lines.reserve(kLines);
    for (size_t i = 0; i < kLines; ++i) {
        const bool dir = i % 10 == 0;
        std::string line = "modify=20";
        line += std::to_string(10 + i % 15);
        line += "0315101112;perm=adfr;";
        if (!dir) line += "size=" + std::to_string((i * 7919) % 10000000) + ";";
        line += dir ? "type=dir;" : "type=file;";
        line += "unique=FE00U" + std::to_string(i) + ";UNIX.mode=0644;UNIX.owner=1000; ";
        line += itemName(i);
        lines.push_back(std::move(line));
    }
    return lines;
}

void setPerLine(benchmark::State& state, size_t lines) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * lines));
    state.counters["per_line"] = benchmark::Counter(static_cast<double>(state.iterations() * lines),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Parses a LIST listing of kLines items again and again.
void parseListRepeatedly(benchmark::State& state, const stringlist& lines) {
    const OrbDateTime now(boost::posix_time::ptime(boost::gregorian::date(2026, 12, 8)));
    for (auto _ : state) {
        std::vector<RemoteItem> list;
        parseStandardList(lines, list, now);
        if (list.size() != kLines + 2) state.SkipWithError("wrong number of records");
        benchmark::DoNotOptimize(list.size());
    }
    setPerLine(state, kLines);
}

void BM_ParseUnixList(benchmark::State& state) { parseListRepeatedly(state, unixListing()); }
BENCHMARK(BM_ParseUnixList)->Unit(benchmark::kMillisecond);

void BM_ParseMSDosList(benchmark::State& state) { parseListRepeatedly(state, msdosListing()); }
BENCHMARK(BM_ParseMSDosList)->Unit(benchmark::kMillisecond);

void BM_ParseMixedList(benchmark::State& state) { parseListRepeatedly(state, mixedListing()); }
BENCHMARK(BM_ParseMixedList)->Unit(benchmark::kMillisecond);

void BM_ParseMachineList(benchmark::State& state) {
    const stringlist lines = machineListing();
    for (auto _ : state) {
        std::vector<RemoteItem> list;
        parseMachineList(lines, list);
        if (list.size() != kLines + 2) state.SkipWithError("wrong number of records");
        benchmark::DoNotOptimize(list.size());
    }
    setPerLine(state, kLines);
}
BENCHMARK(BM_ParseMachineList)->Unit(benchmark::kMillisecond);

// Walking a parsed listing with a wildcard, as Volan_GetRemoteListCount does.
void BM_CountWithWildcard(benchmark::State& state) {
    std::vector<RemoteItem> list;
    parseMachineList(machineListing(), list);
    for (auto _ : state) {
        int64_t count = 0;
        listItemCount(list, u"*.txt", count);
        benchmark::DoNotOptimize(count);
    }
    setPerLine(state, list.size());
}
BENCHMARK(BM_CountWithWildcard)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
