#pragma once

// A host's side of the assertion manager for the tests: a fixture that owns a fresh manager
// per test, and handlers that record every call and react as a test tells them.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "SSM.h"
#include "tessar_breaks.h"

namespace ssm_test {

// One call of a handler: the handle is read at full width from the data pointer; depth and
// current are the manager's Depth and the handle of its Current during the call.
struct Call {
    std::string who;
    int type;
    SYS_Handle handle;
    long depth;
    std::string file;
    std::string msg;
    SYS_Handle current;
};

// A handler hooked on one of the manager's notifiers. It logs each call into a shared log,
// positions an AssertObj on the record and runs `react` with it.
class HostHandler {
public:
    using Reaction = std::function<void(SSM::AssertObj& record, int type)>;

    HostHandler(std::string name, std::vector<Call>& log)
        : m_name(std::move(name)), m_log(log), m_hook(this, &HostHandler::OnEvent) {}

    void HookOn(SCC_Notifier& event) { AddHook(event, m_hook); }
    void Unhook() { Detach(m_hook); }
    void AskFor(SSM::Action action) {
        react = [action](SSM::AssertObj& record, int) { record.SetAction(action); };
    }

    Reaction react;

private:
    int OnEvent(int type, int* data) {
        const SYS_Handle handle = SCC_Notifier::DataAsValue(data);
        SSM::AssertObj record;
        record.SetHandle(handle, nullptr);
        const SSM::AssertData* seen = reinterpret_cast<const SSM::AssertData*>(handle);
        m_log.push_back({m_name, type, handle, SSM::GetManager()->Depth,
                         seen != nullptr ? static_cast<const char*>(seen->FileName) : "",
                         seen != nullptr ? static_cast<const char*>(seen->Msg) : "",
                         SSM::GetManager()->Current.GetHandle()});
        if (react) react(record, type);
        return 0;
    }

    std::string m_name;
    std::vector<Call>& m_log;
    SCC_ObjectEventHook<HostHandler, int> m_hook;
};

// The names of the handlers in the order they were called.
inline std::vector<std::string> Callers(const std::vector<Call>& log) {
    std::vector<std::string> names;
    for (const Call& call : log) names.push_back(call.who);
    return names;
}

// How a failure or a check ended: its answer, or -1 with the record it threw, or -2 with the
// record of the FatalException it threw, or -4 when a host's own exception came through.
struct Ending {
    int answer;
    SSM::AssertData* thrown;
};
template <typename Raiser>
Ending Raise(Raiser&& raise) {
    try {
        return {raise(), nullptr};
    } catch (SSM::AssertData* data) {
        return {-1, data};
    } catch (const SSM::FatalException& fatal) {
        return {-2, fatal.Data};
    } catch (const std::runtime_error&) {
        return {-4, nullptr};
    }
}

// Each test gets its own manager, created in SetUp and destroyed in TearDown; debugger breaks
// are counted instead of executed.
class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_manager = std::make_unique<SSM>();
        ASSERT_EQ(m_manager.get(), SSM::GetManager()) << "a manager outlived its test";
    }
    void TearDown() override {
        m_manager.reset();
        EXPECT_EQ(0, SSM::InstanceCount);
    }

    SSM& Manager() { return *m_manager; }
    // Destroys the fixture's manager early (TearDown then has nothing to destroy).
    void DestroyManager() { m_manager.reset(); }
    // The stored record of a site, by its key.
    SSM::AssertData* Record(const char* key) { return Manager().Map.Lookup(SYS_String(key)); }
    // The manager is idle: no failure is being handled.
    void ExpectIdle() {
        EXPECT_EQ(-1, Manager().Depth);
        EXPECT_EQ(0, Manager().Stack.GetCount());
    }
    // Hooks the three handlers below on the manager's assert, report and log events.
    void HookAll() {
        m_asked.HookOn(Manager().AssertEvent);
        m_reported.HookOn(Manager().ReportEvent);
        m_logged.HookOn(Manager().LogEvent);
    }

    ScopedBreakCounter m_breaks;
    std::vector<Call> m_log;
    HostHandler m_asked{"assert", m_log};
    HostHandler m_reported{"report", m_log};
    HostHandler m_logged{"log", m_log};

private:
    std::unique_ptr<SSM> m_manager;
};

}  // namespace ssm_test
