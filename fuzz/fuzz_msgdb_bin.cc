// Message database, binary form. Every input: the parser loads no more entries than whole
// records are present and every entry fits the lookup buffer. A share of the inputs is also
// loaded from a file as a .mdb, looked up at every key and walked.
#include "msgdb_fuzz_support.h"

namespace {

size_t RecordsPresent(size_t size) { return size < 14 ? 0 : (size - 14) / 36; }

void CheckThroughFiles(const uint8_t* data, size_t size) {
    static const std::string path = msgdb_fuzz::TempPath(".mdb");
    msgdb_fuzz::WriteFile(path, data, size);
    SFM_MessageDB db(path.c_str());
    msgdb_fuzz::CheckDatabase(db);
    fuzz::Require(db.GetCount() <= static_cast<long>(RecordsPresent(size)),
                  "no entry without a whole record");
    // Keys far from the loaded ones are unknown or bounded too.
    for (long key : {-1L, 0L, 1L, 2147483647L, -2147483648L})
        fuzz::Require(db.getTxt(key).GetLength() <= 199, "getTxt at most 199 bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const sfm_msgdb::Model model = sfm_msgdb::ParseBinaryForm(bytes);
    msgdb_fuzz::CheckModel(model, RecordsPresent(size));
    fuzz::Require(model.sections.size() <= model.entries.size(), "one entry per section record");
    if (msgdb_fuzz::TakesFilePath(data, size)) CheckThroughFiles(data, size);
    return 0;
}
