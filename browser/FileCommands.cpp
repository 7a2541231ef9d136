#include "browser/FileCommands.h"

#include "history/HashHistory.h"
#include "platform/DirSearch.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "platform/Text.h"
#include "platform/Version.h"

#include <sys/stat.h>

#include <algorithm>
#include <unordered_set>
#include <unordered_set>

namespace qv {
namespace {

// A name ending in a dot has no extension: "." would otherwise occur in every collected text.
std::string UpperExtension(const std::string& name)
{
    const std::string ext = ExtensionOf(name);
    return ext.size() > 1 ? AsciiUpper(ext) : std::string();
}

bool AnySelected(const Selection& selection)
{
    return std::find(selection.begin(), selection.end(), true) != selection.end();
}

void Status(const DeleteSeams& seams, const std::string& text)
{
    if (seams.status) seams.status(text);
}

// Trashes the file; its record goes only when the file did.
bool DeleteWithRecord(HashHistory& history, const std::string& path, const DeleteSeams& seams)
{
    const bool trashed = seams.recycle && seams.recycle(path);
    if (!trashed && PathExists(path)) return false;
    history.RemoveByPath(path);
    return true;
}

}  // namespace

Selection SelectUncalculated(const std::vector<FileRow>& rows)
{
    Selection selection(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) selection[i] = rows[i].crc.empty();
    return selection;
}

bool SelectSameExtension(const std::vector<FileRow>& rows, Selection& selection)
{
    selection.resize(rows.size());
    if (!AnySelected(selection)) return false;
    std::string collected;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!selection[i]) continue;
        const std::string ext = UpperExtension(rows[i].name);
        if (collected.find(ext) == std::string::npos) collected += ext;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string ext = UpperExtension(rows[i].name);
        if (!ext.empty() && collected.find(ext) != std::string::npos) selection[i] = true;
    }
    return true;
}

std::vector<std::string> SelectedPaths(const FolderContents& contents, const Selection& selection)
{
    std::vector<std::string> paths;
    for (size_t i = 0; i < contents.rows.size() && i < selection.size(); ++i)
        if (selection[i]) paths.push_back(contents.PathOf(i));
    return paths;
}

Selection SelectionOf(const FolderContents& contents, const std::vector<std::string>& paths)
{
    const std::unordered_set<std::string> wanted(paths.begin(), paths.end());
    Selection selection(contents.rows.size());
    for (size_t i = 0; i < contents.rows.size() && !wanted.empty(); ++i) selection[i] = wanted.count(contents.PathOf(i)) > 0;
    return selection;
}

std::optional<size_t> OnlySelected(const Selection& selection)
{
    if (std::count(selection.begin(), selection.end(), true) != 1) return std::nullopt;
    return static_cast<size_t>(std::find(selection.begin(), selection.end(), true) - selection.begin());
}

std::vector<std::string> PathsLackingCodes(const FolderContents& contents)
{
    std::vector<std::string> paths;
    for (size_t i = 0; i < contents.rows.size(); ++i) {
        if (!contents.rows[i].crc.empty()) continue;
        std::string path = contents.PathOf(i);
        // Deleted since the listing: hashing it would only stop the batch with a read error.
        if (FileExists(path)) paths.push_back(std::move(path));
    }
    return paths;
}

std::string OpenTarget(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return FollowSymlinks(path);
    return path;
}

std::vector<size_t> FListFileDelClick(HashHistory& history, const FolderContents& contents,
                                      const Selection& selection, const DeleteSeams& seams)
{
    std::vector<size_t> removed;
    const auto count = std::count(selection.begin(), selection.end(), true);
    if (count == 0) {
        Status(seams, kStatusNothingSelected);
        return removed;
    }
    const std::string question =
        "選択されている " + FormatGrouped(count) + "件のファイルを削除します\rよろしいですか";
    if (!seams.prompts ||
        seams.prompts->Message(kProgramName, question, Buttons::YesCancel, BoxIcon::Warning) != Answer::Yes)
        return removed;
    for (size_t i = std::min(selection.size(), contents.rows.size()); i-- > 0;)
        if (selection[i] && DeleteWithRecord(history, contents.PathOf(i), seams)) removed.push_back(i);
    Status(seams, removed.empty() ? kStatusDeleteStopped : kStatusFilesDeleted);
    return removed;
}

bool DupFileDelClick(HashHistory& history, const std::vector<std::string>& rows,
                     const Selection& selection, const DeleteSeams& seams)
{
    const auto first = std::find(selection.begin(), selection.end(), true);
    const size_t row = static_cast<size_t>(first - selection.begin());
    if (first == selection.end() || row >= rows.size()) {
        Status(seams, kStatusNothingSelected);
        return false;
    }
    if (rows.size() == 1) {
        const Answer answer = seams.prompts
            ? seams.prompts->Message(kProgramName,
                                     "全てのファイルを削除しようとしています\r"
                                     "このファイルが必要ならどれか一つは残して下さい\r\r"
                                     "処理を中止しますか？（無視で全て削除します）",
                                     Buttons::AbortIgnore, BoxIcon::Warning)
            : Answer::Abort;
        if (answer != Answer::Ignore) {
            Status(seams, kStatusDeleteStopped);
            return false;
        }
    }
    const std::string& path = rows[row];
    Status(seams, "削除中　 " + path);
    if (!DeleteWithRecord(history, path, seams)) {
        Status(seams, kStatusDeleteStopped);
        return false;
    }
    Status(seams, "削除完了 " + path);
    return true;
}

std::string DupOptionStatus(DupOption option, bool on)
{
    switch (option) {
    case DupOption::Icons:
        return on ? "重複ファイル一覧にアイコンを表示します" : "重複ファイル一覧にアイコンを表示しません";
    case DupOption::BoldFont:
        return on ? "重複ファイル一覧の文字は太線で表示します" : "重複ファイル一覧の文字は細線で表示します";
    case DupOption::BorderLines:
        return on ? "重複ファイル一覧に罫線を表示します" : "重複ファイル一覧に罫線を表示しません";
    }
    return {};
}

}  // namespace qv
