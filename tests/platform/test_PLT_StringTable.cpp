#include <gtest/gtest.h>

#include <string>

#include "PLT_StringTable.h"

namespace {

std::string Load(int id, int size = 1000) {
    std::string buffer(static_cast<size_t>(size > 0 ? size : 1), '\x7f');
    int copied = PLT_LoadString(id, &buffer[0], size);
    return copied == 0 ? std::string() : std::string(buffer.c_str());
}

const PLT_StringEntry kApplication[] = {{45104, "Mil"}};
const PLT_StringEntry kModuleA[] = {{100, "first module"}, {45103, "module A text"}};
// Out of order, with a number twice: the earlier entry wins.
const PLT_StringEntry kModuleB[] = {{101, "only in B"}, {100, "second module"}, {101, "later"}};

class StringTables : public ::testing::Test {
protected:
    void TearDown() override {
        PLT_SetApplicationStrings(nullptr, 0);
        PLT_UnregisterModuleStrings("A");
        PLT_UnregisterModuleStrings("B");
    }
};

// The application's table first, then the modules in registration order; a module needs a name.
TEST_F(StringTables, TablesAreSearchedInOrder) {
    EXPECT_FALSE(PLT_RegisterModuleStrings(nullptr, kModuleA, 2));
    EXPECT_FALSE(PLT_RegisterModuleStrings("", kModuleA, 2));
    PLT_RegisterModuleStrings("A", kModuleA, 2);
    PLT_RegisterModuleStrings("B", kModuleB, 3);
    PLT_SetApplicationStrings(kApplication, 1);
    EXPECT_EQ("Mil", Load(45104));
    EXPECT_EQ("Millimeters", Load(45105));  // same block, not in the application: next table
    EXPECT_EQ("", Load(45000));  // a host text the library does not supply
    EXPECT_EQ("first module", Load(100));
    EXPECT_EQ("only in B", Load(101));
    EXPECT_EQ("Error %i occurred (no further info).", Load(45103));  // library registered first
    ASSERT_TRUE(PLT_UnregisterModuleStrings("A"));
    EXPECT_EQ("second module", Load(100));
    EXPECT_FALSE(PLT_UnregisterModuleStrings("A"));
}

TEST_F(StringTables, CopiesAreCutToTheBufferAndTerminated) {
    EXPECT_EQ("Can't", Load(250, 6));
    EXPECT_EQ("", Load(250, 1));
    char untouched = 'x';
    EXPECT_EQ(0, PLT_LoadString(250, &untouched, 0));
    EXPECT_EQ('x', untouched);
    EXPECT_EQ(0, PLT_LoadString(250, nullptr, 10));
}

}  // namespace
