#pragma once
// What the window offers its subsystems, one small interface per need. MainWindow builds the
// pieces; each subsystem takes the few it uses in its constructor and never sees the window.
#include <string>
#include <vector>

namespace qv {

class BusyPanel;
class ComparisonText;
class Driver;
class FileDialogs;
class FileJob;
class HashHistory;
class Prompts;
struct Settings;
struct TextRange;
enum class Notification;

// The four views; the ticked view item records which one is current, also while busy.
enum class View { Basic, Clip, List, Dup };

// The status bar's one line, where almost every command reports its outcome.
class StatusLine {
public:
    virtual ~StatusLine() = default;
    virtual void SetStatus(const std::string& text) = 0;
    virtual std::string StatusText() const = 0;
};

// The window caption (the current file) and the application title (the task-bar text).
class WindowFrame {
public:
    virtual ~WindowFrame() = default;
    virtual void SetCaption(const std::string& text) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetAppTitle(const std::string& text) = 0;
    virtual std::string AppTitle() const = 0;
    virtual void BringToFront() = 0;
};

// Letting the window run inside long work.
class MessagePump {
public:
    virtual ~MessagePump() = default;
    // Brings what long work changed onto the screen and serves pending messages.
    virtual void Refresh() = 0;
    // Serves pending input (the cancel button, ESC, drops) and nothing else: what long work
    // changed since the last refresh stays off the screen.
    virtual void PollInput() = 0;
    // While deferred, the texts and bars long work changes reach the screen only at Refresh;
    // turned off, they are shown at once.
    virtual void DeferDisplay(bool deferred) = 0;
};

// Which page the client area shows: the current view, or the busy display over all views.
class Pages {
public:
    virtual ~Pages() = default;
    virtual View CurrentView() const = 0;
    virtual void SetView(View view) = 0;
    virtual bool Busy() const = 0;
    // The busy page, with the main menu taken away so that no command can start meanwhile.
    virtual void SetBusy(bool busy) = 0;
    // The basic frame shows the result panel (true) or the drop hint behind it (false).
    virtual bool ResultShown() const = 0;
    virtual void SetResultShown(bool shown) = 0;
};

// The view items of the menus.
class ViewMenu {
public:
    virtual ~ViewMenu() = default;
    virtual void TickView(View view) = 0;
    // The duplicate view commands (menu and popups), enabled while the shown file has duplicates.
    virtual void SetDupCommandsEnabled(bool enabled) = 0;
    virtual bool DupCommandsEnabled() const = 0;
};

// The view commands, for subsystems that switch views.
class ViewSwitch {
public:
    virtual ~ViewSwitch() = default;
    virtual void CallBasicFrameClick() = 0;
    virtual void CallClipViewerClick() = 0;
    virtual void CallListFrameClick() = 0;
    virtual void CallDupFrameClick() = 0;
};

// The result panel and the duplicate mark, as other subsystems see them.
class ResultView {
public:
    virtual ~ResultView() = default;
    virtual void ShowResult(int index) = 0;
    virtual int ShownIndex() const = 0;          // history index of the shown file, -1 when none
    virtual bool HasCodes() const = 0;           // the panel holds the codes of a file
    virtual bool DuplicateMarkShown() const = 0;
    virtual void HideDuplicateMark() = 0;
    // No file shown any more: panel emptied, index -1 (the caption is the caller's).
    virtual void Forget() = 0;
    virtual void FitNameScroller() = 0;
    // The codes and the name part as the panel shows them ("" when none).
    virtual std::string ShownCrc() const = 0;
    virtual std::string ShownMd5() const = 0;
    virtual std::string ShownName() const = 0;
    // The pickup colour on each code found in the comparison text, the normal colour otherwise.
    virtual void MarkCodesFound(bool crcFound, bool md5Found) = 0;
    // Records were removed or added: the shown file's index is looked up again by its path
    // (-1 when its record is gone), so it never points at another file's record.
    virtual void RefindShownRecord() = 0;
};

// The clip viewer's comparison text, for subsystems that check files against it.
class ComparisonTextView {
public:
    virtual ~ComparisonTextView() = default;
    virtual const ComparisonText& Comparison() const = 0;
    // Replaces every mark (pickup colour, underline) with these byte ranges of the text and
    // puts the caret back at the top.
    virtual void ShowMarks(const std::vector<TextRange>& marks) = 0;
};

// The match, mismatch, copy and duplicate sounds, as the settings choose them.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void Play(Notification notification) = 0;
};

// The check of the shown result against the comparison text.
class ComparisonCheck {
public:
    virtual ~ComparisonCheck() = default;
    virtual void MatchComparisonText() = 0;
};

// A file handed to the driver alone that is a comparison list or a PAR set is loaded or
// analysed instead of hashed.
class ComparisonFiles {
public:
    virtual ~ComparisonFiles() = default;
    // False: not such a file; hash it.
    virtual bool DispatchSingleFile(const std::string& path) = 0;
};

// FolderList: the folders that hold remembered files, in path-key order.
class FolderItems {
public:
    virtual ~FolderItems() = default;
    virtual void AddFolder(const std::string& folder) = 0;   // unless an item is that folder
    virtual void SetFolders(const std::vector<std::string>& folders) = 0;
    // Selects the item that is that folder; false when there is none.
    virtual bool SelectFolder(const std::string& folder) = 0;
    virtual std::string SelectedFolder() const = 0;
};

// The menu items named after the list formats: their captions follow the formats' names.
class FormatMenus {
public:
    virtual ~FormatMenus() = default;
    virtual void UpdateFormatMenus() = 0;
};

// DupList: the shown file and its duplicates.
class DuplicateList {
public:
    virtual ~DuplicateList() = default;
    // Fills the list for the record at index and returns its row count. Duplicates whose file
    // is gone leave the history, which may lower index.
    virtual int FindDuplicates(int& index) = 0;
    virtual void Clear() = 0;
};

// The file view of the list frame, for commands that work on its files.
class FileSelection {
public:
    virtual ~FileSelection() = default;
    // Full paths (the bytes on disk) of the selected files, in view order.
    virtual std::vector<std::string> SelectedPaths() const = 0;
    // The folder the file view shows ("" when none).
    virtual std::string ShownFolder() const = 0;
    // Reads the selected folder into the file view again (FolderListChange).
    virtual void Reread() = 0;
    // Rereads only while the list frame is the current view: after the history changed.
    virtual void RefreshIfShown() = 0;
};

// The window's services, each behind the interface of its need, for building subsystems and
// for tests; the settings object is the single source of truth of every setting.
struct Shell {
    Settings& settings;
    HashHistory& history;
    Driver& driver;
    FileJob& job;
    Prompts& prompts;
    FileDialogs& dialogs;
    StatusLine& status;
    WindowFrame& frame;
    MessagePump& pump;
    Pages& pages;
    BusyPanel& busy;
    FolderItems& folders;
    ComparisonTextView& comparison;
    Notifier& notifier;
    FileSelection& files;
};

}  // namespace qv
