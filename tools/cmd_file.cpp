// tessar file: reads a file through SFM_File, and reads or writes the application profile.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "PLT_File.h"
#include "SFM.h"
#include "SFM_File.h"
#include "tessar_cli.h"

namespace {

const char kUsage[] =
    "usage: tessar file lines [-m MAX] FILE\n"
    "       tessar file length FILE\n"
    "       tessar file profile SECTION KEY [VALUE]\n"
    "\n"
    "lines    prints each piece GetLine returns, as \"LENGTH: TEXT\"; MAX is GetLine's limit\n"
    "         (1 to 510 reads at most MAX-1 bytes per piece; 0, the default, or any other value\n"
    "         reads at most 510)\n"
    "length   prints the file's length in bytes\n"
    "profile  prints the setting (empty when missing) or, with VALUE, sets it; the profile is\n"
    "         " "$XDG_CONFIG_HOME/Tessar500r/profile.ini unless TESSAR_PROFILE names another file\n"
    "\n"
    "Exit status: 0 on success, 2 when the file cannot be read or the command line is wrong.\n";

int Fail(const char* message, const char* detail) {
    std::fprintf(stderr, "tessar file: %s%s\n", message, detail);
    return 2;
}

// The manager's text for the last failure of `file`, without the quoted name that follows it.
std::string Reason(const SFM_File& file) {
    std::string message(static_cast<const char*>(file.GetMsg()));
    return message.substr(0, message.find("\r\n"));
}

bool ParseLimit(const char* text, long& limit) {
    char* end = nullptr;
    errno = 0;
    limit = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && errno == 0;
}

int PrintLines(int argc, char** argv) {
    long limit = 0;
    int at = 2;
    if (at < argc && std::strcmp(argv[at], "-m") == 0) {
        if (at + 1 >= argc || !ParseLimit(argv[at + 1], limit)) return Fail("-m needs a number", "");
        at += 2;
    }
    if (at + 1 != argc) return Fail("lines needs one FILE", "");
    SFM_File file(argv[at]);
    if (!file.Open("r")) {
        std::fprintf(stderr, "tessar file: cannot open '%s': %s\n", argv[at], Reason(file).c_str());
        return 2;
    }
    for (SYS_String piece; !(piece = file.GetLine(limit)).IsEmpty();) {
        std::printf("%d: ", piece.GetLength());
        std::fwrite(static_cast<const char*>(piece), 1, static_cast<size_t>(piece.GetLength()), stdout);
        if (piece[piece.GetLength() - 1] != '\n') std::putchar('\n');
    }
    return 0;
}

int PrintLength(int argc, char** argv) {
    if (argc != 3) return Fail("length needs one FILE", "");
    SFM_File file(argv[2]);
    long length = file.GetLength();
    if (length < 0) return Fail("cannot measure ", argv[2]);
    std::printf("%ld\n", length);
    return 0;
}

int UseProfile(int argc, char** argv) {
    if (argc != 4 && argc != 5) return Fail("profile needs SECTION KEY [VALUE]", "");
    if (const char* path = std::getenv("TESSAR_PROFILE")) PLT_SetProfilePath(path);
    SFM* manager = SFM::GetManager();
    if (argc == 5) {
        if (!PLT_WriteProfileString(argv[2], argv[3], argv[4]))
            return Fail("cannot write the profile ", PLT_GetProfilePath().c_str());
        return 0;
    }
    std::printf("%s\n", static_cast<const char*>(manager->ReadProfileString(argv[2], argv[3], "")));
    return 0;
}

int RunFile(int argc, char** argv) {
    if (TessarWantsHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc < 2) return Fail("missing action; see tessar file --help", "");
    const char* action = argv[1];
    if (std::strcmp(action, "lines") == 0) return PrintLines(argc, argv);
    if (std::strcmp(action, "length") == 0) return PrintLength(argc, argv);
    if (std::strcmp(action, "profile") == 0) return UseProfile(argc, argv);
    return Fail("unknown action ", action);
}

const TessarCommandRegistrar kCommand({"file", "read a file's lines or length; read or set the profile",
                                       kUsage, RunFile});

}  // namespace
