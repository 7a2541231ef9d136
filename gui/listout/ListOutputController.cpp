#include "gui/listout/ListOutputController.h"

#include <QElapsedTimer>

#include "gui/listout/FormatSetForm.h"
#include "gui/shell/BusyPanel.h"
#include "gui/shell/FileDialogs.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "processing/Driver.h"
#include "processing/ResultPanel.h"
#include "settings/Settings.h"

namespace qv {
namespace {

constexpr const char* kTreeFolderPrompt = "検索フォルダを指定して下さい\r警告！長時間処理中になります";
// How often the folder walk lets the window serve the cancel button.
constexpr qint64 kWalkPumpMs = 100;

std::vector<FileFilter> DialogFilters(const std::vector<SaveFilter>& filters)
{
    std::vector<FileFilter> out;
    for (const SaveFilter& f : filters) out.push_back({f.description, f.pattern});
    return out;
}

bool ValidFormat(int n) { return n >= 1 && static_cast<size_t>(n) <= kListFormatCount; }

}  // namespace

ListOutputController::ListOutputController(const Parts& parts)
    : p_(parts), dialog_(new FormatSetForm(p_.settings.ListFormats, p_.settings.TimestampFormats, p_.window))
{
}

void ListOutputController::SetFileFormatClick()
{
    dialog_->exec();
    p_.menus.UpdateFormatMenus();
}

CodeSource ListOutputController::Codes()
{
    return CodeSource{p_.history, [this](const std::vector<std::string>& paths) { return HashInDriver(paths); },
                      p_.settings.Verification};
}

bool ListOutputController::HashInDriver(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) p_.driver.Enqueue(path);
    p_.driver.ProcessFiles(Recalc::No, Quiet::Yes);
    return !p_.driver.stop.Requested();
}

ListStyle ListOutputController::StyleOf(int n) const
{
    return ListStyle{p_.settings.ListFormats[static_cast<size_t>(n - 1)], p_.settings.TimestampFormats};
}

void ListOutputController::Report(const ListResult& result)
{
    if (result.outcome == ListOutcome::WriteFailed) {
        // The progress text of the command would claim it is still under way.
        p_.status.SetStatus("");
        p_.prompts.Message(kAppTitle, result.error, Buttons::Ok, BoxIcon::Error);
        return;
    }
    if (!result.status.empty()) p_.status.SetStatus(result.status);
}

void ListOutputController::CheckFileFormatClick(int n, const std::vector<std::string>& selection)
{
    if (!ValidFormat(n)) return;
    if (selection.empty()) {
        p_.status.SetStatus("ファイルが選択されていません");
        return;
    }
    const ListFormatTable& formats = p_.settings.ListFormats;
    // The type chosen in the dialog decides the format; the typed name is kept as it is.
    int chosen = n;
    const std::string target =
        p_.dialogs.SaveFile("", SelectionListFileName(FolderOf(selection.front()), formats[static_cast<size_t>(n - 1)]),
                            DialogFilters(SelectionListFilters(formats)), chosen);
    if (target.empty()) {
        p_.status.SetStatus("比較ファイル作成処理が中止されました");
        return;
    }
    CodeSource codes = Codes();
    Report(MakeSelectionList(selection, StyleOf(ValidFormat(chosen) ? chosen : n), target, codes));
}

void ListOutputController::SFVMakeClick(const std::vector<std::string>& selection)
{
    if (selection.empty()) {
        p_.status.SetStatus("ファイルが選択されていません");
        return;
    }
    int chosen = 1;
    const std::string target =
        p_.dialogs.SaveFile("", SfvFileName(FolderOf(selection.front())), DialogFilters({SfvFilter()}), chosen);
    if (target.empty()) {
        p_.status.SetStatus("SFVファイル作成処理が中止されました");
        return;
    }
    CodeSource codes = Codes();
    Report(MakeSfvList(selection, target, codes, p_.clock.Now()));
}

void ListOutputController::MakeFileList(int n)
{
    if (!ValidFormat(n)) return;
    const std::string folder = p_.dialogs.ChooseFolder(kTreeFolderPrompt, lastTreeFolder_);
    if (folder.empty()) return;
    lastTreeFolder_ = folder;
    const ListFormatTable& formats = p_.settings.ListFormats;
    int chosen = n;
    const std::string target = p_.dialogs.SaveFile("", TreeListFileName(folder, formats[static_cast<size_t>(n - 1)]),
                                                   DialogFilters(TreeListFilters(formats)), chosen);
    if (target.empty()) return;

    TreeListRequest request;
    request.folder = folder;
    request.target = target;
    request.folderMask = p_.settings.FolderAttrMask;
    request.fileMask = p_.settings.FileAttrMask;
    request.style = StyleOf(ValidFormat(chosen) ? chosen : n);

    // The walk of a large tree takes a while: it runs under the busy display, whose cancel
    // button stops it, and the display goes before the driver puts up its own.
    bool walking = true;
    p_.driver.stop.Clear();
    p_.busy.SetFileLabel("");
    p_.busy.SetFileRange(0);
    p_.busy.Show();
    p_.pump.Refresh();
    const auto endWalk = [&] {
        if (walking) p_.busy.Hide();
        walking = false;
    };
    QElapsedTimer sincePump;
    sincePump.start();
    CodeSource codes{p_.history,
                     [&](const std::vector<std::string>& paths) {
                         endWalk();
                         return HashInDriver(paths);
                     },
                     p_.settings.Verification};
    const ListResult result = MakeTreeList(request, codes, [&](const std::string& text) {
        p_.status.SetStatus(text);
        if (!walking) return true;
        p_.busy.SetComment(text);
        if (sincePump.elapsed() >= kWalkPumpMs) {
            p_.pump.Refresh();
            sincePump.restart();
        }
        return !p_.driver.stop.Requested();
    });
    endWalk();
    Report(result);
}

}  // namespace qv
