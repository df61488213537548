// Files (goals F1-F4): GetLine over a 64 MiB text file against an fgets loop, block Read against
// fread, typed Put/Get of a million ints against fwrite/fread of 4 bytes, and summing a mapped
// file against mmap. Each pair reads the same file and must compute the same result.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "SFM_File.h"
#include "bench/bench_util.h"

namespace {

// The C stream calls of the peers, with the stream's lock (what most code calls) or without it
// (the _unlocked forms a single-threaded reader may call, as the library's files skip the lock).
template <bool Unlocked>
struct Stdio {
    static char* Gets(char* buffer, int size, FILE* file) {
        return Unlocked ? fgets_unlocked(buffer, size, file) : std::fgets(buffer, size, file);
    }
    static size_t Read(void* to, size_t size, size_t count, FILE* file) {
        return Unlocked ? fread_unlocked(to, size, count, file) : std::fread(to, size, count, file);
    }
    static size_t Write(const void* from, size_t size, size_t count, FILE* file) {
        return Unlocked ? fwrite_unlocked(from, size, count, file) : std::fwrite(from, size, count, file);
    }
};

constexpr long kFileBytes = 64L << 20;
constexpr long kBlock = 64L << 10;
constexpr int kInts = 1000000;

std::string TempPath(const char* name) {
    const char* base = std::getenv("TMPDIR");
    return std::string(base != nullptr && base[0] ? base : "/tmp") + "/tessar_bench_" +
           std::to_string(getpid()) + "_" + name;
}

// A 64 MiB text of 60-byte lines, written once per run and removed at exit.
const std::string& TextFile() {
    static const std::string path = [] {
        std::string name = TempPath("lines.txt");
        FILE* file = std::fopen(name.c_str(), "wb");
        bench::Random random(11);
        std::string line;
        for (long written = 0; written < kFileBytes; written += 60) {
            line.assign(59, 'a');
            for (char& c : line) c = static_cast<char>('a' + random.Below(26));
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), file);
        }
        std::fclose(file);
        std::atexit([] { std::remove(TempPath("lines.txt").c_str()); });
        return name;
    }();
    return path;
}

// ---- F1: lines ---------------------------------------------------------------------------------
void LinesOurs(benchmark::State& state) {
    for (auto _ : state) {
        SFM_File file(TextFile().c_str(), "r");
        long lines = 0;
        while (!file.GetLine(0).IsEmpty()) ++lines;
        bench::RequireSame("F1", lines, kFileBytes / 60 + (kFileBytes % 60 != 0));
    }
}
BENCH_REGISTER("BM_F1_GetLine/ours", LinesOurs)->Unit(benchmark::kMillisecond);

template <bool Unlocked>
void LinesFgets(benchmark::State& state) {
    for (auto _ : state) {
        FILE* file = std::fopen(TextFile().c_str(), "r");
        char buffer[512];
        long lines = 0;
        while (Stdio<Unlocked>::Gets(buffer, sizeof buffer, file) != nullptr) ++lines;
        std::fclose(file);
        bench::RequireSame("F1", lines, kFileBytes / 60 + (kFileBytes % 60 != 0));
    }
}
BENCH_REGISTER("BM_F1_GetLine/fgets", LinesFgets<false>)->Unit(benchmark::kMillisecond);
BENCH_REGISTER("BM_F1_GetLine/fgets_unlocked", LinesFgets<true>)->Unit(benchmark::kMillisecond);

// ---- F2: blocks --------------------------------------------------------------------------------
long SumBytes(const unsigned char* bytes, long count) {
    long sum = 0;
    for (long i = 0; i < count; ++i) sum += bytes[i];
    return sum;
}

void BlocksOurs(benchmark::State& state) {
    std::vector<char> buffer(kBlock);
    for (auto _ : state) {
        SFM_File file(TextFile().c_str(), "rb");
        long total = 0;
        for (long got; (got = file.Read(buffer.data(), kBlock)) > 0;) total += got;
        bench::RequireSame("F2", total, kFileBytes + 60 - kFileBytes % 60);
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCH_REGISTER("BM_F2_Read/ours", BlocksOurs)->Unit(benchmark::kMillisecond);

template <bool Unlocked>
void BlocksFread(benchmark::State& state) {
    std::vector<char> buffer(kBlock);
    for (auto _ : state) {
        FILE* file = std::fopen(TextFile().c_str(), "rb");
        long total = 0;
        for (size_t got; (got = Stdio<Unlocked>::Read(buffer.data(), 1, kBlock, file)) > 0;) total += got;
        std::fclose(file);
        bench::RequireSame("F2", total, kFileBytes + 60 - kFileBytes % 60);
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCH_REGISTER("BM_F2_Read/fread", BlocksFread<false>)->Unit(benchmark::kMillisecond);
BENCH_REGISTER("BM_F2_Read/fread_unlocked", BlocksFread<true>)->Unit(benchmark::kMillisecond);

// ---- F3: typed values --------------------------------------------------------------------------
constexpr long kIntSum = static_cast<long>(kInts) * (kInts - 1) / 2;

void TypedOurs(benchmark::State& state) {
    const std::string path = TempPath("ints.bin");
    for (auto _ : state) {
        {
            SFM_File file(path.c_str(), "wb");
            for (int i = 0; i < kInts; ++i) file.Put(i);
        }
        SFM_File file(path.c_str(), "rb");
        long sum = 0;
        int value = 0;
        for (int i = 0; i < kInts; ++i) sum += file.Get(value);
        bench::RequireSame("F3", sum, kIntSum);
    }
    std::remove(path.c_str());
}
BENCH_REGISTER("BM_F3_PutGet/ours", TypedOurs)->Unit(benchmark::kMillisecond);

template <bool Unlocked>
void TypedStdio(benchmark::State& state) {
    const std::string path = TempPath(Unlocked ? "ints_unlocked.bin" : "ints_stdio.bin");
    for (auto _ : state) {
        FILE* out = std::fopen(path.c_str(), "wb");
        for (int i = 0; i < kInts; ++i) Stdio<Unlocked>::Write(&i, 4, 1, out);
        std::fclose(out);
        FILE* in = std::fopen(path.c_str(), "rb");
        long sum = 0;
        int value = 0;
        for (int i = 0; i < kInts; ++i) {
            Stdio<Unlocked>::Read(&value, 4, 1, in);
            sum += value;
        }
        std::fclose(in);
        bench::RequireSame("F3", sum, kIntSum);
    }
    std::remove(path.c_str());
}
BENCH_REGISTER("BM_F3_PutGet/fwrite_fread", TypedStdio<false>)->Unit(benchmark::kMillisecond);
BENCH_REGISTER("BM_F3_PutGet/fwrite_fread_unlocked", TypedStdio<true>)->Unit(benchmark::kMillisecond);

// ---- F4: mapping -------------------------------------------------------------------------------
long ExpectedMappedSum() {
    static const long sum = [] {
        std::vector<unsigned char> buffer(kBlock);
        FILE* file = std::fopen(TextFile().c_str(), "rb");
        long total = 0;
        for (size_t got; (got = std::fread(buffer.data(), 1, kBlock, file)) > 0;)
            total += SumBytes(buffer.data(), static_cast<long>(got));
        std::fclose(file);
        return total;
    }();
    return sum;
}

void MappedOurs(benchmark::State& state) {
    const long expected = ExpectedMappedSum();
    for (auto _ : state) {
        SFM_File file(TextFile().c_str(), "rb");
        long length = file.GetLength();
        const auto* view = static_cast<const unsigned char*>(file.MapToMemory());
        bench::RequireSame("F4", SumBytes(view, length), expected);
    }
}
BENCH_REGISTER("BM_F4_MappedSum/ours", MappedOurs)->Unit(benchmark::kMillisecond);

void MappedMmap(benchmark::State& state) {
    const long expected = ExpectedMappedSum();
    for (auto _ : state) {
        int descriptor = open(TextFile().c_str(), O_RDONLY);
        struct stat info;
        fstat(descriptor, &info);
        void* view = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE, descriptor, 0);
        bench::RequireSame("F4", SumBytes(static_cast<const unsigned char*>(view), info.st_size),
                           expected);
        munmap(view, static_cast<size_t>(info.st_size));
        close(descriptor);
    }
}
BENCH_REGISTER("BM_F4_MappedSum/mmap", MappedMmap)->Unit(benchmark::kMillisecond);

}  // namespace
