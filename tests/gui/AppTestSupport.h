#pragma once
#include <gtest/gtest.h>

#include <QApplication>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/shell/FileDialogs.h"
#include "gui/shell/LifecycleController.h"
#include "gui/shell/MainWindow.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

namespace qv {

// Runs the event loop until cond holds or the time-out passes; true when it held.
bool WaitFor(const std::function<bool()>& cond, int timeoutMs = 10000);

class ScriptedFileDialogs : public FileDialogs {
public:
    std::vector<std::vector<std::string>> answers;
    std::vector<std::string> shownFolders;
    std::vector<std::string> OpenFiles(const std::string&, const std::string& folder,
                                       const std::string&) override;
};

// One window over a fresh data folder, with scripted prompts and dialogs.
class WindowTest : public ::testing::Test {
protected:
    TempDir dir;
    ScriptedPrompts prompts;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    std::string Home() const { return dir.Path("home"); }
    // Creates the window (not shown yet).
    MainWindow& Create(std::vector<std::string> arguments = {}, std::function<void()> pumpHook = {});
    // Creates and shows it, and waits for the start-up to finish.
    MainWindow& Start(std::vector<std::string> arguments = {}, std::function<void()> pumpHook = {});
    // Closes through the normal path and destroys the window.
    void CloseAndDestroy();
    // Drops the paths and waits for the batch to end.
    void DropAndWait(const std::vector<std::string>& paths);
    // A history file in the data folder holding one record for path, so the start-up load runs.
    void WriteHistoryWith(const std::string& path);
    std::string Text(const char* objectName) const;
    bool Shown(const char* objectName) const;
    void TearDown() override;
};

}  // namespace qv
