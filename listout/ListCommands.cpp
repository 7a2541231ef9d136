#include "listout/ListCommands.h"

#include "history/HashHistory.h"
#include "platform/Attributes.h"
#include "platform/DirSearch.h"
#include "platform/FolderWalk.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/Text.h"

#include <unordered_map>

namespace qv {
namespace {

// The root has no name of its own; its lists are named after it.
constexpr const char* kRootBaseName = "root";

bool NeedsHashing(const HashHistory& history, const std::string& path, const FoundEntry* found,
                  bool verification)
{
    if (verification) return true;
    int32_t index = 0;
    if (!history.Find(path, index)) return true;
    FoundEntry own;
    if (!found) {
        // A file gone since it was recorded keeps its recorded codes, as the tree list does.
        if (!FindPath(path, kAttrAny, own)) return false;
        found = &own;
    }
    return !RecordMatchesStamp(history.RecordAt(index), found->size, found->stamp);
}

ListResult Stopped(ListOutcome outcome, std::string status)
{
    ListResult result;
    result.outcome = outcome;
    result.status = std::move(status);
    return result;
}

std::string LeftOutText(size_t leftOut)
{
    return "改行を含む名前の" + FormatGrouped(static_cast<int64_t>(leftOut)) + "files はリストに書けません";
}

// Hashes what the history lacks and pairs every path with its record. False (result set)
// when the command ends here.
bool CollectEntries(const std::vector<std::string>& given, CodeSource& codes,
                    const char* cancelledText, std::vector<ListEntry>& entries, ListResult& result)
{
    if (given.empty()) {
        result = Stopped(ListOutcome::NothingToList, "ファイルが選択されていません");
        return false;
    }
    std::vector<std::string> paths;
    for (const std::string& path : given)
        if (!HasLineBreak(path)) paths.push_back(path);   // it would forge another entry
    result.leftOut = given.size() - paths.size();
    if (paths.empty()) {
        result = Stopped(ListOutcome::NothingToList, LeftOutText(result.leftOut));
        return false;
    }
    std::vector<std::string> toHash;
    for (const std::string& path : paths)
        if (NeedsHashing(codes.history, path, nullptr, codes.verification)) toHash.push_back(path);
    if (!toHash.empty() && codes.hash && !codes.hash(toHash)) {
        result = Stopped(ListOutcome::Cancelled, cancelledText);
        return false;
    }
    entries.clear();
    entries.reserve(paths.size());
    for (const std::string& path : paths) {
        int32_t index = 0;
        if (!codes.history.Find(path, index)) {
            result = Stopped(ListOutcome::MissingCodes, "Error Hash未計算ファイルを抽出" + NameOf(path));
            return false;
        }
        // Records live on the heap, so the pointer outlasts later inserts.
        entries.push_back({path, &codes.history.RecordAt(index)});
    }
    return true;
}

ListResult Finish(bool written, size_t count, std::string error, std::string doneText, size_t leftOut)
{
    ListResult result;
    result.leftOut = leftOut;
    if (leftOut > 0) doneText.append(" ").append(LeftOutText(leftOut));
    if (!written) {
        result.outcome = ListOutcome::WriteFailed;
        result.error = std::move(error);
        return result;
    }
    result.outcome = ListOutcome::Written;
    result.entries = count;
    result.status = std::move(doneText);
    return result;
}

std::string CreatedText(const std::string& target, size_t count)
{
    return NameOf(target) + "(" + FormatGrouped(static_cast<int64_t>(count)) + "files) を作成しました";
}

std::string BaseNameOf(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const std::string name = NameOf(folder);
    return name.empty() ? kRootBaseName : name;
}

// The records under a folder, grouped by the folder that holds each file, in the order the
// groups first appear in the history's sorted order. Each group holds its header and lines.
class TreeGroups {
public:
    explicit TreeGroups(const ListStyle& style) : style_(style) {}

    void Add(const std::string& path, const HistoryRecord& record)
    {
        const size_t slash = path.rfind('/');
        const std::string_view folder = slash == 0 ? std::string_view("/") : std::string_view(path).substr(0, slash);
        // Records come folder by folder, so the newest group is nearly always the one.
        if (groups_.empty() || lastKey_ != folder) {
            lastKey_.assign(folder);
            auto [it, added] = index_.try_emplace(lastKey_, groups_.size());
            if (added) {
                groups_.emplace_back();
                const std::string header = ListHeader(style_.format, lastKey_);
                if (!header.empty()) groups_.back().append(header).append("\r\n");
            }
            current_ = it->second;
        }
        groups_[current_].append(ListLine(style_, path, record)).append("\r\n");
        ++count_;
    }

    size_t Count() const { return count_; }

    std::string Text() const
    {
        size_t bytes = 0;
        for (const std::string& group : groups_) bytes += group.size() + 2;
        std::string text;
        text.reserve(bytes);
        for (const std::string& group : groups_) {
            text += group;
            if (style_.format.TailBlankLine) text += "\r\n";
        }
        return text;
    }

private:
    const ListStyle& style_;
    std::vector<std::string> groups_;
    // Folders are matched exactly: two folders whose names differ only in case are two here.
    std::unordered_map<std::string, size_t> index_;
    std::string lastKey_;
    size_t current_ = 0;
    size_t count_ = 0;
};

}  // namespace

ListResult MakeSelectionList(const std::vector<std::string>& paths, const ListStyle& style,
                             const std::string& target, CodeSource& codes)
{
    std::vector<ListEntry> entries;
    ListResult result;
    if (!CollectEntries(paths, codes, "比較ファイル作成処理が中止されました", entries, result)) return result;
    std::string error;
    const bool written = WriteFormatList(target, entries, style, error);
    return Finish(written, entries.size(), error, CreatedText(target, entries.size()), result.leftOut);
}

ListResult MakeSfvList(const std::vector<std::string>& paths, const std::string& target,
                       CodeSource& codes, double now)
{
    std::vector<ListEntry> entries;
    ListResult result;
    if (!CollectEntries(paths, codes, "SFVファイル作成処理が中止されました", entries, result)) return result;
    std::string error;
    const bool written = WriteSfvFile(target, entries, now, error);
    return Finish(written, entries.size(), error, CreatedText(target, entries.size()), result.leftOut);
}

ListResult MakeTreeList(const TreeListRequest& request, CodeSource& codes, const ListStatusStep& status)
{
    const auto show = [&](const std::string& text) { return !status || status(text); };
    const auto cancelled = [&] {
        return Stopped(ListOutcome::Cancelled, "リスト出力は中止されました 履歴件数" +
                                                   FormatGrouped(codes.history.Count()) + "件");
    };

    size_t accepted = 0;
    std::vector<std::string> toHash;
    const bool walked = WalkFolderTree(
        request.folder, request.folderMask, request.fileMask,
        [&](const std::string& path, const FoundEntry& entry) {
            if (path == request.target) return;
            ++accepted;
            if (NeedsHashing(codes.history, path, &entry, codes.verification)) toHash.push_back(path);
        },
        [&] { return show("フォルダ検索中 算出予約数" + FormatGrouped(static_cast<int64_t>(accepted)) + "files"); });
    if (!walked) return cancelled();
    if (accepted == 0) return Stopped(ListOutcome::NothingToList, {});
    const bool hashed = toHash.empty() || !codes.hash || codes.hash(toHash);
    show("ファイル分類中");
    if (!hashed) return cancelled();

    size_t count = 0, leftOut = 0;
    const std::string text =
        TreeListText(codes.history, request.folder, request.style, count, request.target, &leftOut);
    if (count == 0) return Stopped(ListOutcome::NothingToList, leftOut > 0 ? LeftOutText(leftOut) : std::string());

    show("リスト出力中");
    std::string error;
    const bool written = WriteListFile(request.target, text, error);
    return Finish(written, count, error, "リスト出力完了" + request.target, leftOut);
}

std::string TreeListText(const HashHistory& history, const std::string& folder, const ListStyle& style,
                         size_t& count, const std::string& leaveOut, size_t* leftOut)
{
    if (leftOut) *leftOut = 0;
    std::string prefix = folder;
    while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
    if (prefix != "/") prefix += '/';
    // The history's order folds letter case, so the records under the folder lie within the
    // run of keys that begin with the folder in any case; only exact matches are listed.
    TreeGroups groups(style);
    int32_t i = 0;
    history.Find(prefix, i);
    for (; i < history.Count(); ++i) {
        const std::string& path = history.PathAt(i);
        if (path.size() < prefix.size() || !EqualsAsciiFolded(std::string_view(path).substr(0, prefix.size()), prefix))
            break;
        if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0 || path == leaveOut) continue;
        if (!HasLineBreak(path)) groups.Add(path, history.RecordAt(i));
        else if (leftOut) ++*leftOut;
    }
    count = groups.Count();
    return groups.Text();
}

std::string SelectionListFileName(const std::string& folder, const ListFormat& format)
{
    return JoinPath(folder, BaseNameOf(folder) + (format.Extension == ".*" ? std::string(".MD5") : format.Extension));
}

std::string SfvFileName(const std::string& folder)
{
    return JoinPath(folder, BaseNameOf(folder) + ".sfv");
}

std::string TreeListFileName(const std::string& folder, const ListFormat& format)
{
    return JoinPath(folder, BaseNameOf(folder) + (format.Extension == ".*" ? std::string() : format.Extension));
}

std::vector<SaveFilter> SelectionListFilters(const ListFormatTable& formats)
{
    std::vector<SaveFilter> filters;
    for (const ListFormat& f : formats)
        filters.push_back({f.Name + "(*" + f.Extension + ")", "*" + f.Extension});
    return filters;
}

std::vector<SaveFilter> TreeListFilters(const ListFormatTable& formats)
{
    std::vector<SaveFilter> filters = SelectionListFilters(formats);
    for (size_t k = 0; k < filters.size(); ++k)
        filters[k].description.insert(0, "リスト書式-" + std::to_string(k + 1) + " ");
    return filters;
}

SaveFilter SfvFilter() { return {"SFVファイル(*.SFV)", "*.SFV"}; }

}  // namespace qv
