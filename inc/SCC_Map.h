#pragma once

#include <new>
#include <type_traits>

#include "SCC_Array.h"
#include "SCC_Compare.h"  // the orderings of the scalar and C-string keys
#include "SCC_Hash.h"
#include "SCC_Iterator.h"
#include "SCC_List.h"
#include "SCC_Notifier.h"
#include "SSM_Assert.h"
#include "TessarExport.h"
#include "TessarTypes.h"

/// @file
/// The library's hash map: separate chaining in singly linked bucket lists.
///
/// Layout. The table is one array of `tableSize` buckets; a bucket is an SCC_SDList of
/// SCC_MapNode (it owns its nodes). A node keeps its key, its value and `hash`, the raw result of
/// the map's hash function for the key at the current table size; the node lives in bucket
/// `hash` modulo `tableSize` (made non-negative). A look-up compares the stored hash before the
/// key (with SCC_Compare), and hashes the key once per operation.
///
/// Growth. New nodes go to the head of their bucket. When the chain that received a node holds
/// 5 nodes or more, the table is rebuilt with the next size of SCC_GetNewTableSize: old buckets
/// are walked in order, each from its head, and every node is re-hashed and appended to the tail
/// of its new bucket. From 467183 buckets on the table no longer grows and chains lengthen. The
/// table never shrinks.
///
/// Notifications. The map is an SCC_Notifier, and each bucket's hook (SCC_SList::OnListChange)
/// hears the changes of its bucket; both speak the notification protocol (SCC_NotifyCode,
/// SCC_Notifier.h).
///
/// Listeners may change the map while they are being notified. A node whose removal was being
/// announced and that a listener removed in the meantime is not removed twice; an add whose node
/// a listener removed answers null.
///
/// Keys need SCC_Hash(const K&, long) and SCC_Compare(const K&, const K&); values need copy
/// construction. The hash function must not throw (a rebuild calls it for every node). A node
/// that cannot be allocated throws std::bad_alloc with the map unchanged, as does a table that
/// cannot be allocated at construction; a rebuild that cannot get memory is skipped (the map
/// keeps working with longer chains). A listener that throws while an add or a removal is
/// announced leaves the add done and the removal not done.
///
/// A missing table is reported through checks of type 0 with an empty message in
/// "scc/SCC_Map_Inline"; an operation that finds no table does nothing and answers null, FALSE.

template <class K, class V>
/// One entry of a map, owned by its bucket: key, value and the raw hash of the key.
struct SCC_MapNode : public SCC_SListNode<SCC_MapNode<K, V>> {
    /// An unlinked node holding copies of `k` and `v`, with raw hash `h`.
    SCC_MapNode(const K& k, const V& v, long h) : key(k), value(v), hash(h) {}

    /// The key; never changed while the node is in a map.
    K key;
    /// The value; its address stays valid as long as the node lives.
    V value;
    long hash;  ///< the map's hash of `key` at the current table size
};

template <class K, class V, class B = SCC_SDList<SCC_MapNode<K, V>>> class SCC_Map;
template <class K, class V, class B = SCC_SDList<SCC_MapNode<K, V>>> class SCC_MapIterator;

namespace SCC_MapDetail {
/// The unit of every check of the map.
constexpr const char kUnit[] = "scc/SCC_Map_Inline";
}  // namespace SCC_MapDetail

/// The untyped part of every map: its flags, sizes and the bookkeeping of removals that
/// listeners may interfere with.
class TESSAR_EXPORT _SCC_Map : public SCC_Notifier {
public:
    /// Number of nodes.
    long GetCount() const { return m_count; }
    /// Number of buckets.
    long GetTableSize() const { return m_tableSize; }
    /// TRUE (the default): adding a key that is present adds nothing.
    ///@{
    int IsUnique() const { return m_unique; }
    void SetUnique(int unique) { m_unique = unique != 0; }
    ///@}

protected:
    /// Buckets of a map created without a size.
    static constexpr long kDefaultTableSize = 53;
    /// A chain that reaches this many nodes on an add makes the table grow.
    static constexpr long kGrowthChainLength = 5;

    /// A node being announced to the listeners, for as long as the announcement runs (also when
    /// a listener throws); `node` is cleared when the node is deleted meanwhile.
    class PendingNode {
    public:
        /// Pushes this announcement on the map's stack of pending announcements for `pendingNode`.
        PendingNode(_SCC_Map& map, const void* pendingNode)
            : node(pendingNode), m_map(map), m_outer(map.m_pending) {
            map.m_pending = this;
        }
        ~PendingNode() { m_map.m_pending = m_outer; }
        PendingNode(const PendingNode&) = delete;
        PendingNode& operator=(const PendingNode&) = delete;

        /// The node being announced; null once it was deleted.
        const void* node;

    private:
        friend class _SCC_Map;
        _SCC_Map& m_map;
        PendingNode* m_outer;
    };

    /// Unique keys and no nodes; the typed map builds the table.
    explicit _SCC_Map(long tableSize);
    /// Copies the flag and the sizes, with a new notifier: listeners are not copied, and no
    /// announcement is pending in the copy.
    _SCC_Map(const _SCC_Map& other);
    ~_SCC_Map() override = default;
    _SCC_Map& operator=(const _SCC_Map&) = delete;

    /// The bucket of a raw hash: hash modulo tableSize, non-negative.
    static long BucketOf(long hash, long tableSize) {
        if (static_cast<unsigned long>(hash) < static_cast<unsigned long>(tableSize)) return hash;
        return ReduceHash(hash, tableSize);
    }
    /// The modulo of BucketOf for hashes outside [0, tableSize).
    static long ReduceHash(long hash, long tableSize);

    /// Tells the pending announcements that `node` (or, with null, every node) is gone.
    void ForgetPending(const void* node) {
        if (m_pending != nullptr) ForgetPendingSlow(node);
    }
    /// The walk of ForgetPending over the stack of pending announcements.
    void ForgetPendingSlow(const void* node);

    /// TRUE when an add of a present key adds nothing.
    int m_unique;
    /// Number of buckets.
    long m_tableSize;
    /// Number of nodes.
    long m_count;
    /// The innermost pending announcement, null when none runs.
    PendingNode* m_pending;
};

/// B, the bucket list, is SCC_SDList<SCC_MapNode<K, V>> or a class derived from it that listens
/// to its own hook.
template <class K, class V, class B>
class TESSAR_EXPORT SCC_Map : public _SCC_Map {
public:
    /// The node type.
    typedef SCC_MapNode<K, V> Node;
    /// The bucket list type.
    typedef B Bucket;
    static_assert(std::is_base_of<SCC_SDList<Node>, B>::value,
                  "a map's buckets are SCC_SDList<SCC_MapNode<K, V>> lists");
    /// The hash of `key` for a table of `tableSize` buckets; any long (the map reduces it), and it
    /// must not throw.
    typedef long (*HashFunction)(const K& key, long tableSize);

    /// An empty map with `tableSize` buckets (53 by default), unique keys, hashing with SCC_Hash.
    /// A size below 1 is an error of use (reported, type 1) and gives 53 buckets.
    explicit SCC_Map(long tableSize = kDefaultTableSize);
    /// The same with the map's own hash function; null hashes with SCC_Hash. The function may
    /// answer any long: the bucket is its result modulo the table size, made non-negative.
    explicit SCC_Map(HashFunction hashFunction, long tableSize = kDefaultTableSize);
    /// A copy of `other`'s nodes in the same buckets and chain order, with its hash function,
    /// table size and uniqueness; the listeners of `other` stay with `other`.
    SCC_Map(const SCC_Map& other);
    /// Copies the hash function, table size, uniqueness and nodes of `other` (same bucket and
    /// chain order) in place of this map's nodes, then notifies 5. Listeners stay where they are.
    /// Assignment to itself does nothing.
    SCC_Map& operator=(const SCC_Map& other);
    /// Notifies 6, deletes every node, then detaches the listeners.
    ~SCC_Map() override;

    /// Adds a node with copies of `key` and `value`; answers the address of the stored value, or
    /// null when the map is unique and already holds the key (nothing changes then). May grow
    /// the table (see the file comment). Nodes and values never move.
    V* Add(const K& key, const V& value);
    /// The address of the value stored under `key`, null when absent. With unique off, the node
    /// added last among those with the key.
    V* Lookup(const K& key) const;
    /// Removes the node of `key` (the one Lookup finds); TRUE when a node was removed.
    int Remove(const K& key);
    /// Notifies 6, then empties every bucket (6 to its hook, then 2 per node) and deletes the
    /// nodes. The table keeps its size.
    void RemoveAll();

    /// The function that hashes the keys; the map reduces its result to a bucket.
    HashFunction GetHashFunction() const { return m_hashFunction; }

    /// TRUE when the structure is consistent: a table exists, every bucket is a valid chain,
    /// every node's stored hash is the hash of its key and places it in its bucket, the nodes add
    /// up to the count, and a unique map holds no key twice. O(n + tableSize); for tests.
    bool CheckInvariants() const;

private:
    friend class SCC_MapIterator<K, V, B>;

    static long DefaultHash(const K& key, long tableSize) { return SCC_Hash(key, tableSize); }
    static bool KeysEqual(const K& a, const K& b);

    long Hash(const K& key, long tableSize) const {
        // The default function is called directly so that it can be inlined.
        if (m_hashFunction == &DefaultHash || m_hashFunction == nullptr)
            return SCC_Hash(key, tableSize);
        return m_hashFunction(key, tableSize);
    }
    Bucket& BucketOfHash(long hash) const { return m_buckets[BucketOf(hash, m_tableSize)]; }
    Node* FindInChain(const Bucket& bucket, const K& key, long hash) const;
    static Node* Next(const Node* node) { return static_cast<Node*>(node->next); }

    static Bucket* CopyTable(const SCC_Map& other);
    void InitTable();
    void Grow();
    void RemoveNode(Node* node);
    static long ChainLength(const Bucket& bucket, long limit);

    HashFunction m_hashFunction;
    Bucket* m_buckets;
};

// ---------------------------------------------------------------------------------------------

template <class K, class V, class B>
SCC_Map<K, V, B>::SCC_Map(long tableSize)
    : _SCC_Map(tableSize), m_hashFunction(&DefaultHash), m_buckets(nullptr) {
    InitTable();
}

template <class K, class V, class B>
SCC_Map<K, V, B>::SCC_Map(HashFunction hashFunction, long tableSize)
    : _SCC_Map(tableSize), m_hashFunction(hashFunction), m_buckets(nullptr) {
    InitTable();
}

template <class K, class V, class B>
SCC_Map<K, V, B>::SCC_Map(const SCC_Map& other)
    : _SCC_Map(other), m_hashFunction(other.m_hashFunction), m_buckets(CopyTable(other)) {
    Notify(SCC_NotifyReset, nullptr);
}

template <class K, class V, class B>
void SCC_Map<K, V, B>::InitTable() {
    m_buckets = new Bucket[m_tableSize];
    Notify(SCC_NotifyReset, nullptr);
}

template <class K, class V, class B>
SCC_Map<K, V, B>& SCC_Map<K, V, B>::operator=(const SCC_Map& other) {
    if (this == &other) return *this;
    Bucket* copy = CopyTable(other);  // first, so that a failed copy leaves this map unchanged
    delete[] m_buckets;
    ForgetPending(nullptr);
    m_buckets = copy;
    m_hashFunction = other.m_hashFunction;
    m_tableSize = other.m_tableSize;
    m_unique = other.m_unique;
    m_count = other.m_count;
    Notify(SCC_NotifyReset, nullptr);
    return *this;
}

template <class K, class V, class B>
SCC_Map<K, V, B>::~SCC_Map() {
    Notify(SCC_NotifyCleared, nullptr);
    delete[] m_buckets;
    m_buckets = nullptr;
}

template <class K, class V, class B>
typename SCC_Map<K, V, B>::Bucket* SCC_Map<K, V, B>::CopyTable(const SCC_Map& other) {
    if (other.m_buckets == nullptr) return nullptr;
    Bucket* table = new Bucket[other.m_tableSize];
    try {
        for (long i = 0; i < other.m_tableSize; ++i) {
            Node* tail = nullptr;
            for (Node* at = other.m_buckets[i].GetHead(); at != nullptr; at = Next(at))
                tail = table[i].Bucket::InsertAfter(tail, new Node(at->key, at->value, at->hash));
        }
    } catch (...) {
        delete[] table;
        throw;
    }
    return table;
}

template <class K, class V, class B>
bool SCC_Map<K, V, B>::KeysEqual(const K& a, const K& b) {
    // For integers and untyped addresses SCC_Compare is 0 exactly when the values are equal.
    if constexpr (std::is_integral<K>::value || std::is_enum<K>::value ||
                  std::is_same<K, void*>::value || std::is_same<K, const void*>::value)
        return a == b;
    else if constexpr (std::is_base_of<CString, K>::value)
        // Copies of a string share its text: the same text needs no comparison (and its bytes
        // need not be fetched).
        return static_cast<const char*>(a) == static_cast<const char*>(b) || SCC_Compare(a, b) == 0;
    else
        return SCC_Compare(a, b) == 0;
}

template <class K, class V, class B>
typename SCC_Map<K, V, B>::Node* SCC_Map<K, V, B>::FindInChain(const Bucket& bucket, const K& key,
                                                            long hash) const {
    for (Node* at = bucket.GetHead(); at != nullptr; at = Next(at))
        if (at->hash == hash && KeysEqual(at->key, key)) return at;
    return nullptr;
}

template <class K, class V, class B>
long SCC_Map<K, V, B>::ChainLength(const Bucket& bucket, long limit) {
    long length = 0;
    for (const Node* at = bucket.GetHead(); at != nullptr && length < limit; at = Next(at))
        ++length;
    return length;
}

template <class K, class V, class B>
V* SCC_Map<K, V, B>::Add(const K& key, const V& value) {
    if (!SSM_CHECK_AT(m_buckets != nullptr, "", SCC_MapDetail::kUnit, 100, SSM_FailureAssert))
        return nullptr;
    const long hash = Hash(key, m_tableSize);
    Bucket& bucket = BucketOfHash(hash);
    if (m_unique && FindInChain(bucket, key, hash) != nullptr) return nullptr;
    Node* node = new Node(key, value, hash);
    bucket.Bucket::InsertAfter(nullptr, node);
    ++m_count;
    if (ChainLength(bucket, kGrowthChainLength) >= kGrowthChainLength) Grow();
    PendingNode pending(*this, node);
    Notify(SCC_NotifyInserted, &node->value);
    return pending.node != nullptr ? &node->value : nullptr;
}

template <class K, class V, class B>
V* SCC_Map<K, V, B>::Lookup(const K& key) const {
    if (!SSM_CHECK_AT(m_buckets != nullptr, "", SCC_MapDetail::kUnit, 125, SSM_FailureAssert))
        return nullptr;
    const long hash = Hash(key, m_tableSize);
    Node* node = FindInChain(BucketOfHash(hash), key, hash);
    return node != nullptr ? &node->value : nullptr;
}

template <class K, class V, class B>
int SCC_Map<K, V, B>::Remove(const K& key) {
    if (!SSM_CHECK_AT(m_buckets != nullptr, "", SCC_MapDetail::kUnit, 217, SSM_FailureAssert))
        return FALSE;
    const long hash = Hash(key, m_tableSize);
    Node* node = FindInChain(BucketOfHash(hash), key, hash);
    if (node == nullptr) return FALSE;
    {
        PendingNode pending(*this, node);
        Notify(SCC_NotifyDeleting, &node->value);
        if (pending.node == nullptr) return TRUE;  // a listener removed it meanwhile
    }
    // A listener may have grown the table: the node is found again from its stored hash.
    RemoveNode(node);
    return TRUE;
}

template <class K, class V, class B>
void SCC_Map<K, V, B>::RemoveNode(Node* node) {
    Bucket& bucket = BucketOfHash(node->hash);
    Node* before = nullptr;
    Node* at = bucket.GetHead();
    for (; at != nullptr && at != node; at = Next(at)) before = at;
    if (!SSM_CHECK(at != nullptr, "", SCC_MapDetail::kUnit, SSM_FailureAssert))
        return;  // not in its bucket
    --m_count;
    bucket.Bucket::RemoveAfter(before);
    ForgetPending(node);
    delete node;
}

template <class K, class V, class B>
void SCC_Map<K, V, B>::RemoveAll() {
    if (!SSM_CHECK_AT(m_buckets != nullptr, "", SCC_MapDetail::kUnit, 231, SSM_FailureAssert))
        return;
    Notify(SCC_NotifyCleared, nullptr);
    for (long i = 0; i < m_tableSize; ++i) {
        Bucket& bucket = m_buckets[i];
        bucket.OnListChange(SCC_NotifyCleared, nullptr);
        while (!bucket.IsEmpty()) {
            --m_count;
            delete bucket.Bucket::RemoveAfter(nullptr);
        }
    }
    ForgetPending(nullptr);
}

template <class K, class V, class B>
void SCC_Map<K, V, B>::Grow() {
    const long newSize = SCC_GetNewTableSize(m_tableSize);
    if (newSize == 0) return;
    Bucket* table = new (std::nothrow) Bucket[newSize];
    // The last node of each new bucket; an entry is read only once its bucket holds a node, so
    // the array needs no clearing.
    Node** tails = new (std::nothrow) Node*[newSize];
    if (table == nullptr || tails == nullptr) {
        delete[] table;
        delete[] tails;
        return;
    }
    for (long i = 0; i < m_tableSize; ++i) {
        Bucket& old = m_buckets[i];
        old.OnListChange(SCC_NotifyCleared, nullptr);
        while (Node* node = old.Bucket::RemoveAfter(nullptr)) {
            node->hash = Hash(node->key, newSize);
            const long target = BucketOf(node->hash, newSize);
            Node* tail = table[target].IsEmpty() ? nullptr : tails[target];
            tails[target] = table[target].Bucket::InsertAfter(tail, node);
        }
    }
    for (long i = 0; i < newSize; ++i) table[i].OnListChange(SCC_NotifyReset, nullptr);
    delete[] tails;
    delete[] m_buckets;
    m_buckets = table;
    m_tableSize = newSize;
}

template <class K, class V, class B>
bool SCC_Map<K, V, B>::CheckInvariants() const {
    if (m_buckets == nullptr || m_tableSize < 1) return false;
    long nodes = 0;
    for (long i = 0; i < m_tableSize; ++i) {
        const Bucket& bucket = m_buckets[i];
        if (!bucket.IsValid()) return false;
        for (const Node* at = bucket.GetHead(); at != nullptr; at = Next(at), ++nodes) {
            if (at->hash != Hash(at->key, m_tableSize)) return false;
            if (BucketOf(at->hash, m_tableSize) != i) return false;
            if (m_unique && FindInChain(bucket, at->key, at->hash) != at) return false;
        }
    }
    return nodes == m_count;
}

// ---------------------------------------------------------------------------------------------

/// Walks a map's nodes bucket by bucket, each chain from its head. The iterator listens to its
/// map: when the node under it is removed it follows its focus-delete policy (0 invalidate, 1 go
/// forward; going back is not possible and invalidates), and when the map is cleared (RemoveAll),
/// assigned or destroyed it drops its node. Its handle is the address of the current value.
/// Adding during a walk may rebuild the table; the walk then goes on safely but may miss or
/// repeat nodes.
template <class K, class V, class B>
class TESSAR_EXPORT SCC_MapIterator : public SCC_SListIterator<SCC_MapNode<K, V>> {
public:
    /// The map type iterated.
    typedef SCC_Map<K, V, B> Map;
    /// The node type.
    typedef SCC_MapNode<K, V> Node;

    /// Without a map: empty until GetFirst(map).
    SCC_MapIterator() : m_bucket(0), m_map(nullptr) {}
    /// Attached to `map` and standing on its first node.
    explicit SCC_MapIterator(Map& map) : m_bucket(0), m_map(nullptr) { GetFirst(map); }
    SCC_MapIterator(const SCC_MapIterator&) = delete;
    SCC_MapIterator& operator=(const SCC_MapIterator&) = delete;

    /// Attaches to `map` (leaving any other) and stands on its first node; TRUE when it has one.
    int GetFirst(Map& map) {
        if (m_map != &map || this->GetOwner() != &map) AddNode<int>(map, *this);
        m_map = &map;
        return SettleFrom(0);
    }
    /// Attaches to `map` (leaving any other) and stands on the node of `key`, found by hash
    /// lookup then key comparison; TRUE when the key is present, else the iterator has no node.
    int SetPosition(Map& map, const K& key) {
        if (m_map != &map || this->GetOwner() != &map) AddNode<int>(map, *this);
        m_map = &map;
        const long hash = map.Hash(key, map.m_tableSize);
        Node* found = map.FindInChain(map.BucketOfHash(hash), key, hash);
        if (found == nullptr) return Clear();
        this->node = found;
        m_bucket = Map::BucketOf(found->hash, map.m_tableSize);
        return TRUE;
    }
    /// Stands on the first node of the current map; without a map, a failed check (type 0).
    int GetFirst() {
        if (!SSM_CHECK(HasMap(), "", SCC_MapDetail::kUnit, SSM_FailureAssert)) return FALSE;
        return SettleFrom(0);
    }
    /// Moves along the chain, then to the next non-empty bucket; TRUE while a node remains.
    int GetNext() override {
        if (this->node == nullptr) return FALSE;
        if (!SSM_CHECK(HasMap(), "", SCC_MapDetail::kUnit, SSM_FailureAssert)) return Clear();
        if (Node* following = this->node->GetNext()) {
            this->node = following;
            return TRUE;
        }
        // The node's own bucket, which a rebuild may have changed.
        return SettleFrom(Map::BucketOf(this->node->hash, m_map->m_tableSize) + 1);
    }
    /// TRUE without a map, without a node, or with a bucket index past the table.
    int IsEmpty() override {
        return !HasMap() || this->node == nullptr || m_bucket >= m_map->m_tableSize;
    }
    /// The negation of IsEmpty().
    int IsValid() override { return !IsEmpty(); }
    /// The address of the current value, 0 when there is none.
    SYS_Handle GetHandle() override {
        return this->node != nullptr ? reinterpret_cast<SYS_Handle>(&this->node->value) : 0;
    }
    /// Leaves the map and forgets node, bucket and map.
    int Invalidate() override {
        Detach(*this);
        m_map = nullptr;
        return Clear();
    }
    /// Drops the node; the iterator stays with its map and can start again with GetFirst.
    int Clear() override {
        this->node = nullptr;
        m_bucket = 0;
        return 0;
    }
    /// The map's codes: 2 and 6 as for every iterator; 5 (the map was assigned) drops the node.
    int OnNotification(int code, int* param) override {
        if (code == SCC_NotifyReset) return Clear();
        return SCC_SListIterator<Node>::OnNotification(code, param);
    }

    /// The current key and value, null when there is no node.
    ///@{
    const K* GetKey() const { return this->node != nullptr ? &this->node->key : nullptr; }
    /// The current value, null when there is no node; writable in place.
    V* GetValue() const { return this->node != nullptr ? &this->node->value : nullptr; }
    ///@}
    /// The bucket of the current node.
    long GetBucket() const { return m_bucket; }
    /// The map iterated; null without one, and once that map was destroyed.
    Map* GetMap() const { return HasMap() ? m_map : nullptr; }

private:
    /// The map is gone when the iterator was detached from it (a destroyed map detaches all).
    bool HasMap() const {
        return m_map != nullptr && this->GetOwner() == static_cast<const SCC_EventNode<int>*>(m_map);
    }
    /// Stands on the head of the first non-empty bucket from `bucket` on.
    int SettleFrom(long bucket) {
        Clear();
        if (m_map->m_buckets == nullptr) return FALSE;
        for (; bucket < m_map->m_tableSize; ++bucket) {
            if (Node* head = m_map->m_buckets[bucket].GetHead()) {
                this->node = head;
                m_bucket = bucket;
                return TRUE;
            }
        }
        return FALSE;
    }

    long m_bucket;
    Map* m_map;
};
