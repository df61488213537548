#pragma once
// Shared pieces of the two message database targets. Every input goes through the loaders'
// parse-from-bytes path (compiled into the target: it is private to the library), whose result
// must stay within the bounds of the input. A fixed share of the inputs also goes the whole way
// through the library's files: per-process files under $FUZZ_TMP (default /dev/shm), loaded,
// looked up and walked. Writing and opening files costs about a millisecond per input, so that
// share keeps the run at thousands of inputs a second.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../sfm/sfmmsgdb_load.cpp"
#include "SFM_MessageDB.h"
#include "fuzz_harness.h"

namespace msgdb_fuzz {

// Removes the files of this process when it ends.
class TempFiles {
public:
    ~TempFiles() {
        for (const std::string& path : m_paths) std::remove(path.c_str());
    }
    void Add(const std::string& path) { m_paths.push_back(path); }

private:
    std::vector<std::string> m_paths;
};

// A file name of this process, so that -fork and -jobs runs do not share files.
inline std::string TempPath(const char* suffix) {
    static TempFiles files;
    const char* dir = std::getenv("FUZZ_TMP");
    const std::string path = std::string(dir != nullptr && dir[0] != '\0' ? dir : "/dev/shm") +
                             "/tessar_msgdb_" + std::to_string(getpid()) + suffix;
    files.Add(path);
    return path;
}

inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

// One input in `kFileShare` goes through the files; which ones depends only on the bytes.
const uint32_t kFileShare = 32;
inline bool TakesFilePath(const uint8_t* data, size_t size) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
    return hash % kFileShare == 0;
}

// What holds for any model: bounded table, texts that fit the lookup buffer, offsets that are
// either unreadable (-1) or non-negative, at most one entry per piece of input.
inline void CheckModel(const sfm_msgdb::Model& model, size_t pieces) {
    fuzz::Require(model.tableSize >= 1 && model.tableSize <= 467183, "table size bounded");
    fuzz::Require(model.entries.size() <= pieces, "one entry per line or record at most");
    for (const sfm_msgdb::Entry& entry : model.entries) {
        fuzz::Require(entry.length <= sfm_msgdb::kMaxText, "entry length at most 199");
        fuzz::Require(entry.offset >= -1, "offset unreadable or inside the file range");
    }
    for (const sfm_msgdb::Section& section : model.sections)
        fuzz::Require(section.name.size() <= 510 && section.name.find('\0') == std::string::npos,
                      "a section name is one line piece without NUL");
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
