#include <gtest/gtest.h>

#include <cerrno>
#include <type_traits>

#include "SSM.h"
#include "ssm_test_support.h"
#include "tessar_breaks.h"

namespace {

using ssm_test::Call;
using ssm_test::Ending;
using ssm_test::Raise;
using ssm_test::Callers;
using ssm_test::HostHandler;
using ssm_test::ManagerTest;

static_assert(!std::is_copy_constructible<SSM>::value, "the library never copies a manager");
static_assert(!std::is_copy_assignable<SSM>::value, "the library never copies a manager");

// The entry point knows the manager only through the handlers the manager installs: without a
// manager every report answers break, and a refused second manager neither replaces nor
// removes the handlers of the registered one.
TEST(AssertEntry, ReportsGoToTheRegisteredManagerOnly) {
    ScopedBreakCounter breaks;
    ASSERT_EQ(nullptr, SSM::GetManager());
    for (SSM_FailureType type : {SSM_FailureAssert, SSM_FailureError, SSM_FailureThrow})
        EXPECT_EQ(FALSE, SSM_AssertFailed("broken", "sys/test", 12, type, 0));
    int evaluations = 0;
    EXPECT_FALSE(SSM_CHECK(++evaluations == 5, "broken", "sys/test", SSM_FailureAssert));
    EXPECT_EQ(1, evaluations);  // the condition is evaluated once
    EXPECT_NO_THROW(SSM_CHECK_THROW_AT(false, "broken", "scc/SCC_Array", 77, SSM_FailureError));
    EXPECT_EQ(2, breaks.Take());  // each failed check breaks, and goes on
    EXPECT_NO_THROW(SSM_Throw());
    SSM::SetSilentMode(TRUE);  // nothing to set
    EXPECT_EQ(0, SSM::GetSilentMode());
    {
        SSM manager;
        { SSM refused; }
        EXPECT_EQ(TRUE, SSM_AssertFailed("after the refusal", "sys/test", 3, SSM_FailureAssert, 0));
        EXPECT_NE(nullptr, manager.Map.Lookup("sys/test(3)"));
    }
    EXPECT_EQ(FALSE, SSM_AssertFailed("gone", "sys/test", 3, SSM_FailureAssert, 0));
}

using SSM_Records = ManagerTest;

// One record per site: it counts the failures, keeps the latest message, the ID of the first
// failure and what a host set on it.
TEST_F(SSM_Records, OneRecordPerSiteWithCountAndLatestMessage) {
    m_asked.HookOn(Manager().AssertEvent);
    m_asked.react = [](SSM::AssertObj& record, int) {
        record.SetLogMsg("seen");
        record.SetLogRequired(FALSE);
    };
    EXPECT_EQ(TRUE, SSM_AssertFailed("first", "scc/SCC_Array", 12, SSM_FailureAssert, 7));
    m_asked.Unhook();
    EXPECT_EQ(TRUE, SSM_AssertFailed("second", "scc/SCC_Array", 12, SSM_FailureAssert, 9));
    SSM_AssertFailed("", "scc/SCC_Arra", 12, SSM_FailureAssert, 12);
    SSM_AssertFailed(nullptr, "scc/SCC_Arra", 13, SSM_FailureAssert, 0);

    EXPECT_EQ(3, Manager().Map.GetCount());
    SSM::AssertData* site = Record("scc/SCC_Array(12)");
    ASSERT_NE(nullptr, site);
    EXPECT_EQ(2, site->Count);
    EXPECT_STREQ("second", site->Msg);
    EXPECT_EQ(7, site->ID);
    EXPECT_STREQ("seen", site->LogMsg);
    EXPECT_EQ(FALSE, site->LogRequired);
    // Empty messages are replaced before they are recorded.
    EXPECT_STREQ("SSM: Assert ID #12, message not available", Record("scc/SCC_Arra(12)")->Msg);
    EXPECT_STREQ("Message not available", Record("scc/SCC_Arra(13)")->Msg);
}

TEST_F(SSM_Records, CopiedMapHoldsItsOwnCopiesOfTheRecords) {
    SSM_AssertFailed("one", "sys/test", 1, SSM_FailureAssert, 0);
    SSM_AssertFailed("two", "sys/test", 2, SSM_FailureAssert, 0);
    SSM::AssertMap copy(Manager().Map);
    SSM::AssertMap assigned;
    assigned = Manager().Map;
    for (SSM::AssertMap* map : {&copy, &assigned}) {
        EXPECT_EQ(2, map->GetCount());
        SSM::AssertData* record = map->Lookup("sys/test(2)");
        ASSERT_NE(nullptr, record);
        EXPECT_NE(Record("sys/test(2)"), record);
        EXPECT_STREQ("two", record->Msg);
        record->Count = 50;  // a copy's record is not the manager's
    }
    EXPECT_EQ(1, Record("sys/test(2)")->Count);
}

// One failure with handlers on all three events: the answer and the events that fire, by the
// failure's type, silent mode, the site's flags and what the AssertEvent handler does. The rows
// run in order on one manager, so a row after a fatal one sees FatalData cleared again.
struct OutcomeCase {
    const char* name;
    SSM_FailureType type;
    int silent;
    int enabled;
    int logRequired;
    HostHandler::Reaction react;  // the AssertEvent handler's reaction
    int answer;                   // -1: throws the record, -2: throws FatalException
    std::vector<std::string> events;
};
void Ask(SSM::Action action, SSM::AssertObj& record) { record.SetAction(action); }
const auto kBreak = [](SSM::AssertObj& record, int) { Ask(SSM::Break, record); };
const OutcomeCase kOutcomes[] = {
    {"error continues by default", SSM_FailureError, FALSE, TRUE, TRUE, nullptr, TRUE,
     {"assert", "report", "log"}},
    {"asked to throw", SSM_FailureAssert, FALSE, TRUE, TRUE,
     [](SSM::AssertObj& record, int) { Ask(SSM::ThrowData, record); }, -1,
     {"assert", "report", "log"}},
    {"asked for fatal", SSM_FailureAssert, FALSE, TRUE, TRUE,
     [](SSM::AssertObj& record, int) { Ask(SSM::ThrowFatal, record); }, -2,
     {"assert", "report", "log"}},
    {"no log required", SSM_FailureError, FALSE, TRUE, FALSE, kBreak, FALSE, {"assert", "report"}},
    {"handler disables the site", SSM_FailureError, FALSE, TRUE, TRUE,
     [](SSM::AssertObj& record, int) { record.Disable(TRUE); }, TRUE, {"assert", "report"}},
    {"silent", SSM_FailureError, TRUE, TRUE, TRUE, kBreak, TRUE, {"report", "log"}},
    {"disabled", SSM_FailureError, FALSE, FALSE, TRUE, kBreak, TRUE, {"report"}},
    {"throw type asks nobody, even when silent", SSM_FailureThrow, TRUE, TRUE, TRUE, kBreak, -1,
     {"report", "log"}},
    {"throw type on a disabled site", SSM_FailureThrow, FALSE, FALSE, TRUE, kBreak, -1,
     {"report"}},
};

TEST_F(SSM_Records, OutcomeOfAFailureBySettingsAndRequests) {
    HookAll();
    m_reported.react = [](SSM::AssertObj&, int) { errno = ENOENT; };
    for (const OutcomeCase& c : kOutcomes) {
        SCOPED_TRACE(c.name);
        const int line = static_cast<int>(&c - kOutcomes);
        SSM::SetSilentMode(FALSE);
        m_asked.react = nullptr;
        SSM_AssertFailed("create", "sys/outcome", line, SSM_FailureAssert, 0);
        SSM::AssertData* site = Record(("sys/outcome(" + std::to_string(line) + ")").c_str());
        ASSERT_NE(nullptr, site);
        EXPECT_EQ(nullptr, Manager().FatalData);
        site->Enabled = c.enabled;
        site->LogRequired = c.logRequired;
        SSM::SetSilentMode(c.silent);
        EXPECT_EQ(c.silent, SSM::GetSilentMode());
        m_asked.react = c.react;
        m_log.clear();
        errno = EMFILE;
        const Ending ending =
            Raise([&] { return SSM_AssertFailed("again", "sys/outcome", line, c.type, 0); });
        EXPECT_EQ(c.answer, ending.answer);
        EXPECT_EQ(c.answer < 0 ? site : nullptr, ending.thrown);
        EXPECT_EQ(EMFILE, errno);  // whatever the handlers did to it
        EXPECT_EQ(c.events, Callers(m_log));
        for (const Call& call : m_log) {
            EXPECT_EQ(c.type, call.type);
            EXPECT_EQ(reinterpret_cast<SYS_Handle>(site), call.handle);  // not cut to 32 bits
            EXPECT_EQ(call.handle, call.current);
            EXPECT_EQ("again", call.msg);
        }
        EXPECT_EQ(c.answer == -2 ? site : nullptr, Manager().FatalData);
        ExpectIdle();
    }
}

using SSM_Checks = ManagerTest;

// Checks made by library code: a break goes on, or throws the record for a check-and-throw.
TEST_F(SSM_Checks, BreakThenGoOnOrThrowTheRecord) {
    EXPECT_NO_THROW(Manager().Throw());  // Current is on nothing yet
    m_asked.AskFor(SSM::Break);
    m_asked.HookOn(Manager().AssertEvent);
    EXPECT_NO_THROW(SSM_CHECK_AT(false, "precondition", "scc/SCC_Array", 1, SSM_FailureError));
    EXPECT_EQ(1, m_breaks.Take());
    const Ending ending = Raise([] {
        SSM_CHECK_THROW_AT(false, "refused", "scc/SCC_Array", 2, SSM_FailureError);
        return 0;
    });
    EXPECT_EQ(-1, ending.answer);
    EXPECT_EQ(Record("scc/SCC_Array(2)"), ending.thrown);
    EXPECT_EQ(1, m_breaks.Take());
    EXPECT_THROW(SSM_Throw(), SSM::AssertData*);  // the current record, without a request
}

using SSM_Lifecycle = ManagerTest;

TEST_F(SSM_Lifecycle, RefusalThatAHandlerTurnsIntoAnExceptionCreatesNothing) {
    m_asked.AskFor(SSM::ThrowFatal);
    m_asked.HookOn(Manager().AssertEvent);
    EXPECT_THROW(std::make_unique<SSM>(), SSM::FatalException);
    EXPECT_EQ(&Manager(), SSM::GetManager());
    EXPECT_EQ(1, SSM::InstanceCount);
    ExpectIdle();
}

// A destructor that finds another instance counted reports it and goes on; the exception a
// handler asks for is swallowed, with a break in its place.
TEST_F(SSM_Lifecycle, DestructorChecksThatItIsTheOnlyInstance) {
    m_asked.AskFor(SSM::ThrowData);
    HookAll();
    SSM::InstanceCount = 3;  // as if the count had gone wrong
    EXPECT_NO_THROW(DestroyManager());
    EXPECT_EQ(1, m_breaks.Breaks());
    EXPECT_EQ((std::vector<std::string>{"assert", "report", "log"}), Callers(m_log));
    EXPECT_EQ(SSM_FailureAssert, m_log[0].type);
    EXPECT_EQ("ssm/ssm", m_log[0].file);
    EXPECT_EQ("SSM may have the only instance", m_log[0].msg);
    EXPECT_EQ(2, SSM::InstanceCount);
    EXPECT_EQ(nullptr, SSM::GetManager());
    SSM::InstanceCount = 0;
    {
        SSM unhooked;  // nobody asks for more than Continue: no break, no exception
        SSM::InstanceCount = 2;
    }
    EXPECT_EQ(1, m_breaks.Breaks());
    SSM::InstanceCount = 0;
}

}  // namespace
