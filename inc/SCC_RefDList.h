#pragma once

#include "SCC_List.h"
#include "SCC_Notifier.h"
#include "TessarExport.h"

/// @file
/// Reference lists: an object that others refer to keeps an SCC_RefDList of SCC_DListRefNode
/// objects, one per referrer, so that it can tell them all when something happens to it
/// (NotifyNodes). Either side may be destroyed first: a node leaves its list when it dies, and a
/// list releases every node when it dies (the nodes stay alive, in no list).
///
/// A node records its list, so a node is in at most one list and every operation that links a
/// node first takes it out of the list it is in. Hooks: the list's OnListChange hears Inserted
/// after a node joined and Deleting before a node leaves (also when it leaves because it is
/// destroyed or moves to another list); the list being destroyed sends Cleared before releasing
/// its nodes (SCC_NotifyCode, SCC_Notifier.h).
///
/// Checks are check-and-throw failures of type 1 reported as "scc/SCC_Misc": a null node, and a
/// reference or removed node that is not in this list. A refused operation changes nothing and
/// answers null.

class SCC_RefDList;

/// A referrer's entry in a reference list. Copying a node puts the copy in the same list,
/// directly before the original; assigning moves the target there. Destroying it takes it out of
/// its list (the list's hook sees Deleting).
class TESSAR_EXPORT SCC_DListRefNode : public SCC_DListNode<SCC_DListRefNode> {
public:
    SCC_DListRefNode() : list(nullptr) {}
    /// Joins `list` at its head; a null list leaves the node in no list.
    explicit SCC_DListRefNode(SCC_RefDList* list);
    /// Joins the list of `other` just before it (no list if it has none).
    SCC_DListRefNode(const SCC_DListRefNode& other);
    /// Leaves the current list, then joins the list of `other` before it (no list if it has
    /// none). Assigning a node to itself changes nothing.
    SCC_DListRefNode& operator=(const SCC_DListRefNode& other);
    virtual ~SCC_DListRefNode();

    /// Called by SCC_RefDList::NotifyNodes; the result is handed back from there. Answers `code`.
    virtual int OnNotification(int code, void* /*param*/) { return code; }

    /// The list the node is in, null for none.
    SCC_RefDList* GetList() const { return list; }
    /// Leaves the current list (its hook sees Deleting first) and records `newList` as the node's
    /// list without linking it there; the list operations use this before they link the node.
    void ChangeList(SCC_RefDList* newList);

private:
    friend class SCC_RefDList;
    SCC_RefDList* list;
};

/// Doubly linked list of reference nodes; see the file comment. Does not own its nodes.
class TESSAR_EXPORT SCC_RefDList : public SCC_DList<SCC_DListRefNode> {
public:
    SCC_RefDList() = default;
    /// A copy refers to nothing yet: the nodes refer to the original, so the copy starts empty.
    SCC_RefDList(SCC_RefDList& other);
    /// Keeps this list's nodes; nothing is taken from `other`.
    SCC_RefDList& operator=(SCC_RefDList& other);
    /// Calls the hook with 6, then takes every node out from the head (Deleting each); a
    /// NotifyNodes running on this list stops after the node it is calling.
    ~SCC_RefDList() override;

    /// Each takes `node` out of the list it is in (this one included), links it at the place,
    /// calls the hook with 1 and returns it.
    ///@{
    SCC_DListRefNode* AddHead(SCC_DListRefNode* node) override;
    SCC_DListRefNode* AddTail(SCC_DListRefNode* node) override;
    ///@}
    /// A null `ref` appends at the tail. `ref` == `node` leaves the node where it is.
    SCC_DListRefNode* InsertBefore(SCC_DListRefNode* ref, SCC_DListRefNode* node) override;
    /// A null `ref` inserts at the head. `ref` == `node` leaves the node where it is.
    SCC_DListRefNode* InsertAfter(SCC_DListRefNode* ref, SCC_DListRefNode* node) override;
    /// Same as AddTail.
    SCC_DListRefNode* operator+=(SCC_DListRefNode* node) { return AddTail(node); }

    /// Takes `node`, which must be in this list, out of it (hook 2 first); returns it.
    SCC_DListRefNode* Remove(SCC_DListRefNode* node) override;
    SCC_DListRefNode* RemoveAfter(SCC_DListRefNode* prev) override;

    /// Moves the nodes of `other` to the tail of this list in their order, until `other` is
    /// empty. Merging a list into itself changes nothing.
    void Merge(SCC_RefDList& other);

    /// Calls OnNotification(code, param) on every node from the head and returns the result of
    /// the last call (0 for an empty list). A node may leave, be destroyed, or add or remove
    /// other nodes during its call: the walk goes on with the node that then follows the one it
    /// stands on (it steps forward when that node leaves), so nodes added behind the current
    /// one are called in the same walk. The walk ends early when the list is destroyed.
    int NotifyNodes(int code, void* param);

    /// The links are consistent (see SCC_DList::IsValid) and every node records this list.
    int IsValid() const override;

private:
    friend class SCC_DListRefNode;
    int CheckNode(const SCC_DListRefNode* node) const;
    int CheckMember(const SCC_DListRefNode* node) const;
    /// Links a node already taken out of its list; `ref` null means the tail (before) or the
    /// head (after). A `ref` that left the list meanwhile counts as null.
    SCC_DListRefNode* Join(SCC_DListRefNode* ref, SCC_DListRefNode* node, bool before);
    /// Unlinks a member after its hook ran, stepping running walks past it.
    void Release(SCC_DListRefNode* node);
};
