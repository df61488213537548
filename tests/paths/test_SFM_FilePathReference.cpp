// The parser against a second one written here from the rules alone, over every short text of
// the characters that matter.
#include <gtest/gtest.h>

#include <string>

#include "paths_test_support.h"
#include "tessar_locale.h"

namespace {

using paths_test::Parts;
using paths_test::PartsOf;
using paths_test::Text;

bool IsSep(char c) { return c == '\\' || c == '/'; }

// Index one past the network root, found by walking the text once; 0 without a root.
size_t ReferenceRootEnd(const std::string& s) {
    if (s.size() <= 2 || !IsSep(s[0]) || s[1] != s[0]) return 0;
    int separatorsSeen = 0;
    for (size_t i = 2; i < s.size(); ++i) {
        if (IsSep(s[i]) && ++separatorsSeen == 2) return i + 1;
    }
    return s.size();
}

Parts ReferenceParse(const std::string& s) {
    Parts p;
    const size_t colon = s.find(':');
    const size_t baseEnd = colon != std::string::npos ? colon + 1 : ReferenceRootEnd(s);
    p.base = s.substr(0, baseEnd);
    size_t restStart = baseEnd;
    for (size_t i = s.size(); i > baseEnd; --i) {
        if (IsSep(s[i - 1])) {
            restStart = i;
            break;
        }
    }
    p.rel = s.substr(baseEnd, restStart - baseEnd);
    std::string rest = s.substr(restStart);
    while (!rest.empty() && rest.back() == '.') rest.pop_back();
    const size_t dot = rest.rfind('.');
    p.name = dot == std::string::npos ? rest : rest.substr(0, dot);
    p.ext = dot == std::string::npos ? "" : rest.substr(dot);
    return p;
}

void ExpectSameAsReference(const std::string& text) {
    SFM_FilePath path(text.c_str());
    const Parts expected = ReferenceParse(text);
    ASSERT_EQ(expected, PartsOf(path)) << "text: " << text;
    ASSERT_EQ(expected.base + expected.rel + expected.name + expected.ext,
              Text(path));
}

// All texts of up to `maxLength` characters over the alphabet, in odometer order.
void CheckEveryShortText(const std::vector<std::string>& alphabet, int maxLength) {
    std::vector<size_t> digits;
    std::string text;
    for (int length = 0; length <= maxLength; ++length) {
        digits.assign(length, 0);
        for (;;) {
            text.clear();
            for (size_t d : digits) text += alphabet[d];
            ExpectSameAsReference(text);
            int i = 0;
            while (i < length && ++digits[i] == alphabet.size()) digits[i++] = 0;
            if (i == length) break;
        }
    }
}

TEST(SFM_FilePathReference, EveryShortTextParsesAsTheReferenceDoes) {
    CheckEveryShortText({"a", ".", "\\", "/", ":"}, 6);
}

// In a multibyte locale the parser steps over whole characters; UTF-8 characters never hold
// a separator, dot or colon byte, so the parts are those of the byte-wise reference.
TEST(SFM_FilePathReference, MultibyteTextParsesAsTheReferenceDoes) {
    ScopedLocale utf8("C.UTF-8");
    if (!utf8.IsActive()) GTEST_SKIP() << "C.UTF-8 is not available";
    CheckEveryShortText({"\xc3\xa9", ".", "\\", "/", ":", "\xe2\x82\xac"}, 5);
}

}  // namespace
