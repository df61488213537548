#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "SCC_Convertor.h"
#include "SCC_Property.h"
#include "SCC_StdCollection.h"
#include "tests/scc/collection_test_support.h"

namespace {

// Multiplies by its factor forward and divides back; announces a change of factor with
// (SCC_NotifyFocusAdded, 0) as the palette does. Counts live instances.
class ScaleConvertor : public SCC_Convertor {
public:
    explicit ScaleConvertor(double factor) : m_factor(factor) { ++s_live; }
    ~ScaleConvertor() override { --s_live; }
    SCC_Variant Convert(SCC_Variant value, int direction) override {
        return SCC_Variant(direction == 1 ? double(value) * m_factor : double(value) / m_factor);
    }
    void SetFactor(double factor) {
        m_factor = factor;
        Notify(SCC_NotifyFocusAdded, nullptr);
    }
    static inline int s_live = 0;

private:
    double m_factor;
};

// Records every notification of an event.
struct Recorder : SCC_EventNode<int> {
    int OnNotification(int code, int* data) override {
        heard.emplace_back(code, SCC_Notifier::DataAsValue(data));
        return 0;
    }
    std::vector<std::pair<int, SYS_Handle>> heard;
};

SYS_Handle AsHandle(const void* p) { return reinterpret_cast<SYS_Handle>(p); }

TEST(SCC_Convertor, ChainConvertsThroughEveryLevel) {
    SCC_SharedPointer<SCC_Convertor> scale(new ScaleConvertor(4.0));
    SCC_SharedPointer<SCC_Convertor> reversed(new SCC_RevConvertor(scale));
    SCC_SharedPointer<SCC_Convertor> indirect(new SCC_IndConvertor(reversed));
    EXPECT_EQ(8.0, double(scale->Convert(SCC_Variant(2), 1)));
    EXPECT_EQ(0.5, double(reversed->Convert(SCC_Variant(2), 1)));  // forward = scale backward
    EXPECT_EQ(8.0, double(reversed->Convert(SCC_Variant(2), 0)));  // backward = scale forward
    EXPECT_EQ(0.5, double(indirect->Convert(SCC_Variant(2), 1)));
    EXPECT_EQ(8.0, double(indirect->Convert(SCC_Variant(2), 0)));
    // Every direction but 0 is forward, so the reversal converts it with direction 0.
    EXPECT_EQ(0.5, double(reversed->Convert(SCC_Variant(2), 7)));
    EXPECT_EQ(2.0, double(SCC_RevConvertor(nullptr).Convert(SCC_Variant(2.0), 7)));
}

TEST(SCC_Convertor, WithoutInnerConvertorTheValuePassesUnchanged) {
    SCC_IndConvertor indirect(nullptr);
    SCC_RevConvertor reversed(nullptr);
    SCC_Convertor plain;
    for (SCC_Convertor* c : {static_cast<SCC_Convertor*>(&indirect),
                             static_cast<SCC_Convertor*>(&reversed), &plain}) {
        for (int direction : {0, 1}) {
            SCC_Variant out = c->Convert(SCC_Variant("x1"), direction);
            EXPECT_EQ(SCC_Variant::VT_STRING, out.GetType());
            EXPECT_TRUE(out == SCC_Variant("x1"));
        }
    }
}

TEST(SCC_Convertor, IndirectLevelsResendTheInnerNotificationUnchanged) {
    SCC_SharedPointer<ScaleConvertor> scale(new ScaleConvertor(2.0));
    SCC_SharedPointer<SCC_Convertor> reversed(new SCC_RevConvertor(scale.Get()));
    SCC_SharedPointer<SCC_Convertor> indirect(new SCC_IndConvertor(reversed));
    Recorder atReversed, atIndirect;
    AddNode(*reversed, atReversed);
    AddNode(*indirect, atIndirect);
    int marker = 0;
    scale->Notify(SCC_NotifyChanged, &marker);
    const std::vector<std::pair<int, SYS_Handle>> expected = {{3, AsHandle(&marker)}};
    EXPECT_EQ(expected, atReversed.heard);
    EXPECT_EQ(expected, atIndirect.heard);
}

TEST(SCC_Convertor, CopyTakesOverListenersAndFollowsTheSameInner) {
    SCC_SharedPointer<ScaleConvertor> scale(new ScaleConvertor(2.0));
    SCC_IndConvertor model(scale.Get());
    Recorder listener;
    AddNode(model, listener);
    SCC_IndConvertor copy(model);
    EXPECT_FALSE(model.HasListeners());
    EXPECT_EQ(&copy, listener.GetOwner());
    scale->SetFactor(3.0);
    ASSERT_EQ(1u, listener.heard.size()) << "the copy's own hook passes the change on";
    EXPECT_EQ(6.0, double(copy.Convert(SCC_Variant(2), 1)));

    SCC_SharedPointer<ScaleConvertor> other(new ScaleConvertor(10.0));
    SCC_IndConvertor assigned(other.Get());
    assigned = copy;
    EXPECT_EQ(&assigned, listener.GetOwner());
    other->SetFactor(5.0);
    EXPECT_EQ(1u, listener.heard.size()) << "the assigned convertor left its old inner";
    scale->SetFactor(4.0);
    EXPECT_EQ(2u, listener.heard.size());
}

// A length property of the in-memory source: the item's key, in base units.
class KeyProperty : public SCC_StdProperty {
public:
    using SCC_StdProperty::GetValue;
    using SCC_StdProperty::SetValue;
    int GetValue(SYS_Handle handle, SCC_Variant& value) override {
        reads.push_back(handle);
        if (handle == 0 || handle == unreadable) return 0;
        value = SCC_Variant(ItemOf(handle)->key);
        return 1;
    }
    int SetValue(SYS_Handle handle, const SCC_Variant& value, int flags) override {
        writes.emplace_back(handle, flags);
        if (handle == 0 || handle == unwritable) return 0;
        ItemOf(handle)->key = int(value);
        return 1;
    }
    int HasSetMethod() override { return 1; }

    SYS_Handle unreadable = 0;
    SYS_Handle unwritable = 0;
    std::vector<SYS_Handle> reads;
    std::vector<std::pair<SYS_Handle, int>> writes;
};

class PropertyOverCollection : public ::testing::Test {
protected:
    PropertyOverCollection() : collection(source) {
        first = source.Insert(10);
        second = source.Insert(20);
        third = source.Insert(10);
        collection.AllowReload(1);
    }
    void Focus(std::initializer_list<SYS_Handle> handles) {
        collection.SetFocus(0, 0);
        for (SYS_Handle h : handles) collection.SetFocus(h, 1);
    }

    TestSource source;
    TestCollection collection;
    KeyProperty property;
    SYS_Handle first = 0, second = 0, third = 0;
};

TEST_F(PropertyOverCollection, CommonValueOfTheFocus) {
    struct Row {
        const char* name;
        std::vector<SYS_Handle> focus;
        int result;
        SCC_Variant value;
    };
    const Row rows[] = {
        {"nothing focused", {}, 0, SCC_Variant()},
        {"one handle", {second}, 1, SCC_Variant(20)},
        {"equal values", {first, third}, 1, SCC_Variant(10)},
        {"different values", {first, second}, 1, SCC_Variant()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        collection.SetFocus(0, 0);
        for (SYS_Handle h : row.focus) collection.SetFocus(h, 1);
        SCC_Variant value;
        EXPECT_EQ(row.result, property.GetValue(&collection, value));
        EXPECT_EQ(row.value.GetType(), value.GetType());
        EXPECT_TRUE(row.value == value);
    }
}

TEST_F(PropertyOverCollection, ANonEmptyStartValueTakesPartInTheComparison) {
    Focus({first, third});
    SCC_Variant value(11);
    EXPECT_EQ(1, property.GetValue(&collection, value));
    EXPECT_TRUE(value.IsEmpty());
}

TEST_F(PropertyOverCollection, AFailedReadFailsTheWhole) {
    Focus({first, second, third});
    property.unreadable = second;
    SCC_Variant value;
    EXPECT_EQ(0, property.GetValue(&collection, value));
}

TEST_F(PropertyOverCollection, WritesEveryFocusedHandleUntilOneFails) {
    Focus({});
    EXPECT_EQ(1, property.SetValue(&collection, SCC_Variant(5), 0));
    EXPECT_TRUE(property.writes.empty());

    Focus({first, second, third});
    EXPECT_EQ(1, property.SetValue(&collection, SCC_Variant("7"), 42));
    EXPECT_EQ(3u, property.writes.size());
    for (const auto& write : property.writes) EXPECT_EQ(42, write.second) << "flags pass through";
    for (SYS_Handle h : {first, second, third}) EXPECT_EQ(7, ItemOf(h)->key);

    property.writes.clear();
    property.unwritable = collection.GetFocus(1);
    EXPECT_EQ(0, property.SetValue(&collection, SCC_Variant(9), 0));
    EXPECT_EQ(2u, property.writes.size()) << "the walk stops at the first failure";
    EXPECT_EQ(9, ItemOf(collection.GetFocus(0))->key);
    EXPECT_EQ(7, ItemOf(collection.GetFocus(2))->key);
}

TEST_F(PropertyOverCollection, ANullCollectionUsesHandleZero) {
    SCC_Variant value;
    EXPECT_EQ(0, property.GetValue(static_cast<SCC_StdCollection*>(nullptr), value));
    EXPECT_EQ(0, property.SetValue(static_cast<SCC_StdCollection*>(nullptr), value, 3));
    EXPECT_EQ(std::vector<SYS_Handle>{0}, property.reads);
    ASSERT_EQ(1u, property.writes.size());
    EXPECT_EQ(std::make_pair(SYS_Handle(0), 3), property.writes[0]);
}

TEST(SCC_StdProperty, BaseAnswersNotAvailable) {
    SCC_StdProperty base;
    SCC_Variant value;
    EXPECT_EQ(0, base.GetValue(SYS_Handle(5), value));
    EXPECT_EQ(0, base.SetValue(SYS_Handle(5), value, 0));
    EXPECT_EQ(0, base.HasSetMethod());
    EXPECT_EQ(&base, base.GetDataSource());
    EXPECT_STREQ("", base.GetValidation());
    EXPECT_TRUE(base.GetConvertor().IsNull());
}

TEST(SCC_StdProperty, EachPropertyHearsOneChangePerConvertorNotification) {
    SCC_SharedPointer<ScaleConvertor> scale(new ScaleConvertor(2.0));
    SCC_SharedPointer<SCC_StdProperty> a(new SCC_StdProperty);
    SCC_SharedPointer<SCC_StdProperty> b(new SCC_StdProperty);
    EXPECT_EQ(a.Get(), a->SetConvertor(scale.Get()));
    b->SetConvertor(scale.Get());
    Recorder atA, atB;
    AddNode(*a->GetPropEvent(), atA);
    AddNode(*b->GetPropEvent(), atB);
    int anything = 0;
    scale->Notify(SCC_NotifyInserted, &anything);
    EXPECT_EQ((std::vector<std::pair<int, SYS_Handle>>{{8, AsHandle(a.Get())}}), atA.heard);
    EXPECT_EQ((std::vector<std::pair<int, SYS_Handle>>{{8, AsHandle(b.Get())}}), atB.heard);
}

TEST(SCC_StdProperty, SetConvertorMovesTheHook) {
    SCC_SharedPointer<ScaleConvertor> oldOne(new ScaleConvertor(2.0));
    SCC_SharedPointer<ScaleConvertor> newOne(new ScaleConvertor(3.0));
    SCC_StdProperty property;
    Recorder listener;
    AddNode(*property.GetPropEvent(), listener);
    property.SetConvertor(oldOne.Get());
    property.SetConvertor(oldOne.Get());  // again: still hooked once
    oldOne->SetFactor(1.0);
    EXPECT_EQ(1u, listener.heard.size());
    property.SetConvertor(newOne.Get());
    EXPECT_EQ(newOne.Get(), property.GetConvertor().Get());
    oldOne->SetFactor(5.0);
    EXPECT_EQ(1u, listener.heard.size()) << "the old convertor no longer reaches the property";
    newOne->SetFactor(5.0);
    EXPECT_EQ(2u, listener.heard.size());
    property.SetConvertor(nullptr);
    EXPECT_FALSE(newOne->HasListeners());
    newOne->SetFactor(6.0);
    EXPECT_EQ(2u, listener.heard.size());
}

TEST(SCC_StdProperty, ChangesOfAChainReachThePropertyOnce) {
    SCC_SharedPointer<ScaleConvertor> scale(new ScaleConvertor(2.0));
    SCC_SharedPointer<SCC_Convertor> chain(
        new SCC_IndConvertor(SCC_SharedPointer<SCC_Convertor>(new SCC_RevConvertor(scale.Get()))));
    SCC_StdProperty property;
    property.SetConvertor(chain);
    Recorder listener;
    AddNode(*property.GetPropEvent(), listener);
    scale->SetFactor(8.0);
    EXPECT_EQ((std::vector<std::pair<int, SYS_Handle>>{{8, AsHandle(&property)}}), listener.heard);
    EXPECT_EQ(0.25, double(property.GetConvertor()->Convert(SCC_Variant(2), 1)));
}

TEST(SCC_StdProperty, CopyTakesOverListenersAndHearsTheConvertorItself) {
    SCC_SharedPointer<ScaleConvertor> scale(new ScaleConvertor(2.0));
    SCC_StdProperty model;
    model.SetConvertor(scale.Get());
    model.SetValidation("#[0,25]");
    Recorder listener;
    AddNode(*model.GetPropEvent(), listener);

    SCC_StdProperty copy(model);
    EXPECT_FALSE(model.GetPropEvent()->HasListeners());
    EXPECT_STREQ("#[0,25]", copy.GetValidation());
    EXPECT_EQ(scale.Get(), copy.GetConvertor().Get());
    scale->SetFactor(4.0);
    EXPECT_EQ((std::vector<std::pair<int, SYS_Handle>>{{8, AsHandle(&copy)}}), listener.heard);

    SCC_StdProperty assigned;
    Recorder dropped;
    AddNode(*assigned.GetPropEvent(), dropped);
    assigned = copy;
    EXPECT_EQ(nullptr, dropped.GetOwner()) << "assignment drops the target's own listeners";
    EXPECT_EQ(assigned.GetPropEvent(), listener.GetOwner());
    listener.heard.clear();
    scale->SetFactor(5.0);
    EXPECT_EQ((std::vector<std::pair<int, SYS_Handle>>{{8, AsHandle(&assigned)}}), listener.heard);
}

TEST(SCC_StdProperty, SharedPointersDecideTheLifetimes) {
    const int before = ScaleConvertor::s_live;
    {
        SCC_SharedPointer<SCC_StdProperty> property(new SCC_StdProperty);
        {
            SCC_SharedPointer<SCC_Convertor> convertor(new ScaleConvertor(2.0));
            property->SetConvertor(convertor);
            SCC_SharedPointer<SCC_StdProperty> view(new SCC_IndProperty(property));
        }
        EXPECT_EQ(before + 1, ScaleConvertor::s_live) << "the property keeps its convertor";
        property->SetConvertor(nullptr);
        EXPECT_EQ(before, ScaleConvertor::s_live);
        SCC_SharedPointer<SCC_Convertor> again(new ScaleConvertor(3.0));
        property->SetConvertor(again);
    }
    EXPECT_EQ(before, ScaleConvertor::s_live) << "destroying the holders released everything";
}

TEST(SCC_StdProperty, DestroyingAPropertyUnhooksItsConvertor) {
    SCC_SharedPointer<ScaleConvertor> scale(new ScaleConvertor(2.0));
    {
        SCC_StdProperty property;
        property.SetConvertor(scale.Get());
        EXPECT_TRUE(scale->HasListeners());
    }
    EXPECT_FALSE(scale->HasListeners());
    scale->SetFactor(3.0);  // nobody left to call
}

TEST_F(PropertyOverCollection, IndirectPropertyIsItsTarget) {
    SCC_SharedPointer<SCC_StdProperty> target(new KeyProperty);
    SCC_IndProperty indirect(target);
    Focus({second});
    SCC_Variant value;
    EXPECT_EQ(1, indirect.GetValue(&collection, value));
    EXPECT_TRUE(value == SCC_Variant(20));
    EXPECT_EQ(1, indirect.SetValue(second, SCC_Variant(21), 0));
    EXPECT_EQ(21, ItemOf(second)->key);
    EXPECT_EQ(1, indirect.HasSetMethod());
    EXPECT_EQ(target.Get(), indirect.GetDataSource());
    EXPECT_EQ(target->GetPropEvent(), indirect.GetPropEvent());
    indirect.SetValidation("5");
    EXPECT_STREQ("5", target->GetValidation());
    SCC_SharedPointer<SCC_Convertor> convertor(new ScaleConvertor(2.0));
    EXPECT_EQ(target.Get(), indirect.SetConvertor(convertor));
    EXPECT_EQ(convertor.Get(), target->GetConvertor().Get());
    EXPECT_EQ(convertor.Get(), indirect.GetConvertor().Get());
}

TEST(SCC_IndProperty, WithoutTargetAnswersAsTheBase) {
    SCC_IndProperty orphan(nullptr);
    SCC_Variant value;
    EXPECT_EQ(0, orphan.GetValue(SYS_Handle(1), value));
    EXPECT_EQ(0, orphan.GetValue(static_cast<SCC_StdCollection*>(nullptr), value));
    EXPECT_EQ(0, orphan.SetValue(SYS_Handle(1), value, 0));
    EXPECT_EQ(&orphan, orphan.GetDataSource());
    orphan.SetValidation("3");
    EXPECT_STREQ("3", orphan.GetValidation());
    EXPECT_NE(nullptr, orphan.GetPropEvent());
}

}  // namespace
