#pragma once

#include "tessar_breaks.h"
// Helpers shared by the map tests: listeners, a recording bucket, a counting value and views
// of a map's chains.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "SCC_Map.h"
#include "TessarPlatform.h"

namespace MapTest {

struct MapEvent {
    int code;
    void* data;
    long countThen;
};

// Records the map's notifications with the count at that moment.
class MapListener : public SCC_EventNode<int> {
public:
    explicit MapListener(_SCC_Map& map) : m_map(&map) { AddNode<int>(map, *this); }
    int OnNotification(int code, int* data) override {
        events.push_back({code, data, m_map->GetCount()});
        return 0;
    }
    std::vector<MapEvent> events;

private:
    _SCC_Map* m_map;
};

// Runs `reaction` on notifications with code `onCode`, never re-entering itself.
class ReactingListener : public SCC_EventNode<int> {
public:
    explicit ReactingListener(_SCC_Map& map) { AddNode<int>(map, *this); }
    int OnNotification(int code, int* data) override {
        if (code != onCode || m_reacting || !reaction) return 0;
        struct Guard {
            bool& flag;
            ~Guard() { flag = false; }
        } guard{m_reacting};
        m_reacting = true;
        reaction(data);
        return 0;
    }
    int onCode = 0;
    std::function<void(void*)> reaction;

private:
    bool m_reacting = false;
};

struct BucketEvent {
    int code;
    bool hasNode;
    int key;
    bool linked;
};

// A bucket that logs its hook calls into s_log.
template <class K, class V>
class RecordingBucket : public SCC_SDList<SCC_MapNode<K, V>> {
public:
    void OnListChange(int code, SCC_MapNode<K, V>* node) override {
        if (s_log != nullptr)
            s_log->push_back({code, node != nullptr, node != nullptr ? static_cast<int>(node->key) : 0,
                              node != nullptr && node->IsLinked() != 0});
    }
    static std::vector<BucketEvent>* s_log;
};
template <class K, class V>
std::vector<BucketEvent>* RecordingBucket<K, V>::s_log = nullptr;

// A value that counts live instances and notices use after destruction.
class Counted {
public:
    explicit Counted(int value) : m_value(value), m_alive(kAlive) { ++s_live; }
    Counted(const Counted& other) : m_value(other.m_value), m_alive(kAlive) {
        if (other.m_alive != kAlive) ++s_errors;
        ++s_live;
    }
    Counted& operator=(const Counted& other) {
        if (m_alive != kAlive || other.m_alive != kAlive) ++s_errors;
        m_value = other.m_value;
        return *this;
    }
    ~Counted() {
        if (m_alive != kAlive) ++s_errors;
        m_alive = 0;
        --s_live;
    }
    int Value() const { return m_value; }
    static void Reset() {
        s_live = 0;
        s_errors = 0;
    }
    static long s_live;
    static long s_errors;

private:
    static const unsigned kAlive = 0xA11CE5u;
    int m_value;
    unsigned m_alive;
};

// (bucket, key) of every node, in iteration order.
template <class K, class V, class B>
std::vector<std::pair<long, K>> Chains(SCC_Map<K, V, B>& map) {
    std::vector<std::pair<long, K>> chains;
    SCC_MapIterator<K, V, B> it(map);
    for (; !it.IsEmpty(); it.GetNext()) chains.push_back({it.GetBucket(), *it.GetKey()});
    return chains;
}

// The stored hash of the node of `key`; -1 when absent.
template <class K, class V, class B>
long StoredHash(SCC_Map<K, V, B>& map, const K& key) {
    SCC_MapIterator<K, V, B> it(map);
    for (; !it.IsEmpty(); it.GetNext())
        if (SCC_Compare(*it.GetKey(), key) == 0) return it.GetNode()->hash;
    return -1;
}

using BreakCounter = ScopedBreakCounter;

}  // namespace MapTest
