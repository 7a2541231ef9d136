#pragma once
// The per-file hashing job: decides from the history whether a file must be read, has the
// reader thread read it while this (main) thread hashes the banks, stores the codes and stops
// the batch with a report on a read failure, a recalculation mismatch or a file that changed
// while it was read. It talks to the window only through JobSeams, so it runs without one.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/StopFlag.h"
#include "platform/WorkHooks.h"

namespace qv {

class Clock;
class FileSource;
struct FoundEntry;
class HashHistory;
class Prompts;
class ReadEngine;
struct Settings;

// Size class of the file being read, chosen once per file; it picks the progress units.
enum class SizeClass { KB, MB, GB };
SizeClass SizeClassOf(int64_t size);

// The engine settings as plain values (the window copies them from its Settings object).
struct EngineSettings {
    bool verification = false;   // "再計算し履歴と照合(&R)": re-read files the history holds
    int refreshRate = 800;       // ms between progress refreshes and message pumps
    int ioTimeOut = 10000;       // ms, every bank wait
    int ioRetryOut = 3;          // repeats of a failed or short read of one bank
    int64_t bufferSize = 65536;  // the setting; the engine rounds it to a multiple of 65536
    bool noCache = false;        // bypass the page cache
    int readPriority = 3;        // reader thread priority 1..5
};

// What the job needs of the window beyond the shared hooks.
struct JobSeams {
    // Status line, title, PgFile (range = banks of the file), pump, prompts and beep, clock,
    // stop request; nullptr: silent, the system clock and a stop flag of the job's own.
    WorkHooks* hooks = nullptr;
    // FolderList add hook: called with the folder (no trailing '/') of every newly recorded
    // file; the window adds it when no item equals it ignoring letter case.
    std::function<void(const std::string& folder)> folderSeen;
    std::function<int()> queueLength;                   // for "残り" + n + "files"
    // The path the next HashFile call is expected for ("" when none or unknown). The reader
    // then reads it while the current file's last bank is hashed; a call for another path
    // simply drops that read.
    std::function<std::string()> nextPath;
    // Serves pending input (a cancel, a drop) without bringing the display up to date; called
    // every pollPeriod milliseconds while files are read and between them (0: never). The
    // display itself is refreshed through hooks->Pump once per refresh period.
    std::function<void()> pollInput;
    uint32_t pollPeriod = 0;
};

struct FileJobOptions {
    // Test seam: the source each new reader thread reads through (nullptr: POSIX reads).
    std::function<std::unique_ptr<FileSource>()> fileSource;
    // Test seam: passed to the engine, makes the allocation of a bank fail.
    std::function<int(int bank)> allocFault;
    // Test seam: passed to the engine, how long a read-ahead waits for an idle reader.
    int readAheadIdleMs = 0;
};

// What the last HashFile did, for the headless mode and tests.
struct FileJobOutcome {
    int code = 0;           // ComputeCodes result (0 also when the codes came from the record)
    bool read = false;      // the file data was read (not taken from the history)
    bool reported = false;  // a report was shown and the cancel flag set
    std::string md5;        // the codes of the file ("" when none were obtained)
    std::string crc;
};

class FileJob {
public:
    // The banks are allocated here and live as long as the job (as long as the window).
    FileJob(HashHistory& history, JobSeams seams, const EngineSettings& settings,
            FileJobOptions options = {});
    ~FileJob();
    FileJob(const FileJob&) = delete;
    FileJob& operator=(const FileJob&) = delete;

    // Takes effect for the next batch (bank size) or the next file (everything else).
    void SetEngineSettings(const EngineSettings& settings);
    const EngineSettings& engineSettings() const { return settings_; }

    // A batch has one reader thread: BeginBatch starts it with the configured priority;
    // RequestReaderEnd asks it to end; EndBatch asks, waits for the end and destroys it.
    // HashFile outside a batch starts a reader by itself.
    void BeginBatch();
    void RequestReaderEnd();
    void EndBatch();
    bool ReaderRunning() const;

    // Hashes one file. Result: the file's history index, or -1 (missing file, recalculation
    // mismatch, read failure of a file without a record). Fatal problems have been reported
    // and the cancel flag set to -1 when it returns.
    int32_t HashFile(const std::string& path, bool recalc);
    // HashFile whose search was done by the caller a moment before (a folder listing, the
    // command-line check), so a file is not looked up twice; found must describe a file.
    int32_t HashFoundFile(const std::string& path, const FoundEntry& found, bool recalc);
    // Reads and hashes the file: 0 (codes set, or cancelled with both texts empty) or a
    // result code (below 0 engine, above 0 platform errno).
    int32_t ComputeCodes(const std::string& path, std::string& md5, std::string& crc);
    // Refreshes the progress texts and PgFile, pumps messages; returns the next refresh time.
    uint32_t UpdateFileProgress(SizeClass sizeClass, int64_t done, int64_t size);

    // Last three paths handed to ComputeCodes, newest first ("" where none yet).
    const std::array<std::string, 3>& RecentFiles() const { return recentFiles_; }
    const FileJobOutcome& LastOutcome() const { return outcome_; }

    uint32_t NextRefreshTime() const { return nextRefreshTime_; }
    void SetNextRefreshTime(uint32_t tick) { nextRefreshTime_ = tick; }
    // now + refresh period (and the next input poll one poll period on), as a batch starts.
    void ScheduleRefresh();
    // Between two files of a batch: refreshes the display once the refresh period has passed,
    // else polls input once the poll period has passed, so a batch of many small files costs
    // neither a repaint nor a message pump per file. A read-ahead is let go of first: a bank
    // held across a message pump could keep the reader waiting on it past its time-out while
    // a dialog is open.
    void Pace();

    bool StopRequested() const { return TheStop().Requested(); }
    void RequestStop() { TheStop().Request(); }
    void ClearStop() { TheStop().Clear(); }

    ReadEngine& Engine() { return *engine_; }

private:
    void Status(const std::string& text) const;
    void Title(const std::string& text) const;
    void Beep() const;
    void BringToFront() const;
    void ShowReport(const std::string& text) const;
    int QueueLength() const;
    const Clock& TheClock() const;
    StopFlag& TheStop() const;
    Prompts* ThePrompts() const { return seams_.hooks ? seams_.hooks->prompts : nullptr; }
    void MakeEngine();
    // ComputeCodes with the file facts already known (size -1: not found). chain: the next
    // path may be read ahead.
    int32_t Compute(const std::string& path, int64_t size, double stamp, bool chain,
                    std::string& md5, std::string& crc);
    // The read-ahead hook: the next path, when it exists as a file that will need reading.
    bool NextToRead(const std::string& current, bool recalc, std::string& path, int64_t& size);
    // Lets go of a read-ahead that the coming file does not take; a reader that failed on it
    // is replaced so its error does not fall on that file.
    void DropReadAhead();
    bool Polling() const { return seams_.pollInput && seams_.pollPeriod > 0; }
    // Inside a file, at the wake-up time: a progress refresh when due, else an input poll.
    // Returns the next wake-up time.
    uint32_t Wake(SizeClass sizeClass, int64_t done, int64_t size);
    void Polled(uint32_t tick) { nextPoll_ = tick + seams_.pollPeriod; }
    // The earlier of the next refresh and, when polling, the next poll.
    uint32_t NextWake() const;

    HashHistory& history_;
    JobSeams seams_;
    EngineSettings settings_;
    FileJobOptions options_;
    std::unique_ptr<ReadEngine> engine_;
    struct Reader;
    std::unique_ptr<Reader> reader_;
    std::array<std::string, 3> recentFiles_;
    FileJobOutcome outcome_;
    uint32_t nextRefreshTime_ = 0;
    uint32_t nextPoll_ = 0;
    uint32_t nextWake_ = 0;
    mutable StopFlag ownStop_;
    bool recalc_ = false;   // of the HashFile running, to tell whether the next file is read
};

}  // namespace qv
