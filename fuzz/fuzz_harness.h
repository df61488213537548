#pragma once
// Shared setup of the fuzz targets: reports of broken preconditions are expected on hostile
// input and must never stop a run, while anything that still breaks into the debugger is a
// crash that the fuzzer records.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SSM.h"
#include "TessarPlatform.h"

namespace fuzz {

inline void AbortOnBreak() { std::abort(); }

// Splits the input at NUL bytes into at most `parts` texts (missing parts are empty).
inline std::vector<std::string> SplitInput(const uint8_t* data, size_t size, size_t parts) {
    std::vector<std::string> texts;
    size_t start = 0;
    while (texts.size() + 1 < parts) {
        const void* nul = std::memchr(data + start, 0, size - start);
        if (nul == nullptr) break;
        size_t end = static_cast<const uint8_t*>(nul) - data;
        texts.emplace_back(reinterpret_cast<const char*>(data + start), end - start);
        start = end + 1;
    }
    texts.emplace_back(reinterpret_cast<const char*>(data + start), size - start);
    while (texts.size() < parts) texts.emplace_back();
    return texts;
}

// Stops the run with a message when an invariant does not hold.
inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

}  // namespace fuzz

// The harness's assertion manager: every report is counted and answered "continue" (an
// AssertEvent hook that leaves the default action), so broken preconditions on hostile input
// never stop a run. A debugger break can then only come from a real fault (for example an
// escalation the library did not expect), and becomes an abort that the fuzzer records.
namespace fuzz {

inline long s_reports = 0;

inline int CountReport(int, int*) {
    ++s_reports;
    return 0;
}

inline void InstallContinuingManager() {
    static SSM manager;
    static SCC_EventHook<int> counter(CountReport);
    AddHook(manager.AssertEvent, counter);
    PLT_SetDebugBreakHandler(AbortOnBreak);
}

}  // namespace fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::InstallContinuingManager();
    return 0;
}
