#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qv {

class HashHistory;

// The rows of the duplicate list for the record at index: the record itself and every record
// of equal size and codes, in descending history order. Records whose file has gone are
// removed from the history on the way; index is lowered so it still names the same record.
// exists decides whether a path is still a file (the real file system when empty).
std::vector<std::string> FindDuplicates(HashHistory& history, int32_t& index,
                                        const std::function<bool(const std::string&)>& exists = {});

}  // namespace qv
