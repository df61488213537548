#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "UI_PaletteColorConvertor.h"
#include "UI_SvgDrawArea.h"
#include "tessar_reports.h"

namespace {

// Records the codes and data of the notifications it hears.
struct Listener : SCC_EventNode<int> {
    std::vector<std::pair<int, SYS_Handle>> heard;
    int OnNotification(int code, int* data) override {
        heard.emplace_back(code, SCC_Notifier::DataAsValue(data));
        return 0;
    }
};

// Sets the main draw area for one test and clears it afterwards.
class ScopedMainArea {
public:
    explicit ScopedMainArea(UI_DrawArea* area) { UI_DrawArea::SetMainDrawArea(area); }
    ~ScopedMainArea() { UI_DrawArea::SetMainDrawArea(nullptr); }
};

TEST(UI_PaletteColorConvertor, OtherDirectionsAndAMissingMainDrawAreaAreReported) {
    tessar_test::ScopedReportRecorder reports;
    UI_DrawArea area;
    ScopedMainArea main(&area);
    UI_PaletteColorConvertor convertor;
    EXPECT_EQ(SCC_Variant("abc"), convertor.Convert(SCC_Variant("abc"), 1));
    std::vector<tessar_test::Report> seen = reports.Take();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("The code is not implemented. Hollin", seen[0].message);
    EXPECT_EQ("Tessar/drawarea", seen[0].unit);
    UI_DrawArea::SetMainDrawArea(nullptr);  // without a main draw area the result is empty
    EXPECT_TRUE(convertor.Convert(SCC_Variant(3), 0).IsEmpty());
    seen = reports.Take();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("UI_PaletteColorConvertor: no main draw area", seen[0].message);
}

// A palette change reaches the listeners of each live convertor; of the other codes its notifier
// passes on only the palette change.
TEST(UI_PaletteColorConvertor, PaletteChangeReachesListenersOfLiveConvertorsOnly) {
    Listener atB;
    auto b = std::make_unique<UI_PaletteColorConvertor>();
    AddNode(*b, atB);
    for (int code : {3, 4}) UI_PaletteColorConvertor::s_Notifier.Notify(code, nullptr);
    EXPECT_EQ((std::vector<std::pair<int, SYS_Handle>>{{4, 0}}), atB.heard);
    b.reset();
    UI_PaletteColorConvertor::NotifyPaletteChange();
    EXPECT_EQ(1u, atB.heard.size());  // gone with its convertor
}

TEST(UI_PaletteColorConvertor, CopiesTakeOverListenersAndHearThePalette) {
    Listener listener;
    UI_PaletteColorConvertor model;
    AddNode(model, listener);
    UI_PaletteColorConvertor copy(model);
    UI_PaletteColorConvertor::NotifyPaletteChange();
    EXPECT_EQ(1u, listener.heard.size());  // through the copy only
    EXPECT_EQ(&copy, listener.GetOwner());

    UI_PaletteColorConvertor assigned;
    assigned = copy;
    UI_PaletteColorConvertor::NotifyPaletteChange();
    EXPECT_EQ(2u, listener.heard.size());
    EXPECT_EQ(&assigned, listener.GetOwner());
}

TEST(UI_PaletteColorConvertor, ShowsTheSvgAreaPalette) {
    UI_SvgDrawArea area(SYS_Box(0, 0, 10, 10), 10);
    ScopedMainArea main(&area);
    UI_PaletteColorConvertor convertor;
    unsigned long colors[UI_SvgDrawArea::kPaletteSize];
    EXPECT_EQ(UI_SvgDrawArea::kPaletteSize, area.GetCurrentPaletteColors(colors));
    colors[5] = 0x123456;
    area.SetCurrentPaletteColors(colors);
    EXPECT_EQ(0x123456L, static_cast<long>(convertor.Convert(SCC_Variant(5), 0)));
    EXPECT_EQ(0L, static_cast<long>(convertor.Convert(SCC_Variant(16), 0)));  // outside the palette
}

}  // namespace
