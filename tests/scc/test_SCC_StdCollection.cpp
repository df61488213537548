#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "collection_test_support.h"

namespace {

typedef std::vector<std::pair<int, SYS_Handle>> Notes;

// A source with keys 5, 1, 4, 2, 3 (walk order; item events 1, 1, 0, 0, 1) and a collection sorted
// by key, loaded.
class CollectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int key : {5, 1, 4, 2, 3}) source.AddSilently(key, key % 2);
        collection.SetSort(&CompareByKey, 0);
        collection.AllowReload(1);
    }
    SYS_Handle ByKey(int key) {
        for (TestItem* item : source.items)
            if (item->key == key) return HandleOf(item);
        return 0;
    }

    KeyFilter odd{2, 1};  // outlives the collections that hold it
    TestSource source;
    TestCollection collection{source};
};

TEST_F(CollectionTest, PositionWalkMovesTheSliderAndFocusKeepsIt) {
    std::vector<SYS_Handle> walked;
    for (int more = collection.GetFirst(); more; more = collection.GetNext())
        walked.push_back(collection.GetSlider());
    EXPECT_EQ(collection.Content(), walked);
    EXPECT_TRUE(collection.IsEmpty());
    EXPECT_EQ(collection.GetSize(), collection.GetPosition());  // stepped past the end
    collection.SetSlider(ByKey(3));
    EXPECT_EQ(2, collection.GetPosition());
    EXPECT_EQ(1, collection.GetPrev());
    for (SYS_Handle h : walked) collection.SetFocus(h, 1);
    long index = -1;
    EXPECT_TRUE(collection.IsInFocus(*std::max_element(walked.begin(), walked.end()), &index));
    EXPECT_EQ(4, index);  // the focus list ascends by handle
    EXPECT_EQ(0, collection.GetFocus(5));
    collection.SetFocus(ByKey(5), 0);  // keeps the position and the slider
    EXPECT_EQ(1, collection.GetPosition());
    EXPECT_EQ(ByKey(2), collection.GetSlider());
    EXPECT_EQ(0, collection.GetAt(-1));
    EXPECT_EQ(0, collection.GetAt(collection.GetSize()));
    EXPECT_EQ(-1, collection.GetPositionByHandle(0));
}

// From `other` focused (and the target too when `focused`): what stays focused, and whether
// (4, target) is announced. A handle the content does not hold acts like handle 0.
TEST_F(CollectionTest, SetFocusModes) {
    const SYS_Handle other = ByKey(5), outside = source.AddSilently(42);  // not loaded
    const struct {
        const char* name;
        int mode;
        bool focused, outsideContent, targetAfter, otherAfter, announced;
    } rows[] = {
        {"1 adds and announces", 1, false, false, true, true, true},
        {"1 on a focused handle is silent", 1, true, false, true, true, false},
        {"7 acts like 1", 7, false, false, true, true, true},
        {"2 adds silently", 2, false, false, true, true, false},
        {"-1 removes silently", -1, true, false, false, true, false},
        {"-1 on an unfocused handle still announces it", -1, false, false, false, true, true},
        {"outside the content clears silently", 1, false, true, false, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const SYS_Handle target = row.outsideContent ? outside : ByKey(3);
        collection.SetFocus(other, 0);
        if (row.focused) collection.SetFocus(target, 2);
        ViewHook view(collection);
        collection.SetFocus(target, row.mode);
        EXPECT_EQ(row.targetAfter, collection.IsInFocus(target, nullptr) != 0);
        EXPECT_EQ(row.otherAfter, collection.IsInFocus(other, nullptr) != 0);
        EXPECT_EQ((row.announced ? Notes{{4, target}} : Notes{}), view.received);
    }
}

TEST_F(CollectionTest, DisabledCollectionIgnoresAndReloadsWhenEnabled) {
    ViewHook view(collection);
    collection.Enable(0);
    source.Insert(0);
    source.Delete(ByKey(1));
    EXPECT_TRUE(view.received.empty());
    collection.Enable(1);
    EXPECT_EQ((Notes{{5, 0}}), view.received);
    EXPECT_EQ((std::vector<int>{0, 2, 3, 4, 5}), Keys(collection.Content()));
    EXPECT_EQ(1, collection.EnableNotifications(0));
    source.Insert(9);
    EXPECT_EQ(1u, view.received.size());
    EXPECT_EQ(0, collection.EnableNotifications(1));
}

// Counts its calls; data that is not a handle must never reach it.
struct CountingFilter : SYS_Filter {
    int calls = 0;
    int IsTrue(SYS_Handle) override { return ++calls, 1; }
};

TEST_F(CollectionTest, NotificationsAboutNoHandleOrAHandleOutsideTheContent) {
    CountingFilter counting;
    collection.SetFilter(&counting);
    counting.calls = 0;
    ViewHook view(collection);
    int property = 0;  // what a property change (8) carries: never a handle for the filter
    for (int code : {0, 8, 11, -1}) source.event.Notify(code, &property);
    for (int code : {1, 2, 3, 4}) source.event.Notify(code, nullptr);  // handle 0: nothing
    EXPECT_EQ(0, counting.calls);
    EXPECT_TRUE(view.received.empty());
    source.event.Notify(SCC_NotifyInserted, DataOf(ByKey(3)));  // already held: a change
    collection.SetFilter(&odd);
    source.event.Notify(SCC_NotifyReset, DataOf(ByKey(2)));  // 2 is not in the content
    source.event.Notify(SCC_NotifyCleared, DataOf(ByKey(2)));
    EXPECT_EQ((Notes{{3, ByKey(3)}, {5, 0}}), view.received);  // the reset of the new filter
}

TEST_F(CollectionTest, ItemHooksAreSharedPerEventAndCounted) {
    TestCollection fresh(source);
    fresh.AllowReload(1);
    const TestCollection::HookMap& hooks = fresh.GetHookMap();
    auto connections = [&](int group) {  // of the hook on the item event `group`; -1: no hook
        auto* hook = hooks.Lookup(reinterpret_cast<SYS_Handle>(&source.groupEvents[group]));
        return hook != nullptr ? hook->GetConnectionCount() : -1;
    };
    EXPECT_EQ(2, connections(0));
    source.Delete(ByKey(4));
    EXPECT_EQ(1, connections(0));
    source.Delete(ByKey(2));  // the last item of group 0: its hook goes
    EXPECT_EQ(-1, connections(0));
    collection.Clear();
    EXPECT_FALSE(source.groupEvents[0].HasListeners());  // neither collection listens now
    const SYS_Handle added = source.Insert(8, 0);
    EXPECT_EQ(1, connections(0));
    ViewHook view(fresh);
    source.Change(added, 9, false, true);  // heard through the item's own event
    EXPECT_EQ((Notes{{3, added}}), view.received);
}

TEST_F(CollectionTest, HandleDataIsKeptPerHandleAndAnnouncedOnTheAttachedEvent) {
    const SYS_Handle h = ByKey(4);
    collection.SetHandleData(h, 17);
    collection.SetFilter(&odd);  // 4 leaves the content but keeps its data until it is deleted
    EXPECT_EQ(17, collection.GetHandleData(h));
    source.Delete(h);
    EXPECT_EQ(0, collection.GetHandleData(h));
    // Attached to no event, the collection announces to itself; attached by the host rather than by
    // SetEvent, to that event.
    TestSource lone;
    const SYS_Handle item = lone.AddSilently(1);
    TestCollection loose(lone), other(lone);
    Detach<int>(loose);
    Detach<int>(other);
    loose.AllowReload(1);
    other.AllowReload(1);
    ViewHook view(loose), otherView(other);
    loose.SetHandleData(item, 3);
    AddNode<int>(lone.event, loose);
    AddNode<int>(lone.event, other);
    loose.SetHandleData(item, 4);
    EXPECT_EQ((Notes{{3, item}, {3, item}}), view.received);
    EXPECT_EQ((Notes{{3, item}}), otherView.received);
}

// Handles move by a fixed offset (a relocation of the source's storage).
class Relocating : public TestCollection {
public:
    using TestCollection::TestCollection;
    SYS_Handle UpdateHandle(SYS_Handle handle, void* info) override {
        return handle + *static_cast<SYS_Handle*>(info);
    }
};

TEST_F(CollectionTest, RelocationReplacesEveryHandleAndIsPassedOn) {
    Relocating moved(source);
    moved.AllowReload(1);
    moved.SetFocus(moved.GetAt(1), 1);
    const std::vector<SYS_Handle> before = moved.Content();
    ViewHook view(moved);
    SYS_Handle offset = 8;
    moved.Suspend(1);
    source.Change(before[0], ItemOf(before[0])->key);
    source.event.Notify(7, &offset);
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(before[i] + 8, moved.GetAt(i));
    EXPECT_EQ((std::vector<SYS_Handle>{before[1] + 8}), moved.FocusList());
    EXPECT_EQ(1, moved.GetQueueSize());
    EXPECT_EQ(before[0] + 8, moved.GetQueued(0).data);
    EXPECT_EQ((Notes{{7, reinterpret_cast<SYS_Handle>(&offset)}}), view.received);
}

// Copies its model when it first hears a notification.
struct CopyMaker : SCC_EventNode<int> {
    explicit CopyMaker(TestCollection& copied) : model(&copied) {}
    int OnNotification(int, int*) override {
        if (!copy) copy = std::make_unique<TestCollection>(*model);
        return 0;
    }
    TestCollection* model;
    std::unique_ptr<TestCollection> copy;
};

TEST_F(CollectionTest, CopyTakesOverListenersAndServesItsOwnItemEvents) {
    ViewHook view(collection);
    collection.SetFocus(ByKey(2), 1);
    view.received.clear();
    TestCollection copy(collection);
    view.collection = &copy;  // the copy took the view over
    EXPECT_FALSE(collection.GetChangeEvent()->HasListeners());
    EXPECT_EQ(static_cast<SCC_EventNode<int>*>(&copy), source.event.GetNextNode());
    EXPECT_EQ(static_cast<SCC_EventNode<int>*>(&collection), copy.GetNextNode());
    // Also a copy made by a listener while the source event dispatches.
    CopyMaker maker(collection);
    AddNode<int>(source.event, maker);
    const SYS_Handle fresh = source.Insert(0, 0);
    ASSERT_TRUE(maker.copy);
    EXPECT_EQ(static_cast<SCC_EventNode<int>*>(&collection), maker.copy->GetNextNode());
    EXPECT_EQ(0, maker.copy->GetPositionByHandle(fresh));
    EXPECT_EQ((Notes{{1, fresh}}), view.received);  // heard through the copy
    view.received.clear();
    source.Change(ByKey(4), 4, false, true);
    EXPECT_EQ((Notes{{3, ByKey(4)}}), view.received);
    TestSource otherSource;
    TestCollection assigned(otherSource);
    ViewHook assignedView(assigned);
    assigned = copy;
    view.collection = &assigned;  // and the assigned one took it from the copy
    source.Insert(-3);
    EXPECT_EQ(copy.Content(), assigned.Content());
    EXPECT_EQ(2u, view.received.size());
    EXPECT_TRUE(assignedView.received.empty());  // its own listeners were dropped
}

TEST_F(CollectionTest, BaseCollectionHasNoSourceAndLoadsNothing) {
    SCC_StdCollection bare;
    bare.AllowReload(2);  // not 1: still no reload
    EXPECT_EQ(0, bare.IsContentAvailable());
    bare.AllowReload(0);
    bare.AllowReload(1);
    EXPECT_EQ(0, bare.GetFirst());
    EXPECT_EQ(0, bare.GetNext());
    EXPECT_EQ(nullptr, bare.GetEvent());
    EXPECT_EQ(0, bare.UpdateHandle(7, nullptr));
    EXPECT_EQ(0, bare.HandleNotificationsAllowed(7));
    EXPECT_EQ(1, bare.HandleNotificationsAllowed(0));
    bare.SetEvent(nullptr);
    bare.SetNotificationHandler(nullptr);
    EXPECT_EQ(nullptr, bare.GetSourceEvent());
}

TEST_F(CollectionTest, CopyOfADetailFollowsTheParentOnItsOwnAndANewParentReplacesTheOld) {
    TestSource details;
    const SYS_Handle detailOfTwo = details.AddSilently(20, -1, ByKey(2));
    DetailCollection detail(details, collection);
    detail.AllowReload(1);
    DetailCollection copy(detail);
    collection.SetFocus(ByKey(2), 0);
    EXPECT_EQ((std::vector<SYS_Handle>{detailOfTwo}), copy.Content());
    TestCollection other(source);
    detail.SetParent(&other);
    copy.SetParent(nullptr);
    EXPECT_FALSE(collection.GetChangeEvent()->HasListeners());
    EXPECT_EQ(1, other.IsReloadAllowed());
}

}  // namespace
