// Copying a file through OrbFileStream: read in requests of a given size from one stream, written
// to another. "bench_filestream --copy SOURCE TARGET [REQUEST_BYTES]" copies one file (native
// paths) and prints the seconds it took; bench/filestream.sh times that against cp. Without
// --copy it runs the micro-benchmarks: a 64 MiB file copied with several request sizes.
#include "_Common/FileAndStream/Orb_FileStream.h"

#include <platform/Files.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

OrbFileRef fileRef(const std::string& nativePath) {
    std::u16string windowsPath;
    if (!platform::fileWindowsPath(nativePath, windowsPath)) return OrbFileRef();
    return OrbFileRef(windowsPath);
}

// The whole file through two streams with the plug-in's 16384-byte buffers; false on failure.
bool copyThroughStreams(const std::string& source, const std::string& target, int64_t request) {
    OrbFileStream in(OrbFileStream::kDefaultBufferSize), out(OrbFileStream::kDefaultBufferSize);
    if (!in.attachToFile(fileRef(source), kFileStreamRead) || !out.attachToFile(fileRef(target), kFileStreamWrite) ||
        !out.resize(0))
        return false;
    std::vector<char> buffer(static_cast<size_t>(request));
    for (;;) {
        int64_t got = 0;
        if (!in.readBytes(buffer.data(), request, got)) return false;
        if (got == 0) break;
        if (!out.writeBytes(buffer.data(), got)) return false;
    }
    return out.detachFromFile();
}

std::string scratchFile(const char* name, int64_t size) {
    const std::string path = std::string("/tmp/volan-bench-") + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::vector<char> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + i / 7);
    for (int64_t done = 0; f && done < size; done += static_cast<int64_t>(block.size()))
        std::fwrite(block.data(), 1, block.size(), f);
    if (f) std::fclose(f);
    return path;
}

void BM_FileStreamCopy(benchmark::State& state) {
    const int64_t size = int64_t{64} << 20;
    static const std::string source = scratchFile("source", size);
    const std::string target = "/tmp/volan-bench-target";
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(target.c_str());  // every copy makes a new file, as cp does
        state.ResumeTiming();
        if (!copyThroughStreams(source, target, state.range(0))) state.SkipWithError("copy failed");
    }
    state.SetBytesProcessed(state.iterations() * size);
    std::remove(target.c_str());
}
BENCHMARK(BM_FileStreamCopy)->Arg(4096)->Arg(16384)->Arg(65536)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--copy") == 0) {
        const int64_t request = argc >= 5 ? std::atoll(argv[4]) : int64_t{1} << 20;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = request > 0 && copyThroughStreams(argv[2], argv[3], request);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!ok) {
            std::fprintf(stderr, "bench_filestream: copying %s failed\n", argv[2]);
            return 1;
        }
        std::printf("%.3f\n", took.count());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove("/tmp/volan-bench-source");
    return 0;
}
