// Message database, text form: load any bytes, check every lookup and walk, save the binary
// form and reload it: every key must give the same text.
#include "msgdb_fuzz_support.h"

namespace {

// The loader prints syntax errors to standard output: keep the run's output readable.
const bool kQuiet = std::freopen("/dev/null", "w", stdout) != nullptr;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)kQuiet;
    static const std::string textPath = msgdb_fuzz::TempPath(".txt");
    static const std::string binaryPath = msgdb_fuzz::TempPath(".mdb");
    msgdb_fuzz::WriteFile(textPath, data, size);
    SFM_MessageDB text(textPath.c_str(), 0);
    msgdb_fuzz::CheckDatabase(text);
    text.Save(binaryPath.c_str());
    SFM_MessageDB binary(binaryPath.c_str());
    msgdb_fuzz::CheckDatabase(binary);
    fuzz::Require(text.GetKeys() == binary.GetKeys(), "the binary form keeps every key");
    for (int32_t key : text.GetKeys())
        fuzz::Require(text.getTxt(key) == binary.getTxt(key), "the binary form keeps every text");
    return 0;
}
