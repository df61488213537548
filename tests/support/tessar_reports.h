#pragma once

// Reports as a host sees them: while a ScopedReportRecorder lives, an assertion manager exists
// and every failed check is recorded with its message, unit, line and failure type. The
// manager's handler answers Continue (or the action a test asks for), so a check-and-throw
// reaches SSM_Throw only when the test asks for a throwing action. Debugger breaks are counted,
// never executed.

#include <memory>
#include <string>
#include <vector>

#include "SSM.h"
#include "tessar_breaks.h"

namespace tessar_test {

struct Report {
    std::string message;
    std::string unit;
    long line;
    int type;

    bool operator==(const Report& other) const {
        return message == other.message && unit == other.unit && line == other.line &&
               type == other.type;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Report& report) {
    return out << report.unit << "(" << report.line << ") type " << report.type << ": \""
               << report.message << "\"";
}

class ScopedReportRecorder {
public:
    ScopedReportRecorder()
        : m_manager(std::make_unique<SSM>()), m_hook(this, &ScopedReportRecorder::OnAssert, 0) {
        AddHook(m_manager->AssertEvent, m_hook);
    }
    ~ScopedReportRecorder() { Detach(m_hook); }
    ScopedReportRecorder(const ScopedReportRecorder&) = delete;
    ScopedReportRecorder& operator=(const ScopedReportRecorder&) = delete;

    // The action the handler asks for on every later failure (Continue by default).
    void AskFor(SSM::Action action) { m_action = action; }

    const std::vector<Report>& Reports() const { return m_reports; }
    // The reports so far, and an empty record for the next ones.
    std::vector<Report> Take() {
        std::vector<Report> taken;
        taken.swap(m_reports);
        return taken;
    }
    int Breaks() const { return m_breaks.Breaks(); }

private:
    int OnAssert(int type, int* data) {
        SSM::AssertObj record;
        record.SetHandle(SCC_Notifier::DataAsValue(data), nullptr);
        const auto* seen = reinterpret_cast<const SSM::AssertData*>(SCC_Notifier::DataAsValue(data));
        if (seen != nullptr)
            m_reports.push_back({static_cast<const char*>(seen->Msg),
                                 static_cast<const char*>(seen->FileName), seen->LineNo, type});
        record.SetAction(m_action);
        return 0;
    }

    ScopedBreakCounter m_breaks;
    std::unique_ptr<SSM> m_manager;
    SCC_ObjectEventHook<ScopedReportRecorder, int> m_hook;
    SSM::Action m_action = SSM::Continue;
    std::vector<Report> m_reports;
};

}  // namespace tessar_test
