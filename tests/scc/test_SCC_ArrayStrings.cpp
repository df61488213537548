// Arrays of the library's strings, ordered by the string comparisons.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "SCC_Array.h"
#include "SYS_String.h"

namespace {

std::string RandomText(std::mt19937& rng) {
    static const char kBytes[] = {'a', 'b', 'B', 'z', '0', '9', ' ', '\xe9', '\x7f'};
    std::string text(rng() % 5, 'a');
    for (char& c : text) c = kBytes[rng() % sizeof kBytes];
    return text;
}

TEST(SCC_ArrayOfStrings, SortsByUnsignedBytesLikeStdSort) {
    std::mt19937 rng(43);
    for (int trial = 0; trial < 100; ++trial) {
        std::vector<std::string> texts(rng() % 150);
        for (std::string& t : texts) t = RandomText(rng);
        SCC_SortableArray<SYS_String> array;
        for (const std::string& t : texts) array.Add(SYS_String(t.c_str()));
        array.SetComparator(new SCC_Comparator<SYS_String>);
        std::sort(texts.begin(), texts.end());  // std::string compares as unsigned char
        ASSERT_EQ(static_cast<long>(texts.size()), array.GetSize());
        for (size_t i = 0; i < texts.size(); ++i)
            ASSERT_STREQ(texts[i].c_str(), array[static_cast<long>(i)]) << "trial " << trial;
        for (const std::string& t : texts) {
            long index = -1;
            ASSERT_TRUE(array.Find(SYS_String(t.c_str()), index));
            ASSERT_STREQ(t.c_str(), array[index]);
        }
    }
}

TEST(SCC_ArrayOfStrings, NoCaseKeysSortIgnoringCaseAndNumbersCanSortByValue) {
    SCC_SortableArray<SYS_StrNoCase> names(new SCC_Comparator<SYS_StrNoCase>);
    for (const char* n : {"beta", "ALPHA", "Gamma", "alpha2"}) names.Add(SYS_StrNoCase(n));
    const char* expected[] = {"ALPHA", "alpha2", "beta", "Gamma"};
    for (long i = 0; i < 4; ++i) EXPECT_STREQ(expected[i], names[i]);

    SCC_SortableArray<SYS_String> parts(new SCC_Comparator<SYS_String>(
        [](const SYS_String& a, const SYS_String& b) { return a.CompareAlNum(b); }));
    for (const char* n : {"U10", "U9", "U100", "R2"}) parts.Add(n);
    const char* byValue[] = {"R2", "U9", "U10", "U100"};
    for (long i = 0; i < 4; ++i) EXPECT_STREQ(byValue[i], parts[i]);
}

}  // namespace
