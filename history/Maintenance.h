#pragma once
// The commands that shape the history: clear, keep period with its sweep, size threshold, bulk
// registration of a folder tree and bulk removal under a folder. The window asks the
// questions and runs the hashing; these functions decide and say what happened, so the window
// and the terminal mode cannot differ.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/HashHistory.h"
#include "platform/WorkHooks.h"

namespace qv {

// Clear: the question (OK / Cancel) and its two outcomes.
std::string ClearQuestionText(int32_t count, bool historyFileRead);
inline constexpr const char* kClearedStatus = "履歴をクリアしました";
inline constexpr const char* kClearCancelledStatus = "履歴クリアを中止しました";

// Keep period: the input box, the answer, and the sweep.
inline constexpr const char* kKeepPeriodTitle = "履歴保存期間の設定";
std::string KeepPeriodPrompt(int32_t count);
// The answer as a 32-bit integer (blanks around it allowed); false keeps keepDays as it is.
bool KeepDaysFromAnswer(std::string_view answer, int32_t& keepDays);
// Removes every record registered at or before now - keepDays in one pass, with the progress
// and closing status texts. Returns how many went.
int32_t SweepExpired(HashHistory& store, int32_t keepDays, WorkHooks& ui);

// Size threshold: the input box, the answer and the status text.
inline constexpr const char* kSizeLimitTitle = "制限ファイルサイズ";
inline constexpr const char* kSizeLimitPrompt = "履歴データのファイルサイズが\r指定サイズ以下なら保存しません";
// The answer as a 64-bit integer; false keeps limit as it is.
bool SizeLimitFromAnswer(std::string_view answer, int64_t& limit);
std::string SizeLimitText(int64_t limit, bool changed);

// Bulk removal: every record whose path lies under folder (whole path components, exact
// bytes: "/foo" takes "/foo/a" and "/foo/sub/b", never "/foobar/c"), in one pass. Returns
// how many went.
inline constexpr const char* kForgetPrompt = "指定フォルダ配下の履歴を削除します";
int32_t ForgetFolder(HashHistory& store, const std::string& folder, WorkHooks& ui);
std::string ForgetDoneText(int32_t count, int32_t removed, const std::string& folder);

// Bulk registration: the walk of the tree, and the closing status text.
inline constexpr const char* kRegisterPrompt = "検索フォルダを指定して下さい\r警告！長時間処理中になります";
inline constexpr const char* kWalkComment = "フォルダ検索中　しばらくお待ちください";
struct TreeScan {
    // Accepted files without a valid record, in key order: each record hashing adds then lands
    // next to the last one, where the walk's order would insert all over a large store.
    std::vector<std::string> toHash;
    int64_t accepted = 0;              // accepted files of the tree
    bool stopped = false;              // the stop flag ended the walk
};
// Walks the tree breadth-first under the masks. A file whose record still matches the stamp
// the listing gave is left out (its codes would come from the history anyway), unless
// verification reads every file again. Progress at refresh ticks; the stop flag ends it.
TreeScan ScanTree(const HashHistory& store, const std::string& folder, uint32_t folderMask,
                  uint32_t fileMask, bool verification, WorkHooks& ui);
std::string RegistrationDoneText(bool stopped, int32_t added, int32_t count);

}  // namespace qv
