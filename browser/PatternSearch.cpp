#include "browser/PatternSearch.h"

#include <algorithm>

namespace qv {

PatternSet::PatternSet()
{
    std::fill(std::begin(root_), std::end(root_), -1);
    NewNode(-1, 0);
}

int32_t PatternSet::NewNode(int32_t parent, unsigned char byte)
{
    const auto node = static_cast<int32_t>(parent_.size());
    parent_.push_back(parent);
    byte_.push_back(byte);
    depth_.push_back(parent < 0 ? 0 : depth_[static_cast<size_t>(parent)] + 1);
    fail_.push_back(0);
    output_.push_back(-1);
    dictionary_.push_back(0);
    return node;
}

int32_t PatternSet::Add(std::string_view pattern)
{
    if (pattern.empty()) return -1;
    int32_t node = 0;
    for (const char c : pattern) {
        const auto byte = static_cast<unsigned char>(c);
        used_[byte] = true;
        int32_t next = Child(node, byte);
        if (next < 0) {
            next = NewNode(node, byte);
            if (node == 0) root_[byte] = next;
            else edges_.Insert(EdgeKey(node, byte), next);
        }
        node = next;
    }
    int32_t& id = output_[static_cast<size_t>(node)];
    if (id < 0) {
        id = static_cast<int32_t>(lengths_.size());
        lengths_.push_back(pattern.size());
    }
    return id;
}

void PatternSet::Build()
{
    // Nodes by depth: a node's failure link points to a shallower node, set before it.
    std::vector<int32_t> order(parent_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int32_t>(i);
    std::stable_sort(order.begin(), order.end(),
                     [this](int32_t a, int32_t b) { return depth_[size_t(a)] < depth_[size_t(b)]; });
    for (const int32_t node : order) {
        const auto n = static_cast<size_t>(node);
        const int32_t parent = parent_[n];
        if (parent <= 0) continue;   // the root and its children fail to the root
        int32_t f = fail_[static_cast<size_t>(parent)];
        for (;;) {
            const int32_t next = Child(f, byte_[n]);
            if (next >= 0) {
                fail_[n] = next;
                break;
            }
            if (f == 0) break;
            f = fail_[static_cast<size_t>(f)];
        }
        const auto failed = static_cast<size_t>(fail_[n]);
        dictionary_[n] = output_[failed] >= 0 ? fail_[n] : dictionary_[failed];
    }
}

}  // namespace qv
