#include "cli/Commands.h"

#include <string>
#include <vector>

#include "cli/HashOperands.h"
#include "cli/TerminalSession.h"
#include "job/BatchPaths.h"
#include "listout/ListCommands.h"
#include "platform/Paths.h"

namespace qv {
namespace {

constexpr int kUsageError = 2;

// Files the history holds no valid codes for are hashed here, as the window's commands do.
CodeSource Codes(TerminalSession& s)
{
    return CodeSource{s.history,
                      [&s](const std::vector<std::string>& paths) {
                          const HashPass pass = HashOperands(s, paths, [](const std::string&, const FileJobOutcome&) {});
                          return !pass.stopped && pass.failed == 0 && pass.rejected == 0;
                      },
                      s.settings.Verification};
}

// The list format named by its number (1..5); false after a usage message.
bool FormatNumbered(TerminalSession& s, const std::string& text, ListStyle& style)
{
    if (text.size() != 1 || text[0] < '1' || text[0] > '5') {
        s.out.Message("リスト書式の番号は 1 から 5 です: " + text);
        return false;
    }
    style.format = s.settings.ListFormats[static_cast<size_t>(text[0] - '1')];
    style.timestampFormats = s.settings.TimestampFormats;
    return true;
}

// Each named file, in the order given; a name that is not an accepted file stops the command
// before anything is written.
bool NamedFiles(TerminalSession& s, size_t first, std::vector<std::string>& paths)
{
    const PathMasks masks{s.settings.FileAttrMask, s.settings.FolderAttrMask};
    for (size_t i = first; i < s.operands.size(); ++i) {
        const PathItem item = CollectArgument(s.operands[i], masks, s.cwd);
        if (item.problem == PathProblem::None && !item.folder) {
            paths.push_back(item.path);
            continue;
        }
        PathItem shown = item;
        if (item.problem == PathProblem::None) shown.problem = PathProblem::Folder;
        s.out.Message(ParameterErrorText(EscapeName(item.path), shown));
        return false;
    }
    return true;
}

// Loads the history, runs the command, saves the history (new codes are kept even when the
// list could not be written) and reports.
int Finish(TerminalSession& s, const ListResult& result)
{
    const bool saved = !s.SaveHistory().Failed();
    if (s.Interrupted()) {
        s.out.Message("処理を中止しました");
        return 1;
    }
    if (result.outcome == ListOutcome::WriteFailed) {
        s.out.Message(result.error);
        return 1;
    }
    if (!result.status.empty()) s.out.Message(result.status);
    // A list that had to leave files out is not the list asked for.
    return result.outcome == ListOutcome::Written && result.leftOut == 0 && saved ? 0 : 1;
}

}  // namespace

int RunSfv(TerminalSession& s)
{
    std::vector<std::string> paths;
    if (!NamedFiles(s, 1, paths)) return 1;
    s.LoadHistory();
    CodeSource codes = Codes(s);
    const std::string target = ExpandLongPath(s.operands[0], s.cwd);
    return Finish(s, MakeSfvList(paths, target, codes, s.hooks.Now()));
}

int RunList(TerminalSession& s)
{
    ListStyle style;
    if (!FormatNumbered(s, s.operands[0], style)) return kUsageError;
    std::vector<std::string> paths;
    if (!NamedFiles(s, 2, paths)) return 1;
    s.LoadHistory();
    CodeSource codes = Codes(s);
    return Finish(s, MakeSelectionList(paths, style, ExpandLongPath(s.operands[1], s.cwd), codes));
}

int RunListTree(TerminalSession& s)
{
    TreeListRequest request;
    if (!FormatNumbered(s, s.operands[0], request.style)) return kUsageError;
    request.target = ExpandLongPath(s.operands[1], s.cwd);
    request.folder = ExpandLongPath(s.operands[2], s.cwd);
    request.folderMask = s.settings.FolderAttrMask;
    request.fileMask = s.settings.FileAttrMask;
    s.LoadHistory();
    CodeSource codes = Codes(s);
    const ListResult result = MakeTreeList(request, codes, [&s](const std::string&) { return !s.Interrupted(); });
    if (result.outcome == ListOutcome::NothingToList && result.status.empty()) {
        s.SaveHistory();
        s.out.PathMessage("リストに出力するファイルがありません: ", request.folder);
        return 1;
    }
    return Finish(s, result);
}

}  // namespace qv
