#include "PLT_File.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "TessarPlatform.h"

extern char** environ;

std::string PLT_SystemPath(const char* path) {
    std::string systemPath(path != nullptr ? path : "");
    for (char& c : systemPath)
        if (c == '\\') c = '/';
    return systemPath;
}

namespace {

// The text strerror_r gives, whichever form (GNU or XSI) the C library declares.
[[maybe_unused]] const char* ErrorTextOf(int /*result*/, const char* buffer) { return buffer; }
[[maybe_unused]] const char* ErrorTextOf(const char* result, const char* /*buffer*/) {
    return result;
}

}  // namespace

std::string PLT_SystemErrorText(int errorCode) {
    PLT_ErrnoGuard keepLastError;
    // strerrordesc_np tells a known number from an unknown one without depending on the
    // language of the text; strerror_r then gives the text in the current locale.
    if (strerrordesc_np(errorCode) == nullptr) return std::string();
    char buffer[256] = "";
    return ErrorTextOf(strerror_r(errorCode, buffer, sizeof buffer), buffer);
}

int PLT_StartProgram(const char* commandLine) {
    PLT_ErrnoGuard keepLastError;
    if (commandLine == nullptr) return FALSE;
    // The outer shell starts an inner one in the background and exits at once; waiting for the
    // outer shell reaps it, and the inner one (the program) is adopted by init, so nothing is
    // left as a zombie and the caller never waits for the program itself. The command line
    // travels as an argument, so it needs no quoting here.
    char shell[] = "/bin/sh";
    char dashC[] = "-c";
    char script[] = "/bin/sh -c \"$1\" &";
    char name[] = "sh";
    char* argv[] = {shell, dashC, script, name, const_cast<char*>(commandLine), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, shell, nullptr, nullptr, argv, environ) != 0) return FALSE;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return TRUE;
}

PLT_MappedFile PLT_MapFile(const char* path) {
    PLT_MappedFile mapping;
    mapping.descriptor = open(PLT_SystemPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (mapping.descriptor < 0) return mapping;
    struct stat info;
    if (fstat(mapping.descriptor, &info) == 0 && info.st_size > 0) {
        void* view = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE, mapping.descriptor, 0);
        if (view != MAP_FAILED) {
            mapping.view = view;
            mapping.size = static_cast<size_t>(info.st_size);
            return mapping;
        }
    }
    PLT_ErrnoGuard keepLastError;
    close(mapping.descriptor);
    mapping.descriptor = -1;
    return mapping;
}

int PLT_UnmapFile(PLT_MappedFile& mapping) {
    if (mapping.view == nullptr || munmap(mapping.view, mapping.size) != 0) return FALSE;
    close(mapping.descriptor);
    mapping = PLT_MappedFile();
    return TRUE;
}
