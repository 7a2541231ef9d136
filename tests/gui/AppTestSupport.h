#pragma once
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>
#include <QUrl>

#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/shell/FileDialogs.h"
#include "gui/shell/LifecycleController.h"
#include "gui/shell/MainWindow.h"
#include "gui/verify/SoundController.h"
#include "history/HashHistory.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "processing/Driver.h"
#include "settings/Settings.h"
#include "support/ControlledSource.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "support/TestClock.h"

namespace qv {

// Runs the event loop until cond holds or the time-out passes; true when it held.
bool WaitFor(const std::function<bool()>& cond, int timeoutMs = 10000);

class ScriptedFileDialogs : public FileDialogs {
public:
    std::vector<std::vector<std::string>> answers;   // OpenFiles and OpenFile, in turn
    std::vector<std::string> shownFolders;
    // ChooseSoundFile: the answers, and where each chooser started.
    std::vector<std::string> soundAnswers;
    std::vector<std::pair<std::string, std::string>> soundStarts;
    // SaveFile: the answers (path, "" cancels; the filter entry chosen, 0 keeps the one offered)
    // and what each dialog offered.
    struct SaveOffer {
        std::string fileName;
        std::vector<FileFilter> filters;
        int filterIndex = 0;
    };
    std::vector<std::pair<std::string, int>> saveAnswers;
    std::vector<SaveOffer> saveOffers;
    // ChooseFolder: the answers ("" cancels) and the prompts shown.
    std::vector<std::string> folderAnswers;
    std::vector<std::string> folderPrompts;
    std::vector<std::string> OpenFiles(const std::string&, const std::string& folder,
                                       const std::string&) override;
    std::string OpenFile(const std::string& title, const std::string& folder, const std::string& filter) override;
    std::string ChooseSoundFile(const std::string& startFile, const std::string& startFolder,
                                const std::function<void(const std::string&)>& preview) override;
    std::string SaveFile(const std::string& title, const std::string& fileName, const std::vector<FileFilter>& filters,
                         int& filterIndex) override;
    std::string ChooseFolder(const std::string& prompt, const std::string& startFolder) override;
    // ChooseColour: the answers (nullopt cancels; an empty script cancels too) and the colour
    // each dialog opened on.
    std::vector<std::optional<uint32_t>> colourAnswers;
    std::vector<uint32_t> colourStarts;
    bool ChooseColour(uint32_t& colour) override;
};

// Records what would be heard: "beep", or the wave file's name.
class RecordedSounds : public SoundOutput {
public:
    std::vector<std::string> played;
    void Beep() override { played.push_back("beep"); }
    void PlayWave(const std::string& file) override;
};

// Stands in for the desktop: every file: and https: address the program asks it to open.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    OpenedUrls();
    ~OpenedUrls() override;
    std::vector<QUrl> urls;
    // Encoded, so bytes that are not UTF-8 stay visible.
    std::vector<std::string> Encoded() const;

public Q_SLOTS:
    void Open(const QUrl& url) { urls.push_back(url); }
};

// One window over a fresh data folder, with scripted prompts and dialogs and a file source
// that records what the reader opens. The test talks to it through its Shell and through
// widgets and menu items found by their names, as a person would.
class WindowTest : public ::testing::Test {
protected:
    TempDir dir;
    ScriptedPrompts prompts;
    ScriptedFileDialogs dialogs;
    test::SourceControl source;
    RecordedSounds sounds;
    // The window's tick. By default every look at it finds a refresh period gone, so the
    // display refreshes (and pumps) between every two files as it would for long files; with
    // step 0 it stands, nothing pumps between files and every read-ahead is taken.
    test::TestClock ticks;
    // Whatever a test trashes lands in the real freedesktop.org trash inside its own folder.
    WindowTest();
    ~WindowTest() override;
    std::unique_ptr<MainWindow> window;
    // The help menu's page ("" : none), whatever page the build names.
    std::string homePage;

    std::string Home() const { return dir.Path("home"); }
    // The shipped data: Media/ holds the four default sounds unless a test removes one.
    std::string Shipped() const { return dir.Path("shipped"); }
    // Creates the window (not shown yet).
    MainWindow& Create(std::vector<std::string> arguments = {}, std::function<void()> pumpHook = {});
    // Creates and shows it, and waits for the start-up to finish.
    MainWindow& Start(std::vector<std::string> arguments = {}, std::function<void()> pumpHook = {});
    // Closes through the normal path and destroys the window.
    void CloseAndDestroy();
    // Drops the paths and waits for the batch to end.
    void DropAndWait(const std::vector<std::string>& paths);
    // Starts the window and drops the paths.
    void StartAndDrop(const std::vector<std::string>& paths)
    {
        Start();
        DropAndWait(paths);
    }
    // A history file in the data folder holding one record for path, so the start-up load runs.
    void WriteHistoryWith(const std::string& path);
    // Reads back the history file a data folder holds (the test's own by default).
    void ReadSaved(HashHistory& h, const std::string& home = {}) const;
    std::string Trashed(const std::string& name) const { return dir.Path("xdg/Trash/files/" + name); }
    // The marked stretches of the clip viewer in text order; each must carry the pickup colour.
    std::vector<std::string> ViewerMarks() const;

    const Shell& S() const { return window->shell(); }
    Driver& TheDriver() const { return window->shell().driver; }
    bool Idle() const;   // started up, no batch, nothing queued
    int32_t IndexOf(const std::string& path) const;
    std::string Status() const;
    std::string Caption() const;
    // The files the reader opened, in order, each once (a read-ahead let go of and read again
    // counts once).
    std::vector<std::string> Hashed();

    QAction* Action(const char* objectName) const;
    void Trigger(const char* objectName) const;
    void Click(const char* objectName) const;
    void DoubleClick(const char* objectName) const;
    void PressEnter() const;
    std::string Text(const char* objectName) const;
    bool Shown(const char* objectName) const;
    template <class T>
    T* Find(const char* objectName) const
    {
        T* w = window->findChild<T*>(QString::fromLatin1(objectName));
        EXPECT_NE(w, nullptr) << objectName;
        return w;
    }

private:
    std::optional<std::string> savedDataHome_;
};

}  // namespace qv
