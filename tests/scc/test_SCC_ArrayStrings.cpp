// Arrays of the library's strings, ordered by the string comparisons.
#include <gtest/gtest.h>

#include <initializer_list>

#include "SCC_Array.h"
#include "SYS_String.h"

namespace {

template <class Array>
void ExpectTexts(const Array& array, std::initializer_list<const char*> texts) {
    ASSERT_EQ(static_cast<long>(texts.size()), array.GetSize());
    long i = 0;
    for (const char* text : texts) EXPECT_STREQ(text, array[i++]);
}

TEST(SCC_ArrayOfStrings, SortByUnsignedBytesIgnoringCaseOrByValue) {
    SCC_SortableArray<SYS_String> texts;
    for (const char* t : {"z", "\xe9", "B", "", "ab", "a", "\x7f", "a", " 9", "9", "ba", "B"})
        texts.Add(SYS_String(t));
    texts.SetComparator(new SCC_Comparator<SYS_String>);  // bytes compare unsigned
    ExpectTexts(texts, {"", " 9", "9", "B", "B", "a", "a", "ab", "ba", "z", "\x7f", "\xe9"});
    long index = -1;
    EXPECT_TRUE(texts.Find(SYS_String("ab"), index));
    EXPECT_EQ(7, index);
    EXPECT_FALSE(texts.Find(SYS_String("b"), index));
    EXPECT_EQ(8, index);

    SCC_SortableArray<SYS_StrNoCase> names(new SCC_Comparator<SYS_StrNoCase>);
    for (const char* n : {"beta", "ALPHA", "Gamma", "alpha2"}) names.Add(SYS_StrNoCase(n));
    ExpectTexts(names, {"ALPHA", "alpha2", "beta", "Gamma"});

    SCC_SortableArray<SYS_String> parts(new SCC_Comparator<SYS_String>(
        [](const SYS_String& a, const SYS_String& b) { return a.CompareAlNum(b); }));
    for (const char* n : {"U10", "U9", "U100", "R2"}) parts.Add(n);
    ExpectTexts(parts, {"R2", "U9", "U10", "U100"});
}

}  // namespace
