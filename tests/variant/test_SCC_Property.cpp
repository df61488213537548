#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "SCC_Convertor.h"
#include "SCC_Property.h"
#include "SCC_StdCollection.h"
#include "tests/scc/collection_test_support.h"

namespace {

typedef std::vector<std::pair<int, SYS_Handle>> Heard;

// Multiplies by its factor forward and divides back; announces a new factor with
// (SCC_NotifyFocusAdded, 0) as the palette does.
class ScaleConvertor : public SCC_Convertor {
public:
    explicit ScaleConvertor(double factor) : m_factor(factor) {}
    SCC_Variant Convert(SCC_Variant value, int direction) override {
        return SCC_Variant(direction == 1 ? double(value) * m_factor : double(value) / m_factor);
    }
    void SetFactor(double factor) {
        m_factor = factor;
        Notify(SCC_NotifyFocusAdded, nullptr);
    }

private:
    double m_factor;
};

struct Recorder : SCC_EventNode<int> {
    int OnNotification(int code, int* data) override {
        heard.emplace_back(code, SCC_Notifier::DataAsValue(data));
        return 0;
    }
    Heard heard;
};

SYS_Handle AsHandle(const void* p) { return reinterpret_cast<SYS_Handle>(p); }
double Through(SCC_Convertor& c, double v, int direction) {
    return double(c.Convert(SCC_Variant(v), direction));
}

TEST(SCC_Convertor, ChainConvertsAndResendsEveryChange) {
    SCC_SharedPointer<ScaleConvertor> scale(new ScaleConvertor(4.0));
    SCC_SharedPointer<SCC_Convertor> reversed(new SCC_RevConvertor(scale.Get()));
    SCC_SharedPointer<SCC_Convertor> indirect(new SCC_IndConvertor(reversed));
    EXPECT_EQ(0.5, Through(*reversed, 2, 1));  // forward as the scale converts back
    EXPECT_EQ(8.0, Through(*reversed, 2, 0));
    EXPECT_EQ(0.5, Through(*reversed, 2, 7));  // every direction but 0 is forward
    EXPECT_EQ(8.0, Through(*indirect, 2, 0));
    Recorder atReversed, atIndirect;
    AddNode(*reversed, atReversed);
    AddNode(*indirect, atIndirect);
    int marker = 0;
    scale->Notify(SCC_NotifyChanged, &marker);
    EXPECT_EQ((Heard{{3, AsHandle(&marker)}}), atReversed.heard);  // unchanged, once
    EXPECT_EQ((Heard{{3, AsHandle(&marker)}}), atIndirect.heard);
    // Without an inner convertor the value passes unchanged, in both directions.
    const SCC_Variant text("x1");
    for (int direction : {0, 1}) {
        EXPECT_TRUE(SCC_Convertor().Convert(text, direction) == text);
        EXPECT_TRUE(SCC_RevConvertor(nullptr).Convert(text, direction) == text);
        EXPECT_TRUE(SCC_IndConvertor(nullptr).Convert(text, direction) == text);
    }
}

TEST(SCC_Convertor, CopyTakesOverListenersAndFollowsTheSameInner) {
    SCC_SharedPointer<ScaleConvertor> scale(new ScaleConvertor(2.0));
    SCC_IndConvertor model(scale.Get());
    Recorder listener;
    AddNode(model, listener);
    SCC_IndConvertor copy(model);
    EXPECT_FALSE(model.HasListeners());
    scale->SetFactor(3.0);
    EXPECT_EQ(1u, listener.heard.size()) << "the copy's own hook passes the change on";
    EXPECT_EQ(6.0, Through(copy, 2, 1));

    SCC_SharedPointer<ScaleConvertor> other(new ScaleConvertor(10.0));
    SCC_IndConvertor assigned(other.Get());
    assigned = copy;
    EXPECT_EQ(&assigned, listener.GetOwner());
    other->SetFactor(5.0);
    EXPECT_EQ(1u, listener.heard.size()) << "the assigned convertor left its old inner";
    scale->SetFactor(4.0);
    EXPECT_EQ(2u, listener.heard.size());
}

// The key of an item of the in-memory source, as a length in base units.
class KeyProperty : public SCC_StdProperty {
public:
    using SCC_StdProperty::GetValue;
    using SCC_StdProperty::SetValue;
    int GetValue(SYS_Handle handle, SCC_Variant& value) override {
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
    void SetObject(void* bound) override { object = bound; }
    void AddDataSource(SCC_StdProperty* added) override { source = added; }
    void RemoveDataSource() override { source = nullptr; }

    void* object = nullptr;
    SCC_StdProperty* source = nullptr;
    SYS_Handle unreadable = 0, unwritable = 0;
    Heard writes;  // handle and flags
};

class PropertyOverCollection : public ::testing::Test {
protected:
    PropertyOverCollection() : collection(source) {
        first = source.Insert(10);
        second = source.Insert(20);
        third = source.Insert(10);
        collection.AllowReload(1);
    }
    void Focus(const std::vector<SYS_Handle>& handles) {
        collection.SetFocus(0, 0);
        for (SYS_Handle h : handles) collection.SetFocus(h, 1);
    }

    TestSource source;
    TestCollection collection;
    KeyProperty property;
    SYS_Handle first = 0, second = 0, third = 0;
};

TEST_F(PropertyOverCollection, ReadsTheCommonValueAndWritesEveryFocusedHandle) {
    const struct {
        std::vector<SYS_Handle> focus;
        SCC_Variant start;
        int result;
        SCC_Variant value;
    } rows[] = {
        {{}, SCC_Variant(), 0, SCC_Variant()},
        {{second}, SCC_Variant(), 1, SCC_Variant(20)},
        {{first, third}, SCC_Variant(), 1, SCC_Variant(10)},  // equal values
        {{first, second}, SCC_Variant(), 1, SCC_Variant()},   // different values
        {{first, third}, SCC_Variant(11), 1, SCC_Variant()},  // the start value takes part
    };
    for (const auto& row : rows) {
        Focus(row.focus);
        SCC_Variant value(row.start);
        EXPECT_EQ(row.result, property.GetValue(&collection, value));
        EXPECT_EQ(row.value.GetType(), value.GetType());
        EXPECT_TRUE(row.value == value);
    }
    Focus({first, second, third});
    property.unreadable = second;
    SCC_Variant value;
    EXPECT_EQ(0, property.GetValue(&collection, value)) << "a failed read fails the whole";

    // Writes go to every focused handle until one fails.
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
    EXPECT_EQ(7, ItemOf(collection.GetFocus(2))->key);

    // A null collection stands for handle 0.
    property.writes.clear();
    EXPECT_EQ(0, property.GetValue(static_cast<SCC_StdCollection*>(nullptr), value));
    EXPECT_EQ(0, property.SetValue(static_cast<SCC_StdCollection*>(nullptr), value, 3));
    EXPECT_EQ((Heard{{0, 3}}), property.writes);
}

TEST(SCC_StdProperty, SetConvertorMovesTheHookAndCopiesTakeOverListeners) {
    SCC_SharedPointer<ScaleConvertor> oldOne(new ScaleConvertor(2.0));
    SCC_SharedPointer<ScaleConvertor> scale(new ScaleConvertor(3.0));
    SCC_StdProperty model;
    Recorder listener;
    AddNode(*model.GetPropEvent(), listener);
    model.SetConvertor(oldOne.Get());
    model.SetConvertor(oldOne.Get());  // again: still hooked once
    oldOne->SetFactor(1.0);
    EXPECT_EQ(1u, listener.heard.size());
    model.SetConvertor(scale.Get());
    oldOne->SetFactor(5.0);
    EXPECT_EQ(1u, listener.heard.size()) << "the old convertor no longer reaches the property";
    oldOne = nullptr;  // the last reference goes, and the convertor with it
    EXPECT_TRUE(oldOne.IsNull());
    model.SetValidation("#[0,25]");
    listener.heard.clear();

    SCC_StdProperty copy(model);
    EXPECT_FALSE(model.GetPropEvent()->HasListeners());
    EXPECT_STREQ("#[0,25]", copy.GetValidation());
    scale->SetFactor(4.0);
    EXPECT_EQ((Heard{{8, AsHandle(&copy)}}), listener.heard);

    SCC_StdProperty assigned;
    Recorder dropped;
    AddNode(*assigned.GetPropEvent(), dropped);
    assigned = copy;
    EXPECT_EQ(nullptr, dropped.GetOwner()) << "assignment drops the target's own listeners";
    listener.heard.clear();
    scale->SetFactor(5.0);
    EXPECT_EQ((Heard{{8, AsHandle(&assigned)}}), listener.heard);
    for (SCC_StdProperty* p : {&model, &copy, &assigned}) p->SetConvertor(nullptr);
    EXPECT_FALSE(scale->HasListeners());
}

TEST_F(PropertyOverCollection, IndirectPropertyIsItsTarget) {
    KeyProperty* key = new KeyProperty;
    SCC_SharedPointer<SCC_StdProperty> target(key);
    SCC_IndProperty indirect(target);
    Focus({second});
    SCC_Variant value;
    EXPECT_EQ(1, indirect.GetValue(&collection, value));
    EXPECT_TRUE(value == SCC_Variant(20));
    EXPECT_EQ(1, indirect.SetValue(&collection, SCC_Variant(21), 0));
    EXPECT_EQ(1, indirect.GetValue(second, value));
    EXPECT_TRUE(value == SCC_Variant(21));
    EXPECT_EQ(0, indirect.SetValue(SYS_Handle(0), value, 0));
    EXPECT_EQ(1, indirect.HasSetMethod());
    EXPECT_EQ(target.Get(), indirect.GetDataSource());
    EXPECT_EQ(target->GetPropEvent(), indirect.GetPropEvent());
    indirect.SetValidation("5");
    EXPECT_STREQ("5", indirect.GetValidation());
    EXPECT_STREQ("5", target->GetValidation());
    indirect.SetObject(&value);
    indirect.AddDataSource(&indirect);
    EXPECT_EQ(&value, key->object);
    EXPECT_EQ(&indirect, key->source);
    indirect.RemoveDataSource();
    EXPECT_EQ(nullptr, key->source);
    SCC_SharedPointer<SCC_Convertor> convertor(new ScaleConvertor(2.0));
    EXPECT_EQ(target.Get(), indirect.SetConvertor(convertor));
    EXPECT_EQ(convertor.Get(), indirect.GetConvertor().Get());

    // The base property, and an indirect one without target, answer "not available".
    SCC_StdProperty base;
    SCC_IndProperty orphan(nullptr);
    for (SCC_StdProperty* p : {&base, static_cast<SCC_StdProperty*>(&orphan)}) {
        EXPECT_EQ(0, p->GetValue(second, value));
        EXPECT_EQ(0, p->SetValue(second, value, 0));
        EXPECT_EQ(0, p->GetValue(&collection, value));
        EXPECT_EQ(0, p->HasSetMethod());
        EXPECT_EQ(p, p->GetDataSource());
        EXPECT_TRUE(p->GetConvertor().IsNull());
    }
}

}  // namespace
