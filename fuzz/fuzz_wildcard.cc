// Wildcard patterns: IsPattern, IsValidPattern and Match on `pattern\0text`.
#include <cstring>

#include "SYS_String.h"
#include "fuzz_harness.h"

namespace {

bool HasSpecial(const std::string& text) { return text.find_first_of("*?[") != std::string::npos; }

// The texts as C strings stop at their first NUL; the library sees the same.
SYS_String AsString(const std::string& text) { return SYS_String(text.c_str()); }

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
    if (!HasSpecial(parts[1])) fuzz::Require(text.Match(text) == TRUE, "plain text matches itself");
    fuzz::Require(text.Match(SYS_String("*")) == TRUE, "a lone star matches everything");
    return 0;
}
