#include "ssm_test_support.h"

namespace ssm_test {

int ManagerTest::s_breaks = 0;

std::vector<SSM::AssertData*> StackContents(const SSM& manager) {
    std::vector<SSM::AssertData*> items;
    for (long below = 0; below < manager.Stack.GetCount(); ++below)
        items.push_back(manager.Stack.Peek(below));
    return items;
}

std::vector<std::string> Callers(const std::vector<Call>& log) {
    std::vector<std::string> names;
    for (const Call& call : log) names.push_back(call.who);
    return names;
}

void ManagerTest::SetUp() {
    s_breaks = 0;
    m_previousBreak = PLT_SetDebugBreakHandler(CountBreak);
    ASSERT_EQ(nullptr, SSM::GetManager()) << "a manager outlived its test";
    m_manager = std::make_unique<SSM>();
    ASSERT_EQ(m_manager.get(), SSM::GetManager());
}

void ManagerTest::TearDown() {
    m_manager.reset();
    EXPECT_EQ(nullptr, SSM::GetManager());
    EXPECT_EQ(0, SSM::InstanceCount);
    PLT_SetDebugBreakHandler(m_previousBreak);
}

void ManagerTest::ExpectIdle() {
    EXPECT_EQ(-1, Manager().Depth);
    EXPECT_TRUE(StackContents(Manager()).empty());
}

}  // namespace ssm_test
