// Regular expressions (goals R1-R3): every match over 1 MiB of board text by repeated first
// match (what Substitute does), for six patterns, against std::regex, boost::regex, RE2 and
// PCRE2 (interpreter and JIT). Match counts are checked equal to PCRE2's before timing.
#include <regex>
#include <string>

#include "SYS_StrPattern.h"
#include "bench/bench_util.h"

#if TESSAR_HAVE_BOOST
#include <boost/regex.hpp>
#endif
#if TESSAR_HAVE_RE2
#include <re2/re2.h>
#endif
#if TESSAR_HAVE_PCRE2
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>
#endif

namespace {

struct Pattern {
    const char* id;  // goal ID and workload
    const char* ours;
    const char* perl;
};

// The same expressions in this library's syntax and in Perl syntax.
const Pattern kPatterns[] = {
    {"R3_Literal0", "NET=VCC_CORE", "NET=VCC_CORE"},
    {"R1_Class1", "[0-9]+\\.[0-9]+mm", "[0-9]+\\.[0-9]+mm"},
    {"R2_Group2", "(PAD|VIA|TRACK) [0-9]+", "(PAD|VIA|TRACK) [0-9]+"},
    {"R3_Literal3", "X=[-+]?[0-9]+\\.?[0-9]*", "X=[-+]?[0-9]+\\.?[0-9]*"},
    {"R3_Literal4Absent", "ZQX[0-9]+", "ZQX[0-9]+"},
    {"R1_Class5Absent", "[A-Z]+=[0-9]+\\.[0-9]+in", "[A-Z]+=[0-9]+\\.[0-9]+in"},
};

// 1 MiB of board lines with numbers, units and net names; NET=VCC_CORE four times.
const std::string& Subject() {
    static const std::string text = [] {
        static const char* const kKinds[] = {"PAD", "VIA", "TRACK", "ARC", "TEXT"};
        bench::Random random(61);
        std::string out;
        int nets = 0;
        while (out.size() < (1u << 20) - 200) {
            out += kKinds[random.Below(5)];
            out += ' ' + std::to_string(random.Below(100000));
            out += " X=" + std::string(random.Below(3) == 0 ? "-" : "") + std::to_string(random.Below(300)) + "." +
                   std::to_string(random.Below(1000));
            out += " Y=" + std::to_string(random.Below(300));
            if (random.Below(2) == 0) out += " W=" + std::to_string(random.Below(9)) + "." + std::to_string(random.Below(99)) + "mm";
            out += " layer top copper net GND";
            if (nets < 4 && random.Below(3000) == 0) {
                out += " NET=VCC_CORE";
                ++nets;
            }
            out += '\n';
        }
        while (nets++ < 4) out += "NET=VCC_CORE\n";
        out.resize(1u << 20, ' ');
        return out;
    }();
    return text;
}

// Counts matches: each search starts behind the previous match (one byte on after an empty one).
template <class FindAt>
long CountMatches(size_t size, FindAt find) {
    long count = 0;
    size_t pos = 0, start = 0, length = 0;
    while (pos < size && find(pos, start, length)) {
        ++count;
        pos = start + (length > 0 ? length : 1);
    }
    return count;
}

long CountOurs(const SYS_StrPattern& pattern) {
    const std::string& text = Subject();
    return CountMatches(text.size(), [&](size_t pos, size_t& start, size_t& length) {
        int matched = 0;
        int at = pattern.Match(text.c_str() + pos, &matched);
        if (at < 0) return false;
        start = pos + static_cast<size_t>(at);
        length = static_cast<size_t>(matched);
        return true;
    });
}

long CountStd(const std::regex& re) {
    const std::string& text = Subject();
    return CountMatches(text.size(), [&](size_t pos, size_t& start, size_t& length) {
        std::cmatch m;
        if (!std::regex_search(text.c_str() + pos, text.c_str() + text.size(), m, re)) return false;
        start = pos + static_cast<size_t>(m.position(static_cast<std::cmatch::size_type>(0)));
        length = static_cast<size_t>(m.length(0));
        return true;
    });
}

#if TESSAR_HAVE_PCRE2
struct Pcre2 {
    pcre2_code* code;
    pcre2_match_data* data;
    Pcre2(const char* pattern, bool jit) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED, 0, &error, &offset, nullptr);
        if (jit) pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
        data = pcre2_match_data_create_from_pattern(code, nullptr);
    }
    ~Pcre2() {
        pcre2_match_data_free(data);
        pcre2_code_free(code);
    }
    long Count() const {
        const std::string& text = Subject();
        return CountMatches(text.size(), [&](size_t pos, size_t& start, size_t& length) {
            int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), pos, 0, data, nullptr);
            if (rc < 0) return false;
            PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
            start = ovector[0];
            length = ovector[1] - ovector[0];
            return true;
        });
    }
};

long Pcre2Count(const Pattern& p) { return Pcre2(p.perl, false).Count(); }
#endif

void RegisterPatterns() {
    for (const Pattern& p : kPatterns) {
        std::string base = std::string("BM_") + p.id + "/";
        benchmark::RegisterBenchmark((base + "ours").c_str(), [&p](benchmark::State& state) {
            SYS_StrPattern pattern(p.ours);
#if TESSAR_HAVE_PCRE2
            bench::RequireSame(p.id, CountOurs(pattern), Pcre2Count(p));
#endif
            for (auto _ : state) benchmark::DoNotOptimize(CountOurs(pattern));
        });
        benchmark::RegisterBenchmark((base + "std_regex").c_str(), [&p](benchmark::State& state) {
            std::regex re(p.perl);
#if TESSAR_HAVE_PCRE2
            bench::RequireSame(p.id, CountStd(re), Pcre2Count(p));
#endif
            for (auto _ : state) benchmark::DoNotOptimize(CountStd(re));
        });
#if TESSAR_HAVE_BOOST
        benchmark::RegisterBenchmark((base + "boost_regex").c_str(), [&p](benchmark::State& state) {
            boost::regex re(p.perl);
            const std::string& text = Subject();
            auto count = [&] {
                return CountMatches(text.size(), [&](size_t pos, size_t& start, size_t& length) {
                    boost::cmatch m;
                    if (!boost::regex_search(text.c_str() + pos, text.c_str() + text.size(), m, re)) return false;
                    start = pos + static_cast<size_t>(m.position(static_cast<boost::cmatch::size_type>(0)));
                    length = static_cast<size_t>(m.length(0));
                    return true;
                });
            };
#if TESSAR_HAVE_PCRE2
            bench::RequireSame(p.id, count(), Pcre2Count(p));
#endif
            for (auto _ : state) benchmark::DoNotOptimize(count());
        });
#endif
#if TESSAR_HAVE_RE2
        benchmark::RegisterBenchmark((base + "re2").c_str(), [&p](benchmark::State& state) {
            RE2 re(p.perl);
            const std::string& text = Subject();
            auto count = [&] {
                return CountMatches(text.size(), [&](size_t pos, size_t& start, size_t& length) {
                    re2::StringPiece m;
                    if (!re.Match(text, pos, text.size(), RE2::UNANCHORED, &m, 1)) return false;
                    start = static_cast<size_t>(m.data() - text.data());
                    length = m.size();
                    return true;
                });
            };
#if TESSAR_HAVE_PCRE2
            bench::RequireSame(p.id, count(), Pcre2Count(p));
#endif
            for (auto _ : state) benchmark::DoNotOptimize(count());
        });
#endif
#if TESSAR_HAVE_PCRE2
        benchmark::RegisterBenchmark((base + "pcre2").c_str(), [&p](benchmark::State& state) {
            Pcre2 re(p.perl, false);
            for (auto _ : state) benchmark::DoNotOptimize(re.Count());
        });
        benchmark::RegisterBenchmark((base + "pcre2_jit").c_str(), [&p](benchmark::State& state) {
            Pcre2 re(p.perl, true);
            bench::RequireSame(p.id, re.Count(), Pcre2Count(p));
            for (auto _ : state) benchmark::DoNotOptimize(re.Count());
        });
#endif
    }
}

const bool kRegistered = (RegisterPatterns(), true);

}  // namespace
