// Paths: splitting a million paths into directory, name and extension (goal P1) against the
// decomposition a user of std::filesystem would write.
#include <filesystem>
#include <string>
#include <vector>

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

}  // namespace
