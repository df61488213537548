#include "SCC_RefDList.h"

#include "SSM_Assert.h"

// Running NotifyNodes walks form a stack (one entry per nested call, on the C++ stack). Every
// node that leaves a list steps the walks standing on it forward, which is what lets a called
// node leave, die or remove its neighbour without the walk touching a dead node. The stack is
// per thread, so lists used by different threads never meet here.

namespace {

const char kUnit[] = "scc/SCC_Misc";

struct NotifyWalk {
    SCC_RefDList* list;        // null once the list was destroyed
    SCC_DListRefNode* current;  // the node called now, or the next one once it left
    bool stepped;              // `current` already moved past the node that left
    NotifyWalk* outer;
};

thread_local NotifyWalk* t_innermostWalk = nullptr;

// Pushes a walk for the duration of a NotifyNodes call, also when a node throws.
class WalkScope {
public:
    explicit WalkScope(NotifyWalk& walk) : m_walk(walk) {
        walk.outer = t_innermostWalk;
        t_innermostWalk = &walk;
    }
    ~WalkScope() { t_innermostWalk = m_walk.outer; }
    WalkScope(const WalkScope&) = delete;
    WalkScope& operator=(const WalkScope&) = delete;

private:
    NotifyWalk& m_walk;
};

void StepWalksPast(const SCC_RefDList* list, SCC_DListRefNode* node) {
    for (NotifyWalk* walk = t_innermostWalk; walk != nullptr; walk = walk->outer) {
        if (walk->list == list && walk->current == node) {
            walk->current = node->GetNext();
            walk->stepped = true;
        }
    }
}

void EndWalksOn(const SCC_RefDList* list) {
    for (NotifyWalk* walk = t_innermostWalk; walk != nullptr; walk = walk->outer)
        if (walk->list == list) walk->list = nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// SCC_DListRefNode

SCC_DListRefNode::SCC_DListRefNode(SCC_RefDList* newList) : list(nullptr) {
    if (newList != nullptr) newList->AddHead(this);
}

SCC_DListRefNode::SCC_DListRefNode(const SCC_DListRefNode& other)
    : SCC_DListNode<SCC_DListRefNode>(other), list(nullptr) {
    if (other.list != nullptr) other.list->InsertBefore(const_cast<SCC_DListRefNode*>(&other), this);
}

SCC_DListRefNode& SCC_DListRefNode::operator=(const SCC_DListRefNode& other) {
    if (this == &other) return *this;
    if (other.list != nullptr) other.list->InsertBefore(const_cast<SCC_DListRefNode*>(&other), this);
    else ChangeList(nullptr);
    return *this;
}

SCC_DListRefNode::~SCC_DListRefNode() { ChangeList(nullptr); }

void SCC_DListRefNode::ChangeList(SCC_RefDList* newList) {
    // The hook runs user code that may itself move the node; repeat until it is out of every
    // list, so it is never linked in one list while recording another.
    while (list != nullptr && IsLinked()) {
        SCC_RefDList* current = list;
        current->OnListChange(SCC_NotifyDeleting, this);
        if (list == current && IsLinked()) current->Release(this);
    }
    list = newList;
}

// ---------------------------------------------------------------------------------------------
// SCC_RefDList

SCC_RefDList::SCC_RefDList(SCC_RefDList& /*other*/) {}

SCC_RefDList& SCC_RefDList::operator=(SCC_RefDList& /*other*/) { return *this; }

SCC_RefDList::~SCC_RefDList() {
    EndWalksOn(this);
    OnListChange(SCC_NotifyCleared, nullptr);
    RemoveAll();
}

int SCC_RefDList::CheckNode(const SCC_DListRefNode* node) const {
    return SSM_CHECK_THROW(node != nullptr, "", kUnit, SSM_FailureError);
}

int SCC_RefDList::CheckMember(const SCC_DListRefNode* node) const {
    return SSM_CHECK_THROW(node->list == this, "", kUnit, SSM_FailureError);
}

SCC_DListRefNode* SCC_RefDList::Join(SCC_DListRefNode* ref, SCC_DListRefNode* node, bool before) {
    node->ChangeList(this);
    // Leaving the old list ran its hook, which may have taken `ref` out of this list.
    if (ref != nullptr && (ref->list != this || !ref->IsLinked())) ref = nullptr;
    if (before) LinkBefore(ref, node);
    else LinkAfter(ref, node);
    OnListChange(SCC_NotifyInserted, node);
    return node;
}

void SCC_RefDList::Release(SCC_DListRefNode* node) {
    if (t_innermostWalk != nullptr) StepWalksPast(this, node);
    Unlink(node);
}

SCC_DListRefNode* SCC_RefDList::AddHead(SCC_DListRefNode* node) {
    if (!CheckNode(node)) return nullptr;
    return Join(nullptr, node, false);
}

SCC_DListRefNode* SCC_RefDList::AddTail(SCC_DListRefNode* node) {
    if (!CheckNode(node)) return nullptr;
    return Join(nullptr, node, true);
}

SCC_DListRefNode* SCC_RefDList::InsertBefore(SCC_DListRefNode* ref, SCC_DListRefNode* node) {
    if (!CheckNode(node) || (ref != nullptr && !CheckMember(ref))) return nullptr;
    if (ref == node) return node;
    return Join(ref, node, true);
}

SCC_DListRefNode* SCC_RefDList::InsertAfter(SCC_DListRefNode* ref, SCC_DListRefNode* node) {
    if (!CheckNode(node) || (ref != nullptr && !CheckMember(ref))) return nullptr;
    if (ref == node) return node;
    return Join(ref, node, false);
}

SCC_DListRefNode* SCC_RefDList::Remove(SCC_DListRefNode* node) {
    if (!CheckNode(node) || !CheckMember(node)) return nullptr;
    node->ChangeList(nullptr);
    return node;
}

SCC_DListRefNode* SCC_RefDList::RemoveAfter(SCC_DListRefNode* prev) {
    if (prev == nullptr) return head != nullptr ? Remove(GetHead()) : nullptr;
    if (!CheckMember(prev)) return nullptr;
    SCC_DListRefNode* following = prev->GetNext();
    return following != nullptr ? Remove(following) : nullptr;
}

void SCC_RefDList::Merge(SCC_RefDList& other) {
    if (&other == this) return;
    while (!other.IsEmpty()) AddTail(other.GetHead());
}

int SCC_RefDList::NotifyNodes(int code, void* param) {
    NotifyWalk walk{this, GetHead(), false, nullptr};
    WalkScope scope(walk);
    int result = 0;
    while (walk.list != nullptr && walk.current != nullptr) {
        SCC_DListRefNode* node = walk.current;
        walk.stepped = false;
        result = node->OnNotification(code, param);
        // A node that left (or died) already moved the walk on; otherwise it is still linked
        // here and its successor is read now, so nodes added behind it are called too.
        if (walk.list != nullptr && !walk.stepped) walk.current = node->GetNext();
    }
    return result;
}

int SCC_RefDList::IsValid() const {
    if (!SCC_DList<SCC_DListRefNode>::IsValid()) return FALSE;
    for (const SCC_DListRefNode* node = GetHead(); node != nullptr; node = node->GetNext())
        if (node->list != this) return FALSE;
    return TRUE;
}
