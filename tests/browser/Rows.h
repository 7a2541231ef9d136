#pragma once
// File-view rows built by hand, and result marks as numbers, for the browser tests.
#include <string>
#include <vector>

#include "browser/FileView.h"

namespace qv {

inline FileRow Row(std::string name, std::string crc = "", std::string md5 = "", int64_t size = 0)
{
    FileRow row;
    row.name = std::move(name);
    row.crc = std::move(crc);
    row.md5 = std::move(md5);
    row.size = size;
    row.sizeText = std::to_string(size);
    return row;
}

inline std::vector<int> MarkNumbers(const std::vector<ResultMark>& marks)
{
    std::vector<int> out;
    for (const ResultMark m : marks) out.push_back(static_cast<int>(m));
    return out;
}

}  // namespace qv
