// Paths and directories: splitting a million paths into directory, name and extension (goal
// P1) against the decomposition a user of std::filesystem would write, and listing a directory
// of 10,000 files with a pattern (goal L1) against opendir/readdir with fnmatch.
#include <dirent.h>
#include <fnmatch.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "SFM_Directory.h"
#include "SFM_FilePath.h"
#include "bench/bench_util.h"

namespace {

constexpr size_t kPathCount = 1000000;

// Half POSIX forms (/home/pcb/lib3/U17_v1.sch), half Windows forms (C:\work\lib3\U17.brd and
// \\srv\share\lib3\U17.brd), 2 to 4 directories deep.
const std::vector<std::string>& Paths() {
    static const std::vector<std::string> paths = [] {
        static const char* const kRoots[] = {"/home/pcb/", "/usr/share/boards/", "C:\\work\\",
                                             "\\\\srv\\share\\"};
        const std::vector<std::string> names = bench::MakeNames(kPathCount, 11);
        bench::Random random(5);
        std::vector<std::string> out;
        out.reserve(kPathCount);
        for (size_t i = 0; i < kPathCount; ++i) {
            const int root = random.Below(4);
            const char separator = root < 2 ? '/' : '\\';
            std::string path = kRoots[root];
            for (int depth = random.Below(3); depth >= 0; --depth)
                path += "lib" + std::to_string(random.Below(40)) + separator;
            out.push_back(path + names[i]);
        }
        return out;
    }();
    return paths;
}

bool IsPosixForm(const std::string& path) { return path[0] == '/'; }

// Total length of the extensions of the POSIX-form paths: the two splitters agree there.
size_t OursPosixExtensionBytes() {
    size_t total = 0;
    SFM_FilePath path;
    for (const std::string& text : Paths())
        if (IsPosixForm(text)) total += path.GetFileExtension(text.c_str()).GetLength();
    return total;
}

size_t PeerPosixExtensionBytes() {
    size_t total = 0;
    for (const std::string& text : Paths())
        if (IsPosixForm(text)) total += std::filesystem::path(text).extension().native().size();
    return total;
}

void P1_Ours(benchmark::State& state) {
    bench::RequireSame("P1", OursPosixExtensionBytes(), PeerPosixExtensionBytes());
    SFM_FilePath path;
    for (auto _ : state) {
        for (const std::string& text : Paths()) {
            path = text.c_str();
            benchmark::DoNotOptimize(path.GetFileDirectory());
            benchmark::DoNotOptimize(path.GetFileName());
            benchmark::DoNotOptimize(path.GetFileExtension());
        }
    }
    state.SetItemsProcessed(state.iterations() * kPathCount);
}

void P1_Peer(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::string& text : Paths()) {
            const std::filesystem::path path(text);
            benchmark::DoNotOptimize(path.parent_path());
            benchmark::DoNotOptimize(path.stem());
            benchmark::DoNotOptimize(path.extension());
        }
    }
    state.SetItemsProcessed(state.iterations() * kPathCount);
}

BENCH_REGISTER("BM_P1_ParsePaths1e6/ours", P1_Ours)->Unit(benchmark::kMillisecond);
BENCH_REGISTER("BM_P1_ParsePaths1e6/std_filesystem", P1_Peer)->Unit(benchmark::kMillisecond);

// ---- L1: listing 10,000 files with a pattern ----------------------------------------------
constexpr int kListedFiles = 10000;
const char kListPattern[] = "*.brd";

// A temporary directory of 10,000 files (a third of them .brd), removed at exit.
class ListingDirectory {
public:
    ListingDirectory() {
        char pattern[] = "/tmp/tessar_bench_list.XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        m_path = pattern;
        static const char* const kExtensions[] = {".brd", ".sch", ".txt"};
        const std::vector<std::string> names = bench::MakeNames(kListedFiles, 3);
        for (int i = 0; i < kListedFiles; ++i) {
            const std::string file = m_path + "/" + std::to_string(i) + "_" + names[i] + kExtensions[i % 3];
            if (FILE* created = std::fopen(file.c_str(), "w")) std::fclose(created);
        }
    }
    ~ListingDirectory() { std::filesystem::remove_all(m_path); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

const std::string& ListingPath() {
    static const ListingDirectory directory;
    return directory.Path();
}

long OursListed() {
    SFM_Directory dir(ListingPath().c_str());
    long count = 0;
    for (const char* name = dir.GetNextFile(kListPattern); name != nullptr; name = dir.GetNextFile())
        count += name[0] != '\0';
    return count;
}

long PeerListed() {
    DIR* dir = opendir(ListingPath().c_str());
    long count = 0;
    while (const dirent* entry = readdir(dir))
        count += entry->d_type != DT_DIR && fnmatch(kListPattern, entry->d_name, 0) == 0;
    closedir(dir);
    return count;
}

void L1_Ours(benchmark::State& state) {
    bench::RequireSame("L1", OursListed(), PeerListed());
    for (auto _ : state) benchmark::DoNotOptimize(OursListed());
    state.SetItemsProcessed(state.iterations() * kListedFiles);
}

void L1_Peer(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(PeerListed());
    state.SetItemsProcessed(state.iterations() * kListedFiles);
}

BENCH_REGISTER("BM_L1_ListDirectory10k/ours", L1_Ours)->Unit(benchmark::kMicrosecond);
BENCH_REGISTER("BM_L1_ListDirectory10k/readdir_fnmatch", L1_Peer)->Unit(benchmark::kMicrosecond);

}  // namespace
