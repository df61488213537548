// Wildcard patterns: IsPattern, IsValidPattern and Match on `pattern\0text`.
#include <cstring>

#include "SYS_String.h"
#include "fuzz_harness.h"

namespace {

bool HasSpecial(const std::string& text) { return text.find_first_of("*?[") != std::string::npos; }

// The texts as C strings stop at their first NUL; the library sees the same.
SYS_String AsString(const std::string& text) { return SYS_String(text.c_str()); }

// A direct, recursive transcription of the two wildcard routines, as an oracle on short
// inputs: the library's matcher loops instead, and must give the same answers. Its recursion
// and time follow the pattern, so it only judges inputs up to kOracleLimit bytes.
namespace reference {

constexpr size_t kOracleLimit = 64;

int MainRoutine(const char* p, const char* t);

int StarRoutine(const char* p, const char* t) {
    while (*p == '*' || *p == '?') {
        if (*p == '?' && *t++ == '\0') return 3;
        ++p;
    }
    if (*p == '\0') return 1;
    int result = 0;
    for (;; ++t) {
        if (*p == *t || *p == '[') result = MainRoutine(p, t);
        if (*t == '\0') return 3;
        if (result == 1 || result == 3 || result == 6) return result;
    }
}

int SetRoutine(const char*& p, signed char c) {
    ++p;
    bool negated = *p == '!' || *p == '^';
    if (negated) ++p;
    if (*p == ']') return 6;
    bool member = false;
    while (*p != ']') {
        if (*p == '\\') ++p;
        signed char first = *p, last = *p;
        if (*p == '\0') return 6;
        if (*++p == '-') {
            last = *++p;
            if (last == '\0' || last == ']') return 6;
            if (last == '\\' && (last = *++p) == '\0') return 6;
            ++p;
        }
        signed char lo = first < last ? first : last, hi = first < last ? last : first;
        if (c >= lo && c <= hi) {
            member = true;
            break;
        }
    }
    if (negated == member) return 4;
    if (!member) return 0;
    while (*p != ']') {
        if (*p == '\0') return 6;
        if (*p == '\\' && *++p == '\0') return 6;
        ++p;
    }
    return 0;
}

int MainRoutine(const char* p, const char* t) {
    if (*p == '\0') return *t == '\0' ? 1 : 2;
    for (; *p; ++p, ++t) {
        if (*t == '\0') return (*p == '*' && p[1] == '\0') ? 1 : 3;
        if (*p == '*') return StarRoutine(p, t);
        if (*p == '[') {
            int result = SetRoutine(p, static_cast<signed char>(*t));
            if (result != 0) return result;
        } else if (*p != '?' && *p != *t) {
            return 5;
        }
    }
    return *t == '\0' ? 1 : 2;
}

}  // namespace reference

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = fuzz::SplitInput(data, size, 2);
    SYS_String pattern = AsString(parts[0]);
    SYS_String text = AsString(parts[1]);

    fuzz::Require(pattern.IsPattern() == (HasSpecial(parts[0]) ? TRUE : FALSE), "IsPattern");
    int error = 12345;
    int valid = pattern.IsValidPattern(&error);
    fuzz::Require(valid ? error == 0 : (error >= -4 && error <= -1), "IsValidPattern code");

    int matched = text.Match(pattern);
    fuzz::Require(matched == TRUE || matched == FALSE, "Match result");
    if (parts[0].size() <= reference::kOracleLimit && parts[1].size() <= reference::kOracleLimit) {
        const bool expected = reference::MainRoutine(parts[0].c_str(), parts[1].c_str()) == 1;
        fuzz::Require(expected == (matched == TRUE), "Match agrees with the recursive routines");
    }
    if (!HasSpecial(parts[1])) fuzz::Require(text.Match(text) == TRUE, "plain text matches itself");
    fuzz::Require(text.Match(SYS_String("*")) == TRUE, "a lone star matches everything");
    return 0;
}
