// The profile's INI rules on `text\0section\0key\0value\0other`: a value set is read back as
// stored (up to its first line break), and setting one key never changes another key's value.
#include <strings.h>

#include "PLT_File.h"
#include "fuzz_harness.h"

namespace {

// What reading gives back for a stored value: the value up to its first line break.
std::string StoredValue(const std::string& value) {
    return value.substr(0, value.find_first_of("\r\n"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = fuzz::SplitInput(data, size, 5);
    const std::string& text = parts[0];
    const char* section = parts[1].c_str();
    const char* key = parts[2].c_str();
    const char* other = parts[4].c_str();

    std::string before, otherBefore;
    bool had = PLT_IniFind(text, section, key, before);
    bool otherHad = PLT_IniFind(text, section, other, otherBefore);

    std::string changed = PLT_IniSet(text, section, key, parts[3].c_str());
    if (changed == text && !(had && before == StoredValue(parts[3]))) return 0;  // refused
    std::string after;
    fuzz::Require(PLT_IniFind(changed, section, key, after), "a set key is found");
    fuzz::Require(after == StoredValue(parts[3]), "a set value reads back as stored");
    if (otherHad && strcasecmp(other, key) != 0) {
        std::string otherAfter;
        fuzz::Require(PLT_IniFind(changed, section, other, otherAfter) && otherAfter == otherBefore,
                      "another key keeps its value");
    }
    return 0;
}
