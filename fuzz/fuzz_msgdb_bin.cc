// Message database, binary form: load any bytes as a .mdb, check every lookup and walk, and
// that no more entries were loaded than whole records are present.
#include "msgdb_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = msgdb_fuzz::TempPath(".mdb");
    msgdb_fuzz::WriteFile(path, data, size);
    SFM_MessageDB db(path.c_str());
    msgdb_fuzz::CheckDatabase(db);
    const long records = size < 14 ? 0 : static_cast<long>((size - 14) / 36);
    fuzz::Require(db.GetCount() <= records, "no entry without a whole record");
    // Keys next to the loaded ones and far from them are unknown or bounded too.
    for (long key : {-1L, 0L, 1L, 2147483647L, -2147483648L})
        fuzz::Require(db.getTxt(key).GetLength() <= 199, "getTxt at most 199 bytes");
    return 0;
}
