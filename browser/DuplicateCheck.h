#pragma once
#include <optional>
#include <string>
#include <vector>

#include "browser/BulkCheck.h"
#include "browser/FileView.h"

namespace qv {

class HashHistory;

struct DuplicateCheckResult {
    std::vector<ResultMark> marks;   // per row: HashAndName when it has a duplicate, else Nothing
    int duplicates = 0;
    std::string status;
    std::optional<Notification> sound;   // the duplicate sound when any row has one
};

// 一括重複チェック: a row has a duplicate when another path of the history holds exactly its
// CRC and MD5 texts (sizes are not compared). A row without codes has none. The history is
// read once for all rows, however many there are.
DuplicateCheckResult BulkDuplicateCheck(const FolderContents& contents, const HashHistory& history);

// "一括重複チェック完了  重複件数 3件"
std::string DuplicateCheckStatus(int duplicates);

}  // namespace qv
