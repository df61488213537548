#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SYS_Exception.h"
#include "SYS_StrEx.h"
#include "SYS_TestRepeater.h"

namespace {

TEST(SysExtractSubString, FieldsOfASeparatedList) {
    struct Case { const char* text; int index; char separator; int result; const char* field; };
    const Case cases[] = {
        {"a,b,,d", -1, ',', TRUE, "a"},     {"a,b,,d", 9, ',', FALSE, ""},
        {"a,", 1, ',', TRUE, ""},           {"whole", 0, '\0', TRUE, "whole"},
        {"whole", 1, '\0', FALSE, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " #" + std::to_string(c.index));
        SYS_String field("stale");
        EXPECT_EQ(c.result, SysExtractSubString(field, c.text, c.index, c.separator));
        EXPECT_STREQ(c.field, field);
    }
    SYS_String field("kept");
    EXPECT_EQ(FALSE, SysExtractSubString(field, nullptr, 0, ','));
    EXPECT_STREQ("kept", field);
    SYS_String self("x;y;z");
    EXPECT_EQ(TRUE, SysExtractSubString(self, self, 1, ';'));
    EXPECT_STREQ("y", self);
}

// Validators of numbers: where the reader stops (-1: it answers null), and the validator
// accepts exactly the texts the reader reads to their end. Base -1 is floating point.
TEST(NumberValidators, StopWhereTheNumberEnds) {
    struct Case { const char* text; int base; int stopOffset; } const cases[] = {
        {"1.5e3", -1, 5}, {"1.5", -1, 3},  {".5", -1, 2},   {"-2", -1, 2},    {"1e", -1, -1},
        {"e5", -1, -1},   {"1.2.3", -1, 3}, {"1-2", -1, 3}, {"", -1, -1},     {".", -1, -1},
        {"1e5.", -1, 3},  {"1E-2", -1, 4},
        {"123", 1, 3},   {"12a", 1, 2},    {"1+2", 1, 3},    {"", 1, -1},     {"-", 1, -1},
        {"17", 2, 2},    {"18", 2, 1},     {"0x1", 2, 1},    {"1aF", 3, 3},   {"0x1F", 3, 4},
        {"0X1f", 3, 4},  {"0x", 3, -1},    {"-0x1F", 3, 5},  {"00x1", 3, 2},  {"0-x1", 3, 2},
        {"0xx", 3, -1},  {"0x1F", 0, 4},   {"017", 0, 3},    {"019", 0, 2},   {"19", 0, 2},
        {"0", 0, 1},     {"0x", 0, -1},    {"+-0x7g", 4, 5}, {"0x1F", 1, 1},  {"9a", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " base " + std::to_string(c.base));
        const bool real = c.base < 0;
        const char* end = real ? getdouble(c.text, 0) : getinteger(c.text, c.base);
        EXPECT_EQ(c.stopOffset, end == nullptr ? -1 : int(end - c.text));
        bool whole = c.stopOffset == int(std::strlen(c.text));
        EXPECT_EQ(whole ? TRUE : FALSE, real ? isdouble(c.text, 0) : isinteger(c.text, c.base));
    }
    EXPECT_FALSE(isdecdouble("1.5e3"));
    EXPECT_TRUE(isdecdouble("-1.5"));
    EXPECT_STREQ("e3", getdouble("1.5e3", 1));
    EXPECT_EQ(nullptr, getdouble("e3", 1));
    EXPECT_EQ(nullptr, getdouble(nullptr, 0));
    EXPECT_TRUE(ishexinteger("1aF"));
    EXPECT_FALSE(isoctinteger("18"));
    EXPECT_TRUE(isdecinteger("1+2"));
    EXPECT_EQ(nullptr, getinteger(nullptr, 1));
}

TEST(SYS_Exception, CarriesAFormattedTextByValue) {
    try {
        throw SYS_Exception("cannot read '%s' as %s", "12x", "a length");
    } catch (const SYS_Exception& caught) {
        EXPECT_STREQ("cannot read '12x' as a length", caught.GetText());
        SYS_Exception assigned(0);
        assigned = SYS_Exception(caught);
        EXPECT_STREQ("cannot read '12x' as a length", assigned.GetText());
    }
    EXPECT_TRUE(SYS_Exception(45012, "ignored", 3).GetText().IsEmpty());
}

// Memory statistics and the test repeater are inert: they keep and record nothing.
TEST(SYS_Diagnostics, RecordNothing) {
    EXPECT_EQ(0, SYS_Memory::GetCurrentMemorySize());
    EXPECT_EQ(0, SYS_Memory::GetPeakMemorySize());
    SYS_TestRepeater::Start();
    SYS_TestRec record;
    record.Function = SYS_TestFncID("Open", 7);
    record.Count = 3;
    EXPECT_EQ(0, SYS_TestRepeater::Record(record));
    SYS_TestRepeater::Stop();
    EXPECT_EQ(nullptr, SYS_TestRec().Function.Name);
    EXPECT_EQ(0, SYS_TestRec().Count);
}

}  // namespace
