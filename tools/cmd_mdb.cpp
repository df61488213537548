// tessar mdb: builds, lists and queries message databases.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "SFM_MessageDB.h"
#include "tessar_cli.h"

namespace {

const char kCommand[] = "mdb";

int Usage(const char* problem) {
    std::fprintf(stderr, "tessar mdb: %s (try 'tessar mdb --help')\n", problem);
    return 2;
}

// A regular file that can be opened for reading; otherwise a message and false.
bool CheckReadable(const char* path) {
    struct stat info;
    errno = 0;
    FILE* file = stat(path, &info) == 0 && S_ISREG(info.st_mode) ? std::fopen(path, "rb") : nullptr;
    if (file != nullptr) {
        std::fclose(file);
        return true;
    }
    std::fprintf(stderr, "tessar mdb: cannot read '%s': %s\n", path,
                 errno != 0 ? std::strerror(errno) : "not a regular file");
    return false;
}

// The binary form is chosen by the extension ".mdb", case ignored.
bool IsBinaryName(const char* path) {
    const char* dot = std::strrchr(path, '.');
    const char* slash = std::strrchr(path, '/');
    const char* backslash = std::strrchr(path, '\\');
    if (dot == nullptr || (slash != nullptr && slash > dot) || (backslash != nullptr && backslash > dot))
        return false;
    return strcasecmp(dot, ".mdb") == 0;
}

std::unique_ptr<SFM_MessageDB> Load(const char* path) {
    if (IsBinaryName(path)) return std::unique_ptr<SFM_MessageDB>(new SFM_MessageDB(path));
    return std::unique_ptr<SFM_MessageDB>(new SFM_MessageDB(path, 0));
}

// Loads the text form with standard output diverted to a temporary file, then copies what
// loading printed to standard output. Whether anything was printed.
bool LoadTextCountingMessages(const char* path, std::unique_ptr<SFM_MessageDB>& db) {
    FILE* printed = std::tmpfile();
    const int savedOut = printed != nullptr ? dup(STDOUT_FILENO) : -1;
    std::fflush(stdout);
    if (savedOut >= 0) dup2(fileno(printed), STDOUT_FILENO);
    db.reset(new SFM_MessageDB(path, 0));
    std::fflush(stdout);
    if (savedOut < 0) return false;
    dup2(savedOut, STDOUT_FILENO);
    close(savedOut);
    std::rewind(printed);
    char buffer[4096];
    size_t got, total = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, printed)) > 0) {
        std::fwrite(buffer, 1, got, stdout);
        total += got;
    }
    std::fclose(printed);
    return total > 0;
}

int RunBuild(int argc, char** argv) {
    const char* input = nullptr;
    const char* output = nullptr;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc)
            output = argv[++i];
        else if (input == nullptr && argv[i][0] != '-')
            input = argv[i];
        else
            return Usage("build takes TEXT-FILE -o OUT.mdb");
    }
    if (input == nullptr || output == nullptr) return Usage("build takes TEXT-FILE -o OUT.mdb");
    if (!CheckReadable(input)) return 2;
    std::unique_ptr<SFM_MessageDB> db;
    const bool hadMessages = LoadTextCountingMessages(input, db);
    if (db->GetCount() > 32767) {
        std::fprintf(stderr, "tessar mdb: %ld entries, the binary form holds at most 32767\n",
                     db->GetCount());
        return 2;
    }
    std::remove(output);
    db->Save(output);
    if (access(output, F_OK) != 0) {
        std::fprintf(stderr, "tessar mdb: cannot write '%s'\n", output);
        return 2;
    }
    return hadMessages ? 1 : 0;
}

int RunDump(int argc, char** argv) {
    if (argc != 3) return Usage("dump takes one FILE");
    if (!CheckReadable(argv[2])) return 2;
    std::unique_ptr<SFM_MessageDB> db = Load(argv[2]);
    for (const auto* s = db->GetFirstSection(); s != nullptr; s = s->GetNext())
        std::printf("section [%s] base %ld highest %d\n", static_cast<const char*>(s->GetName()),
                    s->GetBase(), s->GetHighest());
    for (int32_t key : db->GetKeys())
        std::printf("%d\t%s\n", key, static_cast<const char*>(db->getTxt(key)));
    return 0;
}

// A whole decimal number within 32 bits.
bool ParseNumber(const char* text, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && errno == 0 && value >= INT32_MIN && value <= INT32_MAX;
}

int RunGet(int argc, char** argv) {
    if (argc != 4 && argc != 5) return Usage("get takes FILE KEY or FILE SECTION NUMBER");
    long number = 0;
    if (!ParseNumber(argv[argc - 1], number)) return Usage("the key or number must be an integer");
    if (!CheckReadable(argv[2])) return 2;
    std::unique_ptr<SFM_MessageDB> db = Load(argv[2]);
    long key = number;
    if (argc == 5) {
        const long base = db->GetSectionBase(argv[3]);
        if (base < 0) {
            std::fprintf(stderr, "tessar mdb: no section [%s]\n", argv[3]);
            return 1;
        }
        key = base + number;
    }
    const std::vector<int32_t>& keys = db->GetKeys();
    if (key < INT32_MIN || key > INT32_MAX ||
        !std::binary_search(keys.begin(), keys.end(), static_cast<int32_t>(key))) {
        std::fprintf(stderr, "tessar mdb: no message with key %ld\n", key);
        return 1;
    }
    std::printf("%s\n", static_cast<const char*>(db->getTxt(key)));
    return 0;
}

int RunMdb(int argc, char** argv) {
    if (argc < 2) return Usage("missing build, dump or get");
    if (std::strcmp(argv[1], "build") == 0) return RunBuild(argc, argv);
    if (std::strcmp(argv[1], "dump") == 0) return RunDump(argc, argv);
    if (std::strcmp(argv[1], "get") == 0) return RunGet(argc, argv);
    return Usage("unknown subcommand");
}

const TessarCommandRegistrar kMdb(
    {kCommand, "build, list and query message databases",
     "usage: tessar mdb build TEXT-FILE -o OUT.mdb\n"
     "       tessar mdb dump FILE\n"
     "       tessar mdb get FILE KEY\n"
     "       tessar mdb get FILE SECTION NUMBER\n"
     "\n"
     "A message file holds numbered texts in named sections. Its text form, written by hand:\n"
     "  ; a comment             (empty lines are skipped too)\n"
     "  [Errors]                a section; its base is the previous message's key + 2\n"
     "  1:Disk full             message 1 of the section: key = base + number\n"
     "  2:Retry? $              a final '$' is removed, keeping the blank before it\n"
     "Lines before the first section have base 0. A file whose name ends in .mdb (any case)\n"
     "is read in the binary form that build writes.\n"
     "\n"
     "  build   reads the text form, prints its syntax errors as FILE(LINE) : ..., and writes\n"
     "          the binary form (at most 32767 messages and sections)\n"
     "  dump    lists the sections (name, base, highest number), then every key the file\n"
     "          defined with its text (a section's own entry has the key minus its base)\n"
     "  get     prints the text of KEY, or of message NUMBER of SECTION, and a line feed\n"
     "\n"
     "Exit status: 0 on success; 1 when build printed syntax errors (the output is still\n"
     "written) or get found no such message; 2 for bad arguments or a file that cannot be\n"
     "read or written.\n",
     RunMdb});

}  // namespace
