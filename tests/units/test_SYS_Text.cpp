#include <gtest/gtest.h>

#include "SYS_Text.h"

namespace {

TEST(SYS_Text, StartsEmptyAndCopiesReferToTheSameStyleAndOwnTheirString) {
    SYS_TextStyle style;
    EXPECT_EQ(0, style.GetHeight());
    SYS_Text text;
    EXPECT_EQ(nullptr, text.GetStyle());
    EXPECT_TRUE(text.GetPosition() == SYS_Position());
    EXPECT_TRUE(text.GetString().IsEmpty());

    EXPECT_EQ(1, style.SetFont("Stroke"));
    EXPECT_EQ(1, style.SetHeight(1500000));
    EXPECT_EQ(1, text.SetStyle(style));
    EXPECT_EQ(1, text.SetString("R12"));
    EXPECT_EQ(1, text.SetPosition(SYS_Position(10, 20, 162000000, 1)));
    SYS_Text copy(text);
    SYS_Text assigned;
    assigned = text;
    for (const SYS_Text* t : {&copy, &assigned}) {
        EXPECT_EQ(&style, t->GetStyle());
        EXPECT_TRUE(t->GetPosition() == SYS_Position(10, 20, 162000000, 1));
        EXPECT_STREQ("R12", t->GetString());
    }
    style.SetWidth(700);  // seen through every copy: the style is shared, not copied
    EXPECT_EQ(700, copy.GetStyle()->GetWidth());
    EXPECT_STREQ("Stroke", static_cast<const char*>(assigned.GetStyle()->GetFont()));
    copy.SetString("R13");
    EXPECT_STREQ("R12", text.GetString());
}

}  // namespace
