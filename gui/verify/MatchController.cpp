#include "gui/verify/MatchController.h"

#include <QClipboard>
#include <QGuiApplication>

#include "gui/verify/ClipViewer.h"
#include "history/HistorySearch.h"
#include "platform/StopFlag.h"
#include "processing/ResultPanel.h"
#include "settings/Settings.h"
#include "verify/Matching.h"
#include "verify/ViewerNavigation.h"

namespace qv {

void MatchController::MatchComparisonText()
{
    ResultView& result = p_.result;
    const MatchInput input{result.ShownCrc(), result.ShownMd5(), result.ShownName(), p_.batchStop().Requested(),
                           result.DuplicateMarkShown()};
    const MatchOptions options{p_.settings.CloseupCRC, p_.settings.CloseupMD5, p_.settings.CloseupFileName};
    const MatchOutcome out = qv::MatchComparisonText(p_.viewer.Comparison(), input, options);
    if (out.ran) {
        p_.viewer.ShowDocumentMarks(out.marks);
        result.MarkCodesFound(out.crcFound, out.md5Found);
    }
    if (out.clearResult) {
        result.HideDuplicateMark();
        p_.frame.SetCaption(kIdleCaption);
        result.Forget();
        p_.pages.SetResultShown(false);
    }
    p_.status.SetStatus(out.status);
    if (out.sound) p_.notifier.Play(*out.sound);
    p_.viewer.CaretToTop();
}

void MatchController::FindInViewer(const std::string& key)
{
    ClipViewer& viewer = p_.viewer;
    const FindResult found = qv::FindInViewer(viewer.Comparison(), key, viewer.Selection().start);
    if (found.found) {
        if (found.scrollToTop) viewer.ScrollToTop();
        viewer.Select(found.range);
        viewer.CenterSelection();
    }
    p_.status.SetStatus(found.status);
}

void MatchController::CopyAreaClick()
{
    // The viewer's own copy; with the clipboard mirrored, the copy comes back as the new
    // comparison text and is matched again.
    QGuiApplication::clipboard()->clear();
    p_.viewer.Widget()->copy();
}

void MatchController::LogSearchClick()
{
    const HistorySearchResult found = SearchHistoryByCode(p_.history, p_.viewer.SelectedText());
    if (found.index < 0) {
        p_.notifier.Play(Notification::Mismatch);
        p_.status.SetStatus(found.status);
        return;
    }
    // A record found is shown as freshly hashed: a batch cancelled earlier must not wipe it.
    p_.batchStop().Clear();
    p_.result.ShowResult(found.index);
    MatchComparisonText();
    p_.views.CallBasicFrameClick();
    p_.status.SetStatus(found.status);
}

}  // namespace qv
