#pragma once
// Shared pieces of the two message database targets: per-process files under $FUZZ_TMP
// (default /dev/shm, so that the real file layer is exercised without disk traffic), and the
// invariants that hold for a database loaded from any content.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "SFM_MessageDB.h"
#include "fuzz_harness.h"

namespace msgdb_fuzz {

// A file name of this process, so that -fork and -jobs runs do not share files.
inline std::string TempPath(const char* suffix) {
    const char* dir = std::getenv("FUZZ_TMP");
    return std::string(dir != nullptr && dir[0] != '\0' ? dir : "/dev/shm") + "/tessar_msgdb_" +
           std::to_string(getpid()) + suffix;
}

inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

// Every text fits the lookup buffer, the keys are unique and ascending, and every walk of a
// section visits each key at most once, in ascending number order, within the section.
inline void CheckDatabase(SFM_MessageDB& db) {
    const std::vector<int32_t>& keys = db.GetKeys();
    fuzz::Require(static_cast<long>(keys.size()) == db.GetCount(), "one sorted key per entry");
    for (size_t i = 0; i < keys.size(); ++i) {
        fuzz::Require(i == 0 || keys[i - 1] < keys[i], "keys ascending and unique");
        fuzz::Require(db.getTxt(keys[i]).GetLength() <= 199, "getTxt at most 199 bytes");
    }
    for (const auto* s = db.GetFirstSection(); s != nullptr; s = s->GetNext()) {
        long steps = 0, previous = -1;
        for (SFM_MessageDB::SectionIterator it(&db, s->GetName(), 0); !it.IsEmpty(); ++it) {
            fuzz::Require(++steps <= db.GetCount(), "a walk visits each key once");
            fuzz::Require(it.GetPosition() > previous, "a walk goes up in number");
            previous = it.GetPosition();
        }
    }
}

}  // namespace msgdb_fuzz
