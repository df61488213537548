// Demo step: a host's assertion manager with one handler that counts failures, silences a
// noisy site and turns one failure into an exception.
#include <ostream>

#include "SSM.h"
#include "tessar_cli.h"

namespace {

class HostHandler {
public:
    explicit HostHandler(std::ostream& out) : m_out(out), m_hook(this, &HostHandler::OnAssert) {}
    void Install(SSM& manager) { AddHook(manager.AssertEvent, m_hook); }
    long Failures() const { return m_failures; }

private:
    int OnAssert(int type, int* data) {
        ++m_failures;
        SSM::AssertObj record;
        record.SetHandle(SCC_Notifier::DataAsValue(data), nullptr);
        m_out << "  handler: type " << type << " at " << record.GetFileName() << "("
              << record.GetLineNo() << ") \"" << record.GetMsg() << "\", seen "
              << record.GetCount() << " time(s)\n";
        if (record.GetLineNo() == 20) {
            record.SetAction(SSM::ThrowData);
        } else if (record.GetCount() == 1) {
            record.SetAction(SSM::Break);
        } else {
            m_out << "  handler: disabling this noisy site\n";
            record.Disable(TRUE);
        }
        return 0;
    }

    std::ostream& m_out;
    long m_failures = 0;
    SCC_ObjectEventHook<HostHandler, int> m_hook;
};

// What a check does, with the manager's answer shown instead of acted upon.
void CheckIndex(std::ostream& out, long index) {
    if (index >= 0) return;
    const int goOn =
        SSM_AssertFailed("demo: negative index", "tools/demo", 10, SSM_FailureError, 0);
    out << "  answer: " << (goOn ? "continue" : "break into the debugger") << "\n";
}

void ShowManager(std::ostream& out) {
    SSM manager;
    HostHandler handler(out);
    handler.Install(manager);
    out << "The host creates the assertion manager and hooks a handler on its AssertEvent.\n";
    for (int i = 0; i < 3; ++i) CheckIndex(out, -1);
    out << "The same check failed 3 times; the handler was asked " << handler.Failures()
        << " times (the site is disabled now).\n";
    try {
        SSM_CHECK_AT(false, "demo: file is not open", "tools/demo", 20, SSM_FailureError);
        out << "  not reached\n";
    } catch (SSM::AssertData* data) {
        out << "Caught the record of " << data->FileName << "(" << data->LineNo
            << ") thrown on the handler's request: \"" << data->Msg << "\"\n";
    }
    out << "Sites recorded: " << manager.Map.GetCount() << "\n";
}

const TessarDemoRegistrar kStep({15, "The assertion manager and a host handler", ShowManager});

}  // namespace
