#pragma once

#include "TessarTypes.h"

/// @file
/// The single entry point through which every class of the library reports a broken
/// precondition, and the two forms of a check built on it.

/// The kind of a failure; it decides what the manager does when no handler chooses.
enum SSM_FailureType {
    SSM_FailureAssert = 0,  ///< internal consistency check; by default execution continues
    SSM_FailureError = 1,   ///< error of use; breaks by default when nested in another failure
    SSM_FailureThrow = 2    ///< always thrown after the report; no handler is asked
};

/// Reports one failure. Returns TRUE to continue and FALSE to break into the debugger. An empty
/// or null message becomes "SSM: Assert ID #<id>, message not available" (id != 0) or "Message
/// not available". Without an assertion manager the answer is FALSE. errno is preserved. An
/// exception thrown by the manager on a handler's request passes through to the caller.
TESSAR_EXPORT int SSM_AssertFailed(const char* message, const char* file, int line,
                                   SSM_FailureType type, int id);

/// Does nothing without a manager; otherwise SSM::Throw(): an SSM::FatalException when a handler
/// chose ThrowFatal for the latest failure, else the SSM::AssertData* of the latest failure's
/// record (so a check-and-throw whose report answered "break" throws that record).
TESSAR_EXPORT void SSM_Throw();

/// The assertion manager's side of the entry point. The manager installs its two functions when
/// it registers as SSM::Instance and removes them (nulls) when it unregisters, so they are set
/// exactly while a manager exists, and the entry point needs nothing above it. Without them
/// SSM_AssertFailed answers FALSE and SSM_Throw does nothing. Returns the previous handlers.
struct SSM_ManagerHandlers {
    /// Receives every report with its message already replaced when empty; non-zero: go on.
    int (*assertFailed)(const char* message, const char* file, int line, SSM_FailureType type,
                        int id);
    /// Throws what the latest failure asked for, or returns.
    void (*throwLatest)();
};
/// Installs the manager's handlers (nulls remove them; see SSM_ManagerHandlers); returns the
/// previous ones.
TESSAR_EXPORT SSM_ManagerHandlers SSM_SetManagerHandlers(SSM_ManagerHandlers handlers);

/// Out-of-line halves of the check macros: report, and when the answer is FALSE break into
/// the debugger (and, for the second, then call SSM_Throw()).
///@{
TESSAR_EXPORT void SSM_CheckFailed(const char* message, const char* unit, int line,
                                   SSM_FailureType type, int id);
TESSAR_EXPORT void SSM_CheckFailedThrow(const char* message, const char* unit, int line,
                                        SSM_FailureType type, int id);
///@}

/// Checks. Each evaluates to true when the condition holds, so that a caller may refuse to go
/// on after a failure the manager chose to continue past:
///     if (!SSM_CHECK(index >= 0, "negative index", kUnit, SSM_FailureAssert)) return;
/// `unit` is the source unit as hosts know it ("scc/SCC_Array"), named once per source unit
/// (namespace { const char kUnit[] = "sys/sysstr"; }, or a named constant next to the inline
/// checks of a header); the _AT forms take a fixed line, because hosts disable assertion sites
/// by "unit(line)".
///@{
#define SSM_CHECK_ID_AT(cond, msg, unit, line, type, id) \
    ((cond) ? true : (SSM_CheckFailed((msg), (unit), (line), (type), (id)), false))
#define SSM_CHECK_THROW_ID_AT(cond, msg, unit, line, type, id) \
    ((cond) ? true : (SSM_CheckFailedThrow((msg), (unit), (line), (type), (id)), false))

#define SSM_CHECK_AT(cond, msg, unit, line, type) SSM_CHECK_ID_AT(cond, msg, unit, line, type, 0)
#define SSM_CHECK(cond, msg, unit, type) SSM_CHECK_ID_AT(cond, msg, unit, __LINE__, type, 0)
#define SSM_CHECK_THROW_AT(cond, msg, unit, line, type) \
    SSM_CHECK_THROW_ID_AT(cond, msg, unit, line, type, 0)
#define SSM_CHECK_THROW(cond, msg, unit, type) \
    SSM_CHECK_THROW_ID_AT(cond, msg, unit, __LINE__, type, 0)
///@}
