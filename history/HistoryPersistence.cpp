#include "history/HistoryPersistence.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <ctime>

#include "platform/DateFormat.h"
#include "platform/DateTime.h"
#include "platform/DirSearch.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"

namespace qv {
namespace {

std::string Counted(int64_t count) { return FormatGrouped(count) + "件"; }

void PauseMs(int ms)
{
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

// A temporary file of a history write (".Quenvarlith.dat.XXXXXX", or of a dated file
// ".Quenvarlith-20240601_001.dat.XXXXXX") in the folder of historyName.
bool IsHistoryTemporary(std::string_view name, std::string_view historyName)
{
    constexpr size_t kSuffix = 7;   // ".XXXXXX" of mkstemp
    if (name.size() <= 1 + kSuffix || name[0] != '.' || name[name.size() - kSuffix] != '.') return false;
    for (const char c : name.substr(name.size() - kSuffix + 1))
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    const std::string_view target = name.substr(1, name.size() - 1 - kSuffix);
    const std::string_view stem = historyName.substr(0, historyName.rfind('.'));
    return target == historyName ||
           (target.size() > stem.size() + 5 && target.substr(0, stem.size()) == stem &&
            target[stem.size()] == '-' && target.substr(target.size() - 4) == ".dat");
}

// Saves killed before their rename leave their temporary files behind; under the save lock
// none of them belongs to a live save.
void RemoveStaleTemporaries(const std::string& historyPath)
{
    DIR* folder = ::opendir(FolderOf(historyPath).c_str());
    if (!folder) return;
    const std::string historyName = NameOf(historyPath);
    while (const dirent* e = ::readdir(folder)) {
        struct stat st {};
        if (IsHistoryTemporary(e->d_name, historyName) &&
            ::fstatat(::dirfd(folder), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(::dirfd(folder), e->d_name, 0);
    }
    ::closedir(folder);
}

// The bytes of a history file that could not be read whole, kept under the next free dated
// name so they can be imported later; "" when that failed.
std::string KeepDamagedFile(const std::string& historyPath, double now)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = DatedHistoryName(FolderOf(historyPath), now, ".dat");
        int code = 0;
        if (KeepFileAs(historyPath, name, code)) return name;
        if (code != EEXIST) break;   // EEXIST: another program took the name meanwhile
    }
    return {};
}

}  // namespace

std::string HistoryFilePath(const std::string& dataFolder)
{
    return JoinPath(dataFolder, kHistoryFileName);
}

HistoryFileMark HistoryFileStamp(const std::string& path)
{
    // Not the two-second form, and not the time alone: another copy's save soon after the
    // file was noted must still count as a change, or the exit save would overwrite it.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return {UnixToDateTime(st.st_mtim.tv_sec) + static_cast<double>(st.st_mtim.tv_nsec) / 86400e9,
            static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), static_cast<int64_t>(st.st_size)};
}

std::string DatedHistoryName(const std::string& folder, double now, const std::string& extension)
{
    const std::string stem = JoinPath(folder, "Quenvarlith-" + FormatDateTime("yyyymmdd", now));
    for (int n = 1;; ++n) {
        const std::string digits = std::to_string(n);
        const std::string suffix = n < 10 ? "_00" + digits : n < 100 ? "_0" + digits : "_" + digits;
        std::string name = stem + suffix + extension;
        if (!PathExists(name)) return name;
    }
}

bool ProbeHistoryFile(const std::string& path, int& errorCode)
{
    const int fd = OpenRegularFile(path, errorCode);
    if (fd < 0) return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (!locked) errorCode = errno;
    ::close(fd);   // closing the description releases the lock
    return locked;
}

bool HistoryFileLock::Acquire(const std::string& path, int waitMs)
{
    Release();
    int code = 0;
    for (int waited = 0;; waited += 50) {
        fd_ = OpenRegularFile(path, code);
        if (fd_ < 0) return false;
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            // Another copy may have renamed a new file in while we waited: lock that one.
            struct stat locked {}, named {};
            if (::fstat(fd_, &locked) == 0 && ::stat(path.c_str(), &named) == 0 &&
                locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
                held_ = true;
                return true;
            }
            contended_ = true;
        } else if (errno == EWOULDBLOCK) {
            contended_ = true;
        }
        ::close(fd_);
        fd_ = -1;
        if (waited >= waitMs) {
            // Keep a descriptor so the caller can still tell the file is readable.
            fd_ = OpenRegularFile(path, code);
            return false;
        }
        PauseMs(50);
    }
}

void HistoryFileLock::Release()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    held_ = false;
    contended_ = false;
}

HistorySaveLock::~HistorySaveLock()
{
    if (fd_ >= 0) ::close(fd_);
}

bool HistorySaveLock::Acquire(const std::string& folder, int waitMs)
{
    if (fd_ < 0) fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return false;
    for (int waited = 0;; waited += 50) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return held_ = true;
        if (errno != EWOULDBLOCK) return false;
        contended_ = true;
        if (waited >= waitMs) return false;
        PauseMs(50);
    }
}

std::string KeptDamagedHistoryText(const std::string& historyPath, const std::string& keptAs)
{
    return "読み取れない履歴ファイル " + NameOf(historyPath) + " を " + keptAs + " として残しました";
}

bool AskToRetryHistoryRead(int errorCode, WorkHooks& ui)
{
    const std::string text = "履歴ファイル読込エラー\r\r" + PlatformErrorText(errorCode) + "(" +
                             std::to_string(errorCode) + ")" + "\r\r" + "もう一度読み取りを試みますか？";
    // A box closed without Abort tries again, as Retry does.
    return ui.prompts && ui.prompts->Message("Quenvarlith", text, Buttons::AbortRetry, BoxIcon::Error) != Answer::Abort;
}

StartLoadOutcome LoadHistoryAtStart(HashHistory& store, const HistoryOptions& options,
                                    HistoryFileState& state, const std::string& historyPath,
                                    const StartConditions& start, WorkHooks& ui)
{
    StartLoadOutcome outcome;
    ui.ClearStop();
    const bool wanted = options.keepDays > 0 && FileExists(historyPath) &&
                        (options.readMode == 1 || (options.readMode == 2 && !start.withArguments)) &&
                        !start.shiftHeld;
    bool go = wanted;
    while (go) {
        int code = 0;
        if (ProbeHistoryFile(historyPath, code)) break;
        go = AskToRetryHistoryRead(code, ui);
    }
    if (go) {
        ui.BusyComment("履歴データ読込み中　しばらくお待ちください");
        ui.BusyPanel(true);
        ui.ScheduleRefresh();
        ui.Pump();
        outcome.attempted = true;
        outcome.loadResult = ReadHistoryFile(store, historyPath, options.ReadOptions(), ui);
        if (!ui.StopRequested()) {
            ui.BusyComment("履歴データ検査中　しばらくお待ちください");
            store.InspectHistory(options.fileMask, ui);
        }
        ui.BusyPanel(false);
    }

    if (store.Count() == 0) {
        ui.Status("履歴データは読み込まれていません");
        state.HistoryFileRead = false;
        return outcome;
    }
    outcome.folders = store.CollectHistoryFolders();
    outcome.foldersReplaced = true;
    if (ui.StopRequested()) {
        ui.Status("履歴読込み中止 履歴データ " + Counted(store.Count()));
        state.HistoryFileRead = false;
    } else {
        state.HistoryFileRead = outcome.loadResult;
        ui.Status(outcome.loadResult ? "履歴読込み完了 履歴データ " + Counted(store.Count())
                                     : std::string("履歴データ読取り失敗"));
    }
    return outcome;
}

ExitSaveOutcome SaveHistoryAtExit(HashHistory& store, const HistoryOptions& options,
                                  const HistoryFileState& state, const std::string& historyPath,
                                  WorkHooks& ui, int lockWaitMs)
{
    ExitSaveOutcome outcome;
    ui.FileLabel("履歴件数 " + Counted(store.Count()));
    ui.BusyComment("Quenvarlith終了中　しばらくお待ちください");
    if (options.keepDays <= 0) return outcome;
    ui.Status("終了処理 履歴データ整理中 履歴データ" + Counted(store.Count()));
    ui.Title("Quenvarlith終了中");

    auto write = [&](ExitSave action, const std::string& path) {
        ui.Status("終了処理 履歴ファイル保存中");
        if (action != ExitSave::Overwritten) ui.Title("Quenvarlith履歴保存中");
        outcome.action = action;
        outcome.path = path;
        outcome.written = WriteHistoryFile(store, path, ui);
    };
    auto datedName = [&] { return DatedHistoryName(FolderOf(historyPath), ui.Now(), ".dat"); };

    HistorySaveLock saving;
    saving.Acquire(FolderOf(historyPath), lockWaitMs);
    if (saving.Held()) RemoveStaleTemporaries(historyPath);
    if (!FileExists(historyPath)) {
        if (options.saveMode == 3 || store.Count() == 0) return outcome;
        // A copy still saving may be creating the file this moment: ours goes beside it.
        if (saving.Contended())
            write(ExitSave::DatedFile, datedName());
        else
            write(ExitSave::Created, historyPath);
        return outcome;
    }
    // Held from the stamp check to the rename, so no other copy's probe succeeds in between.
    HistoryFileLock lock;
    lock.Acquire(historyPath, lockWaitMs);
    // Another copy still saving will replace the file after us: whatever we wrote there now
    // would be lost, or would drop its records. Its file counts as changed.
    const bool otherSaving = lock.Contended() || saving.Contended();
    if (!otherSaving && state.HistoryFileRead &&
        HistoryFileStamp(historyPath) == state.HistoryFileTime) {
        write(ExitSave::Overwritten, historyPath);
        return outcome;
    }
    if (store.Count() == 0) return outcome;
    if (options.saveMode == 1) {
        ui.Status("終了処理 履歴ファイル結合中");
        ui.Title("Quenvarlith履歴結合中");
        const bool readable = lock.Opened() && !otherSaving;
        const bool whole = readable && ReadHistoryFile(store, historyPath, options.ReadOptions(), ui);
        std::string kept;
        if (readable && !whole && !ui.StopRequested()) kept = KeepDamagedFile(historyPath, ui.Now());
        // Overwriting a file that could not be read, whose merge was stopped, or whose damaged
        // bytes found no other name would lose records: this copy's history goes to a dated
        // file instead.
        if (!readable || ui.StopRequested() || (!whole && kept.empty())) {
            write(ExitSave::DatedFile, datedName());
            return outcome;
        }
        write(ExitSave::Merged, historyPath);
        if (kept.empty()) return outcome;
        if (!outcome.written) {
            ::unlink(kept.c_str());   // the damaged file is still where it was
            return outcome;
        }
        outcome.keptAs = kept;
        ui.Status(KeptDamagedHistoryText(historyPath, kept));
    } else if (options.saveMode == 2) {
        write(ExitSave::DatedFile, datedName());
    }
    return outcome;
}

}  // namespace qv
