#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "SCC_NSyncClient.h"
#include "SCC_SavedHandles.h"
#include "tessar_reports.h"

namespace {

using Pair = std::pair<long, SYS_Handle>;  // (type, handle): the set's order
using Relocation = std::map<SYS_Handle, SYS_Handle>;

constexpr long kWireType = 1;
constexpr long kPadType = 2;

int g_live = 0;  // handle objects alive

// Two data sources of the host: wires and pads, each with its change event.
struct Sources {
    SCC_Notifier wires;
    SCC_Notifier pads;
    SCC_Notifier* For(long type) { return type == kWireType ? &wires : &pads; }
};

// A saved handle that listens to its source and follows relocations given as a map.
class TrackedHandle : public SCC_HandleWithEvent {
public:
    TrackedHandle(SYS_Handle handle, long type, SCC_SavedHandles* set, SCC_Notifier* event)
        : SCC_HandleWithEvent(handle, type, set), m_event(event) {
        ++g_live;
    }
    ~TrackedHandle() override { --g_live; }
    SCC_Notifier* GetChangeEvent() override { return m_event; }
    void OnUpdatePointers(void* info) override {
        const auto* moves = static_cast<const Relocation*>(info);
        auto found = moves->find(GetHandle());
        if (found != moves->end()) SetHandle(found->second);
    }

private:
    SCC_Notifier* m_event;
};

// A set that builds wires and pads, nothing for other types.
class TrackedSet : public SCC_SavedHandles {
public:
    explicit TrackedSet(Sources& sources) : m_sources(sources) {}

protected:
    Entry CreateByType(SYS_Handle handle, long type) override {
        if (type != kWireType && type != kPadType) return Entry();
        return Entry(new TrackedHandle(handle, type, this, m_sources.For(type)));
    }

private:
    Sources& m_sources;
};

std::vector<Pair> Contents(const SCC_SavedHandles& set) {
    std::vector<Pair> pairs;
    for (long i = 0; i < set.GetSize(); ++i)
        pairs.emplace_back(set.GetAt(i)->GetType(), set.GetAt(i)->GetHandle());
    return pairs;
}

void* Data(SYS_Handle value) { return SCC_Notifier::ValueAsData(value); }

class SavedHandlesTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(reports.Reports().empty()); }

    tessar_test::ScopedReportRecorder reports;
    Sources sources;
};

// Random saves, deletions, clears and relocations, each announced as the host would, against a
// plain set of pairs.
TEST_F(SavedHandlesTest, FollowsRandomChangesOfItsObjects) {
    std::mt19937 random(21);
    TrackedSet set(sources);
    std::set<Pair> model;
    for (int step = 0; step < 4000; ++step) {
        const long type = random() % 2 == 0 ? kWireType : kPadType;
        const SYS_Handle handle = static_cast<SYS_Handle>(random() % 40) - 5;
        const Pair pair(type, handle);
        switch (random() % 10) {
        case 0:
        case 1:
        case 2:
        case 3:
            EXPECT_EQ(model.insert(pair).second ? 1 : 0, set.Save(handle, type));
            break;
        case 4:
            EXPECT_EQ(static_cast<int>(model.erase(pair)), set.Delete(handle, type));
            break;
        case 5:
        case 6:
            sources.For(type)->Notify(SCC_NotifyDeleting, Data(handle));
            model.erase(pair);
            break;
        case 7: {  // every handle of the type moves: shifted, or mirrored (order reversed)
            const SYS_Handle offset = static_cast<SYS_Handle>(random() % 50) - 25;
            const SYS_Handle sign = random() % 2 == 0 ? 1 : -1;
            Relocation moves;
            std::set<Pair> moved;
            for (const Pair& p : model) {
                if (p.first == type) moves[p.second] = sign * p.second + offset;
                moved.insert(p.first == type ? Pair(type, sign * p.second + offset) : p);
            }
            sources.For(type)->Notify(SCC_NotifyBlock, &moves);
            model.swap(moved);
            break;
        }
        case 8:
            EXPECT_EQ(model.count(pair) != 0, !set.Find(handle, type, nullptr).IsNull());
            break;
        default:
            if (random() % 25 == 0) {
                sources.For(type)->Notify(SCC_NotifyCleared, nullptr);
                model.clear();
            }
            break;
        }
        if (!set.NeedsResort()) {
            ASSERT_EQ(std::vector<Pair>(model.begin(), model.end()), Contents(set)) << step;
        }
        ASSERT_EQ(static_cast<int>(model.size()), g_live) << step;
    }
}

TEST_F(SavedHandlesTest, CopySharesEntriesUntilOneSideChanges) {
    TrackedSet set(sources);
    for (SYS_Handle handle : {1, 2}) set.Save(handle, kWireType);
    SCC_SavedHandles copy(set);
    EXPECT_EQ(Contents(set), Contents(copy));
    sources.wires.Notify(SCC_NotifyDeleting, Data(1));  // reported to the set that saved it
    EXPECT_EQ(std::vector<Pair>({{kWireType, 2}}), Contents(set));
    EXPECT_EQ(std::vector<Pair>({{kWireType, 1}, {kWireType, 2}}), Contents(copy));
    EXPECT_EQ(2, g_live);  // the copy still holds handle 1
    SCC_SavedHandles assigned;  // the base set saves nothing
    EXPECT_EQ(0, assigned.Save(1, kWireType));
    assigned = copy;
    sources.wires.Notify(SCC_NotifyChanged, Data(2));  // codes other than 2, 6, 7 change nothing
    EXPECT_EQ(Contents(copy), Contents(assigned));
    EXPECT_EQ(std::vector<Pair>({{kWireType, 2}}), Contents(set));
}

// A handle object outliving its set must not report to the dead set when its object changes.
TEST_F(SavedHandlesTest, HandleThatOutlivesItsSetHearsNothingMore) {
    SCC_SavedHandles::Entry kept;
    {
        TrackedSet set(sources);
        set.Save(3, kWireType);
        set.Save(4, kWireType);
        kept = set.Find(3, kWireType, nullptr);
        ASSERT_FALSE(kept.IsNull());
    }
    EXPECT_EQ(1, g_live);
    EXPECT_EQ(nullptr, kept->GetContainer());
    EXPECT_EQ(nullptr, kept->GetOwner());
    sources.wires.Notify(SCC_NotifyDeleting, Data(3));
    sources.wires.Notify(SCC_NotifyCleared, nullptr);
    EXPECT_EQ(3, kept->GetHandle());
}

TEST_F(SavedHandlesTest, HandleWithoutContainerReportsNotifications) {
    TrackedHandle lonely(12, kWireType, nullptr, &sources.wires);
    AddNode(static_cast<SCC_Event<int>&>(sources.wires), static_cast<SCC_EventNode<int>&>(lonely));
    EXPECT_EQ(0, lonely.OnNotification(SCC_NotifyDeleting, static_cast<int*>(Data(12))));
    const auto seen = reports.Take();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("scc/SCC_SavedHandles", seen[0].unit);
    EXPECT_EQ(SSM_FailureError, seen[0].type);
}

// ---------------------------------------------------------------------------------------------
// The client that tells its referrers of its end.

// A referrer that counts what its client tells it, and when told may leave its list or destroy
// another referrer.
class Referrer : public SCC_DListRefNode {
public:
    int OnNotification(int code, void* param) override {
        EXPECT_EQ(0, code);
        EXPECT_EQ(nullptr, param);
        EXPECT_NE(nullptr, GetList());  // still in the list when told
        ++told;
        if (leaveWhenTold) GetList()->Remove(this);
        if (destroyWhenTold != nullptr) destroyWhenTold->reset();
        return 7;
    }
    int told = 0;
    bool leaveWhenTold = false;
    std::unique_ptr<Referrer>* destroyWhenTold = nullptr;
};

// Every referrer hears of the client's end once, and may leave or destroy the next one when told.
TEST(NSYNC_Client, DestructionTellsEveryReferrerOnceEvenWhenOneLeavesOrDies) {
    auto dying = std::make_unique<Referrer>();
    Referrer first, leaving, after;
    first.destroyWhenTold = &dying;
    leaving.leaveWhenTold = true;
    {
        NSYNC_Client client;
        for (Referrer* referrer : {&first, dying.get(), &leaving, &after}) client.AddTail(referrer);
        NSYNC_Client copy(client);  // a copy starts without referrers: its end tells nobody
        EXPECT_EQ(nullptr, copy.GetHead());
    }
    EXPECT_EQ(nullptr, dying);
    for (const Referrer* told : {&first, &leaving, &after}) {
        EXPECT_EQ(1, told->told);
        EXPECT_EQ(nullptr, told->GetList());
    }
}

}  // namespace
