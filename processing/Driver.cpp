#include "processing/Driver.h"

#include <utility>

#include "processing/ResultPanel.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"

namespace qv {

namespace {
// Resets the running mark however the batch ends.
struct RunningMark {
    bool& flag;
    explicit RunningMark(bool& f) : flag(f) { flag = true; }
    ~RunningMark() { flag = false; }
};
}  // namespace

void Driver::Enqueue(const std::string& path)
{
    queue_.push_back(path);
    ++batchTotal_;
}

std::string Driver::BatchText() const
{
    return "全体 (" + FormatGrouped(Done()) + "/" + FormatGrouped(batchTotal_) + "files)";
}

std::string RemainingTitle(size_t left)
{
    return "残り" + std::to_string(left) + "files";
}

void Driver::ProcessFiles(Recalc recalc, Quiet quiet)
{
    if (startingUp || queue_.empty()) return;
    if (host_.IsBusy() || running_) {
        // Called from inside the running batch's message pump: the new paths are further work.
        if (running_) {
            host_.SetTotalProgress(BatchText(), true);
            host_.SetTotalBar(batchTotal_, Done(), true);
            host_.Pump();
        }
        return;
    }
    int result = -1;
    stop.Clear();

    // A bulk command's one file is hashed like any other, whatever its extension.
    if (batchTotal_ == 1 && quiet == Quiet::No && host_.DispatchSingleFile(queue_.front())) {
        queue_.clear();
        batchTotal_ = 0;
        return;
    }

    {
        RunningMark mark(running_);
        host_.StartReader();
        host_.ShowBusy(true);
        if (batchTotal_ != 1) {
            host_.SetTotalBar(batchTotal_, Done(), true);
            host_.SetTotalProgress(BatchText(), true);
        } else {
            host_.SetTotalProgress("", true);
            host_.SetTotalBar(1, 0, false);
        }

        bool shown = false;
        while (!queue_.empty() && !stop.Requested()) {
            const std::string path = queue_.front();
            host_.SetAppTitle(RemainingTitle(queue_.size()));
            host_.SetCaption(path);
            host_.SetFileProgress("処理ファイル " + NameOf(path));
            host_.SetStatus("処理中");
            if (batchTotal_ > 1) {
                host_.SetTotalProgress(BatchText(), true);
                host_.SetTotalBar(batchTotal_, Done(), true);
            }
            // The busy display comes up with the first file at once; later files are shown
            // when the window's refresh is due.
            if (std::exchange(shown, true))
                host_.BetweenFiles();
            else
                host_.Pump();
            // A drop served by the pump may have asked for a stop before the file starts.
            if (stop.Requested()) break;
            result = host_.HashOne(path, recalc);
            if (!queue_.empty()) queue_.pop_front();
            if (result < 0) break;
        }

        lastComplete_ = queue_.empty() && result >= 0 && !stop.Requested();
        host_.StopReader();
        host_.RefreshFileView();
        if (stop.Requested()) {
            host_.ShowCancelled();
            host_.SetStatus("処理を中止しました");
        } else if (result >= 0 && quiet == Quiet::No) {
            host_.ShowResult(result);
            host_.MatchComparisonText();
        }
        host_.ShowBusy(false);
        host_.AfterBatch();
    }
    queue_.clear();
    batchTotal_ = 0;
}

}  // namespace qv
