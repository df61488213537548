#pragma once

#include "SCC_Iterator.h"
#include "SCC_Notifier.h"
#include "SSM_Assert.h"
#include "TessarExport.h"
#include "TessarTypes.h"

/// @file
/// Intrusive lists. The links live in the element objects, which derive from SCC_SListNode<N>
/// (singly linked) or SCC_DListNode<N> (doubly linked), so linking and unlinking never allocate.
///
///   SCC_SList<N>   singly linked, head only; destroying it leaves the nodes alive and unlinked.
///   SCC_SDList<N>  an SCC_SList<N> that owns its nodes: destroying it deletes those still linked.
///   SCC_DList<N>   doubly linked with head and tail; N derives from SCC_DListNode<N>.
///
/// Links. A node's `next` (and `prev`) point to node bases; the ends of a list hold null. An
/// unlinked node points to itself, so IsLinked() is O(1) and a node can never be linked twice by
/// mistake: adding a linked node is a failed check and changes nothing. Copying a node never
/// copies its links (the copy starts unlinked; assignment keeps the target's links).
///
/// Destroying a node that is still linked is a failed check (type 0): a node does not know its
/// list, so it cannot repair the list's head; remove it first. Lists unlink their nodes when they
/// are destroyed, so destroying the list first is always safe.
///
/// The hook. Every list calls its virtual OnListChange(code, node) with the notification
/// protocol (SCC_NotifyCode, SCC_Notifier.h) and the node; owners that rebuild or empty a list in
/// bulk send Reset and Cleared through the hook with a null node. A list being destroyed calls
/// no hook.
///
/// Iterators. SCC_SListIterator<N> and SCC_DListIterator<N> walk the links; they are SCC_Iterator
/// listeners, so a list that forwards its hook codes to a notifier keeps the iterators attached
/// to that notifier off removed nodes.
///
/// Checks report as "scc/SCC_List_Inline", type 0; a refused operation changes nothing and
/// answers null.

template <class N> class SCC_SList;
template <class N> class SCC_SDList;
template <class N> class SCC_DList;

namespace SCC_ListDetail {
constexpr const char kUnit[] = "scc/SCC_List_Inline";
}  // namespace SCC_ListDetail

/// The `next` link of a node. N is the element class deriving from this base.
template <class N>
class SCC_SListNode {
public:
    SCC_SListNode() : next(this) {}
    /// The copy starts unlinked.
    SCC_SListNode(const SCC_SListNode&) : next(this) {}
    /// Links are not assigned: the target stays where it is.
    SCC_SListNode& operator=(const SCC_SListNode&) { return *this; }
    ~SCC_SListNode() { SSM_CHECK(!IsLinked(), "", SCC_ListDetail::kUnit, SSM_FailureAssert); }

    /// TRUE while the node is in a list.
    int IsLinked() const { return next != this; }
    /// The following element, null at the end of the list and for an unlinked node.
    N* GetNext() const { return IsLinked() && next != nullptr ? static_cast<N*>(next) : nullptr; }

    /// Next node base; null at the end of a list; this node itself when unlinked.
    SCC_SListNode* next;

protected:
    template <class> friend class SCC_SList;
    template <class> friend class SCC_SDList;
    /// Makes the node unlinked again: its link points to itself.
    void MarkUnlinked() { next = this; }
};

/// Adds the `prev` link. Unlinked: both links point to the node itself.
template <class N>
class SCC_DListNode : public SCC_SListNode<N> {
public:
    SCC_DListNode() : prev(this) {}
    /// The copy starts unlinked.
    SCC_DListNode(const SCC_DListNode& other) : SCC_SListNode<N>(other), prev(this) {}
    /// Links are not assigned: the target stays where it is.
    SCC_DListNode& operator=(const SCC_DListNode&) { return *this; }

    /// The preceding element, null at the head of the list and for an unlinked node.
    N* GetPrev() const {
        return this->IsLinked() && prev != nullptr ? static_cast<N*>(prev) : nullptr;
    }

    /// Previous node base; null at the head of a list; this node itself when unlinked.
    SCC_DListNode* prev;

protected:
    template <class> friend class SCC_SList;
    template <class> friend class SCC_SDList;
    /// Makes the node unlinked again: both links point to itself.
    void MarkUnlinked() {
        this->next = this;
        prev = this;
    }
};

/// Singly linked list of N (N derives from SCC_SListNode<N>). Does not own its nodes. Operations
/// that need a predecessor (AddTail, InsertBefore, Remove, RemoveTail, GetTail) walk from the head.
template <class N>
class TESSAR_EXPORT SCC_SList {
public:
    /// The link base every node derives from.
    typedef SCC_SListNode<N> Link;

    SCC_SList() : head(nullptr) {}
    SCC_SList(const SCC_SList&) = delete;
    SCC_SList& operator=(const SCC_SList&) = delete;
    /// Unlinks every node (no hook is called); the nodes stay alive.
    virtual ~SCC_SList() { UnlinkChain(); }

    /// The list's notification hook; see the file comment. Does nothing here.
    virtual void OnListChange(int /*code*/, N* /*node*/) {}

    /// First element, null when empty.
    N* GetHead() const { return static_cast<N*>(head); }
    /// Last element, null when empty. O(n) here, O(1) in a doubly linked list.
    virtual N* GetTail() const;
    /// Number of linked nodes. O(n).
    long GetCount() const;
    /// TRUE when the list has no node. O(1).
    int IsEmpty() const { return head == nullptr; }

    /// Each links an unlinked node and calls the hook with 1; returns the node.
    ///@{
    virtual N* AddHead(N* node);
    virtual N* AddTail(N* node);
    ///@}
    /// A null `ref` appends at the tail; otherwise `ref` must be in this list.
    virtual N* InsertBefore(N* ref, N* node);
    /// A null `ref` inserts at the head; otherwise `ref` must be linked (in this list).
    virtual N* InsertAfter(N* ref, N* node);

    /// Each calls the hook with 2, unlinks the node and returns it; null when there is none.
    /// `node` must be in this list.
    virtual N* Remove(N* node);
    /// Removes the node that follows `prev`, or the head when `prev` is null. O(1).
    virtual N* RemoveAfter(N* prev);
    /// RemoveAfter(nullptr): the head, or null when the list is empty. O(1).
    N* RemoveHead() { return RemoveAfter(nullptr); }
    /// Removes the last node, or answers null when the list is empty. O(n) here, O(1) in a doubly
    /// linked list.
    virtual N* RemoveTail();
    /// Removes every node from the head on, each with Deleting; nothing is deleted.
    void RemoveAll() {
        while (head != nullptr) RemoveAfter(nullptr);
    }
    /// As RemoveAll, and deletes each node after unlinking it.
    void DeleteAll() {
        while (head != nullptr) delete RemoveAfter(nullptr);
    }

    /// TRUE when the links are consistent: no cycle, no unlinked node inside the chain.
    virtual int IsValid() const;

protected:
    /// Unlinks every node without hooks, so the list can go away while the nodes live on.
    void UnlinkChain();
    /// The node base before `link`, or null for the head; `found` is FALSE when `link` is absent.
    Link* FindPredecessor(const Link* link, int& found) const;
    /// A given node that is not linked yet; a failure is reported (type 0) and answers FALSE.
    static int CheckFree(const N* node);
    /// A node is given (not null); a failure is reported (type 0) and answers FALSE.
    static int CheckGiven(const N* node);

    /// The first node base, null when the list is empty.
    Link* head;
};

/// Singly linked list that owns its nodes: destroying it deletes every node still linked (no
/// hook is called). Removing a node hands ownership back to the caller.
template <class N>
class TESSAR_EXPORT SCC_SDList : public SCC_SList<N> {
public:
    SCC_SDList() = default;
    ~SCC_SDList() override;
};

/// Doubly linked list of N (N derives from SCC_DListNode<N>), with head and tail; every operation
/// is O(1) except the walks (GetCount, IsValid). Does not own its nodes.
template <class N>
class TESSAR_EXPORT SCC_DList : public SCC_SList<N> {
public:
    /// The link base of the nodes of a doubly linked list.
    typedef SCC_DListNode<N> DLink;

    SCC_DList() : tail(nullptr) {}
    ~SCC_DList() override { tail = nullptr; }

    /// Last element, null when empty. O(1).
    N* GetTail() const override { return static_cast<N*>(tail); }

    /// Links an unlinked node at the head and calls the hook with 1; returns the node.
    N* AddHead(N* node) override { return InsertAfter(nullptr, node); }
    /// Links an unlinked node at the tail and calls the hook with 1; returns the node. O(1).
    N* AddTail(N* node) override { return InsertBefore(nullptr, node); }
    /// A null `ref` appends at the tail; otherwise `ref` must be in this list. O(1).
    N* InsertBefore(N* ref, N* node) override;
    /// A null `ref` inserts at the head; otherwise `ref` must be linked (in this list). O(1).
    N* InsertAfter(N* ref, N* node) override;
    /// Calls the hook with 2, unlinks `node` (which must be in this list) and returns it. O(1).
    N* Remove(N* node) override;
    /// Removes the node that follows `prev`, or the head when `prev` is null. O(1).
    N* RemoveAfter(N* prev) override;
    /// Removes the last node, or answers null when the list is empty. O(1).
    N* RemoveTail() override { return tail != nullptr ? Remove(GetTail()) : nullptr; }

    /// Also: head and tail are null together, the ends hold null, each node's neighbours point
    /// back at it, and the walk from the head ends at the tail.
    int IsValid() const override;

protected:
    /// Raw linking for derived lists that do their own checks and hooks. `ref` null: at the end.
    ///@{
    void LinkBefore(DLink* ref, DLink* link);
    /// Links `link` after `ref` (null: at the head), without checks or hooks.
    void LinkAfter(DLink* ref, DLink* link);
    /// Unlinks `link` without checks or hooks.
    void Unlink(DLink* link);
    ///@}
    /// `ref` is a linked node of this list as far as its own links can tell.
    int CheckMember(const N* ref) const;

    /// The last node base, null when the list is empty.
    DLink* tail;
};

/// Iterator over the nodes of a singly linked list. Its handle is the current node's address.
/// It cannot step back: GetPrev, and so the go-back policy, invalidate it.
template <class N>
class TESSAR_EXPORT SCC_SListIterator : public SCC_Iterator {
public:
    /// Stands on `start` (null: empty).
    explicit SCC_SListIterator(N* start = nullptr) : node(start) {}

    /// Stands on the head of `list` (empty when the list is).
    void Restart(const SCC_SList<N>& list) { node = list.GetHead(); }
    /// Stands on `current` (null: empty).
    void SetNode(N* current) { node = current; }
    /// The node the iterator stands on, null when empty.
    N* GetNode() const { return node; }

    /// The node's address; 0 when empty.
    SYS_Handle GetHandle() override { return reinterpret_cast<SYS_Handle>(node); }
    /// Moves to the following node; TRUE while one remains.
    int GetNext() override {
        if (node != nullptr) node = node->GetNext();
        return node != nullptr;
    }
    /// A singly linked list cannot step back: the iterator is invalidated and answers FALSE.
    int GetPrev() override {
        Invalidate();
        return FALSE;
    }
    /// Detaches the iterator from the notifier it listens to and drops the node.
    int Invalidate() override {
        Detach(*this);
        node = nullptr;
        return 0;
    }
    /// Same as Invalidate.
    int Clear() override { return Invalidate(); }
    /// TRUE while the iterator stands on a node.
    int IsValid() override { return node != nullptr; }
    /// TRUE when the iterator stands on no node.
    int IsEmpty() override { return node == nullptr; }

protected:
    /// The node the iterator stands on, null when empty.
    N* node;
};

/// Iterator over a doubly linked list; GetPrev moves to the preceding node.
template <class N>
class TESSAR_EXPORT SCC_DListIterator : public SCC_SListIterator<N> {
public:
    /// Stands on `start` (null: empty).
    explicit SCC_DListIterator(N* start = nullptr) : SCC_SListIterator<N>(start) {}

    /// Stands on the tail of `list` (empty when the list is).
    void RestartFromEnd(const SCC_DList<N>& list) { this->node = list.GetTail(); }
    /// Moves to the preceding node; TRUE while one remains.
    int GetPrev() override {
        if (this->node != nullptr) this->node = this->node->GetPrev();
        return this->node != nullptr;
    }
};

// ---------------------------------------------------------------------------------------------
// SCC_SList<N>

template <class N>
int SCC_SList<N>::CheckGiven(const N* node) {
    return SSM_CHECK(node != nullptr, "", SCC_ListDetail::kUnit, SSM_FailureAssert);
}

template <class N>
int SCC_SList<N>::CheckFree(const N* node) {
    return CheckGiven(node) &&
           SSM_CHECK(!node->IsLinked(), "", SCC_ListDetail::kUnit, SSM_FailureAssert);
}

template <class N>
typename SCC_SList<N>::Link* SCC_SList<N>::FindPredecessor(const Link* link, int& found) const {
    Link* before = nullptr;
    for (Link* at = head; at != nullptr; before = at, at = at->next) {
        if (at == link) {
            found = TRUE;
            return before;
        }
    }
    found = FALSE;
    return nullptr;
}

template <class N>
void SCC_SList<N>::UnlinkChain() {
    Link* at = head;
    head = nullptr;
    while (at != nullptr) {
        Link* following = at->next;
        static_cast<N*>(at)->MarkUnlinked();
        at = following;
    }
}

template <class N>
N* SCC_SList<N>::GetTail() const {
    Link* last = head;
    while (last != nullptr && last->next != nullptr) last = last->next;
    return static_cast<N*>(last);
}

template <class N>
long SCC_SList<N>::GetCount() const {
    long count = 0;
    for (const Link* at = head; at != nullptr; at = at->next) ++count;
    return count;
}

template <class N>
N* SCC_SList<N>::AddHead(N* node) {
    return InsertAfter(nullptr, node);
}

template <class N>
N* SCC_SList<N>::AddTail(N* node) {
    return InsertAfter(GetTail(), node);
}

template <class N>
N* SCC_SList<N>::InsertBefore(N* ref, N* node) {
    if (ref == nullptr) return AddTail(node);
    if (!CheckFree(node)) return nullptr;
    int found = FALSE;
    Link* before = FindPredecessor(ref, found);
    if (!SSM_CHECK(found, "", SCC_ListDetail::kUnit, SSM_FailureAssert)) return nullptr;
    return InsertAfter(static_cast<N*>(before), node);
}

template <class N>
N* SCC_SList<N>::InsertAfter(N* ref, N* node) {
    if (!CheckFree(node)) return nullptr;
    if (ref != nullptr && !SSM_CHECK(ref->IsLinked(), "", SCC_ListDetail::kUnit, SSM_FailureAssert))
        return nullptr;
    Link*& slot = ref != nullptr ? ref->next : head;
    node->next = slot;
    slot = node;
    OnListChange(SCC_NotifyInserted, node);
    return node;
}

template <class N>
N* SCC_SList<N>::Remove(N* node) {
    if (!CheckGiven(node)) return nullptr;
    int found = FALSE;
    Link* before = FindPredecessor(node, found);
    if (!SSM_CHECK(found, "", SCC_ListDetail::kUnit, SSM_FailureAssert)) return nullptr;
    return RemoveAfter(static_cast<N*>(before));
}

template <class N>
N* SCC_SList<N>::RemoveAfter(N* prev) {
    if (prev != nullptr && !SSM_CHECK(prev->IsLinked(), "", SCC_ListDetail::kUnit, SSM_FailureAssert))
        return nullptr;
    Link*& slot = prev != nullptr ? prev->next : head;
    N* node = static_cast<N*>(slot);
    if (node == nullptr) return nullptr;
    OnListChange(SCC_NotifyDeleting, node);
    // The hook may have changed the chain: unlink whatever follows `prev` now only if it is
    // still the node announced.
    if (slot != node) return nullptr;
    slot = node->next;
    node->MarkUnlinked();
    return node;
}

template <class N>
N* SCC_SList<N>::RemoveTail() {
    if (head == nullptr) return nullptr;
    Link* before = nullptr;
    Link* last = head;
    while (last->next != nullptr) {
        before = last;
        last = last->next;
    }
    return RemoveAfter(static_cast<N*>(before));
}

template <class N>
int SCC_SList<N>::IsValid() const {
    // Floyd's walk: `slow` moves every second step, so a cycle makes `fast` meet it.
    const Link* slow = head;
    int step = 0;
    for (const Link* fast = head; fast != nullptr; fast = fast->next) {
        if (!fast->IsLinked()) return FALSE;
        if (++step % 2 == 0) slow = slow->next;
        if (fast->next != nullptr && fast->next == slow) return FALSE;
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// SCC_SDList<N>

template <class N>
SCC_SDList<N>::~SCC_SDList() {
    typename SCC_SList<N>::Link* at = this->head;
    this->head = nullptr;
    while (at != nullptr) {
        N* node = static_cast<N*>(at);
        at = at->next;
        node->MarkUnlinked();
        delete node;
    }
}

// ---------------------------------------------------------------------------------------------
// SCC_DList<N>

template <class N>
void SCC_DList<N>::LinkBefore(DLink* ref, DLink* link) {
    DLink* before = ref != nullptr ? ref->prev : tail;
    link->prev = before;
    link->next = ref;
    if (before != nullptr) before->next = link;
    else this->head = link;
    if (ref != nullptr) ref->prev = link;
    else tail = link;
}

template <class N>
void SCC_DList<N>::LinkAfter(DLink* ref, DLink* link) {
    LinkBefore(ref != nullptr ? static_cast<DLink*>(ref->next) : static_cast<DLink*>(this->head),
               link);
}

template <class N>
void SCC_DList<N>::Unlink(DLink* link) {
    DLink* after = static_cast<DLink*>(link->next);
    if (link->prev != nullptr) link->prev->next = after;
    else this->head = after;
    if (after != nullptr) after->prev = link->prev;
    else tail = link->prev;
    link->next = link;
    link->prev = link;
}

template <class N>
int SCC_DList<N>::CheckMember(const N* ref) const {
    const DLink* link = ref;
    return SSM_CHECK(link->IsLinked(), "", SCC_ListDetail::kUnit, SSM_FailureAssert) &&
           SSM_CHECK(link->prev != nullptr || link == this->head, "", SCC_ListDetail::kUnit,
                     SSM_FailureAssert) &&
           SSM_CHECK(link->next != nullptr || link == tail, "", SCC_ListDetail::kUnit,
                     SSM_FailureAssert);
}

template <class N>
N* SCC_DList<N>::InsertBefore(N* ref, N* node) {
    if (!this->CheckFree(node)) return nullptr;
    if (!SSM_CHECK(this->head != nullptr || tail == nullptr, "", SCC_ListDetail::kUnit,
                   SSM_FailureAssert))
        return nullptr;
    if (ref != nullptr && !CheckMember(ref)) return nullptr;
    LinkBefore(ref, node);
    this->OnListChange(SCC_NotifyInserted, node);
    return node;
}

template <class N>
N* SCC_DList<N>::InsertAfter(N* ref, N* node) {
    if (!this->CheckFree(node)) return nullptr;
    if (!SSM_CHECK(this->head != nullptr || tail == nullptr, "", SCC_ListDetail::kUnit,
                   SSM_FailureAssert))
        return nullptr;
    if (ref != nullptr && !CheckMember(ref)) return nullptr;
    LinkAfter(ref, node);
    this->OnListChange(SCC_NotifyInserted, node);
    return node;
}

template <class N>
N* SCC_DList<N>::Remove(N* node) {
    if (!this->CheckGiven(node) || !CheckMember(node)) return nullptr;
    this->OnListChange(SCC_NotifyDeleting, node);
    // The hook may have taken the node out already.
    if (!node->IsLinked()) return nullptr;
    Unlink(node);
    return node;
}

template <class N>
N* SCC_DList<N>::RemoveAfter(N* prev) {
    if (prev == nullptr) return this->head != nullptr ? Remove(this->GetHead()) : nullptr;
    if (!CheckMember(prev)) return nullptr;
    return prev->next != nullptr ? Remove(prev->GetNext()) : nullptr;
}

template <class N>
int SCC_DList<N>::IsValid() const {
    if ((this->head == nullptr) != (tail == nullptr)) return FALSE;
    if (this->head == nullptr) return TRUE;
    if (!SCC_SList<N>::IsValid()) return FALSE;
    const DLink* before = nullptr;
    for (const DLink* at = static_cast<const DLink*>(this->head); at != nullptr;
         at = static_cast<const DLink*>(at->next)) {
        if (at->prev != before) return FALSE;
        before = at;
    }
    return before == tail;
}
