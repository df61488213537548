// The ring text and operations of "tessar ring": `rings\0op\0op...`. Rings that parse print
// back as text that parses to the same rings; a refused operation changes nothing; a query
// changes nothing and finds a node of the asked type; every edit keeps every link on a node
// of the table (a link leaving it would be read by the next Links() under ASan). Every walk
// and edit also follows a model that applies the rules literally on an index table (type 6 a
// barrier); a walk the model finds endless is only required to end, and the model then takes
// the real links over.
#include <optional>
#include <string>
#include <vector>

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

constexpr int kNull = -1;
// The rules on indexes; nullopt where the plain walk would never end.
struct Model {
    std::vector<int> next;
    std::vector<short> type;

    int Limit() const { return int(next.size()) + 1; }

    template <class Match>
    std::optional<int> FindAfter(int node, int self, Match match) const {
        int steps = 0;
        for (int p = next[node]; p != kNull && p != self; p = next[p]) {
            if (++steps > Limit()) return std::nullopt;
            if (match(type[p])) return p;
        }
        return kNull;
    }
    std::optional<int> FindType(int node, int self, short t) const {
        return FindAfter(node, self, [t](short x) { return x == t; });
    }
    std::optional<int> Predecessor(int start, int target) const {
        int p = next[start];
        if (p == target || p == kNull) return kNull;
        for (int steps = 0; next[p] != target; ++steps) {
            if (steps > Limit()) return std::nullopt;
            p = next[p];
            if (p == kNull || type[p] == 6) return kNull;
        }
        return p;
    }
    bool ExcludeRoot(int node) {
        std::optional<int> previous = Predecessor(node, node);
        if (!previous) return false;
        if (*previous != kNull) {
            next[*previous] = next[node];
            next[node] = node;
        }
        return true;
    }
    bool ExcludeNearType(int self, short t) {
        int steps = 0;
        while (next[self] != self && next[self] != kNull && type[next[self]] == t) {
            if (++steps > Limit()) return false;
            next[self] = next[next[self]];
        }
        return true;
    }
    bool ExcludeByType(int self, short t) {
        int previous = self, steps = 0;
        for (int p = next[self]; p != kNull && p != self; p = next[p]) {
            if (++steps > Limit()) return false;
            if (type[p] == t)
                next[previous] = next[p];
            else
                previous = p;
        }
        return true;
    }
};

// The nodes' names in the order they were given, and their links as indexes into it.
struct Table {
    std::string names;
    std::vector<int> next;
};

Table Read(const std::string& links) {  // "a>b b>c c>a"
    Table table;
    for (size_t i = 0; i < links.size(); i += 4) table.names += links[i];
    for (size_t i = 0; i + 2 < links.size(); i += 4)
        table.next.push_back(int(table.names.find(links[i + 2])));
    return table;
}

char NameAt(const std::string& names, std::optional<int> index) {
    return *index == kNull ? '-' : names[size_t(*index)];
}

// Applies a valid operation `self.WORD[=ARG]` to the model; the name it finds for a query,
// or '.' for an edit; nullopt when the model's walk is endless.
std::optional<char> RunModel(Model& m, const std::string& names, const std::string& operation) {
    const size_t equals = operation.find('=');
    const std::string word = operation.substr(2, equals == std::string::npos ? equals : equals - 2);
    const std::string arg = equals == std::string::npos ? "" : operation.substr(equals + 1);
    const bool takesNode =
        word == "next" || word == "prev" || word == "include" || word == "exclude";
    const int self = int(names.find(operation[0]));
    const int node = takesNode ? int(names.find(arg[0])) : kNull;
    const short t = !takesNode && !arg.empty() ? short(std::stoi(arg)) : 0;
    std::optional<int> found;
    if (word == "root") found = m.next[self] == self ? kNull : m.next[self];
    else if (word == "next") found = m.next[node] == self ? kNull : m.next[node];
    else if (word == "type") found = m.FindType(self, self, t);
    else if (word == "geom")
        found = m.FindAfter(self, self, [](short x) { return x == 1 || x == 2 || x == 6; });
    else if (word == "db" || word == "brt") found = m.FindType(self, self, word == "db" ? 4 : 7);
    else if (word == "prev") found = m.Predecessor(node, self);
    else if (word == "valid" || word == "isgeom") return '.';
    else if (word == "include") {
        m.next[node] = m.next[self];
        m.next[self] = node;
        return '.';
    } else if (word == "exclude") {
        return m.ExcludeRoot(node) ? std::optional<char>('.') : std::nullopt;
    } else if (word == "own") {
        m.next[self] = m.next[m.next[self]];
        return '.';
    } else {
        const bool ended = word == "near" ? m.ExcludeNearType(self, t) : m.ExcludeByType(self, t);
        return ended ? std::optional<char>('.') : std::nullopt;
    }
    return found ? std::optional<char>(NameAt(names, found)) : std::nullopt;
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

    const std::string names = Read(rings.Links()).names;
    Model model;
    model.next = Read(rings.Links()).next;
    for (char name : names) model.type.push_back(TypeOf(rings, name));
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
        const std::optional<char> expected = RunModel(model, names, parts[i]);
        if (!expected) {
            model.next = Read(rings.Links()).next;
            continue;
        }
        if (*expected != '.')
            fuzz::Require(Found(result) == *expected, "a walk finds what the model finds");
        fuzz::Require(model.next == Read(rings.Links()).next, "an edit links as the model does");
    }
    return 0;
}
