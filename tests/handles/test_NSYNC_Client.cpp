#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SCC_NSyncClient.h"

namespace {

struct Heard {
    int code;
    void* param;
    bool inList;  // whether the node was still in its list when it heard
    bool operator==(const Heard& o) const {
        return code == o.code && param == o.param && inList == o.inList;
    }
};

// A referrer that records what its client tells it.
class Referrer : public SCC_DListRefNode {
public:
    int OnNotification(int code, void* param) override {
        heard.push_back({code, param, GetList() != nullptr});
        return 7;
    }
    std::vector<Heard> heard;
};

// Every referrer hears of the client's end once, and may destroy the next one when told.
TEST(NSYNC_Client, DestructionTellsEveryReferrerOnceEvenWhenOneDies) {
    auto dying = std::make_unique<Referrer>();
    Referrer after;
    class SelfDestroying : public SCC_DListRefNode {
    public:
        explicit SelfDestroying(std::unique_ptr<Referrer>& owner) : m_owner(owner) {}
        int OnNotification(int, void*) override {
            m_owner.reset();  // destroys the next node of the list
            return 0;
        }

    private:
        std::unique_ptr<Referrer>& m_owner;
    } first(dying);
    {
        NSYNC_Client client;
        client.AddTail(&first);
        client.AddTail(dying.get());
        client.AddTail(&after);
    }
    EXPECT_EQ(nullptr, dying);
    EXPECT_EQ((std::vector<Heard>{{0, nullptr, true}}), after.heard);
    EXPECT_EQ(nullptr, after.GetList());
}

TEST(NSYNC_Client, CopyStartsWithoutReferrers) {
    Referrer a;
    NSYNC_Client client;
    client.AddTail(&a);
    {
        NSYNC_Client copy(client);
        EXPECT_EQ(nullptr, copy.GetHead());
    }
    EXPECT_TRUE(a.heard.empty());  // the copy's end tells nobody
    EXPECT_EQ(&client, a.GetList());
}

}  // namespace
