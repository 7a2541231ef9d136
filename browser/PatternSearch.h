#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Open-addressing table from a key to a non-negative id; grows as needed, never shrinks.
template <class Key, class Hash>
class FlatIdTable {
public:
    int32_t Find(const Key& key) const
    {
        if (ids_.empty()) return -1;
        for (size_t i = Hash{}(key) & mask_;; i = (i + 1) & mask_) {
            if (ids_[i] < 0) return -1;
            if (keys_[i] == key) return ids_[i];
        }
    }
    // The id already stored under key, or id after storing it.
    int32_t Insert(const Key& key, int32_t id)
    {
        if ((size_ + 1) * 2 > ids_.size()) Grow();
        size_t i = Hash{}(key) & mask_;
        for (; ids_[i] >= 0; i = (i + 1) & mask_)
            if (keys_[i] == key) return ids_[i];
        keys_[i] = key;
        ids_[i] = id;
        ++size_;
        return id;
    }
    size_t Size() const { return size_; }

private:
    void Grow()
    {
        std::vector<Key> keys = std::move(keys_);
        std::vector<int32_t> ids = std::move(ids_);
        const size_t capacity = ids.empty() ? 64 : ids.size() * 2;
        keys_.assign(capacity, Key{});
        ids_.assign(capacity, -1);
        mask_ = capacity - 1;
        size_ = 0;
        for (size_t i = 0; i < ids.size(); ++i)
            if (ids[i] >= 0) Insert(keys[i], ids[i]);
    }

    std::vector<Key> keys_;
    std::vector<int32_t> ids_;
    size_t mask_ = 0;
    size_t size_ = 0;
};

// Multiplicative mixing; the table masks the low bits of the result.
inline size_t MixBits(uint64_t x) { return static_cast<size_t>((x * 0x9E3779B97F4A7C15ull) >> 29); }

// Many byte patterns found in one pass over a text (Aho-Corasick).
class PatternSet {
public:
    PatternSet();
    // The pattern's id; equal patterns share one. An empty pattern gets -1 and is never found.
    int32_t Add(std::string_view pattern);
    // Call once after the last Add and before Scan.
    void Build();
    size_t Count() const { return lengths_.size(); }
    size_t LengthOf(int32_t id) const { return lengths_[static_cast<size_t>(id)]; }

    // hit(id, end) for every occurrence, overlapping ones included, in the order of their
    // end offsets (end is one past the last byte).
    template <class Hit>
    void Scan(std::string_view text, Hit&& hit) const
    {
        int32_t state = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            if (!used_[byte]) {
                state = 0;
                continue;
            }
            state = Step(state, byte);
            for (int32_t v = output_[state] >= 0 ? state : dictionary_[state]; v > 0; v = dictionary_[v])
                hit(output_[v], i + 1);
        }
    }

private:
    struct EdgeHash {
        size_t operator()(uint64_t key) const { return MixBits(key); }
    };
    static uint64_t EdgeKey(int32_t node, unsigned char byte) { return (uint64_t(node) << 8) | byte; }
    int32_t Child(int32_t node, unsigned char byte) const
    {
        return node == 0 ? root_[byte] : edges_.Find(EdgeKey(node, byte));
    }
    int32_t Step(int32_t state, unsigned char byte) const
    {
        for (;;) {
            const int32_t next = Child(state, byte);
            if (next >= 0) return next;
            if (state == 0) return 0;
            state = fail_[static_cast<size_t>(state)];
        }
    }
    int32_t NewNode(int32_t parent, unsigned char byte);

    int32_t root_[256];
    bool used_[256] = {};
    FlatIdTable<uint64_t, EdgeHash> edges_;
    std::vector<int32_t> parent_, fail_, output_, dictionary_;
    std::vector<unsigned char> byte_;
    std::vector<uint32_t> depth_;
    std::vector<size_t> lengths_;
};

}  // namespace qv
