#pragma once

#include "TessarExport.h"

/// The kind of a link in a geometry tree. The numbers are shared with the product's database;
/// this library gives a meaning only to the ones below, every other value is a plain tag.
enum SGN_Type : short {
    SGN_None = 0,         ///< a node that is not linked to anything meaningful (IsValid is 0)
    SGN_Geometry1 = 1,    ///< geometry links (IsGeomType, GetNextGeomRoot)
    SGN_Geometry2 = 2,
    SGN_DBRoot = 4,       ///< the database root (GetDBRoot)
    SGN_GeomBarrier = 6,  ///< a geometry link that also bounds GetPrevRoot and ExcludeRoot
    SGN_BRTRoot = 7       ///< the root found by GetBRTRoot
};

/// An intrusive, singly linked ring link by which an object is threaded onto the roots it
/// belongs to; every link carries a type. A node alone points to itself.
///
/// The ring of a node x is x.next, x.next.next, ... up to, but not including, x; every walk
/// below starts at a node's next (so it never visits its starting node) and also stops at a
/// null next. A walk that comes back to a node it already passed without meeting its end (the
/// links no longer form a ring through its start, for instance after a node was removed with its
/// own link left pointing into its former ring) stops there instead of running forever: a query
/// then answers null, an edit keeps what it did on the way. Wherever the links do lead back to
/// the start, each walk visits exactly the nodes stated and the check costs one compare a step.
///
/// Removing a node (ExcludeOwnRoot, ExcludeNearType, ExcludeByType) only makes its predecessor
/// skip it: the removed node keeps its own link, as the product relinks or drops it itself.
/// ExcludeRoot, in contrast, leaves the removed node alone.
///
/// Destroying a node does not unlink it: take it out of its ring first (ExcludeRoot with itself),
/// because its predecessor is only found by walking the ring. Assignment and copying copy the
/// link and the type; the copy is not in the ring it points into.
///
/// Checks: a null node argument is reported (type 1, "sys/SYS_GeomNode") and the operation then
/// answers null or does nothing.
class TESSAR_EXPORT SYS_GeomNode {
public:
    /// Copy the link and the type; the copy is not in the ring it points into.
    ///@{
    SYS_GeomNode(const SYS_GeomNode& other) = default;
    SYS_GeomNode& operator=(const SYS_GeomNode& other) = default;
    ///@}

    /// Type queries.
    int IsValid() const { return m_type != SGN_None; }
    /// Type 1, 2 or 6.
    int IsGeomType() const { return IsGeometryLink(m_type); }
    /// The type as an SGN_Type (any value may be stored, see SGN_Type).
    ///@{
    SGN_Type GetGeomType() const { return static_cast<SGN_Type>(m_type); }
    void SetGeomType(SGN_Type type) { m_type = type; }
    ///@}
    /// The type as the raw number the product stores.
    ///@{
    short GetNodeType() const { return m_type; }
    void SetNodeType(short type) { m_type = type; }
    ///@}

    /// The next node, or null when the node is alone.
    SYS_GeomNode* GetRoot() const { return m_next != this ? m_next : nullptr; }
    /// Sets the link as given; the caller keeps the rings consistent.
    void SetRoot(SYS_GeomNode* node) { m_next = node; }

    /// Walks over the ring of this.
    /// node's next, or null when that is this (node ends the ring of this).
    SYS_GeomNode* GetNextRoot(const SYS_GeomNode* node) const;
    /// The first node of type `type` after `node`, stopping at this.
    SYS_GeomNode* GetNextRoot(const SYS_GeomNode* node, SGN_Type type) const;
    /// The first node of type `type` in the ring of this.
    SYS_GeomNode* GetRoot(short type) const;
    /// The first node of type `type` after `node`, stopping at this (as GetNextRoot).
    SYS_GeomNode* NextRoot(SYS_GeomNode* node, short type) const;
    /// The first node of the ring of this of type 1, 2 or 6; of type 4; of type 7.
    ///@{
    SYS_GeomNode* GetNextGeomRoot() const;
    SYS_GeomNode* GetDBRoot() const;
    SYS_GeomNode* GetBRTRoot() const;
    ///@}
    /// Walking from node's next, the node whose next is this. Null when node's next is this
    /// itself, or when a node of type 6 is met on the way (node's next itself is not tested).
    SYS_GeomNode* GetPrevRoot(const SYS_GeomNode* node) const;

    /// Edits.
    /// Inserts `node` right after this. `node` should be alone: a node taken from another ring
    /// leaves that ring pointing at it. Including this in itself is refused (type 1).
    void IncludeRoot(SYS_GeomNode* node);
    /// Takes `node` out of its own ring: its predecessor, searched from node's next, skips it and
    /// `node` becomes alone. Nothing happens when `node` is alone or when a node of type 6 is met
    /// on the way to the predecessor (node's next itself is not tested). Called on a node with
    /// itself, this is the classic self-removal. Called with another node, the classic edit
    /// linked the predecessor of `node` to the ring of this and left `node` pointing into it,
    /// breaking both rings; this library removes `node` alone and leaves the ring of this as it is.
    void ExcludeRoot(SYS_GeomNode* node);
    /// Removes the node that follows this; nothing when this is alone or its link is null.
    void ExcludeOwnRoot();
    /// Removes the nodes directly following this while they have type `type`.
    void ExcludeNearType(short type);
    /// Removes every node of type `type` from the ring of this. O(ring length).
    void ExcludeByType(short type);

protected:
    /// Alone, type 0.
    SYS_GeomNode() : m_next(this), m_type(SGN_None) {}
    ~SYS_GeomNode() = default;

private:
    static int IsGeometryLink(short type) {
        return type == SGN_Geometry1 || type == SGN_Geometry2 || type == SGN_GeomBarrier;
    }
    template <class Match>
    SYS_GeomNode* FindAfter(const SYS_GeomNode* node, Match match) const;
    static SYS_GeomNode* FindPredecessor(const SYS_GeomNode* start, const SYS_GeomNode* target);

    SYS_GeomNode* m_next;
    short m_type;
};
