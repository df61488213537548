// TR keeps process-wide caches, so every test here asks for numbers no other test uses.
#include <gtest/gtest.h>

#include <string>

#include "PLT_StringTable.h"
#include "SFM_TR.h"

namespace {

std::string Text(const SYS_String& s) {
    return std::string(static_cast<const char*>(s), s.GetLength());
}

class TextLookup : public ::testing::Test {
protected:
    void TearDown() override {
        PLT_SetApplicationStrings(nullptr, 0);
        PLT_UnregisterModuleStrings("TR test A");
        PLT_UnregisterModuleStrings("TR test B");
    }
};

// A text is loaded once and then shared; the host's table comes before the modules', in their
// registration order; a number missing when first asked stays empty; long texts are cut.
TEST_F(TextLookup, TablesAreSearchedInOrderAndEachTextIsLoadedOnce) {
    const SYS_String first = TR(45103), again = TR(45103);
    EXPECT_EQ("Error %i occurred (no further info).", Text(first));
    EXPECT_EQ(static_cast<const char*>(first), static_cast<const char*>(again));
    EXPECT_EQ("", Text(TR(62001)));
    const std::string longText(1500, 'x');
    const PLT_StringEntry application[] = {{45105, "MM"}, {61001, "application"}};
    const PLT_StringEntry moduleA[] = {
        {61001, "module A"}, {61002, "module A"}, {62001, "late"}, {63001, longText.c_str()}};
    const PLT_StringEntry moduleB[] = {{61002, "module B"}, {61003, "module B"}};
    PLT_RegisterModuleStrings("TR test A", moduleA, 4);
    PLT_RegisterModuleStrings("TR test B", moduleB, 2);
    PLT_SetApplicationStrings(application, 2);
    EXPECT_EQ("MM", Text(TR(45105)));  // the host's text wins over the library's
    EXPECT_EQ("application", Text(TR(61001)));
    EXPECT_EQ("module A", Text(TR(61002)));
    EXPECT_EQ("module B", Text(TR(61003)));
    EXPECT_EQ("", Text(TR(62001)));
    EXPECT_EQ(std::string(999, 'x'), Text(TR(63001)));
    // Once given out, a text stays even when its table goes away.
    PLT_UnregisterModuleStrings("TR test A");
    EXPECT_EQ("module A", Text(TR(61002)));
    EXPECT_EQ("", Text(TR(-1)));
}

TEST_F(TextLookup, LiteralTextsPassThrough) {
    EXPECT_EQ("abc", Text(TR("abc")));
    const SYS_String first = TR("abc");
    const SYS_String again = TR("abc");
    EXPECT_EQ(static_cast<const char*>(first), static_cast<const char*>(again));
    EXPECT_EQ("", Text(TR("")));
    EXPECT_EQ("", Text(TR(static_cast<const char*>(nullptr))));
    // A text is keyed by its content, not by where it is stored.
    char buffer[] = "pad 12";
    EXPECT_EQ("pad 12", Text(TR(buffer)));
    buffer[4] = '3';
    EXPECT_EQ("pad 32", Text(TR(buffer)));
    EXPECT_EQ("pad 12", Text(TR("pad 12")));
}

}  // namespace
