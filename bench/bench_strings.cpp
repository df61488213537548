// Strings: searches, copies, edits, formatting, wildcard matching and numeric-aware ordering
// (goals S1-S7, W1, W2, N1), each against the peer a user would pick instead.
#include <fnmatch.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "SYS_String.h"
#include "bench/bench_util.h"

namespace {

constexpr size_t kMiB = 1 << 20;

// 1 MiB of text with `needle` placed at `where` (a fraction of the length).
std::string MakeHaystack(const std::string& needle, double where) {
    std::string text(kMiB, 'a');
    for (size_t i = 0; i < text.size(); i += 61) text[i] = 'b';
    text.replace(static_cast<size_t>(text.size() * where), needle.size(), needle);
    return text;
}

// ---- S1: Find(char), 1 MiB ----------------------------------------------------------------
const std::string& S1Text() {
    static const std::string text = MakeHaystack("Z", 0.9);
    return text;
}
void S1_Ours(benchmark::State& state) {
    SYS_String text(S1Text().c_str());
    bench::RequireSame("S1", text.Find('Z', 0), static_cast<int>(S1Text().find('Z')));
    for (auto _ : state) benchmark::DoNotOptimize(text.Find('Z', 0));
    state.SetBytesProcessed(state.iterations() * kMiB);
}
void S1_Peer(benchmark::State& state) {
    const std::string& text = S1Text();
    for (auto _ : state) benchmark::DoNotOptimize(text.find('Z'));
    state.SetBytesProcessed(state.iterations() * kMiB);
}
BENCH_REGISTER("BM_S1_FindChar1MiB/ours", S1_Ours);
BENCH_REGISTER("BM_S1_FindChar1MiB/std_find", S1_Peer);

// ---- S2: ReverseFind(char), 1 MiB -----------------------------------------------------------
const std::string& S2Text() {
    static const std::string text = MakeHaystack("Z", 0.1);
    return text;
}
void S2_Ours(benchmark::State& state) {
    SYS_String text(S2Text().c_str());
    bench::RequireSame("S2", text.ReverseFind('Z', -2), static_cast<int>(S2Text().rfind('Z')));
    for (auto _ : state) benchmark::DoNotOptimize(text.ReverseFind('Z', -2));
}
void S2_Memrchr(benchmark::State& state) {
    const std::string& text = S2Text();
    for (auto _ : state) benchmark::DoNotOptimize(memrchr(text.data(), 'Z', text.size()));
}
void S2_StdRfind(benchmark::State& state) {
    const std::string& text = S2Text();
    for (auto _ : state) benchmark::DoNotOptimize(text.rfind('Z'));
}
BENCH_REGISTER("BM_S2_ReverseFindChar1MiB/ours", S2_Ours);
BENCH_REGISTER("BM_S2_ReverseFindChar1MiB/memrchr", S2_Memrchr);
BENCH_REGISTER("BM_S2_ReverseFindChar1MiB/std_rfind", S2_StdRfind);

// ---- S3: Find(substring), 1 MiB --------------------------------------------------------------
const std::string& S3Text() {
    static const std::string text = MakeHaystack("NET=VCC_CORE", 0.9);
    return text;
}
void S3_Ours(benchmark::State& state) {
    SYS_String text(S3Text().c_str());
    bench::RequireSame("S3", text.Find("NET=VCC_CORE", 0), static_cast<int>(S3Text().find("NET=VCC_CORE")));
    for (auto _ : state) benchmark::DoNotOptimize(text.Find("NET=VCC_CORE", 0));
}
void S3_Peer(benchmark::State& state) {
    const std::string& text = S3Text();
    for (auto _ : state) benchmark::DoNotOptimize(text.find("NET=VCC_CORE"));
}
BENCH_REGISTER("BM_S3_FindSubstring1MiB/ours", S3_Ours);
BENCH_REGISTER("BM_S3_FindSubstring1MiB/std_find", S3_Peer);

// ---- S4: Find(char) on short names ------------------------------------------------------------
const std::vector<std::string>& Names() {
    static const std::vector<std::string> names = bench::MakeNames(100000);
    return names;
}
std::vector<SYS_String> SysNames() {
    std::vector<SYS_String> names;
    names.reserve(Names().size());
    for (const std::string& name : Names()) names.emplace_back(name.c_str());
    return names;
}
void S4_Ours(benchmark::State& state) {
    std::vector<SYS_String> names = SysNames();
    long expected = 0;
    for (const std::string& n : Names()) expected += static_cast<long>(n.find('_'));
    long found = 0;
    for (const SYS_String& n : names) found += n.Find('_', 0);
    bench::RequireSame("S4", found, expected);
    for (auto _ : state)
        for (const SYS_String& n : names) benchmark::DoNotOptimize(n.Find('_', 0));
    state.SetItemsProcessed(state.iterations() * names.size());
}
void S4_Peer(benchmark::State& state) {
    for (auto _ : state)
        for (const std::string& n : Names()) benchmark::DoNotOptimize(n.find('_'));
    state.SetItemsProcessed(state.iterations() * Names().size());
}
// memchr over the same names kept in heap blocks of their own with their lengths beside them,
// as SYS_String keeps them (std::string keeps short names inside the vector).
void S4_PeerHeapTexts(benchmark::State& state) {
    std::vector<std::pair<char*, size_t>> names;
    for (const std::string& n : Names()) names.emplace_back(strdup(n.c_str()), n.size());
    for (auto _ : state)
        for (const auto& n : names) benchmark::DoNotOptimize(std::memchr(n.first, '_', n.second));
    state.SetItemsProcessed(state.iterations() * names.size());
    for (auto& n : names) free(n.first);
}
BENCH_REGISTER("BM_S4_FindCharShortNames/memchr_heap_texts", S4_PeerHeapTexts);
BENCH_REGISTER("BM_S4_FindCharShortNames/ours", S4_Ours);
BENCH_REGISTER("BM_S4_FindCharShortNames/std_find", S4_Peer);

// ---- S5: copies -------------------------------------------------------------------------------
template <size_t N>
void S5_Ours(benchmark::State& state) {
    SYS_String source(std::string(N, 'x').c_str());
    for (auto _ : state) {
        SYS_String copy(source);
        benchmark::DoNotOptimize(copy);
    }
}
template <size_t N>
void S5_Peer(benchmark::State& state) {
    std::string source(N, 'x');
    for (auto _ : state) {
        std::string copy(source);
        benchmark::DoNotOptimize(copy);
    }
}
BENCH_REGISTER("BM_S5_Copy8B/ours", S5_Ours<8>);
BENCH_REGISTER("BM_S5_Copy8B/std_string", S5_Peer<8>);
BENCH_REGISTER("BM_S5_Copy200B/ours", S5_Ours<200>);
BENCH_REGISTER("BM_S5_Copy200B/std_string", S5_Peer<200>);

// ---- S6: copy + trim, copy + insert ------------------------------------------------------------
const char kPadded[] = "   R1203_v2.sch   ";
void S6_TrimOurs(benchmark::State& state) {
    SYS_String source(kPadded);
    for (auto _ : state) {
        SYS_String copy(source);
        copy.AllTrim("");
        benchmark::DoNotOptimize(copy);
    }
}
void S6_TrimPeer(benchmark::State& state) {
    std::string source(kPadded);
    for (auto _ : state) {
        std::string copy(source);
        copy.erase(copy.find_last_not_of(' ') + 1);
        copy.erase(0, copy.find_first_not_of(' '));
        benchmark::DoNotOptimize(copy);
    }
}
const std::string kInsert(64, 'i');
void S6_InsertOurs(benchmark::State& state) {
    SYS_String source("NET_VCC_CORE_3V3");
    for (auto _ : state) {
        SYS_String copy(source);
        copy.Insert(4, kInsert.c_str());
        benchmark::DoNotOptimize(copy);
    }
}
void S6_InsertPeer(benchmark::State& state) {
    std::string source("NET_VCC_CORE_3V3");
    for (auto _ : state) {
        std::string copy(source);
        copy.insert(4, kInsert);
        benchmark::DoNotOptimize(copy);
    }
}
BENCH_REGISTER("BM_S6_CopyAllTrim/ours", S6_TrimOurs);
BENCH_REGISTER("BM_S6_CopyAllTrim/std_string", S6_TrimPeer);
BENCH_REGISTER("BM_S6_CopyInsert64/ours", S6_InsertOurs);
BENCH_REGISTER("BM_S6_CopyInsert64/std_string", S6_InsertPeer);

// ---- S7: formatting ------------------------------------------------------------------------------
void S7_FormatOurs(benchmark::State& state) {
    SYS_String text;
    for (auto _ : state) {
        text.Format("%s at (%d, %d)", "U17", 1500000, -38100);
        benchmark::DoNotOptimize(text);
    }
}
void S7_FormatPeer(benchmark::State& state) {
    char buffer[64];
    for (auto _ : state) {
        std::snprintf(buffer, sizeof buffer, "%s at (%d, %d)", "U17", 1500000, -38100);
        benchmark::DoNotOptimize(buffer);
    }
}
void S7_DoubleOurs(benchmark::State& state) {
    for (auto _ : state) {
        SYS_String text;
        text << 1234.5678;
        benchmark::DoNotOptimize(text);
    }
}
void S7_DoublePeer(benchmark::State& state) {
    char buffer[64];
    for (auto _ : state) {
        std::snprintf(buffer, sizeof buffer, "%f", 1234.5678);
        benchmark::DoNotOptimize(buffer);
    }
}
BENCH_REGISTER("BM_S7_Format3Args/ours", S7_FormatOurs);
BENCH_REGISTER("BM_S7_Format3Args/snprintf", S7_FormatPeer);
BENCH_REGISTER("BM_S7_AppendDouble/ours", S7_DoubleOurs);
BENCH_REGISTER("BM_S7_AppendDouble/snprintf", S7_DoublePeer);

// ---- W1, W2: wildcard matching -------------------------------------------------------------------
const char* const kWildcards[] = {"*.brd", "U[0-9]*", "*_v?.sch", "[!a-c]*1*.*"};

void W1_Ours(benchmark::State& state) {
    const char* pattern = kWildcards[state.range(0)];
    SYS_String wild(pattern);
    std::vector<SYS_String> names = SysNames();
    long ours = 0, peer = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        ours += names[i].Match(wild);
        peer += fnmatch(pattern, Names()[i].c_str(), 0) == 0;
    }
    bench::RequireSame("W1", ours, peer);
    for (auto _ : state)
        for (const SYS_String& n : names) benchmark::DoNotOptimize(n.Match(wild));
    state.SetItemsProcessed(state.iterations() * names.size());
}
void W1_Peer(benchmark::State& state) {
    const char* pattern = kWildcards[state.range(0)];
    for (auto _ : state)
        for (const std::string& n : Names()) benchmark::DoNotOptimize(fnmatch(pattern, n.c_str(), 0));
    state.SetItemsProcessed(state.iterations() * Names().size());
}
BENCH_REGISTER("BM_W1_MatchNames/ours", W1_Ours)->DenseRange(0, 3);
BENCH_REGISTER("BM_W1_MatchNames/fnmatch", W1_Peer)->DenseRange(0, 3);

const char kStars[] = "*a*b*c*d*e*f*g*z";  // eight stars and a tail that never matches
void W2_Ours(benchmark::State& state) {
    SYS_String text(std::string(state.range(0), 'a').c_str());
    SYS_String wild(kStars);
    bench::RequireSame("W2", text.Match(wild), FALSE);
    for (auto _ : state) benchmark::DoNotOptimize(text.Match(wild));
}
void W2_Peer(benchmark::State& state) {
    std::string text(state.range(0), 'a');
    for (auto _ : state) benchmark::DoNotOptimize(fnmatch(kStars, text.c_str(), 0));
}
BENCH_REGISTER("BM_W2_EightStars/ours", W2_Ours)->Arg(40)->Arg(1000);
BENCH_REGISTER("BM_W2_EightStars/fnmatch", W2_Peer)->Arg(40)->Arg(1000);

// ---- N1: sort names by numeric-aware comparison ------------------------------------------------------
void N1_Ours(benchmark::State& state) {
    std::vector<SYS_String> names = SysNames();
    for (auto _ : state) {
        std::vector<SYS_String> work(names);
        std::sort(work.begin(), work.end(),
                  [](const SYS_String& a, const SYS_String& b) { return a.CompareAlNum(b) < 0; });
        benchmark::DoNotOptimize(work.data());
    }
}
void N1_Peer(benchmark::State& state) {
    std::vector<std::string> names(Names());
    for (auto _ : state) {
        std::vector<std::string> work(names);
        std::sort(work.begin(), work.end(), [](const std::string& a, const std::string& b) {
            return strverscmp(a.c_str(), b.c_str()) < 0;
        });
        benchmark::DoNotOptimize(work.data());
    }
}
// The same compares on texts that live in heap blocks of their own, as SYS_String's do (the
// peer above keeps short names inside the vector): what the indirection alone costs.
void N1_PeerHeapTexts(benchmark::State& state) {
    std::vector<char*> names;
    for (const std::string& name : Names()) names.push_back(strdup(name.c_str()));
    for (auto _ : state) {
        std::vector<char*> work(names);
        std::sort(work.begin(), work.end(), [](const char* a, const char* b) { return strverscmp(a, b) < 0; });
        benchmark::DoNotOptimize(work.data());
    }
    for (char* name : names) free(name);
}
BENCH_REGISTER("BM_N1_SortNamesAlNum/ours", N1_Ours);
BENCH_REGISTER("BM_N1_SortNamesAlNum/strverscmp", N1_Peer);
BENCH_REGISTER("BM_N1_SortNamesAlNum/strverscmp_heap_texts", N1_PeerHeapTexts);

}  // namespace
