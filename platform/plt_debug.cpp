#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "PLT_Debug.h"
#include "TessarTypes.h"

// Resolved at load against the program, when it defines one; null otherwise.
extern "C" __attribute__((weak)) void TessarLifetimeTrace(const char* event);

namespace {

PLT_DebugBreakHandler s_breakHandler = nullptr;

// Reads TracerPid from /proc/self/status; errno is left as it was.
int ReadTracerPid() {
    PLT_ErrnoGuard keepLastError;
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return 0;
    char line[256];
    int tracer = 0;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "TracerPid:", 10) == 0) {
            tracer = std::atoi(line + 10);
            break;
        }
    }
    std::fclose(status);
    return tracer;
}

}  // namespace

int PLT_IsDebuggerAttached() { return ReadTracerPid() != 0 ? TRUE : FALSE; }

PLT_DebugBreakHandler PLT_SetDebugBreakHandler(PLT_DebugBreakHandler handler) {
    PLT_DebugBreakHandler previous = s_breakHandler;
    s_breakHandler = handler;
    return previous;
}

void PLT_DebugBreak() {
    if (s_breakHandler != nullptr) {
        s_breakHandler();
        return;
    }
    if (PLT_IsDebuggerAttached()) std::raise(SIGTRAP);
}

void PLT_TraceLifetime(const char* event) {
    if (TessarLifetimeTrace != nullptr) TessarLifetimeTrace(event);
}
