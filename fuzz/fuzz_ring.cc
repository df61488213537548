// The ring text and operations of "tessar ring": `rings\0op\0op...`. Rings that parse print
// back as text that parses to the same rings; a refused operation changes nothing; a query
// changes nothing and finds a node of the asked type; every edit keeps every link on a node
// of the table (a link leaving it would be read by the next Links() under ASan).
#include <string>

#include "../tools/tessar_ring.cpp"
#include "fuzz_harness.h"

namespace {

constexpr size_t kMaxOperations = 24;

short TypeOf(const TessarRings& rings, char name) { return rings.Find(name)->GetNodeType(); }

// The found node's name at the end of "OPERATION = X".
char Found(const std::string& result) { return result.empty() ? '-' : result.back(); }

void CheckQuery(const TessarRings& rings, const std::string& operation, const std::string& result) {
    const std::string word = operation.substr(2);
    const char found = Found(result);
    if (found == '-' || word == "valid" || word == "isgeom") return;
    const short type = TypeOf(rings, found);
    if (word == "db") fuzz::Require(type == 4, "db finds type 4");
    if (word == "brt") fuzz::Require(type == 7, "brt finds type 7");
    if (word == "geom") fuzz::Require(type == 1 || type == 2 || type == 6, "geom finds 1, 2 or 6");
    fuzz::Require(found != operation[0] || word == "root" || word.rfind("next", 0) == 0 ||
                      word.rfind("prev", 0) == 0,
                  "a walk never finds its start");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = fuzz::SplitInput(data, size, kMaxOperations + 1);
    TessarRings rings;
    std::string error;
    if (!rings.Parse(parts[0], error)) {
        fuzz::Require(!error.empty(), "a refused text says why");
        return 0;
    }
    const std::string printed = rings.Rings();
    fuzz::Require(!printed.empty(), "parsed rings print");
    TessarRings again;
    fuzz::Require(again.Parse(printed, error) && again.Rings() == printed, "printed rings parse back");

    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string before = rings.Links();
        std::string result;
        error.clear();
        if (!rings.Apply(parts[i], result, error)) {
            fuzz::Require(!error.empty() && rings.Links() == before, "a refused operation changes nothing");
            continue;
        }
        fuzz::Require(result.compare(0, parts[i].size(), parts[i]) == 0, "the result names the operation");
        if (result.find(" = ") != std::string::npos) {
            fuzz::Require(rings.Links() == before, "a query changes nothing");
            CheckQuery(rings, parts[i], result);
        }
        fuzz::Require(rings.Links().size() == before.size(), "every node keeps one link");
    }
    return 0;
}
