#include "SSM_Assert.h"

#include <cstdio>

#include "SSM.h"
#include "TessarPlatform.h"

namespace {

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
    SSM* manager = SSM::Instance;
    if (manager == nullptr) return FALSE;
    return manager->AssertFailed(text.Text(), file, line, type, id) != 0 ? TRUE : FALSE;
}

void SSM_Throw() {
    if (SSM::Instance != nullptr) SSM::Instance->Throw();
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
