#include <gtest/gtest.h>

#include <cerrno>
#include <type_traits>

#include "SSM.h"
#include "ssm_test_support.h"

namespace {

using ssm_test::Call;
using ssm_test::Callers;
using ssm_test::HostHandler;
using ssm_test::ManagerTest;
using ssm_test::StackContents;

static_assert(!std::is_copy_constructible<SSM>::value, "the library never copies a manager");
static_assert(!std::is_copy_assignable<SSM>::value, "the library never copies a manager");

using SSM_Records = ManagerTest;

TEST_F(SSM_Records, OneRecordPerSiteWithCountAndLatestMessage) {
    EXPECT_EQ(TRUE, SSM_AssertFailed("first", "scc/SCC_Array", 12, SSM_FailureAssert, 7));
    EXPECT_EQ(TRUE, SSM_AssertFailed("second", "scc/SCC_Array", 12, SSM_FailureAssert, 9));
    EXPECT_EQ(TRUE, SSM_AssertFailed("other line", "scc/SCC_Array", 13, SSM_FailureAssert, 0));
    EXPECT_EQ(TRUE, SSM_AssertFailed("other file", "scc/SCC_Arra", 12, SSM_FailureAssert, 0));

    EXPECT_EQ(3, Manager().Map.GetCount());
    SSM::AssertData* site = Record("scc/SCC_Array(12)");
    ASSERT_NE(nullptr, site);
    EXPECT_STREQ("scc/SCC_Array", site->FileName);
    EXPECT_EQ(12, site->LineNo);
    EXPECT_EQ(2, site->Count);
    EXPECT_STREQ("second", site->Msg);
    EXPECT_EQ(7, site->ID);  // the record keeps the ID of the failure that created it
    EXPECT_EQ(TRUE, site->Enabled);
    EXPECT_EQ(TRUE, site->LogRequired);
    EXPECT_EQ(SSM::Continue, site->Action);  // cleared once the failure is handled
    EXPECT_STREQ("", site->LogMsg);
    ASSERT_NE(nullptr, Record("scc/SCC_Array(13)"));
    EXPECT_EQ(1, Record("scc/SCC_Array(13)")->Count);
    ASSERT_NE(nullptr, Record("scc/SCC_Arra(12)"));
    ExpectIdle();
}

TEST_F(SSM_Records, EmptyMessagesAreReplacedBeforeTheyAreRecorded) {
    SSM_AssertFailed("", "sys/sysstr", 40, SSM_FailureAssert, 12);
    SSM_AssertFailed(nullptr, "sys/sysstr", 41, SSM_FailureAssert, 0);
    ASSERT_NE(nullptr, Record("sys/sysstr(40)"));
    EXPECT_STREQ("SSM: Assert ID #12, message not available", Record("sys/sysstr(40)")->Msg);
    EXPECT_EQ(12, Record("sys/sysstr(40)")->ID);
    ASSERT_NE(nullptr, Record("sys/sysstr(41)"));
    EXPECT_STREQ("Message not available", Record("sys/sysstr(41)")->Msg);
}

TEST_F(SSM_Records, RecordsOutliveTheirFailuresAndKeepHostSettings) {
    HostHandler host("host", m_log);
    host.HookOn(Manager().AssertEvent);
    host.react = [](SSM::AssertObj& record, int) {
        record.SetLogMsg("seen");
        record.SetLogRequired(FALSE);
    };
    SSM_AssertFailed("one", "sfm/sfmfile", 5, SSM_FailureAssert, 0);
    host.Unhook();
    SSM_AssertFailed("two", "sfm/sfmfile", 5, SSM_FailureAssert, 0);
    SSM::AssertData* site = Record("sfm/sfmfile(5)");
    ASSERT_NE(nullptr, site);
    EXPECT_STREQ("seen", site->LogMsg);
    EXPECT_EQ(FALSE, site->LogRequired);
    EXPECT_EQ(2, site->Count);
    EXPECT_STREQ("two", site->Msg);
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

// The answer of a failure without handlers, outermost (depth 0) or raised inside a handler of
// another failure (depth 1), by type.
struct DefaultCase {
    const char* name;
    bool nested;
    SSM_FailureType type;
    SSM::Action defaultAction;  // what an AssertEvent handler finds in the record
    int answer;
};
const DefaultCase kDefaults[] = {
    {"outer assert continues", false, SSM_FailureAssert, SSM::Continue, TRUE},
    {"outer error continues", false, SSM_FailureError, SSM::Continue, TRUE},
    {"nested assert continues", true, SSM_FailureAssert, SSM::Continue, TRUE},
    {"nested error breaks", true, SSM_FailureError, SSM::Break, FALSE},
};

TEST_F(SSM_Records, DefaultActionDependsOnDepthAndType) {
    for (const DefaultCase& c : kDefaults) {
        SCOPED_TRACE(c.name);
        m_log.clear();
        const int line = static_cast<int>(&c - kDefaults);
        SSM::Action seen = SSM::ThrowFatal;
        int answer = -1;
        long depthSeen = -2;
        HostHandler inner("inner", m_log, 1);
        inner.react = [&](SSM::AssertObj& record, int) {
            if (record.GetLineNo() != 100 + line) return;
            seen = record.GetAction();
            depthSeen = Manager().Depth;
        };
        inner.HookOn(Manager().AssertEvent);
        if (c.nested) {
            HostHandler outer("outer", m_log, 0);
            outer.react = [&](SSM::AssertObj& record, int) {
                if (record.GetLineNo() == line)
                    answer = SSM_AssertFailed("inner", "sys/test", 100 + line, c.type, 0);
            };
            outer.HookOn(Manager().AssertEvent);
            EXPECT_EQ(TRUE, SSM_AssertFailed("outer", "sys/test", line, SSM_FailureAssert, 0));
        } else {
            answer = SSM_AssertFailed("inner", "sys/test", 100 + line, c.type, 0);
        }
        EXPECT_EQ(c.defaultAction, seen);
        EXPECT_EQ(c.nested ? 1 : 0, depthSeen);
        EXPECT_EQ(c.answer, answer);
        ExpectIdle();
    }
}

// Handlers on AssertEvent, called by descending priority; each asks for an action. Only a
// greater action replaces the stored one, so the strongest request wins in any order.
struct EscalationCase {
    const char* name;
    std::vector<std::pair<int, SSM::Action>> handlers;  // priority, requested action
    std::vector<std::string> order;                     // expected call order (by priority)
    int answer;                                         // -1: throws AssertData*, -2: fatal
};
const EscalationCase kEscalations[] = {
    {"break then continue cannot lower", {{5, SSM::Break}, {1, SSM::Continue}}, {"5", "1"}, FALSE},
    {"continue then break escalates", {{5, SSM::Continue}, {1, SSM::Break}}, {"5", "1"}, FALSE},
    {"low priority break still wins", {{1, SSM::Break}, {9, SSM::Continue}}, {"9", "1"}, FALSE},
    {"throw data beats break", {{3, SSM::ThrowData}, {2, SSM::Break}}, {"3", "2"}, -1},
    {"fatal beats throw data", {{2, SSM::ThrowData}, {7, SSM::ThrowFatal}, {4, SSM::Break}},
     {"7", "4", "2"}, -2},
    {"all continue", {{1, SSM::Continue}, {2, SSM::Continue}}, {"2", "1"}, TRUE},
};

TEST_F(SSM_Records, HandlersCanOnlyEscalate) {
    for (const EscalationCase& c : kEscalations) {
        SCOPED_TRACE(c.name);
        m_log.clear();
        std::vector<std::unique_ptr<HostHandler>> handlers;
        for (const auto& [priority, action] : c.handlers) {
            handlers.push_back(std::make_unique<HostHandler>(std::to_string(priority), m_log,
                                                             priority));
            handlers.back()->AskFor(action);
            handlers.back()->HookOn(Manager().AssertEvent);
        }
        const int line = static_cast<int>(&c - kEscalations);
        int answer = -3;
        try {
            answer = SSM_AssertFailed("escalate", "sys/test", line, SSM_FailureAssert, 0);
        } catch (SSM::AssertData* data) {
            EXPECT_EQ(Record(("sys/test(" + std::to_string(line) + ")").c_str()), data);
            answer = -1;
        } catch (const SSM::FatalException& fatal) {
            EXPECT_EQ(Record(("sys/test(" + std::to_string(line) + ")").c_str()), fatal.Data);
            answer = -2;
        }
        EXPECT_EQ(c.answer, answer);
        EXPECT_EQ(c.order, Callers(m_log));
        ExpectIdle();
    }
}

TEST_F(SSM_Records, EveryEventCarriesTheTypeAndTheFullHandle) {
    HookAll();
    SSM_AssertFailed("broken", "scc/sccstack", 77, SSM_FailureError, 0);
    const SYS_Handle handle = reinterpret_cast<SYS_Handle>(Record("scc/sccstack(77)"));
    ASSERT_NE(0, handle);
    ASSERT_EQ(3u, m_log.size());
    EXPECT_EQ((std::vector<std::string>{"assert", "report", "log"}), Callers(m_log));
    for (const Call& call : m_log) {
        SCOPED_TRACE(call.who);
        EXPECT_EQ(SSM_FailureError, call.type);
        EXPECT_EQ(handle, call.handle);  // a handle cut to 32 bits would differ here
        EXPECT_EQ(handle, call.current);
        EXPECT_EQ(0, call.depth);
        EXPECT_EQ("broken", call.msg);
    }
    ExpectIdle();
}

TEST_F(SSM_Records, ThrowTypeAsksNobodyAndThrowsTheRecord) {
    HookAll();
    SSM::SetSilentMode(TRUE);  // silent mode does not stop a throw
    try {
        SSM_AssertFailed("always thrown", "sys/test", 3, SSM_FailureThrow, 0);
        ADD_FAILURE() << "nothing thrown";
    } catch (void* data) {  // the record's AssertData*, caught as void*
        EXPECT_EQ(static_cast<void*>(Record("sys/test(3)")), data);
    }
    EXPECT_EQ((std::vector<std::string>{"report", "log"}), Callers(m_log));
    EXPECT_EQ(nullptr, Manager().FatalData);
    EXPECT_EQ(reinterpret_cast<SYS_Handle>(Record("sys/test(3)")), Manager().Current.GetHandle());
    ExpectIdle();
}

TEST_F(SSM_Records, ThrowTypeIsThrownForADisabledSiteToo) {
    SSM_AssertFailed("first", "sys/test", 4, SSM_FailureAssert, 0);
    Record("sys/test(4)")->Enabled = FALSE;
    EXPECT_THROW(SSM_AssertFailed("thrown", "sys/test", 4, SSM_FailureThrow, 0), SSM::AssertData*);
    EXPECT_EQ(2, Record("sys/test(4)")->Count);
    ExpectIdle();
}

// Which events fire, by silent mode and the site's flags.
struct QuietCase {
    const char* name;
    int silent;
    int enabled;
    int logRequired;
    std::vector<std::string> events;
};
const QuietCase kQuiet[] = {
    {"normal", FALSE, TRUE, TRUE, {"assert", "report", "log"}},
    {"no log required", FALSE, TRUE, FALSE, {"assert", "report"}},
    {"silent", TRUE, TRUE, TRUE, {"report", "log"}},
    {"silent without log", TRUE, TRUE, FALSE, {"report"}},
    {"disabled", FALSE, FALSE, TRUE, {"report"}},
    {"disabled and silent", TRUE, FALSE, TRUE, {"report"}},
};

TEST_F(SSM_Records, SilentModeAndDisabledSitesAskNoHandler) {
    m_asked.AskFor(SSM::Break);  // ignored whenever the handler is not asked
    HookAll();
    for (const QuietCase& c : kQuiet) {
        SCOPED_TRACE(c.name);
        const int line = static_cast<int>(&c - kQuiet);
        SSM::SetSilentMode(FALSE);
        m_asked.Unhook();
        SSM_AssertFailed("create", "sys/quiet", line, SSM_FailureAssert, 0);
        m_asked.HookOn(Manager().AssertEvent);
        SSM::AssertData* site = Record(("sys/quiet(" + std::to_string(line) + ")").c_str());
        ASSERT_NE(nullptr, site);
        site->Enabled = c.enabled;
        site->LogRequired = c.logRequired;
        SSM::SetSilentMode(c.silent);
        EXPECT_EQ(c.silent, SSM::GetSilentMode());
        m_log.clear();
        const int answer = SSM_AssertFailed("quiet", "sys/quiet", line, SSM_FailureError, 0);
        const bool asksHandlers = !c.silent && c.enabled;
        EXPECT_EQ(asksHandlers ? FALSE : TRUE, answer);
        EXPECT_EQ(c.events, Callers(m_log));
        EXPECT_EQ(2, site->Count);
        EXPECT_STREQ("quiet", site->Msg);
        ExpectIdle();
    }
}

TEST_F(SSM_Records, HandlerThatDisablesItsSiteStopsItsLogAndLaterQuestions) {
    HostHandler asked("assert", m_log), logged("log", m_log);
    asked.react = [](SSM::AssertObj& record, int) { record.Disable(TRUE); };
    asked.HookOn(Manager().AssertEvent);
    logged.HookOn(Manager().LogEvent);
    SSM_AssertFailed("once", "sys/test", 8, SSM_FailureAssert, 0);
    SSM_AssertFailed("twice", "sys/test", 8, SSM_FailureAssert, 0);
    EXPECT_EQ((std::vector<std::string>{"assert"}), Callers(m_log));
    EXPECT_EQ(FALSE, Record("sys/test(8)")->Enabled);
    EXPECT_EQ(2, Record("sys/test(8)")->Count);
}

TEST_F(SSM_Records, SilentModeNeedsAManager) {
    SSM::SetSilentMode(TRUE);
    EXPECT_EQ(TRUE, Manager().SilentMode);
    DestroyManager();
    EXPECT_EQ(0, SSM::GetSilentMode());
    SSM::SetSilentMode(TRUE);  // nothing to set
    EXPECT_EQ(0, SSM::GetSilentMode());
}

TEST_F(SSM_Records, ReportKeepsErrnoWhateverTheHandlersDo) {
    HostHandler host("host", m_log);
    host.react = [](SSM::AssertObj& record, int) {
        errno = ENOENT;
        if (record.GetLineNo() == 2) record.SetAction(SSM::ThrowData);
    };
    host.HookOn(Manager().AssertEvent);
    errno = EMFILE;
    SSM_AssertFailed("continue", "sys/test", 1, SSM_FailureAssert, 0);
    EXPECT_EQ(EMFILE, errno);
    EXPECT_THROW(SSM_AssertFailed("throw", "sys/test", 2, SSM_FailureAssert, 0), SSM::AssertData*);
    EXPECT_EQ(EMFILE, errno);
}

TEST_F(SSM_Records, FatalDataIsClearedByTheNextFailure) {
    HostHandler host("host", m_log);
    host.react = [](SSM::AssertObj& record, int) {
        if (record.GetLineNo() == 1) record.SetAction(SSM::ThrowFatal);
    };
    host.HookOn(Manager().AssertEvent);
    EXPECT_THROW(SSM_AssertFailed("fatal", "sys/test", 1, SSM_FailureAssert, 0),
                 SSM::FatalException);
    EXPECT_EQ(Record("sys/test(1)"), Manager().FatalData);
    EXPECT_EQ(TRUE, SSM_AssertFailed("fine", "sys/test", 2, SSM_FailureAssert, 0));
    EXPECT_EQ(nullptr, Manager().FatalData);
}

// ---------------------------------------------------------------------------------------------
// Checks made by library code: the answer decides between going on, breaking and throwing.

using SSM_Checks = ManagerTest;

TEST_F(SSM_Checks, PlainCheckBreaksOnlyWhenAHandlerAsks) {
    HostHandler host("host", m_log);
    host.HookOn(Manager().AssertEvent);
    EXPECT_FALSE(SSM_CHECK_AT(false, "kept going", "sys/test", 10, SSM_FailureError));
    EXPECT_EQ(0, s_breaks);
    host.AskFor(SSM::Break);
    EXPECT_FALSE(SSM_CHECK_AT(false, "stop here", "sys/test", 11, SSM_FailureError));
    EXPECT_EQ(1, s_breaks);
    ExpectIdle();
}

TEST_F(SSM_Checks, CheckAndThrowAfterABreakThrowsTheRecord) {
    HostHandler host("host", m_log);
    host.AskFor(SSM::Break);
    host.HookOn(Manager().AssertEvent);
    try {
        SSM_CHECK_THROW_AT(false, "refused", "scc/SCC_Array", 77, SSM_FailureError);
        ADD_FAILURE() << "nothing thrown";
    } catch (SSM::AssertData* data) {
        EXPECT_EQ(Record("scc/SCC_Array(77)"), data);
    }
    EXPECT_EQ(1, s_breaks);
    ExpectIdle();
}

TEST_F(SSM_Checks, ThrowRequestsReachTheCodeThatMadeTheCheck) {
    HostHandler host("host", m_log);
    host.react = [](SSM::AssertObj& record, int) {
        record.SetAction(record.GetLineNo() == 1 ? SSM::ThrowData : SSM::ThrowFatal);
    };
    host.HookOn(Manager().AssertEvent);
    bool after = false;
    auto library = [&](int line) {
        SSM_CHECK_AT(false, "precondition", "scc/SCC_Map_Inline", line, SSM_FailureAssert);
        after = true;
    };
    EXPECT_THROW(library(1), SSM::AssertData*);
    EXPECT_THROW(library(2), SSM::FatalException);
    EXPECT_FALSE(after);
    EXPECT_EQ(0, s_breaks);
    ExpectIdle();
    EXPECT_EQ(reinterpret_cast<SYS_Handle>(Record("scc/SCC_Map_Inline(2)")),
              Manager().Current.GetHandle());
}

TEST_F(SSM_Checks, ThrowWithoutARequestThrowsTheCurrentRecordOrNothing) {
    EXPECT_NO_THROW(Manager().Throw());  // Current is on nothing yet
    SSM_AssertFailed("seen", "sys/test", 6, SSM_FailureAssert, 0);
    EXPECT_THROW(SSM_Throw(), SSM::AssertData*);
}

// ---------------------------------------------------------------------------------------------
// The one manager

using SSM_Lifecycle = ManagerTest;

TEST_F(SSM_Lifecycle, DestroyingTheManagerUnregistersIt) {
    EXPECT_EQ(1, SSM::InstanceCount);
    EXPECT_EQ(-1, Manager().Depth);
    EXPECT_EQ(FALSE, Manager().SilentMode);
    EXPECT_EQ(nullptr, Manager().FatalData);
    EXPECT_EQ(53, Manager().Map.GetTableSize());
    DestroyManager();
    EXPECT_EQ(nullptr, SSM::GetManager());
    EXPECT_EQ(0, SSM::InstanceCount);
    EXPECT_EQ(FALSE, SSM_AssertFailed("no manager", "sys/test", 1, SSM_FailureAssert, 0));
    EXPECT_NO_THROW(SSM_Throw());
}

TEST_F(SSM_Lifecycle, SecondManagerIsRefusedAndLeftUnregistered) {
    HostHandler reported("report", m_log);
    reported.HookOn(Manager().ReportEvent);
    {
        SSM second;
        EXPECT_EQ(1, s_breaks);
        EXPECT_EQ(&Manager(), SSM::GetManager());
        EXPECT_EQ(1, SSM::InstanceCount);
        ASSERT_EQ(1u, m_log.size());
        EXPECT_EQ(SSM_FailureAssert, m_log[0].type);
        EXPECT_EQ("ssm/ssm", m_log[0].file);
        EXPECT_EQ("SSM may have the only instance", m_log[0].msg);
        // Reports go to the registered manager only.
        SSM_AssertFailed("to the first", "sys/test", 1, SSM_FailureAssert, 0);
        EXPECT_EQ(0, second.Map.GetCount());
        EXPECT_NE(nullptr, Record("sys/test(1)"));
        // Called directly, the refused manager keeps records of its own.
        EXPECT_EQ(TRUE, second.AssertFailed("direct", "sys/test", 2, SSM_FailureAssert, 0));
        EXPECT_EQ(1, second.Map.GetCount());
        EXPECT_EQ(nullptr, Record("sys/test(2)"));
        EXPECT_EQ(reinterpret_cast<SYS_Handle>(second.Map.Lookup("sys/test(2)")),
                  second.Current.GetHandle());
        EXPECT_EQ(-1, second.Depth);
    }
    EXPECT_EQ(&Manager(), SSM::GetManager());
    EXPECT_EQ(1, SSM::InstanceCount);
    EXPECT_EQ(2u, m_log.size());  // destroying the refused one reports nothing more
    EXPECT_EQ(1, s_breaks);
}

TEST_F(SSM_Lifecycle, RefusalThatAHandlerTurnsIntoAnExceptionCreatesNothing) {
    HostHandler host("host", m_log);
    host.AskFor(SSM::ThrowFatal);
    host.HookOn(Manager().AssertEvent);
    EXPECT_THROW(std::make_unique<SSM>(), SSM::FatalException);
    EXPECT_EQ(&Manager(), SSM::GetManager());
    EXPECT_EQ(1, SSM::InstanceCount);
    ExpectIdle();
}

TEST_F(SSM_Lifecycle, DestructorChecksThatItIsTheOnlyInstance) {
    HostHandler reported("report", m_log);
    reported.HookOn(Manager().ReportEvent);
    SSM::InstanceCount = 2;  // as if the count had gone wrong
    DestroyManager();
    ASSERT_EQ(1u, m_log.size());
    EXPECT_EQ(SSM_FailureAssert, m_log[0].type);
    EXPECT_EQ("ssm/ssm", m_log[0].file);
    EXPECT_EQ("SSM may have the only instance", m_log[0].msg);
    EXPECT_EQ(1, SSM::InstanceCount);
    EXPECT_EQ(nullptr, SSM::GetManager());
    SSM::InstanceCount = 0;
}

TEST_F(SSM_Lifecycle, DestructorSwallowsAnExceptionItsCheckWouldThrow) {
    HostHandler host("host", m_log);
    host.AskFor(SSM::ThrowData);
    host.HookOn(Manager().AssertEvent);
    SSM::InstanceCount = 3;
    EXPECT_NO_THROW(DestroyManager());
    EXPECT_EQ(1, s_breaks);  // the break stands in for the exception
    EXPECT_EQ(nullptr, SSM::GetManager());
    EXPECT_EQ(2, SSM::InstanceCount);
    SSM::InstanceCount = 0;
}

}  // namespace
