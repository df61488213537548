// Message database (goals D1, D2): getTxt over random keys against fseek+fread (and pread) of
// the same bytes through an unordered_map of offsets; loading a 32,000-record .mdb against one
// fread plus 32,000 map inserts, and a 100,000-line text file against two fgets passes.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "SFM_MessageDB.h"
#include "bench/bench_util.h"

namespace {

struct Location {
    long offset;
    int length;
};

// Message files written once per process: a text form and the binary form saved from it.
struct Files {
    std::string text;         // 10,000 messages in 20 sections
    std::string binary;       // its binary form
    std::string bigText;      // 100,000 lines
    std::string bigBinary;    // 32,000 records
    std::vector<int> keys;    // 1e5 random message keys of `text`

    ~Files() {
        for (const std::string& path : {text, binary, bigText, bigBinary, bigBinary + ".txt"})
            std::remove(path.c_str());
    }
};

std::string TempName(const char* suffix) {
    return "/tmp/tessar_bench_msgdb_" + std::to_string(getpid()) + suffix;
}

void Write(const std::string& path, const std::string& content) {
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}

// `sections` sections of `perSection` messages with texts of 20 to 80 bytes.
std::string MessageText(int sections, int perSection, uint64_t seed) {
    bench::Random random(seed);
    std::string out;
    for (int s = 0; s < sections; ++s) {
        out += "[Section" + std::to_string(s) + "]\n";
        for (int n = 1; n <= perSection; ++n)
            out += std::to_string(n) + ":" + std::string(20 + random.Below(60), 'a' + s % 26) + "\n";
    }
    return out;
}

const Files& GetFiles() {
    static const Files files = [] {
        Files f;
        f.text = TempName(".txt");
        f.binary = TempName(".mdb");
        f.bigText = TempName("_big.txt");
        f.bigBinary = TempName("_big.mdb");
        Write(f.text, MessageText(20, 500, 3));
        Write(f.bigText, MessageText(100, 999, 4));  // 100,000 lines
        Write(f.bigBinary + ".txt", MessageText(64, 499, 5));  // 31,936 + 64 = 32,000 entries
        SFM_MessageDB(f.text.c_str(), 0).Save(f.binary.c_str());
        SFM_MessageDB((f.bigBinary + ".txt").c_str(), 0).Save(f.bigBinary.c_str());
        SFM_MessageDB db(f.text.c_str(), 0);
        const std::vector<int32_t>& all = db.GetKeys();
        bench::Random random(9);
        for (int i = 0; i < 100000; ++i) {
            int key;
            do key = all[static_cast<size_t>(random.Below(static_cast<int>(all.size())))]; while (key < 0);
            f.keys.push_back(key);
        }
        return f;
    }();
    return files;
}

// The peer's index: the same offsets and lengths the database holds, read from the text form.
std::unordered_map<int, Location> PeerIndex(const std::string& path) {
    std::unordered_map<int, Location> index;
    FILE* file = std::fopen(path.c_str(), "rb");
    char line[512];
    long base = 0, lastKey = 0, offset = 0;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        const long length = static_cast<long>(std::strlen(line));
        const char* colon = std::strchr(line, ':');
        if (line[0] == '[') {
            base = lastKey + 2;
        } else if (colon != nullptr) {
            lastKey = base + std::strtol(line, nullptr, 10);
            const int textLength = static_cast<int>(length - 1 - (colon + 1 - line));
            index.emplace(static_cast<int>(lastKey), Location{offset + (colon + 1 - line), textLength});
        }
        offset += length;
    }
    std::fclose(file);
    return index;
}

size_t SumOurs(SFM_MessageDB& db, const std::vector<int>& keys) {
    size_t sum = 0;
    for (int key : keys) sum += static_cast<size_t>(db.getTxt(key).GetLength());
    return sum;
}

size_t SumFread(FILE* file, const std::unordered_map<int, Location>& index,
                const std::vector<int>& keys) {
    size_t sum = 0;
    for (int key : keys) {
        char buffer[200] = {};
        const Location& at = index.find(key)->second;
        std::fseek(file, at.offset, SEEK_SET);
        std::fread(buffer, 1, static_cast<size_t>(at.length), file);
        sum += std::string(buffer).size();
    }
    return sum;
}

size_t SumPread(int fd, const std::unordered_map<int, Location>& index,
                const std::vector<int>& keys) {
    size_t sum = 0;
    for (int key : keys) {
        char buffer[200] = {};
        const Location& at = index.find(key)->second;
        benchmark::DoNotOptimize(pread(fd, buffer, static_cast<size_t>(at.length), at.offset));
        sum += std::string(buffer).size();
    }
    return sum;
}

void D1Ours(benchmark::State& state) {
    const Files& f = GetFiles();
    SFM_MessageDB db(f.text.c_str(), 0);
    FILE* file = std::fopen(f.text.c_str(), "rb");
    bench::RequireSame("getTxt", SumOurs(db, f.keys), SumFread(file, PeerIndex(f.text), f.keys));
    std::fclose(file);
    for (auto _ : state) benchmark::DoNotOptimize(SumOurs(db, f.keys));
}

void D1Fread(benchmark::State& state) {
    const Files& f = GetFiles();
    const auto index = PeerIndex(f.text);
    FILE* file = std::fopen(f.text.c_str(), "rb");
    for (auto _ : state) benchmark::DoNotOptimize(SumFread(file, index, f.keys));
    std::fclose(file);
}

void D1Pread(benchmark::State& state) {
    const Files& f = GetFiles();
    const auto index = PeerIndex(f.text);
    const int fd = open(f.text.c_str(), O_RDONLY);
    for (auto _ : state) benchmark::DoNotOptimize(SumPread(fd, index, f.keys));
    close(fd);
}

void D2BinaryOurs(benchmark::State& state) {
    const Files& f = GetFiles();
    for (auto _ : state) {
        SFM_MessageDB db(f.bigBinary.c_str());
        benchmark::DoNotOptimize(db.GetCount());
    }
}

// One fread of the whole file and one map insert per record.
void D2BinaryPeer(benchmark::State& state) {
    const Files& f = GetFiles();
    for (auto _ : state) {
        FILE* file = std::fopen(f.bigBinary.c_str(), "rb");
        std::fseek(file, 0, SEEK_END);
        std::vector<char> bytes(static_cast<size_t>(std::ftell(file)));
        std::rewind(file);
        benchmark::DoNotOptimize(std::fread(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
        int16_t records;
        std::memcpy(&records, bytes.data() + 4, 2);
        std::unordered_map<int, Location> index;
        for (int i = 0; i < records; ++i) {
            const char* record = bytes.data() + 14 + 36 * i;
            int32_t offset, length;
            std::memcpy(&offset, record + 4, 4);
            std::memcpy(&length, record + 8, 4);
            index.emplace(std::atoi(record + 16), Location{offset, length});
        }
        benchmark::DoNotOptimize(index.size());
    }
}

void D2TextOurs(benchmark::State& state) {
    const Files& f = GetFiles();
    for (auto _ : state) {
        SFM_MessageDB db(f.bigText.c_str(), 0);
        benchmark::DoNotOptimize(db.GetCount());
    }
}

// Two fgets passes over the file: one to count the lines, one to read them.
void D2TextPeer(benchmark::State& state) {
    const Files& f = GetFiles();
    for (auto _ : state) {
        FILE* file = std::fopen(f.bigText.c_str(), "r");
        char line[512];
        long lines = 0;
        for (int pass = 0; pass < 2; ++pass) {
            std::rewind(file);
            while (std::fgets(line, sizeof line, file) != nullptr) ++lines;
        }
        std::fclose(file);
        benchmark::DoNotOptimize(lines);
    }
}

}  // namespace

BENCH_REGISTER("BM_D1_GetTxt/ours", D1Ours);
BENCH_REGISTER("BM_D1_GetTxt/fseek_fread", D1Fread);
BENCH_REGISTER("BM_D1_GetTxt/pread", D1Pread);
BENCH_REGISTER("BM_D2_LoadMdb32k/ours", D2BinaryOurs);
BENCH_REGISTER("BM_D2_LoadMdb32k/fread_unordered_map", D2BinaryPeer);
BENCH_REGISTER("BM_D2_LoadText100k/ours", D2TextOurs);
BENCH_REGISTER("BM_D2_LoadText100k/two_fgets_passes", D2TextPeer);
