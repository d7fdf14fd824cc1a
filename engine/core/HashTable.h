#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "engine/core/String.h"

namespace zav {

struct StringKeyHash {
    uint32_t operator()(const String& key) const { return key.Hash(); }
};

struct IntKeyHash {
    uint32_t operator()(int32_t key) const {
        uint32_t x = static_cast<uint32_t>(key);
        x ^= x >> 16;
        x *= 0x7feb352du;
        x ^= x >> 15;
        return x;
    }
};

// Chained hash table of 32 buckets, as the engine's registries use. Within a
// bucket, entries keep their insertion order; Insert refuses a key that is
// already present.
template <class Key, class Value, class Hasher>
class ChainedTable {
public:
    static constexpr int kBuckets = 32;

    // Returns false when the key is present already (nothing changes).
    bool Insert(const Key& key, Value value) {
        auto& chain = buckets_[BucketOf(key)];
        for (auto& entry : chain)
            if (entry.first == key) return false;
        chain.emplace_back(key, std::move(value));
        ++count_;
        return true;
    }

    Value* Find(const Key& key) {
        for (auto& entry : buckets_[BucketOf(key)])
            if (entry.first == key) return &entry.second;
        return nullptr;
    }
    const Value* Find(const Key& key) const {
        return const_cast<ChainedTable*>(this)->Find(key);
    }

    bool Remove(const Key& key) {
        auto& chain = buckets_[BucketOf(key)];
        for (auto it = chain.begin(); it != chain.end(); ++it) {
            if (it->first == key) {
                chain.erase(it);
                --count_;
                return true;
            }
        }
        return false;
    }

    void Clear() {
        for (auto& chain : buckets_) chain.clear();
        count_ = 0;
    }

    int32_t Count() const { return count_; }

    // Visits entries bucket by bucket, each chain in order.
    template <class Visitor>
    void ForEach(Visitor&& visit) {
        for (auto& chain : buckets_)
            for (auto& entry : chain) visit(entry.first, entry.second);
    }

private:
    static uint32_t BucketOf(const Key& key) { return Hasher()(key) % kBuckets; }

    std::vector<std::pair<Key, Value>> buckets_[kBuckets];
    int32_t count_ = 0;
};

template <class Value>
using NameTable = ChainedTable<String, Value, StringKeyHash>;
template <class Value>
using IdTable = ChainedTable<int32_t, Value, IntKeyHash>;

}  // namespace zav
