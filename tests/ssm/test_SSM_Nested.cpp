// Failures raised while another failure is being handled: by handlers of all three events,
// at the same site and at other sites, answered, thrown and caught, or thrown through.
#include <gtest/gtest.h>

#include <stdexcept>

#include "SSM.h"
#include "ssm_test_support.h"

namespace {

using ssm_test::Call;
using ssm_test::Ending;
using ssm_test::Raise;
using ssm_test::HostHandler;
using ssm_test::ManagerTest;

// "event:file" for each call, to follow the road of nested failures.
std::vector<std::string> Road(const std::vector<Call>& log) {
    std::vector<std::string> road;
    for (const Call& call : log) road.push_back(call.who + ":" + call.file);
    return road;
}

class SSM_Nested : public ManagerTest {
protected:
    void ExpectIdleOn(const SSM::AssertData* record) {
        ExpectIdle();
        EXPECT_EQ(reinterpret_cast<SYS_Handle>(record), Manager().Current.GetHandle());
    }
};

bool At(SSM::AssertObj& record, const char* file) {
    return record.GetFileName() == SYS_String(file);
}

// The ending of the inner failure that a handler caught.
Ending g_inner{-3, nullptr};

// Raised from a handler of the outer failure and caught there, a failure at another site is
// handled one level deeper, with the outer failure alone on the stack.
void CatchInner(SSM::AssertObj& outer, SSM_FailureType type) {
    if (!At(outer, "sys/outer")) return;
    g_inner = Raise([type] { return SSM_AssertFailed("inner", "sys/inner", 1, type, 0); });
    const SSM& manager = *SSM::GetManager();
    EXPECT_EQ(0, manager.Depth);
    EXPECT_EQ(1, manager.Stack.GetCount());
    EXPECT_EQ(outer.GetHandle(), SYS_Handle(manager.Stack.Peek(0)));
    EXPECT_EQ(SSM::Continue, outer.GetAction());  // the outer action is untouched
}

// A record thrown by a nested failure and not caught, or a host's own exception, passes
// through the outer failure to the code that made the check; the outer failure is then neither
// reported nor logged. A failure raised while the outer one is reported clears the outer's
// fatal request, so the outer record is thrown.
struct NestedCase {
    const char* name;
    HostHandler::Reaction asked;     // the AssertEvent handler's reaction
    HostHandler::Reaction reported;  // the ReportEvent handler's reaction
    int answer;                      // of the outer failure, as Raise tells it
    const char* thrown;              // the record the outer failure threw
    int innerAnswer;                 // of the caught inner failure; -3: nothing caught
    std::vector<std::string> road;
};
const NestedCase kNested[] = {
    {"caught assert continues", [](SSM::AssertObj& r, int) { CatchInner(r, SSM_FailureAssert); },
     nullptr, TRUE, nullptr, TRUE,
     {"assert:sys/outer", "assert:sys/inner", "report:sys/inner", "log:sys/inner",
      "report:sys/outer", "log:sys/outer"}},
    {"caught error breaks", [](SSM::AssertObj& r, int) { CatchInner(r, SSM_FailureError); },
     nullptr, TRUE, nullptr, FALSE,
     {"assert:sys/outer", "assert:sys/inner", "report:sys/inner", "log:sys/inner",
      "report:sys/outer", "log:sys/outer"}},
    {"caught throw type", [](SSM::AssertObj& r, int) { CatchInner(r, SSM_FailureThrow); },
     nullptr, TRUE, nullptr, -1,
     {"assert:sys/outer", "report:sys/inner", "log:sys/inner", "report:sys/outer",
      "log:sys/outer"}},
    {"caught while reporting", nullptr,
     [](SSM::AssertObj& r, int) { CatchInner(r, SSM_FailureError); }, TRUE, nullptr, FALSE,
     {"assert:sys/outer", "report:sys/outer", "assert:sys/inner", "report:sys/inner",
      "log:sys/inner", "log:sys/outer"}},
    // The same site raised again from a handler, even with the throw type, is not handled
    // again: it answers TRUE at once, fires nothing and changes nothing.
    {"same site again", nullptr,
     [](SSM::AssertObj& record, int) {
         g_inner = {SSM_AssertFailed("again", "sys/outer", 1, SSM_FailureThrow, 0), nullptr};
         EXPECT_STREQ("outer", record.GetMsg());
     },
     TRUE, nullptr, TRUE, {"assert:sys/outer", "report:sys/outer", "log:sys/outer"}},
    {"throw type passes through",
     [](SSM::AssertObj& record, int) {
         if (At(record, "sys/outer")) SSM_AssertFailed("in", "sys/inner", 1, SSM_FailureThrow, 0);
     },
     nullptr, -1, "sys/inner(1)", -3, {"assert:sys/outer", "report:sys/inner", "log:sys/inner"}},
    {"handler asks to throw after a failure two levels down",
     [](SSM::AssertObj& record, int) {
         if (At(record, "sys/outer")) {
             SSM_AssertFailed("inner", "sys/inner", 1, SSM_FailureAssert, 0);
         } else if (At(record, "sys/inner")) {
             SSM_AssertFailed("deep", "sys/deep", 1, SSM_FailureAssert, 0);
             record.SetAction(SSM::ThrowData);
         } else {  // the stack holds every failure being handled, innermost first
             EXPECT_EQ(3, SSM::GetManager()->Stack.GetCount());
             EXPECT_EQ(record.GetHandle(), SYS_Handle(SSM::GetManager()->Stack.Peek(0)));
         }
     },
     nullptr, -1, "sys/inner(1)", -3,
     {"assert:sys/outer", "assert:sys/inner", "assert:sys/deep", "report:sys/deep",
      "log:sys/deep", "report:sys/inner", "log:sys/inner"}},
    {"fatal request cleared while reporting",
     [](SSM::AssertObj& record, int) {
         if (At(record, "sys/outer")) record.SetAction(SSM::ThrowFatal);
     },
     [](SSM::AssertObj& record, int) {
         if (At(record, "sys/outer")) SSM_AssertFailed("in", "sys/inner", 1, SSM_FailureAssert, 0);
     },
     -1, "sys/outer(1)", -3,
     {"assert:sys/outer", "report:sys/outer", "assert:sys/inner", "report:sys/inner",
      "log:sys/inner", "log:sys/outer"}},
    // The manager's report of the invalid action asks again; its own report of that is guarded
    // (same site) and answers TRUE, so both go on.
    {"handler that always answers an invalid action",
     [](SSM::AssertObj& record, int) { record.SetAction(static_cast<SSM::Action>(9)); }, nullptr,
     TRUE, nullptr, -3,
     {"assert:sys/outer", "assert:ssm/ssm", "report:ssm/ssm", "log:ssm/ssm", "report:sys/outer",
      "log:sys/outer"}},
    {"host exception passes through",
     [](SSM::AssertObj& record, int) {
         record.SetAction(SSM::Break);
         throw std::runtime_error("host gave up");
     },
     nullptr, -4, nullptr, -3, {"assert:sys/outer"}},
};

TEST_F(SSM_Nested, FailuresRaisedByHandlersAreHandledOneLevelDeeper) {
    HookAll();
    for (const NestedCase& c : kNested) {
        SCOPED_TRACE(c.name);
        m_log.clear();
        g_inner = {-3, nullptr};
        m_asked.react = c.asked;
        m_reported.react = c.reported;
        const Ending ending =
            Raise([] { return SSM_AssertFailed("outer", "sys/outer", 1, SSM_FailureAssert, 0); });
        EXPECT_EQ(c.answer, ending.answer);
        EXPECT_EQ(c.thrown != nullptr ? Record(c.thrown) : nullptr, ending.thrown);
        EXPECT_EQ(c.innerAnswer, g_inner.answer);
        EXPECT_EQ(c.innerAnswer == -1 ? Record("sys/inner(1)") : nullptr, g_inner.thrown);
        EXPECT_EQ(c.road, Road(m_log));
        for (const Call& call : m_log)
            EXPECT_EQ(call.file == "sys/outer" ? 0 : call.file == "sys/deep" ? 2 : 1, call.depth);
        EXPECT_EQ(nullptr, Manager().FatalData);
        // Current is back on the outer record, which the unwinding popped last.
        ExpectIdleOn(Record("sys/outer(1)"));
        EXPECT_EQ(SSM::Continue, Record("sys/outer(1)")->Action);
    }
}

// The manager reports an action beyond ThrowFatal as an error one level deeper; that report's
// default break throws the nested record. Once the host silences the manager's own site, the
// invalid action counts as Continue.
TEST_F(SSM_Nested, InvalidActionIsReportedAndItsAnswerDecides) {
    HookAll();
    m_asked.react = [](SSM::AssertObj& record, int) {
        if (At(record, "sys/outer"))
            record.SetAction(static_cast<SSM::Action>(7));
    };
    SSM::AssertData* nested =
        Raise([] { return SSM_AssertFailed("outer", "sys/outer", 1, SSM_FailureAssert, 0); })
            .thrown;
    ASSERT_NE(nullptr, nested);
    EXPECT_STREQ("ssm/ssm", nested->FileName);
    EXPECT_STREQ("Assert handler encountered invalid action code.", nested->Msg);
    EXPECT_EQ(0, nested->ID);
    EXPECT_EQ(1, m_breaks.Take());
    EXPECT_EQ((std::vector<std::string>{"assert:sys/outer", "assert:ssm/ssm", "report:ssm/ssm",
                                        "log:ssm/ssm"}),
              Road(m_log));
    EXPECT_EQ(SSM_FailureError, m_log[1].type);
    EXPECT_EQ(1, m_log[1].depth);
    ExpectIdleOn(Record("sys/outer(1)"));

    nested->Enabled = FALSE;
    m_log.clear();
    EXPECT_EQ(TRUE, SSM_AssertFailed("outer", "sys/outer", 1, SSM_FailureAssert, 0));
    EXPECT_EQ(0, m_breaks.Breaks());
    EXPECT_EQ((std::vector<std::string>{"assert:sys/outer", "report:ssm/ssm", "report:sys/outer",
                                        "log:sys/outer"}),
              Road(m_log));
    EXPECT_EQ(2, nested->Count);
}

}  // namespace
