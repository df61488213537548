#include "SSM_Assert.h"

#include <cstdio>

#include "PLT_Debug.h"

namespace {

// The registered manager's functions; both null while no manager exists.
SSM_ManagerHandlers s_manager = {nullptr, nullptr};

// Holds the replacement text of an empty message; the text lives as long as the report.
class ReportMessage {
public:
    ReportMessage(const char* message, int id) : m_text(message) {
        if (m_text != nullptr && *m_text != '\0') return;
        if (id != 0) {
            std::snprintf(m_buffer, sizeof m_buffer, "SSM: Assert ID #%d, message not available", id);
            m_text = m_buffer;
        } else {
            m_text = "Message not available";
        }
    }
    const char* Text() const { return m_text; }

private:
    const char* m_text;
    char m_buffer[64];
};

}  // namespace

int SSM_AssertFailed(const char* message, const char* file, int line, SSM_FailureType type,
                     int id) {
    PLT_ErrnoGuard keepLastError;
    ReportMessage text(message, id);
    if (s_manager.assertFailed == nullptr) return FALSE;
    return s_manager.assertFailed(text.Text(), file, line, type, id) != 0 ? TRUE : FALSE;
}

void SSM_Throw() {
    if (s_manager.throwLatest != nullptr) s_manager.throwLatest();
}

SSM_ManagerHandlers SSM_SetManagerHandlers(SSM_ManagerHandlers handlers) {
    const SSM_ManagerHandlers previous = s_manager;
    s_manager = handlers;
    return previous;
}

void SSM_CheckFailed(const char* message, const char* unit, int line, SSM_FailureType type,
                     int id) {
    if (!SSM_AssertFailed(message, unit, line, type, id)) PLT_DebugBreak();
}

void SSM_CheckFailedThrow(const char* message, const char* unit, int line, SSM_FailureType type,
                          int id) {
    if (!SSM_AssertFailed(message, unit, line, type, id)) {
        PLT_DebugBreak();
        SSM_Throw();
    }
}
