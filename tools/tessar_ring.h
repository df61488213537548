#pragma once

// The interpreter behind "tessar ring": builds rings of SYS_GeomNode from a text and applies
// the node walks and edits named by operations. Shared by the command and its fuzz target.
//
// Rings:      "a:4 b:1 c:7 / x:6 y:2" - nodes NAME:TYPE in ring order, rings separated by '/';
//             a name is one ASCII letter used once, a type an integer from -32768 to 32767.
// Operation:  NODE.WORD or NODE.WORD=ARG, for example "a.db", "b.prev=a", "a.bytype=1".
#include <memory>
#include <string>
#include <vector>

class TessarRingNode;

class TessarRings {
public:
    TessarRings();
    ~TessarRings();
    TessarRings(const TessarRings&) = delete;
    TessarRings& operator=(const TessarRings&) = delete;

    // Replaces the nodes by those of `text`; false with `error` set when the text is not valid
    // (the nodes are then empty).
    bool Parse(const std::string& text, std::string& error);
    // Applies one operation; a query sets `result` to "OPERATION = FOUND" (FOUND a name or
    // "-"), an edit to "OPERATION: " followed by Rings(), or by Links() when there are no rings.
    // False with `error` set when the operation is not valid; nothing is changed then.
    bool Apply(const std::string& operation, std::string& result, std::string& error);
    // Every node and its link in the order the nodes were given: "a>b b>c c>a".
    std::string Links() const;
    // The rings in the syntax Parse reads, each from its earliest-given node: "a:4 b:1 / x:6".
    // Empty when the links no longer split the nodes into rings (a removed node still points
    // into its former ring).
    std::string Rings() const;

    // The node called `name`, or null.
    TessarRingNode* Find(char name) const;
    char NameOf(const TessarRingNode* node) const;

private:
    std::vector<std::unique_ptr<TessarRingNode>> m_nodes;
};
