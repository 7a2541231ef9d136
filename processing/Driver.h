#pragma once
#include <deque>
#include <string>

#include "platform/StopFlag.h"

namespace qv {

// Read every file again although the history holds its codes, and compare (recalculation).
enum class Recalc { No, Yes };
// No result panel and no matching after the batch: bulk commands work on the records.
enum class Quiet { No, Yes };

// What the processing driver needs from the window it runs in. The window implements it with
// widgets; everything here is called on the window thread.
class DriverHost {
public:
    virtual ~DriverHost() = default;
    virtual bool IsBusy() const = 0;                  // BuzyPanel visible
    virtual void ShowBusy(bool busy) = 0;
    virtual void SetTotalProgress(const std::string& text, bool visible) = 0;   // LbTotalProgress
    virtual void SetTotalBar(int maximum, int position, bool visible) = 0;      // PgTotal
    virtual void SetFileProgress(const std::string& text) = 0;                  // LbFileProgress
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetAppTitle(const std::string& text) = 0;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void Pump() = 0;                          // let the window process pending messages
    // Between two files: lets the window run when its refresh or an input poll is due.
    virtual void BetweenFiles() = 0;
    // The reader thread lives for one batch.
    virtual void StartReader() = 0;
    virtual void StopReader() = 0;
    // The per-file job: the history index of the handled file, or -1.
    virtual int HashOne(const std::string& path, Recalc recalc) = 0;
    // Closing display pieces.
    virtual void ShowCancelled() = 0;                 // caption reset, MainPanel hidden
    virtual void ShowResult(int index) = 0;
    virtual void MatchComparisonText() = 0;
    virtual void AfterBatch() = 0;                    // view fix-ups once the busy display is gone
    virtual void RefreshFileView() = 0;               // when the file view is visible
    // Single-file dispatch of comparison and PAR files; false when the extension is not one.
    virtual bool DispatchSingleFile(const std::string& path) = 0;
};

// The processing queue and the driver every producer of paths goes through.
class Driver {
public:
    explicit Driver(DriverHost& host) : host_(host) {}

    // The stop request of the running batch (cancel button, ESC, a failed file).
    StopFlag stop;
    // Set during window creation, cleared after the history load; the driver waits meanwhile.
    bool startingUp = false;

    const std::deque<std::string>& ProcessingQueue() const { return queue_; }
    int BatchTotal() const { return batchTotal_; }
    int Done() const { return batchTotal_ - static_cast<int>(queue_.size()); }
    bool Running() const { return running_; }
    // The last batch hashed every queued file: no stop, no file that failed or vanished.
    bool LastBatchComplete() const { return lastComplete_; }

    // Appends one path and counts it in the batch.
    void Enqueue(const std::string& path);
    // Runs the queued paths as one batch (or feeds the running batch).
    void ProcessFiles(Recalc recalc = Recalc::No, Quiet quiet = Quiet::No);
    void Cancel() { stop.Request(); }

    // "全体 (1,203/2,000files)"
    std::string BatchText() const;

private:
    DriverHost& host_;
    std::deque<std::string> queue_;
    int batchTotal_ = 0;
    bool running_ = false;
    bool lastComplete_ = false;
};

// "残り12files"
std::string RemainingTitle(size_t left);

}  // namespace qv
