#pragma once

#include <cerrno>

#include "TessarExport.h"

/// @file
/// The two services of the operating system that every check needs: a debugger break and the
/// guard that keeps errno across a report. They sit at the bottom of the library, below the
/// assertion entry point, and use nothing but the C library.

/// Stops in the debugger when one is attached (SIGTRAP); without a debugger nothing happens
/// and execution goes on, unless a host installed its own handler below.
TESSAR_EXPORT void PLT_DebugBreak();

/// TRUE when a debugger traces this process (TracerPid in /proc/self/status is not 0).
TESSAR_EXPORT int PLT_IsDebuggerAttached();

/// Replaces what PLT_DebugBreak does; null restores the default. A fuzzing harness installs
/// abort() here so that a break becomes a recorded crash. Returns the previous handler.
typedef void (*PLT_DebugBreakHandler)();
/// Installs `handler` as what PLT_DebugBreak does (see PLT_DebugBreakHandler); returns the previous
/// one.
TESSAR_EXPORT PLT_DebugBreakHandler PLT_SetDebugBreakHandler(PLT_DebugBreakHandler handler);

/// Tells a watching program that one of the library's process-wide objects was created
/// ("+name") or is about to be destroyed ("-name"). A program that wants to observe the load and
/// unload order defines `extern "C" void TessarLifetimeTrace(const char* event)` and exports it
/// (-rdynamic); otherwise nothing happens. Only the library itself calls it; not exported.
void PLT_TraceLifetime(const char* event);

/// Keeps the calling thread's last error (errno) across a scope, so that a report or a
/// notification never disturbs what the caller is about to read.
class PLT_ErrnoGuard {
public:
    PLT_ErrnoGuard() : m_saved(errno) {}
    ~PLT_ErrnoGuard() { errno = m_saved; }
    PLT_ErrnoGuard(const PLT_ErrnoGuard&) = delete;
    PLT_ErrnoGuard& operator=(const PLT_ErrnoGuard&) = delete;

private:
    int m_saved;
};
