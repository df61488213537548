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
using ssm_test::StackContents;

using Records = std::vector<SSM::AssertData*>;

// "event:file" for each call, to follow the road of nested failures.
std::vector<std::string> Road(const std::vector<Call>& log) {
    std::vector<std::string> road;
    for (const Call& call : log) road.push_back(call.who + ":" + call.file);
    return road;
}

class SSM_Nested : public ManagerTest {
protected:
    // The state seen right after a nested failure returned or threw inside a handler of the
    // failure at `outer`.
    void ExpectBackInOuter(const SSM::AssertData* outer, const SSM::AssertData* inner) {
        EXPECT_EQ(0, Manager().Depth);
        EXPECT_EQ(Records{const_cast<SSM::AssertData*>(outer)}, StackContents(Manager()));
        EXPECT_EQ(reinterpret_cast<SYS_Handle>(inner), Manager().Current.GetHandle());
    }
    void ExpectIdleOn(const SSM::AssertData* record) {
        ExpectIdle();
        EXPECT_EQ(reinterpret_cast<SYS_Handle>(record), Manager().Current.GetHandle());
    }
};

// The same site raised again from a handler of any event, with any type, is not handled again:
// it answers TRUE at once, fires nothing and changes nothing.
TEST_F(SSM_Nested, SameSiteFromAnyHandlerAnswersTrueAtOnce) {
    HookAll();
    const std::pair<const char*, HostHandler*> raisers[] = {
        {"assert", &m_asked}, {"report", &m_reported}, {"log", &m_logged}};
    for (const auto& [name, raiser] : raisers) {
        for (SSM_FailureType type : {SSM_FailureAssert, SSM_FailureError, SSM_FailureThrow}) {
            SCOPED_TRACE(std::string(name) + " type " + std::to_string(type));
            m_log.clear();
            int answer = -1;
            bool raised = false;
            raiser->react = [&](SSM::AssertObj&, int) {
                if (!raised) answer = SSM_AssertFailed("again", "sys/same", 5, type, 0);
                raised = true;
            };
            EXPECT_EQ(TRUE, SSM_AssertFailed("first", "sys/same", 5, SSM_FailureAssert, 0));
            EXPECT_EQ(TRUE, answer);
            EXPECT_EQ((std::vector<std::string>{"assert", "report", "log"}),
                      ssm_test::Callers(m_log));
            EXPECT_STREQ("first", Record("sys/same(5)")->Msg);
            ExpectIdleOn(Record("sys/same(5)"));
            raiser->react = nullptr;
        }
    }
    EXPECT_EQ(9, Record("sys/same(5)")->Count);  // the nine outer failures only
}

// A failure at another site raised by an AssertEvent handler and caught there.
struct OtherSiteCase {
    const char* name;
    SSM_FailureType type;
    int answer;  // -1: the inner record was thrown
    std::vector<std::string> road;
};
const OtherSiteCase kOtherSite[] = {
    {"assert continues", SSM_FailureAssert, TRUE,
     {"assert:sys/outer", "assert:sys/inner", "report:sys/inner", "log:sys/inner",
      "report:sys/outer", "log:sys/outer"}},
    {"error breaks", SSM_FailureError, FALSE,
     {"assert:sys/outer", "assert:sys/inner", "report:sys/inner", "log:sys/inner",
      "report:sys/outer", "log:sys/outer"}},
    {"throw is thrown", SSM_FailureThrow, -1,
     {"assert:sys/outer", "report:sys/inner", "log:sys/inner", "report:sys/outer",
      "log:sys/outer"}},
};

TEST_F(SSM_Nested, OtherSiteFromAHandlerIsHandledOneLevelDeeper) {
    HookAll();
    for (const OtherSiteCase& c : kOtherSite) {
        SCOPED_TRACE(c.name);
        m_log.clear();
        Ending inner{-3, nullptr};
        m_asked.react = [&](SSM::AssertObj& record, int) {
            if (record.GetFileName() != SYS_String("sys/outer")) return;
            inner = Raise([&] { return SSM_AssertFailed("inner", "sys/inner", 1, c.type, 0); });
            ExpectBackInOuter(Record("sys/outer(1)"), Record("sys/inner(1)"));
            EXPECT_EQ(SSM::Continue, record.GetAction());  // the outer action is untouched
        };
        EXPECT_EQ(TRUE, SSM_AssertFailed("outer", "sys/outer", 1, SSM_FailureAssert, 0));
        EXPECT_EQ(c.answer, inner.answer);
        EXPECT_EQ(c.answer < 0 ? Record("sys/inner(1)") : nullptr, inner.thrown);
        EXPECT_EQ(c.road, Road(m_log));
        for (const Call& call : m_log) EXPECT_EQ(call.file == "sys/outer" ? 0 : 1, call.depth);
        ExpectIdleOn(Record("sys/outer(1)"));
    }
}

// Failures raised by report and log handlers are handled too, and nest deeper: the stack holds
// every failure being handled, innermost first.
TEST_F(SSM_Nested, FailuresRaisedByReportAndLogHandlersAreHandledToo) {
    HookAll();
    Records seen;
    long depthSeen = -2;
    m_asked.react = [&](SSM::AssertObj& record, int) {
        record.SetAction(SSM::Break);  // breaks everything it is asked about
        if (record.GetFileName() == SYS_String("sys/byreport")) {
            SSM_AssertFailed("deeper", "sys/deep", 1, SSM_FailureAssert, 0);
        } else if (record.GetFileName() == SYS_String("sys/deep")) {
            seen = StackContents(Manager());
            depthSeen = Manager().Depth;
        }
    };
    int fromReport = -1, fromLog = -1;
    m_reported.react = [&](SSM::AssertObj& record, int) {
        if (record.GetFileName() == SYS_String("sys/outer"))
            fromReport = SSM_AssertFailed("r", "sys/byreport", 1, SSM_FailureAssert, 0);
    };
    m_logged.react = [&](SSM::AssertObj& record, int) {
        if (record.GetFileName() == SYS_String("sys/outer"))
            fromLog = SSM_AssertFailed("l", "sys/bylog", 1, SSM_FailureAssert, 0);
    };
    EXPECT_EQ(FALSE, SSM_AssertFailed("outer", "sys/outer", 1, SSM_FailureAssert, 0));
    EXPECT_EQ(FALSE, fromReport);
    EXPECT_EQ(FALSE, fromLog);
    EXPECT_EQ((std::vector<std::string>{"assert:sys/outer", "report:sys/outer",
                                        "assert:sys/byreport", "assert:sys/deep",
                                        "report:sys/deep", "log:sys/deep", "report:sys/byreport",
                                        "log:sys/byreport", "log:sys/outer", "assert:sys/bylog",
                                        "report:sys/bylog", "log:sys/bylog"}),
              Road(m_log));
    EXPECT_EQ((Records{Record("sys/deep(1)"), Record("sys/byreport(1)"), Record("sys/outer(1)")}),
              seen);
    EXPECT_EQ(2, depthSeen);
    ExpectIdleOn(Record("sys/outer(1)"));
}

// An exception that leaves a handler passes through the outer failure to the code that made
// the check; the outer failure is then neither reported nor logged.
struct ThroughCase {
    const char* name;
    std::function<void()> raise;  // what the AssertEvent handler of the outer failure does
    bool innerHandlerThrows;      // a handler asks to throw for the inner failure
    std::vector<std::string> road;
};

TEST_F(SSM_Nested, ExceptionsFromHandlersPassThroughWithStateRestored) {
    HookAll();
    HostHandler innerThrower("thrower", m_log, -1);
    innerThrower.react = [](SSM::AssertObj& record, int) {
        if (record.GetFileName() == SYS_String("sys/inner")) record.SetAction(SSM::ThrowData);
    };
    const ThroughCase cases[] = {
        {"type throw",
         [] { SSM_AssertFailed("inner", "sys/inner", 1, SSM_FailureThrow, 0); }, false,
         {"assert:sys/outer", "report:sys/inner", "log:sys/inner"}},
        {"handler asks to throw",
         [] { SSM_AssertFailed("inner", "sys/inner", 1, SSM_FailureAssert, 0); }, true,
         {"assert:sys/outer", "assert:sys/inner", "thrower:sys/inner", "report:sys/inner",
          "log:sys/inner"}},
    };
    for (const ThroughCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_log.clear();
        if (c.innerHandlerThrows) innerThrower.HookOn(Manager().AssertEvent);
        m_asked.react = [&](SSM::AssertObj& record, int) {
            if (record.GetFileName() == SYS_String("sys/outer")) c.raise();
        };
        const Ending ending =
            Raise([] { return SSM_AssertFailed("outer", "sys/outer", 1, SSM_FailureAssert, 0); });
        innerThrower.Unhook();
        EXPECT_EQ(-1, ending.answer);
        EXPECT_EQ(Record("sys/inner(1)"), ending.thrown);
        EXPECT_EQ(c.road, Road(m_log));
        // Current is back on the outer record, which the unwinding popped last.
        ExpectIdleOn(Record("sys/outer(1)"));
        EXPECT_EQ(SSM::Continue, Record("sys/outer(1)")->Action);
    }
}

TEST_F(SSM_Nested, HostExceptionFromAHandlerPassesThrough) {
    HookAll();
    m_asked.react = [](SSM::AssertObj& record, int) {
        record.SetAction(SSM::Break);
        throw std::runtime_error("host gave up");
    };
    EXPECT_THROW(SSM_AssertFailed("outer", "sys/outer", 1, SSM_FailureAssert, 0),
                 std::runtime_error);
    ExpectIdleOn(Record("sys/outer(1)"));
    EXPECT_EQ(SSM::Continue, Record("sys/outer(1)")->Action);
    EXPECT_EQ(1u, m_log.size());
    m_asked.react = nullptr;
    EXPECT_EQ(TRUE, SSM_AssertFailed("outer", "sys/outer", 1, SSM_FailureAssert, 0));
}

TEST_F(SSM_Nested, FailureRaisedWhileReportingClearsAnEarlierFatalRequest) {
    HookAll();
    m_asked.react = [](SSM::AssertObj& record, int) {
        if (record.GetFileName() == SYS_String("sys/outer")) record.SetAction(SSM::ThrowFatal);
    };
    m_reported.react = [&](SSM::AssertObj& record, int) {
        if (record.GetFileName() == SYS_String("sys/outer"))
            SSM_AssertFailed("while reporting", "sys/report", 1, SSM_FailureAssert, 0);
    };
    const Ending ending =
        Raise([] { return SSM_AssertFailed("outer", "sys/outer", 1, SSM_FailureAssert, 0); });
    EXPECT_EQ(-1, ending.answer);  // the nested failure cleared the fatal request
    EXPECT_EQ(Record("sys/outer(1)"), ending.thrown);
    EXPECT_EQ(nullptr, Manager().FatalData);
    ExpectIdleOn(Record("sys/outer(1)"));
}

// ---------------------------------------------------------------------------------------------
// A handler that sets an action beyond ThrowFatal

// The manager reports the invalid action as an error one level deeper; that report's default
// break throws the nested record. Once the host silences the manager's own site, the invalid
// action counts as Continue.
TEST_F(SSM_Nested, InvalidActionIsReportedAndItsAnswerDecides) {
    HookAll();
    m_asked.react = [](SSM::AssertObj& record, int) {
        if (record.GetFileName() == SYS_String("sys/outer"))
            record.SetAction(static_cast<SSM::Action>(7));
    };
    SSM::AssertData* nested =
        Raise([] { return SSM_AssertFailed("outer", "sys/outer", 1, SSM_FailureAssert, 0); })
            .thrown;
    ASSERT_NE(nullptr, nested);
    EXPECT_STREQ("ssm/ssm", nested->FileName);
    EXPECT_STREQ("Assert handler encountered invalid action code.", nested->Msg);
    EXPECT_EQ(0, nested->ID);
    EXPECT_EQ(1, s_breaks);
    EXPECT_EQ((std::vector<std::string>{"assert:sys/outer", "assert:ssm/ssm", "report:ssm/ssm",
                                        "log:ssm/ssm"}),
              Road(m_log));
    EXPECT_EQ(SSM_FailureError, m_log[1].type);
    EXPECT_EQ(1, m_log[1].depth);
    ExpectIdleOn(Record("sys/outer(1)"));

    nested->Enabled = FALSE;
    m_log.clear();
    s_breaks = 0;
    EXPECT_EQ(TRUE, SSM_AssertFailed("outer", "sys/outer", 1, SSM_FailureAssert, 0));
    EXPECT_EQ(0, s_breaks);
    EXPECT_EQ((std::vector<std::string>{"assert:sys/outer", "report:ssm/ssm", "report:sys/outer",
                                        "log:sys/outer"}),
              Road(m_log));
    EXPECT_EQ(2, nested->Count);
}

TEST_F(SSM_Nested, HandlerThatAlwaysAnswersInvalidEndsInContinue) {
    HookAll();
    m_asked.AskFor(static_cast<SSM::Action>(9));
    // The nested report asks again, its own nested report is guarded (same site): TRUE, so the
    // nested report continues, and so does the outer failure.
    EXPECT_EQ(TRUE, SSM_AssertFailed("outer", "sys/outer", 1, SSM_FailureError, 0));
    EXPECT_EQ(0, s_breaks);
    EXPECT_EQ((std::vector<std::string>{"assert:sys/outer", "assert:ssm/ssm", "report:ssm/ssm",
                                        "log:ssm/ssm", "report:sys/outer", "log:sys/outer"}),
              Road(m_log));
    ExpectIdleOn(Record("sys/outer(1)"));
}

}  // namespace
