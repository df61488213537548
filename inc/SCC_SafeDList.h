#pragma once

#include "SCC_Iterator.h"
#include "SCC_List.h"
#include "SCC_Notifier.h"
#include "SCC_RefDList.h"
#include "SSM_Assert.h"
#include "TessarExport.h"
#include "TessarTypes.h"

/// @file
/// The safe list: a circular doubly linked list through a sentinel root, whose iterators survive
/// the removal or destruction of the node they stand on.
///
/// How it works. A node (SCC_SafeDListNode<N>) is also an SCC_RefDList: the iterators standing on
/// it are parked in that reference list. Before a node leaves the list, the list calls
/// NotifyNodes(SCC_NotifyDeleting, node) on it, and every iterator there applies its focus-delete
/// policy: it steps to the next node (go forward), to the previous one (go back), or becomes
/// empty (invalidate); stepping past either end makes it empty. Only then is the node unlinked,
/// so no iterator ever stands on a node that left or died. Emptying the list (Cleared) clears
/// every iterator on it.
///
/// Links. The root's `next` is the head and its `prev` the tail; an empty list has the root
/// linked to itself, and a free node has both links pointing to itself (IsLinked() is O(1)). A
/// node answers IsRealNode() with TRUE, the root with FALSE, which is how walks stop.
///
/// Destroying a linked node directly (without the list) is allowed: its iterators apply their
/// policies while its neighbours are still reachable, then it unlinks itself. The list's hook is
/// not called in that case, because a node does not know its list. Destroying the list unlinks
/// every node (none is deleted) and clears their iterators.
///
/// Checks are of type 0, reported as "scc/SCC_SafeDList_Inline"; a refused operation changes
/// nothing and answers null.

template <class N> class SCC_SafeDList;
template <class N> class SCC_SafeDListIterator;

namespace SCC_SafeDListDetail {
constexpr const char kUnit[] = "scc/SCC_SafeDList_Inline";
}  // namespace SCC_SafeDListDetail

/// Base of the elements of a safe list (N derives from SCC_SafeDListNode<N>). Copying a node
/// copies neither its links nor its iterators: the copy starts free; assignment keeps both.
template <class N>
class TESSAR_EXPORT SCC_SafeDListNode : public SCC_RefDList, public SCC_DListNode<N> {
public:
    SCC_SafeDListNode() = default;
    /// The copy starts free, with no iterators.
    SCC_SafeDListNode(const SCC_SafeDListNode&) : SCC_RefDList(), SCC_DListNode<N>() {}
    /// Keeps this node's links and iterators: node identity is not assigned.
    SCC_SafeDListNode& operator=(const SCC_SafeDListNode&) { return *this; }
    /// Moves its iterators off by their policies, then unlinks itself from its neighbours.
    ~SCC_SafeDListNode() override;

    /// TRUE for an element, FALSE for a list's root.
    virtual int IsRealNode() const { return TRUE; }
    /// The neighbouring elements; null at the ends of the list and for a free node.
    ///@{
    N* GetNext() const { return RealNode(this->next); }
    /// The preceding element; null at the head of the list and for a free node.
    N* GetPrev() const { return RealNode(this->prev); }
    ///@}
    /// The node's identity as iterators report it (GetHandle) and as Deleting carries it.
    SYS_Handle GetHandle() const { return reinterpret_cast<SYS_Handle>(this); }

    /// The element behind a link, null when the link leads to a root, is null or is `this`.
    N* RealNode(SCC_SListNode<N>* link) const {
        SCC_SafeDListNode* node = FromLink(link);
        return node != nullptr && node->IsRealNode() ? static_cast<N*>(node) : nullptr;
    }
    /// The safe-list node behind a link, null for a null link or this node's own (free) link.
    SCC_SafeDListNode* FromLink(SCC_SListNode<N>* link) const {
        if (link == nullptr || link == static_cast<const SCC_SListNode<N>*>(this)) return nullptr;
        return static_cast<SCC_SafeDListNode*>(static_cast<SCC_DListNode<N>*>(link));
    }

private:
    friend class SCC_SafeDList<N>;
    /// Tells the iterators standing here (NotifyNodes with this node's handle).
    void TellIterators(int code) {
        if (!SCC_RefDList::IsEmpty())
            SCC_RefDList::NotifyNodes(code, SCC_Notifier::ValueAsData(GetHandle()));
    }
    void UnlinkFromNeighbours() {
        SCC_DListNode<N>* before = this->prev;
        SCC_SListNode<N>* after = this->next;
        before->next = after;
        static_cast<SCC_DListNode<N>*>(after)->prev = before;
        this->next = this;
        this->prev = this;
    }
};

/// The circular list with its root; see the file comment. Does not own its nodes (DeleteAll
/// deletes them on request).
template <class N>
class TESSAR_EXPORT SCC_SafeDList {
public:
    /// The sentinel: linked to itself when the list is empty.
    class RootNode : public SCC_SafeDListNode<N> {
    public:
        int IsRealNode() const override { return FALSE; }
    };

    SCC_SafeDList() = default;
    SCC_SafeDList(const SCC_SafeDList&) = delete;
    SCC_SafeDList& operator=(const SCC_SafeDList&) = delete;
    /// Unlinks every node without deleting it and clears their iterators (RemoveAll).
    virtual ~SCC_SafeDList() { RemoveAll(); }

    /// The list's hook, called after the iterators of `node` were told: 1 after `node` joined,
    /// 2 before it leaves, 6 (null node) before the list is emptied. Does nothing here.
    virtual void OnListChange(int /*code*/, N* /*node*/) {}

    /// `ref` is a node of this list; `node` must be free. Each links and calls the hook with 1.
    ///@{
    N* InsertBefore(N* ref, N* node);
    /// As InsertBefore, linking `node` after `ref`.
    N* InsertAfter(N* ref, N* node);
    /// Links `node` (which must be free) at the head and calls the hook with 1; returns it, or null
    /// after a failed check.
    N* AddHead(N* node) { return CheckGiven(node) ? Link(&m_root, node) : nullptr; }
    /// Links `node` (which must be free) at the tail and calls the hook with 1; returns it, or null
    /// after a failed check.
    N* AddTail(N* node) { return CheckGiven(node) ? Link(m_root.prev, node) : nullptr; }
    ///@}

    /// `node` must be in this list: its iterators move by their policies, the hook sees 2, then
    /// the node is unlinked (free again) and returned. Null when the hook already took it out;
    /// the hook must not delete the node.
    ///@{
    N* Remove(N* node);
    /// Remove(GetHead()); null when the list is empty.
    N* RemoveHead() { return IsEmpty() ? nullptr : Remove(GetHead()); }
    /// Remove(GetTail()); null when the list is empty.
    N* RemoveTail() { return IsEmpty() ? nullptr : Remove(GetTail()); }
    ///@}
    /// Hook 6, then every node is unlinked; RemoveAll keeps the nodes alive, DeleteAll deletes
    /// them. This library's own choice: hook 6 reaches every iterator standing on any node of the
    /// list, which is cleared, since the hook with code 6 carries no node. Left parked on a
    /// node, an iterator would step from a node that is no longer in the list (RemoveAll) or
    /// read one that is gone (DeleteAll).
    ///@{
    void RemoveAll() { Empty(false); }
    /// As RemoveAll, and deletes every node.
    void DeleteAll() { Empty(true); }
    ///@}

    /// The first (last) element; null when the list is empty.
    ///@{
    N* GetHead() const { return m_root.RealNode(m_root.next); }
    /// The last element; null when the list is empty.
    N* GetTail() const { return m_root.RealNode(m_root.prev); }
    ///@}
    /// Number of nodes. O(n).
    long GetCount() const;
    /// TRUE when the list holds no node. O(1).
    int IsEmpty() const { return m_root.next == &m_root; }

    /// The ring is consistent (each neighbour points back, the walk returns to the root) and
    /// every node's list of iterators is consistent. O(n).
    int IsValid() const;

private:
    static int CheckGiven(const N* node) {
        return SSM_CHECK(node != nullptr && !node->IsLinked(), "", SCC_SafeDListDetail::kUnit,
                         SSM_FailureAssert);
    }
    /// Links a checked free node behind `before` and announces it.
    N* Link(SCC_DListNode<N>* before, N* node);
    /// Iterators first, then the hook.
    void Announce(int code, N* node);
    void Empty(bool deleteNodes);

    RootNode m_root;
};

/// An iterator over a safe list. It stands on a node by being parked in that node's reference
/// list, so the node can move it away before it leaves (see the file comment); its handle is the
/// node's handle. Copies stand on the same node. An iterator is also an SCC_Iterator listener
/// and may be attached to a notifier as well; Invalidate detaches it from there too.
template <class N>
class TESSAR_EXPORT SCC_SafeDListIterator : public SCC_Iterator, public SCC_DListRefNode {
public:
    SCC_SafeDListIterator() = default;
    /// Stands on `node` (null: empty).
    explicit SCC_SafeDListIterator(N* node) { SetNode(node); }

    /// Stands on the head (tail) of `list`; empty when the list is.
    void Restart(const SCC_SafeDList<N>& safeList) { SetNode(safeList.GetHead()); }
    /// Stands on the tail of `safeList`; empty when the list is.
    void RestartFromEnd(const SCC_SafeDList<N>& safeList) { SetNode(safeList.GetTail()); }
    /// Stands on `node`; null makes the iterator empty.
    void SetNode(N* node) { Park(node); }
    /// The current element, null when empty.
    N* GetNode() const { return Current() != nullptr ? static_cast<N*>(Current()) : nullptr; }

    /// The node's handle; 0 when the iterator is empty.
    SYS_Handle GetHandle() override { return Current() != nullptr ? Current()->GetHandle() : 0; }
    /// Moves to the next (previous) element; TRUE while the iterator stands on one.
    ///@{
    int GetNext() override { return Step(true); }
    int GetPrev() override { return Step(false); }
    ///@}
    /// Leaves the node and the notifier the iterator listens to.
    int Invalidate() override {
        ChangeList(nullptr);
        Detach(static_cast<SCC_EventNode<int>&>(*this));
        return 0;
    }
    /// Same as Invalidate: the iterator becomes empty and detached.
    int Clear() override { return Invalidate(); }
    /// TRUE while the iterator stands on a node.
    int IsValid() override { return Current() != nullptr; }
    /// TRUE when the iterator stands on no node.
    int IsEmpty() override { return Current() == nullptr; }

    /// From the node (NotifyNodes) or from a notifier: Deleting with this iterator's handle
    /// applies the focus-delete policy, Cleared clears it.
    using SCC_Iterator::OnNotification;
    int OnNotification(int code, void* param) override {
        return SCC_Iterator::OnNotification(code, static_cast<int*>(param));
    }

private:
    SCC_SafeDListNode<N>* Current() const {
        return static_cast<SCC_SafeDListNode<N>*>(GetList());
    }
    void Park(SCC_SafeDListNode<N>* node) {
        if (node == nullptr) ChangeList(nullptr);
        else if (node != Current()) node->SCC_RefDList::AddTail(this);
    }
    int Step(bool forward) {
        SCC_SafeDListNode<N>* current = Current();
        if (current == nullptr) return FALSE;
        Park(current->RealNode(forward ? current->next : current->prev));
        return Current() != nullptr;
    }
};

// ---------------------------------------------------------------------------------------------

template <class N>
SCC_SafeDListNode<N>::~SCC_SafeDListNode() {
    // The neighbours are still linked here, so an iterator that moves on lands on a live node.
    TellIterators(SCC_NotifyDeleting);
    if (this->IsLinked()) UnlinkFromNeighbours();
    // Reference nodes that are not iterators stay until ~SCC_RefDList releases them.
}

template <class N>
N* SCC_SafeDList<N>::Link(SCC_DListNode<N>* before, N* node) {
    SCC_DListNode<N>* link = node;
    SCC_SListNode<N>* after = before->next;
    link->prev = before;
    link->next = after;
    before->next = link;
    static_cast<SCC_DListNode<N>*>(after)->prev = link;
    Announce(SCC_NotifyInserted, node);
    return node;
}

template <class N>
N* SCC_SafeDList<N>::InsertBefore(N* ref, N* node) {
    if (!SSM_CHECK(ref != nullptr && ref->IsLinked(), "", SCC_SafeDListDetail::kUnit,
                   SSM_FailureAssert) ||
        !CheckGiven(node))
        return nullptr;
    return Link(static_cast<SCC_DListNode<N>*>(ref)->prev, node);
}

template <class N>
N* SCC_SafeDList<N>::InsertAfter(N* ref, N* node) {
    if (!SSM_CHECK(ref != nullptr && ref->IsLinked(), "", SCC_SafeDListDetail::kUnit,
                   SSM_FailureAssert) ||
        !CheckGiven(node))
        return nullptr;
    return Link(ref, node);
}

template <class N>
N* SCC_SafeDList<N>::Remove(N* node) {
    if (!SSM_CHECK(node != nullptr && node->IsLinked(), "", SCC_SafeDListDetail::kUnit,
                   SSM_FailureAssert))
        return nullptr;
    Announce(SCC_NotifyDeleting, node);
    // The hook may have taken the node out already (it must not delete it).
    if (!node->IsLinked()) return nullptr;
    static_cast<SCC_SafeDListNode<N>*>(node)->UnlinkFromNeighbours();
    return node;
}

template <class N>
void SCC_SafeDList<N>::Announce(int code, N* node) {
    if (node != nullptr) {
        static_cast<SCC_SafeDListNode<N>*>(node)->TellIterators(code);
    } else if (code == SCC_NotifyCleared) {
        for (N* at = GetHead(); at != nullptr; at = at->SCC_SafeDListNode<N>::GetNext())
            static_cast<SCC_SafeDListNode<N>*>(at)->TellIterators(SCC_NotifyCleared);
    }
    OnListChange(code, node);
}

template <class N>
void SCC_SafeDList<N>::Empty(bool deleteNodes) {
    Announce(SCC_NotifyCleared, nullptr);
    while (!IsEmpty()) {
        SCC_SafeDListNode<N>* node = m_root.FromLink(m_root.next);
        node->UnlinkFromNeighbours();
        if (deleteNodes) delete static_cast<N*>(node);
    }
}

template <class N>
long SCC_SafeDList<N>::GetCount() const {
    long count = 0;
    for (const SCC_SListNode<N>* at = m_root.next; at != &m_root; at = at->next) ++count;
    return count;
}

template <class N>
int SCC_SafeDList<N>::IsValid() const {
    // Floyd's walk guards against a ring that no longer passes through the root.
    const SCC_SListNode<N>* slow = m_root.next;
    long steps = 0;
    for (const SCC_SListNode<N>* at = m_root.next; at != &m_root; at = at->next) {
        const auto* link = static_cast<const SCC_DListNode<N>*>(at);
        if (at == nullptr || !at->IsLinked()) return FALSE;
        if (static_cast<const SCC_DListNode<N>*>(at->next)->prev != link) return FALSE;
        if (!static_cast<const SCC_SafeDListNode<N>*>(link)->SCC_RefDList::IsValid()) return FALSE;
        if (++steps % 2 == 0) slow = slow->next;
        if (at->next == slow && slow != &m_root) return FALSE;
    }
    return static_cast<const SCC_DListNode<N>*>(m_root.next)->prev == &m_root;
}
