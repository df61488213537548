// Runs a fuzz target over files and directories without a fuzzing engine, so that every
// corpus entry and crash reproducer is a regression test under any compiler.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    bytes.clear();
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return true;
}

int RunPath(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
        return 1;
    }
    if (!S_ISDIR(info.st_mode)) {
        std::vector<uint8_t> bytes;
        if (!ReadFile(path, bytes)) return 1;
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        return 0;
    }
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) return 1;
    int failures = 0;
    int count = 0;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        failures += RunPath(path + "/" + name);
        ++count;
    }
    closedir(dir);
    std::printf("replay: %d inputs from %s\n", count, path.c_str());
    return failures;
}

}  // namespace

int main(int argc, char** argv) {
    LLVMFuzzerInitialize(&argc, &argv);
    int failures = 0;
    for (int i = 1; i < argc; ++i) failures += RunPath(argv[i]);
    return failures == 0 ? 0 : 1;
}
