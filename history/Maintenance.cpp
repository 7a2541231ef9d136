#include "history/Maintenance.h"

#include <algorithm>
#include <limits>

#include "platform/DirSearch.h"
#include "platform/FolderWalk.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "settings/IniFile.h"

namespace qv {
namespace {

std::string Counted(int64_t count) { return FormatGrouped(count) + "件"; }

// Progress text at a refresh tick; the walks below never let the window run meanwhile.
template <class Text>
void ShowAtTick(WorkHooks& ui, const Text& text)
{
    if (!ui.RefreshDue()) return;
    ui.Status(text());
    ui.ScheduleRefresh();
}

bool ParseAnswer(std::string_view answer, int64_t min, int64_t max, int64_t& value)
{
    int64_t v = 0;
    if (!ParseIniInteger(Trim(answer), v) || v < min || v > max) return false;
    value = v;
    return true;
}

}  // namespace

std::string ClearQuestionText(int32_t count, bool historyFileRead)
{
    std::string text = "履歴データを全て削除します\r\r履歴件数\t= " + Counted(count) + "\r履歴ファイル\t";
    text += historyFileRead ? "= 既読状態\r\r履歴ファイルはクリア以後に作られたデータで上書きされます        "
                            : "= 未読状態        ";
    return text + "\r\rよろしいですか？";
}

std::string KeepPeriodPrompt(int32_t count)
{
    return "保存期間を日数で入力して下さい\r現在の累積件数 = " + Counted(count);
}

bool KeepDaysFromAnswer(std::string_view answer, int32_t& keepDays)
{
    int64_t v = 0;
    if (!ParseAnswer(answer, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), v))
        return false;
    keepDays = static_cast<int32_t>(v);
    return true;
}

int32_t SweepExpired(HashHistory& store, int32_t keepDays, WorkHooks& ui)
{
    ui.Status("履歴有効期限確認中 しばらくお待ちください");
    ui.Pump();
    ui.ScheduleRefresh();
    const double cutOff = ui.Now() - keepDays;
    const int32_t count = store.Count();
    for (int32_t i = count - 1; i >= 0; --i) {
        ShowAtTick(ui, [&] {
            return FormatNumber(static_cast<double>(count - i) * 100.0 / count, "履歴有効期限確認中 0.0%");
        });
        if (store.RecordAt(i).RegisteredAt <= cutOff) store.MarkForRemoval(i);
    }
    ui.Status("履歴ソート中");
    const int32_t removed = store.CommitRemovals();
    ui.Status("履歴保存期間は" + std::to_string(keepDays) + "日間、累積件数は " + Counted(store.Count()) + "です");
    return removed;
}

bool SizeLimitFromAnswer(std::string_view answer, int64_t& limit)
{
    return ParseAnswer(answer, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), limit);
}

std::string SizeLimitText(int64_t limit, bool changed)
{
    return "制限ファイルサイズ " + FormatGrouped(limit) + (changed ? "bytes に変更しました" : "bytes");
}

int32_t ForgetFolder(HashHistory& store, const std::string& folder, WorkHooks& ui)
{
    int32_t removed = 0;
    if (folder.empty()) return removed;   // names no folder: nothing lies under it
    ui.ScheduleRefresh();
    for (int32_t i = store.Count() - 1; i >= 0; --i) {
        if (IsUnderFolder(store.PathAt(i), folder)) {
            store.MarkForRemoval(i);
            ++removed;
        }
        ShowAtTick(ui, [&] { return "履歴データ削除中 " + FormatGrouped(removed) + "件削除"; });
    }
    store.CommitRemovals();
    return removed;
}

std::string ForgetDoneText(int32_t count, int32_t removed, const std::string& folder)
{
    return "履歴データ削除終了　残数" + Counted(count) + " 削除" + Counted(removed) + " 指定フォルダ " + folder;
}

TreeScan ScanTree(const HashHistory& store, const std::string& folder, uint32_t folderMask, uint32_t fileMask,
                  bool verification, WorkHooks& ui)
{
    TreeScan scan;
    ui.RefreshAtOnce();
    const auto onFile = [&](const std::string& path, const FoundEntry& entry) {
        ++scan.accepted;
        int32_t index = 0;
        if (verification || !store.Find(path, index) ||
            !RecordMatchesStamp(store.RecordAt(index), entry.size, entry.stamp))
            scan.toHash.push_back(path);
    };
    // The walk of a large tree takes a while: it shows how far it got and can be stopped.
    const auto afterFolder = [&] {
        if (!ui.RefreshDue()) return true;
        ui.Status("フォルダ検索中 算出予約数" + FormatGrouped(static_cast<int64_t>(scan.toHash.size())) + "files");
        ui.Pump();
        ui.ScheduleRefresh();
        return !ui.StopRequested();
    };
    scan.stopped = !WalkFolderTree(folder, folderMask, fileMask, onFile, afterFolder);
    std::sort(scan.toHash.begin(), scan.toHash.end(), PathKeyLess{});
    return scan;
}

std::string RegistrationDoneText(bool stopped, int32_t added, int32_t count)
{
    return std::string(stopped ? "履歴一括登録中止 登録 " : "履歴一括登録完了 登録 ") + Counted(added) +
           "  履歴全体 " + Counted(count);
}

}  // namespace qv
