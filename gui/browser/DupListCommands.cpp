#include "gui/browser/DupListCommands.h"

#include <QTreeWidget>

#include <algorithm>

#include "browser/FileCommands.h"
#include "gui/browser/DupList.h"
#include "gui/shell/Desktop.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "processing/Driver.h"
#include "processing/ResultPanel.h"
#include "settings/Settings.h"

namespace qv {

DupListCommands::DupListCommands(const Parts& parts, DupListView& list) : p_(parts), list_(list)
{
    connect(list_.Widget(), &QAbstractItemView::doubleClicked, this, [this] { DupListDblClick(); });
    connect(&list_, &DupListView::resized, this, [this] { DupListResize(); });
}

std::string DupListCommands::FirstSelected()
{
    const Selection rows = list_.SelectedRows();
    const auto first = std::find(rows.begin(), rows.end(), true);
    if (first == rows.end()) {
        p_.status.SetStatus(kStatusNothingSelected);
        return {};
    }
    return list_.Paths()[static_cast<size_t>(first - rows.begin())];
}

void DupListCommands::DupFileExecClick()
{
    const std::string path = FirstSelected();
    if (!path.empty()) OpenWithDesktop(OpenTarget(path));
}

void DupListCommands::DupFileOpenClick()
{
    const std::string path = FirstSelected();
    if (!path.empty()) OpenWithDesktop(FolderOf(path));
}

void DupListCommands::DupFileDelClick()
{
    const Selection rows = list_.SelectedRows();
    std::string refusedPath, reason;
    DeleteSeams seams;
    seams.prompts = &p_.prompts;
    seams.status = [this](const std::string& text) { p_.status.SetStatus(text); };
    seams.recycle = [&](const std::string& path) {
        const RecycleOutcome outcome = RecycleFile(path, p_.prompts, reason);
        if (outcome == RecycleOutcome::Failed) refusedPath = path;
        return outcome == RecycleOutcome::Trashed || outcome == RecycleOutcome::Gone;
    };
    if (!qv::DupFileDelClick(p_.history, list_.Paths(), rows, seams)) {
        if (!refusedPath.empty())
            p_.prompts.Message(kAppTitle, TrashFailureText({refusedPath}, reason), Buttons::Ok, BoxIcon::Error);
        return;
    }
    list_.RemoveRow(static_cast<int>(std::find(rows.begin(), rows.end(), true) - rows.begin()));
    p_.result.RefindShownRecord();
    // With one row left the shown file has no duplicate any more.
    if (list_.Widget()->topLevelItemCount() < 2) {
        p_.result.HideDuplicateMark();
        p_.menu.SetDupCommandsEnabled(false);
    }
}

void DupListCommands::DupListDblClick()
{
    const auto row = OnlySelected(list_.SelectedRows());
    if (!row) return;
    p_.driver.Enqueue(list_.Paths()[*row]);
    p_.views.CallBasicFrameClick();
    p_.driver.ProcessFiles();
}

void DupListCommands::DupListResize()
{
    if (p_.settings.AdjustDupWidth) list_.FitColumn();
}

void DupListCommands::DupListIconViewClick()
{
    list_.ApplyLook();
    int index = p_.result.ShownIndex();
    if (p_.settings.DupListIconView && p_.result.DuplicateMarkShown() && index >= 0) {
        list_.FindDuplicates(index);
        p_.result.RefindShownRecord();
    }
    p_.status.SetStatus(DupOptionStatus(DupOption::Icons, p_.settings.DupListIconView));
}

void DupListCommands::DupListBoldFontClick()
{
    list_.ApplyLook();
    p_.status.SetStatus(DupOptionStatus(DupOption::BoldFont, p_.settings.DupListBoldFont));
}

void DupListCommands::DupListBorderViewClick()
{
    list_.ApplyLook();
    p_.status.SetStatus(DupOptionStatus(DupOption::BorderLines, p_.settings.DupListBorderView));
}

}  // namespace qv
