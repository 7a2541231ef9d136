#pragma once
#include <string>
#include <vector>

#include "processing/Driver.h"

namespace qv {

class MainWindow;

// The processing driver's side in the window: the producers of paths (drop, open dialog,
// command line, recalculation), the busy display and the driver's window callbacks.
class ProcessingController final : public DriverHost {
public:
    explicit ProcessingController(MainWindow& window) : w_(window) {}

    // Producers.
    void DropHandler(const std::vector<std::string>& items);
    void OpenFilesClick();
    void RecalcExecute();
    void AddCommandLineFiles(const std::vector<std::string>& arguments);
    void CanButtonClick();
    bool dropsEnabled = true;

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
    void StartReader() override;
    void StopReader() override;
    int HashOne(const std::string& path, bool recalc) override;
    void ShowCancelled() override;
    void ShowResult(int index) override;
    void MatchComparisonText() override;
    void AfterBatch() override;
    void RefreshFileView() override;
    bool DispatchSingleFile(const std::string& path) override;

private:
    MainWindow& w_;
};

}  // namespace qv
