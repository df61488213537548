#pragma once

// An in-memory data source for collection tests: objects whose addresses are their handles, a
// source notifier, a few shared per-item change events, and the collections that walk it.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "SCC_StdCollection.h"
#include "SYS_Filter.h"

struct TestItem {
    int key = 0;
    int group = -1;          // index of the item's change event; -1: none
    SYS_Handle master = 0;   // for details: the master item's handle
    long serial = 0;         // creation order: breaks ties between equal keys reproducibly
};

inline TestItem* ItemOf(SYS_Handle handle) { return reinterpret_cast<TestItem*>(handle); }
inline SYS_Handle HandleOf(const TestItem* item) { return reinterpret_cast<SYS_Handle>(item); }
inline int* DataOf(SYS_Handle handle) {
    return static_cast<int*>(SCC_Notifier::ValueAsData(handle));
}
inline std::vector<int> Keys(const std::vector<SYS_Handle>& handles) {
    std::vector<int> keys;
    for (SYS_Handle h : handles) keys.push_back(ItemOf(h)->key);
    return keys;
}

class TestSource {
public:
    static constexpr int kGroups = 3;

    ~TestSource() { FreeAll(); }

    // Adds an item at the end of the source walk and announces (1, handle).
    SYS_Handle Insert(int key, int group = -1, SYS_Handle master = 0) {
        SYS_Handle handle = AddSilently(key, group, master);
        event.Notify(SCC_NotifyInserted, DataOf(handle));
        return handle;
    }
    SYS_Handle AddSilently(int key, int group = -1, SYS_Handle master = 0) {
        items.push_back(new TestItem{key, group, master, ++s_serial});
        return HandleOf(items.back());
    }
    // Announces (2, handle) while the item exists, then frees it.
    void Delete(SYS_Handle handle) {
        event.Notify(SCC_NotifyDeleting, DataOf(handle));
        auto at = std::find(items.begin(), items.end(), ItemOf(handle));
        delete *at;
        items.erase(at);
    }
    // Changes the key; announces (3, handle) on the source event and/or the item's own event.
    void Change(SYS_Handle handle, int key, bool onSource = true, bool onItemEvent = false) {
        ItemOf(handle)->key = key;
        if (onSource) event.Notify(SCC_NotifyChanged, DataOf(handle));
        if (onItemEvent && ItemOf(handle)->group >= 0)
            groupEvents[ItemOf(handle)->group].Notify(SCC_NotifyChanged, DataOf(handle));
    }
    // Announces (6, 0), then frees every item.
    void Clear() {
        event.Notify(SCC_NotifyCleared, nullptr);
        FreeAll();
    }

    SCC_Notifier event;
    SCC_Notifier groupEvents[kGroups];
    std::vector<TestItem*> items;  // the source walk order

private:
    static inline long s_serial = 0;

    void FreeAll() {
        for (TestItem* item : items) delete item;
        items.clear();
    }
};

// Orders by key only: equal keys keep the order in which they were placed.
inline int CompareKeyOnly(const SYS_Handle& a, const SYS_Handle& b) {
    const int ka = ItemOf(a)->key, kb = ItemOf(b)->key;
    return ka < kb ? -1 : (ka > kb ? 1 : 0);
}
// Orders by key, then by creation: a total order, so "sorted from scratch" is unambiguous.
inline int CompareByKey(const SYS_Handle& a, const SYS_Handle& b) {
    const long sa = ItemOf(a)->serial, sb = ItemOf(b)->serial;
    const int byKey = CompareKeyOnly(a, b);
    return byKey != 0 ? byKey : (sa < sb ? -1 : (sa > sb ? 1 : 0));
}

// Accepts items whose key leaves `remainder` when divided by `divisor`.
struct KeyFilter : SYS_Filter {
    KeyFilter(int keyDivisor, int keyRemainder) : divisor(keyDivisor), remainder(keyRemainder) {}
    int IsTrue(SYS_Handle handle) override {
        const int rest = ItemOf(handle)->key % divisor;
        return (rest < 0 ? rest + divisor : rest) == remainder;
    }
    const int divisor, remainder;
};

// A collection over a TestSource; the slider is an index into the source walk.
class TestCollection : public SCC_StdCollection {
public:
    explicit TestCollection(TestSource& source, SCC_StdCollection* parent = nullptr)
        : SCC_StdCollection(parent), m_source(&source), m_slider(-1) {
        SetEvent(&source.event);
    }
    TestCollection(TestCollection& model)
        : SCC_StdCollection(model), m_source(model.m_source), m_slider(model.m_slider) {}
    TestCollection& operator=(TestCollection& model) {
        SCC_StdCollection::operator=(model);
        m_source = model.m_source;
        m_slider = model.m_slider;
        return *this;
    }

    SYS_Handle _GetSlider() override { return OnItem() ? HandleOf(m_source->items[m_slider]) : 0; }
    void _SetSlider(SYS_Handle handle) override {
        const auto at = std::find(m_source->items.begin(), m_source->items.end(), ItemOf(handle));
        m_slider = handle == 0 || at == m_source->items.end() ? -1 : at - m_source->items.begin();
    }
    int _GetFirst() override { return Settle(0); }
    // From slider 0 the walk starts at the first item.
    int _GetNext() override { return Settle(m_slider < 0 ? 0 : m_slider + 1); }
    int _GetPrev() override { return Settle(m_slider - 1); }
    SCC_Notifier* GetEvent() override {
        if (!OnItem()) return nullptr;
        int group = m_source->items[m_slider]->group;
        return group >= 0 ? &m_source->groupEvents[group] : nullptr;
    }

    std::vector<SYS_Handle> Content() {
        std::vector<SYS_Handle> content;
        for (long i = 0; i < GetSize(); ++i) content.push_back(GetAt(i));
        return content;
    }
    std::vector<SYS_Handle> FocusList() {
        std::vector<SYS_Handle> focus;
        for (long i = 0; i < GetFocusCount(); ++i) focus.push_back(GetFocus(i));
        return focus;
    }
    using SCC_StdCollection::Reload;

protected:
    bool OnItem() const {
        return m_slider >= 0 && m_slider < static_cast<long>(m_source->items.size());
    }
    int Settle(long index) {
        m_slider = index >= 0 && index < static_cast<long>(m_source->items.size()) ? index : -1;
        return m_slider >= 0;
    }

    TestSource* m_source;
    long m_slider;
};

// The details of the masters its parent has focused: a detail passes when its master is focused in
// the parent and the collection's own filter accepts it. The walk by parent slider visits the
// details of the master under the parent's slider.
class DetailCollection : public TestCollection {
public:
    DetailCollection(TestSource& details, SCC_StdCollection& parent)
        : TestCollection(details, &parent) {}

    int Filter(SYS_Handle handle) override {
        SCC_StdCollection* parent = GetParent();
        return parent != nullptr && parent->IsInFocus(ItemOf(handle)->master, nullptr) &&
               SCC_StdCollection::Filter(handle);
    }
    int _GetNextByParentSlider() override {
        const SYS_Handle master = GetParent() != nullptr ? GetParent()->GetSlider() : 0;
        for (long i = m_slider < 0 ? 0 : m_slider + 1; Settle(i); ++i)
            if (m_source->items[i]->master == master) return 1;
        return 0;
    }
};

// A view on a collection's change event: keeps its own list of the collection's handles from the
// notifications alone (a reset re-reads the content), and records every notification.
class ViewHook : public SCC_EventNode<int> {
public:
    explicit ViewHook(TestCollection& heard) : collection(&heard) {
        heard.SetNotificationHandler(this);
        view = heard.Content();
    }
    int OnNotification(int code, int* data) override {
        const SYS_Handle handle = SCC_Notifier::DataAsValue(data);
        received.emplace_back(code, handle);
        const auto at = std::find(view.begin(), view.end(), handle);
        const long position = collection->GetPositionByHandle(handle);
        if (code == SCC_NotifyInserted) {  // announced after the insert, at its place
            const bool placed =
                at == view.end() && position >= 0 && position <= static_cast<long>(view.size());
            EXPECT_TRUE(placed) << "insert of a handle the view has, or at no place in it";
            if (placed) view.insert(view.begin() + position, handle);
        } else if (code == SCC_NotifyDeleting) {  // announced before the removal
            EXPECT_TRUE(at != view.end() && position >= 0) << "deletion of a handle not held";
            if (at != view.end()) view.erase(at);
        } else if (code == SCC_NotifyChanged || code == SCC_NotifyFocusAdded) {
            EXPECT_TRUE(handle == 0 || at != view.end()) << "change of an unknown handle";
        } else if (code == SCC_NotifyReset) {
            view = collection->Content();
        } else if (code == SCC_NotifyCleared) {
            view.clear();
        }
        return 0;
    }

    std::vector<std::pair<int, SYS_Handle>> received;
    std::vector<SYS_Handle> view;
    TestCollection* collection;  // the one whose change event the view listens to
};
