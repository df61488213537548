#pragma once

// Shared pieces of the message database tests: files in a temporary directory, loading with
// the printed load messages captured, and a hand-built binary form.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SFM_MessageDB.h"
#include "tessar_files.h"

namespace msgdb_test {

using tessar_test::ReadBytes;
using tessar_test::TempDir;
using tessar_test::Text;
using tessar_test::WriteBytes;

// A database loaded from `content` written to `path` in the text form, with what loading
// printed.
struct Loaded {
    std::unique_ptr<SFM_MessageDB> db;
    std::string printed;
};

inline Loaded LoadText(const std::string& path, const std::string& content) {
    WriteBytes(path, content);
    testing::internal::CaptureStdout();
    Loaded loaded;
    loaded.db.reset(new SFM_MessageDB(SYS_String(path.c_str()), 0));
    loaded.printed = testing::internal::GetCapturedStdout();
    return loaded;
}

inline std::unique_ptr<SFM_MessageDB> LoadBinary(const std::string& path,
                                                 const std::string& bytes) {
    WriteBytes(path, bytes);
    return std::unique_ptr<SFM_MessageDB>(new SFM_MessageDB(SYS_String(path.c_str())));
}

inline std::string Txt(SFM_MessageDB& db, long key) { return Text(db.getTxt(key)); }

// A case in a child process, so that it may start from a manager without a message database.
inline int RunInChild(const std::function<int()>& body) {
    return tessar_test::RunInChild(body, tessar_test::ChildExit::Normal);
}

// Little-endian pieces of the binary form, written independently of the library's writer.
inline void Put16(std::string& out, int v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
}
inline void Put32(std::string& out, int64_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
}
inline std::string Header(int r, int n) {
    std::string out;
    Put16(out, 0);
    Put16(out, r);
    Put16(out, n);
    Put32(out, 0);
    Put32(out, 0);
    return out;
}
// One record; `number` is the 20-byte field as given (padded with NULs, or cut to 20 bytes).
inline std::string Record(int index, int flag, int64_t offset, int64_t length, int64_t highest,
                          const std::string& number) {
    std::string out;
    Put16(out, index);
    out += static_cast<char>(flag);
    out += '\0';
    Put32(out, offset);
    Put32(out, length);
    Put32(out, highest);
    std::string field = number.substr(0, 20);
    field.resize(20, '\0');
    return out + field;
}

}  // namespace msgdb_test
