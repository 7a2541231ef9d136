#pragma once
#include <functional>
#include <string>

#include "gui/shell/Shell.h"
#include "history/HistoryPersistence.h"
#include "platform/WorkHooks.h"

namespace qv {

class DriverHost;

// The history commands of the window: clear, keep period, size threshold, bulk registration
// and removal (履歴情報, 履歴一括処理), import and export (the file menu). The decisions live in
// history/Maintenance and history/ImportExport; this class asks, shows and hashes.
class HistoryController {
public:
    struct Parts {
        Settings& settings;
        HashHistory& history;
        Driver& driver;
        DriverHost& host;            // RefreshFileView after the history changed
        ResultView& result;          // the shown file's record may have moved or gone
        Prompts& prompts;
        FileDialogs& dialogs;
        StatusLine& status;
        BusyPanel& busy;
        FolderItems& folders;
        HistoryFileState& state;     // HistoryFileRead / HistoryFileTime, shared with the lifecycle
        std::function<WorkHooks()> hooks;
        std::string historyPath;
    };
    explicit HistoryController(Parts parts) : p_(std::move(parts)) {}

    void LogClearClick();
    void LogKeepSetClick();
    void LogInhibitSizeClick();
    void FolderScanClick();
    void LogEraseClick();
    void InportLOGClick();
    void ExportLOGClick();

private:
    // Another piece of work owns the window: start-up, a batch, or the busy display.
    bool Occupied() const;
    WorkHooks Hooks() const;
    // The file view and the shown record follow a change of the store.
    void AfterHistoryChanged();

    Parts p_;
};

}  // namespace qv
