// The ring interpreter of "tessar ring" (see tessar_ring.h).
#include "tessar_ring.h"

#include <cctype>
#include <cstring>

#include "SYS_GeomNode.h"

class TessarRingNode : public SYS_GeomNode {
public:
    TessarRingNode(char name, short type) : m_name(name) { SetNodeType(type); }
    char Name() const { return m_name; }
    // The raw link: the node itself when it is alone.
    TessarRingNode* Link() const {
        SYS_GeomNode* next = GetRoot();
        return static_cast<TessarRingNode*>(next != nullptr ? next : const_cast<TessarRingNode*>(this));
    }

private:
    char m_name;
};

namespace {

bool IsName(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 && (c & 0x80) == 0; }

// Reads an integer from -32768 to 32767 at text[pos]; advances pos past it.
bool ReadType(const std::string& text, size_t& pos, short& type) {
    bool negative = pos < text.size() && (text[pos] == '-' || text[pos] == '+');
    negative = negative && text[pos++] == '-';
    long value = 0;
    size_t digits = 0;
    for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos, ++digits) {
        value = value * 10 + (text[pos] - '0');
        if (value > 32768) return false;
    }
    if (digits == 0) return false;
    value = negative ? -value : value;
    if (value > 32767) return false;
    type = static_cast<short>(value);
    return true;
}

std::string At(size_t pos) { return " at position " + std::to_string(pos + 1); }

enum class Argument { None, Type, Node };

enum class Word {
    Root, Geom, DB, BRT, Valid, IsGeom, RootOfType, Next, Prev,  // queries
    Include, Exclude, Own, Near, ByType                          // edits
};

struct WordInfo {
    const char* text;
    Word word;
    Argument argument;
};

const WordInfo kWords[] = {
    {"root", Word::Root, Argument::None},       {"geom", Word::Geom, Argument::None},
    {"db", Word::DB, Argument::None},           {"brt", Word::BRT, Argument::None},
    {"valid", Word::Valid, Argument::None},     {"isgeom", Word::IsGeom, Argument::None},
    {"type", Word::RootOfType, Argument::Type}, {"next", Word::Next, Argument::Node},
    {"prev", Word::Prev, Argument::Node},       {"include", Word::Include, Argument::Node},
    {"exclude", Word::Exclude, Argument::Node}, {"own", Word::Own, Argument::None},
    {"near", Word::Near, Argument::Type},       {"bytype", Word::ByType, Argument::Type},
};

const WordInfo* FindWord(const std::string& text) {
    for (const WordInfo& info : kWords)
        if (text == info.text) return &info;
    return nullptr;
}

}  // namespace

TessarRings::TessarRings() = default;
TessarRings::~TessarRings() = default;

TessarRingNode* TessarRings::Find(char name) const {
    for (const auto& node : m_nodes)
        if (node->Name() == name) return node.get();
    return nullptr;
}

char TessarRings::NameOf(const TessarRingNode* node) const { return node != nullptr ? node->Name() : '-'; }

bool TessarRings::Parse(const std::string& text, std::string& error) {
    m_nodes.clear();
    std::vector<std::vector<TessarRingNode*>> rings(1);
    for (size_t pos = 0; pos < text.size();) {
        const char c = text[pos];
        if (c == ' ' || c == '\t') {
            ++pos;
        } else if (c == '/') {
            if (rings.back().empty()) error = "empty ring" + At(pos);
            rings.emplace_back();
            ++pos;
        } else if (!IsName(c)) {
            error = "expected a node name (a letter)" + At(pos);
        } else if (Find(c) != nullptr) {
            error = std::string("node '") + c + "' is given twice" + At(pos);
        } else if (pos + 1 >= text.size() || text[pos + 1] != ':') {
            error = std::string("expected ':' and a type after node '") + c + "'" + At(pos);
        } else {
            short type = 0;
            pos += 2;
            if (!ReadType(text, pos, type))
                error = std::string("the type of node '") + c + "' is not a number from -32768 to 32767";
            m_nodes.push_back(std::make_unique<TessarRingNode>(c, type));
            rings.back().push_back(m_nodes.back().get());
        }
        if (!error.empty()) break;
    }
    if (error.empty() && rings.back().empty())
        error = m_nodes.empty() ? "no nodes given" : "empty ring at the end";
    if (!error.empty()) {
        m_nodes.clear();
        return false;
    }
    for (const auto& ring : rings)
        for (size_t i = 0; i < ring.size(); ++i) ring[i]->SetRoot(ring[(i + 1) % ring.size()]);
    return true;
}

std::string TessarRings::Links() const {
    std::string links;
    for (const auto& node : m_nodes) {
        if (!links.empty()) links += ' ';
        links += node->Name();
        links += '>';
        links += node->Link()->Name();
    }
    return links;
}

std::string TessarRings::Rings() const {
    std::string rings;
    std::string done;  // names already printed
    for (const auto& start : m_nodes) {
        if (done.find(start->Name()) != std::string::npos) continue;
        if (!rings.empty()) rings += " / ";
        const TessarRingNode* node = start.get();
        do {
            if (done.find(node->Name()) != std::string::npos) return std::string();
            done += node->Name();
            if (node != start.get()) rings += ' ';
            rings += node->Name();
            rings += ':' + std::to_string(node->GetNodeType());
            node = node->Link();
        } while (node != start.get());
    }
    return rings;
}

bool TessarRings::Apply(const std::string& operation, std::string& result, std::string& error) {
    const size_t equals = operation.find('=');
    if (operation.size() < 3 || operation[1] != '.') {
        error = "'" + operation + "' is not NODE.WORD or NODE.WORD=ARG";
        return false;
    }
    TessarRingNode* self = Find(operation[0]);
    const std::string wordText = operation.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const std::string argText = equals == std::string::npos ? std::string() : operation.substr(equals + 1);
    const WordInfo* info = FindWord(wordText);
    if (self == nullptr) error = std::string("no node '") + operation[0] + "'";
    else if (info == nullptr) error = "unknown word '" + wordText + "'";
    else if ((info->argument == Argument::None) != (equals == std::string::npos))
        error = "'" + wordText + (info->argument == Argument::None ? "' takes no argument" : "' needs an argument");
    if (!error.empty()) return false;

    short type = 0;
    TessarRingNode* other = nullptr;
    if (info->argument == Argument::Type) {
        size_t pos = 0;
        if (!ReadType(argText, pos, type) || pos != argText.size()) {
            error = "'" + argText + "' is not a type from -32768 to 32767";
            return false;
        }
    } else if (info->argument == Argument::Node) {
        other = argText.size() == 1 ? Find(argText[0]) : nullptr;
        if (other == nullptr) error = "no node '" + argText + "'";
        else if (info->word == Word::Include && other == self) error = "a node cannot include itself";
        if (!error.empty()) return false;
    }

    const SYS_GeomNode* found = nullptr;
    switch (info->word) {
    case Word::Root: found = self->GetRoot(); break;
    case Word::Geom: found = self->GetNextGeomRoot(); break;
    case Word::DB: found = self->GetDBRoot(); break;
    case Word::BRT: found = self->GetBRTRoot(); break;
    case Word::Valid: result = operation + " = " + std::to_string(self->IsValid()); return true;
    case Word::IsGeom: result = operation + " = " + std::to_string(self->IsGeomType()); return true;
    case Word::RootOfType: found = self->GetRoot(type); break;
    case Word::Next: found = self->GetNextRoot(other); break;
    case Word::Prev: found = self->GetPrevRoot(other); break;
    case Word::Include: self->IncludeRoot(other); break;
    case Word::Exclude: self->ExcludeRoot(other); break;
    case Word::Own: self->ExcludeOwnRoot(); break;
    case Word::Near: self->ExcludeNearType(type); break;
    case Word::ByType: self->ExcludeByType(type); break;
    }
    if (info->word >= Word::Include) {
        const std::string rings = Rings();
        result = operation + ": " + (rings.empty() ? "links " + Links() : rings);
    } else {
        result = operation + " = " + NameOf(static_cast<const TessarRingNode*>(found));
    }
    return true;
}
