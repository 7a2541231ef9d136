#pragma once
#include <string>
#include <vector>

#include "gui/shell/Shell.h"
#include "processing/Driver.h"

namespace qv {

// The processing driver in the window: the producers of paths (drop, open dialog, command
// line, recalculation), the busy display and the driver's window callbacks.
class ProcessingController final : public DriverHost {
public:
    struct Parts {
        const Settings& settings;
        FileJob& job;
        FileDialogs& dialogs;
        StatusLine& status;
        WindowFrame& frame;
        MessagePump& pump;
        Pages& pages;
        BusyPanel& busy;
        FolderItems& folders;
        FileSelection& files;
        ResultView& result;
        ViewSwitch& views;
        ComparisonCheck& check;
        ComparisonFiles& comparisonFiles;
    };
    explicit ProcessingController(const Parts& parts) : p_(parts) {}
    ProcessingController(const ProcessingController&) = delete;
    ProcessingController& operator=(const ProcessingController&) = delete;

    // The processing queue and the batch every producer goes through.
    Driver& TheDriver() { return driver_; }

    // Producers.
    void DropHandler(const std::vector<std::string>& items);
    void OpenFilesClick();
    void RecalcExecute();
    void AddCommandLineFiles(const std::vector<std::string>& arguments);
    void CanButtonClick();
    // Off from the start of shut-down: drops are ignored.
    void SetDropsEnabled(bool enabled) { dropsEnabled_ = enabled; }
    bool DropsEnabled() const { return dropsEnabled_; }

    // DriverHost.
    bool IsBusy() const override;
    void ShowBusy(bool busy) override;
    void SetTotalProgress(const std::string& text, bool visible) override;
    void SetTotalBar(int maximum, int position, bool visible) override;
    void SetFileProgress(const std::string& text) override;
    void SetStatus(const std::string& text) override;
    void SetAppTitle(const std::string& text) override;
    void SetCaption(const std::string& text) override;
    void Pump() override;
    void BetweenFiles() override;
    void StartReader() override;
    void StopReader() override;
    int HashOne(const std::string& path, Recalc recalc) override;
    void ShowCancelled() override;
    void ShowResult(int index) override;
    void MatchComparisonText() override;
    void AfterBatch() override;
    void RefreshFileView() override;
    bool DispatchSingleFile(const std::string& path) override;

private:
    Parts p_;
    Driver driver_{*this};
    bool dropsEnabled_ = true;
};

}  // namespace qv
