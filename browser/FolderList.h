#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The folders of FolderList: sorted and duplicate-free by the path-key rule (letters folded
// for the order, exact bytes for equality), so it reads like the history it comes from.
class FolderList {
public:
    // Replaces every item (after the start-up load and an import).
    void Assign(std::vector<std::string> folders);
    // Where the folder is or would go; lets a model announce an insertion before it happens.
    struct Slot {
        int index = 0;
        bool present = false;
    };
    Slot Locate(std::string_view folder) const;
    // Adds the folder of a newly recorded file unless present; returns its index.
    int Add(std::string_view folder);
    int IndexOf(std::string_view folder) const;   // -1 when absent
    void Clear() { items_.clear(); }

    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& At(int index) const { return items_.at(static_cast<size_t>(index)); }
    const std::vector<std::string>& Items() const { return items_; }

private:
    std::vector<std::string> items_;
};

}  // namespace qv
