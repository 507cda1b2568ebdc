// Reading a large preferences text into variables, and UTF-8 <-> UTF-16 conversion of 10 MB.
#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/Strings/Orb_SCSU.h"
#include "_Common/Strings/Orb_String.h"

#include <benchmark/benchmark.h>

namespace {

// 10,000 stored lines of the kinds the preferences file holds.
ucstringlist preferenceLines() {
    ucstringlist lines;
    lines.reserve(10000);
    for (int i = 0; lines.size() < 10000; ++i) {
        const std::string n = std::to_string(i);
        lines.push_back(ucstringFromString("Server" + n + "=\"ftp" + n + ".example.com\""));
        lines.push_back(ucstringFromString("Port" + n + "=21"));
        lines.push_back(ucstringFromString("Ratio" + n + "=0.75"));
        lines.push_back(
            ucstringFromString("Folder" + n + "=\"C:\\\\Users\\\\anna\\\\Documents\\\\Project " + n + "\""));
        lines.push_back(ucstringFromString("Recent" + n + "=\"a.txt<CR>b.txt<CR>c.txt\""));
    }
    return lines;
}

// Mostly ASCII with Latin, Cyrillic, CJK and emoji mixed in, about `bytes` long in UTF-8.
std::string mixedUTF8(size_t bytes) {
    const std::string piece =
        "The quick brown fox jumps over the lazy dog. Caf\xC3\xA9 na\xC3\xAFve "
        "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xF0\x9F\x98\x80\n";
    std::string s;
    s.reserve(bytes + piece.size());
    while (s.size() < bytes) s += piece;
    return s;
}

void BM_ParsePreferences(benchmark::State& state) {
    const ucstringlist lines = preferenceLines();
    for (auto _ : state) {
        OrbVariableArray array;
        ucstring error;
        if (!array.parseVariables(error, lines, true, false, true)) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(array.size());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lines.size()));
}
BENCHMARK(BM_ParsePreferences)->Unit(benchmark::kMillisecond);

void BM_SavePreferences(benchmark::State& state) {
    OrbVariableArray array;
    ucstring error;
    array.parseVariables(error, preferenceLines(), true, false, true);
    for (auto _ : state) {
        ucstringlist lines;
        array.copyVariablesToList(lines, true, false);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(array.size()));
}
BENCHMARK(BM_SavePreferences)->Unit(benchmark::kMillisecond);

void BM_UTF8ToUTF16(benchmark::State& state) {
    const std::string utf8 = mixedUTF8(10 * 1024 * 1024);
    for (auto _ : state) {
        ucstring wide = ucstringFromUTF8String(utf8);
        benchmark::DoNotOptimize(wide.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(utf8.size()));
}
BENCHMARK(BM_UTF8ToUTF16)->Unit(benchmark::kMillisecond);

void BM_UTF16ToUTF8(benchmark::State& state) {
    const std::string utf8 = mixedUTF8(10 * 1024 * 1024);
    const ucstring wide = ucstringFromUTF8String(utf8);
    for (auto _ : state) {
        std::string back = ucstringToUTF8String(wide);
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(utf8.size()));
}
BENCHMARK(BM_UTF16ToUTF8)->Unit(benchmark::kMillisecond);

void BM_SCSURoundTrip(benchmark::State& state) {
    const ucstring wide = ucstringFromUTF8String(mixedUTF8(1024 * 1024));
    for (auto _ : state) {
        std::string scsu;
        encodeFMUnicode(scsu, wide);
        ucstring back;
        benchmark::DoNotOptimize(decodeFMUnicode(back, scsu));
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(wide.size() * 2));
}
BENCHMARK(BM_SCSURoundTrip)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
