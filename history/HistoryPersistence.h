#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "history/HashHistory.h"
#include "history/HistoryFiles.h"
#include "platform/WorkHooks.h"
#include "platform/Attributes.h"

namespace qv {

// The history settings the start-up load and the exit save use.
struct HistoryOptions {
    int32_t keepDays = 14;    // 0 or less: the history file is neither loaded nor saved
    int64_t sizeLimit = 0;
    int32_t readMode = 1;     // 1 every start, 2 only without arguments, 3 never
    int32_t saveMode = 1;     // 1 merge into the file, 2 dated file beside it, 3 do not save
    uint32_t fileMask = kAttrArchive | kAttrReadOnly;   // for the inspection after loading

    HistoryReadOptions ReadOptions() const { return {keepDays, sizeLimit}; }
};

// One state of the history file: its last-write time at full resolution and the file itself.
// Every save renames a new file in, so a rewrite within the clock's resolution (a few
// milliseconds for file times) still differs. All zero when there is no file. Only ever
// compared with itself.
struct HistoryFileMark {
    double time = 0.0;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;

    bool operator==(const HistoryFileMark&) const = default;
};

// HistoryFileRead: the store holds all of the history file as it is on disk.
// HistoryFileTime: HistoryFileStamp when noted (all zero when it did not exist).
struct HistoryFileState {
    bool HistoryFileRead = false;
    HistoryFileMark HistoryFileTime;
};

inline constexpr const char* kHistoryFileName = "Quenvarlith.dat";

std::string HistoryFilePath(const std::string& dataFolder);
HistoryFileMark HistoryFileStamp(const std::string& path);
// folder/Quenvarlith-yyyymmdd_nnn<extension> with the first n (from 1) that names no file.
std::string DatedHistoryName(const std::string& folder, double now, const std::string& extension);

// The exclusive-open probe: open and flock(LOCK_EX | LOCK_NB), released at once. False with
// the errno when the file cannot be opened (or is no regular file) or another open file
// description holds the lock. Never blocks.
bool ProbeHistoryFile(const std::string& path, int& errorCode);

// The box shown when the probe fails (Abort / Retry): true when the user wants another try.
bool AskToRetryHistoryRead(int errorCode, WorkHooks& ui);

// Holds the exclusive lock of the history file while it is saved, so another copy's probe
// fails meanwhile. Waits up to waitMs for a lock held by another copy.
class HistoryFileLock {
public:
    HistoryFileLock() = default;
    ~HistoryFileLock() { Release(); }
    HistoryFileLock(const HistoryFileLock&) = delete;
    HistoryFileLock& operator=(const HistoryFileLock&) = delete;

    bool Acquire(const std::string& path, int waitMs);
    void Release();
    bool Held() const { return held_; }
    bool Opened() const { return fd_ >= 0; }   // the file could be opened for reading
    // Not held because another copy kept the lock (or kept replacing the file) all the while.
    bool Contended() const { return !held_ && contended_; }

private:
    int fd_ = -1;
    bool held_ = false;
    bool contended_ = false;
};

// The lock of the data folder that every writer of history files there holds from its first
// look at the history file to its last rename, so two copies never decide on the same state
// of the folder, and a temporary file found under it belongs to no live save.
class HistorySaveLock {
public:
    HistorySaveLock() = default;
    ~HistorySaveLock();
    HistorySaveLock(const HistorySaveLock&) = delete;
    HistorySaveLock& operator=(const HistorySaveLock&) = delete;

    bool Acquire(const std::string& folder, int waitMs);
    bool Held() const { return held_; }
    bool Contended() const { return !held_ && contended_; }   // another save kept it

private:
    int fd_ = -1;
    bool held_ = false;
    bool contended_ = false;
};

// How the program was started, for the read mode and the Shift key rule.
struct StartConditions {
    bool withArguments = false;   // files were named on the command line
    bool shiftHeld = false;       // the Shift key was down at the first activation
};

struct StartLoadOutcome {
    bool attempted = false;          // the file was read
    bool loadResult = false;
    bool foldersReplaced = false;    // folders holds the new folder list
    std::vector<std::string> folders;
};

// The start-up step: probe, read, inspect, and the outcome status text. Settles
// state.HistoryFileRead.
StartLoadOutcome LoadHistoryAtStart(HashHistory& store, const HistoryOptions& options,
                                    HistoryFileState& state, const std::string& historyPath,
                                    const StartConditions& start, WorkHooks& ui);

enum class ExitSave {
    Nothing,       // off, nothing to write, or save mode 3
    Overwritten,   // the file was read and is unchanged: the store replaces it
    Merged,        // save mode 1: the file merged in, then replaced
    DatedFile,     // save mode 2, or a merge that could not be done safely (see below)
    Created,       // there was no history file
};

struct ExitSaveOutcome {
    ExitSave action = ExitSave::Nothing;
    bool written = false;         // the write succeeded
    std::string path;             // the file written (or attempted)
    // A history file that could not be read whole keeps its bytes under this dated name
    // before the merge replaces it ("" when there was none).
    std::string keptAs;

    bool Failed() const { return action != ExitSave::Nothing && !written; }
};

// The status text (and terminal message) for a damaged history file kept under keptAs.
std::string KeptDamagedHistoryText(const std::string& historyPath, const std::string& keptAs);

// The exit save, under the folder's save lock (waiting up to lockWaitMs for another copy's
// save; a file that appeared meanwhile counts as changed). A merge goes to a dated file when
// the history file cannot be opened, another copy keeps it locked, the user stops the merge,
// or a file not read whole cannot be kept under a dated name first.
ExitSaveOutcome SaveHistoryAtExit(HashHistory& store, const HistoryOptions& options,
                                  const HistoryFileState& state, const std::string& historyPath,
                                  WorkHooks& ui, int lockWaitMs = 10000);

}  // namespace qv
