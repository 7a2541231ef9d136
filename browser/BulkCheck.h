#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "browser/FileView.h"
#include "verify/ComparisonText.h"
#include "verify/Sounds.h"

namespace qv {

struct Settings;

inline constexpr const char* kStatusBulkCheckStopped = "一括チェックが中止されました";

// Which hits the bulk check marks in the comparison text (CloseupFileName, CloseupMD5, CloseupCRC).
struct BulkCheckOptions {
    bool markNames = true;
    bool markMd5 = true;
    bool markCrc = true;
};
BulkCheckOptions BulkCheckOptionsFrom(const Settings& settings);

struct BulkCheckResult {
    std::vector<ResultMark> marks;     // per row, in the rows' order
    int hashAndName = 0;
    int crcOnly = 0;
    int md5Only = 0;
    std::vector<TextRange> highlights; // sorted, disjoint: paint them in the pick-up colour
    std::string status;
    Notification sound = Notification::Mismatch;
};

// 一括チェック: for every row, whether the comparison text names the file (ASCII letters
// without regard to case) and carries its codes, and on which line:
//   HashAndName  the name and the CRC or MD5 on one line
//   Md5 / Crc    the code somewhere in the text
//   NameOnly     only the name
// Every hit of a name and of a code is marked as the options say, each search continuing
// after its last hit. A row without codes never counts as a code match. The text is searched
// once for all names and once for all codes, however many rows there are.
BulkCheckResult BulkCheck(const std::vector<FileRow>& rows, std::string_view text,
                          const BulkCheckOptions& options);

// "一括チェック完了  Hash&Name[1] CRC[2] MD5[3]"
std::string BulkCheckStatus(int hashAndName, int crcOnly, int md5Only);

}  // namespace qv
