// Regular expressions: assignment (translation), Match and Substitute with a count of 0 to 3
// on `pattern\0subject\0replacement`; the pattern is also matched inside up to 4033 groups.
#include <cstring>
#include <string>

#include "SYS_StrPattern.h"
#include "SYS_String.h"
#include "fuzz_harness.h"

namespace {
constexpr unsigned long long kFuzzStepBudget = 1ULL << 16;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = fuzz::SplitInput(data, size, 3);
    SYS_StrPattern pattern(parts[0].c_str());
    // Runaway searches give up within milliseconds instead of a second, so the fuzzer spends
    // its time on new inputs; the budget logic is the same whatever its base.
    pattern.SetStepBudget(kFuzzStepBudget);
    const long codeLength = pattern.GetCodeLength();
    const char* code = pattern;
    fuzz::Require(codeLength == 0 || code[codeLength - 1] == 'e', "compiled form ends with e");

    const std::string& subject = parts[1];
    int length = -1;
    int offset = pattern.Match(subject.c_str(), &length);
    size_t visible = std::strlen(subject.c_str());
    fuzz::Require(offset >= -1 && length >= 0, "Match result");
    fuzz::Require(offset < 0 ? length == 0 : offset + static_cast<size_t>(length) <= visible,
                  "match inside the subject");
    fuzz::Require(offset < 0 || static_cast<size_t>(offset) < visible, "no attempt at the end");

    SYS_StrPattern copy(pattern);
    int again = -1;
    fuzz::Require(copy.Match(subject.c_str(), &again) == offset && again == length,
                  "a copy matches alike");

    // Groups around a pattern change neither its meaning nor, however deep, whether it can be
    // translated and matched: the wrapped pattern compiles to the same code inside ')' ... 'e'
    // and finds the same match (unless either search spends its budget, which the extra group
    // steps may change).
    if (codeLength > 0) {
        size_t depth = 1 + (size > 0 ? data[0] % 64 : 0) * 64;
        std::string wrapped = std::string(depth, '(') + parts[0] + std::string(depth, ')');
        SYS_StrPattern nested(wrapped.c_str());
        nested.SetStepBudget(kFuzzStepBudget);
        std::string expected = std::string(depth, ')') + std::string(code, codeLength) +
                               std::string(depth, 'e');
        fuzz::Require(nested.GetCodeLength() == static_cast<long>(expected.size()) &&
                          std::memcmp(static_cast<const char*>(nested), expected.data(),
                                      expected.size()) == 0,
                      "a pattern in groups compiles inside them");
        int nestedLength = -1;
        int nestedOffset = nested.Match(subject.c_str(), &nestedLength);
        fuzz::Require(pattern.GaveUp() || nested.GaveUp() ||
                          (nestedOffset == offset && nestedLength == length),
                      "a pattern in groups matches alike");
    }

    int count = size > 0 ? data[size - 1] % 4 : 0;
    SYS_String text(subject.c_str());
    int replaced = pattern.Substitute(text, SYS_String(parts[2].c_str()), count);
    fuzz::Require(replaced >= 0 && (count == 0 || replaced <= count), "replacement count");
    fuzz::Require(offset >= 0 || pattern.GaveUp() || replaced == 0, "no match, no replacement");
    return 0;
}
