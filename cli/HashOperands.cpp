#include "cli/HashOperands.h"

#include "cli/TerminalSession.h"
#include "job/BatchPaths.h"
#include "job/FileJob.h"
#include "job/FromSettings.h"
#include "job/JobReports.h"
#include "platform/Paths.h"

namespace qv {

HashPass HashOperands(TerminalSession& s, const std::vector<std::string>& operands,
                      const std::function<void(const std::string& path, const FileJobOutcome&)>& done)
{
    HashPass pass;
    WorkHooks& ui = s.hooks;
    bool progressShown = false;
    std::string currentName;
    ui.status = [&](const std::string& text) {
        // Only the refreshes while a file is read, on a terminal, rewritten in place.
        if (!s.env.errIsTerminal || text.rfind("処理中 ", 0) != 0) return;
        s.out.Raw("\r\033[K" + text + " " + currentName);
        progressShown = true;
    };
    const PathMasks masks{s.settings.FileAttrMask, s.settings.FolderAttrMask};

    // Where the walk stands, so the job can have the next file read ahead: operands not yet
    // begun plus files of the current folder not yet hashed.
    size_t operandAt = 0;
    const PathItem* itemAt = nullptr;
    size_t fileAt = 0;
    size_t remaining = operands.size();
    JobSeams seams;
    seams.hooks = &ui;
    seams.queueLength = [&] { return static_cast<int>(remaining); };
    seams.nextPath = [&]() -> std::string {
        if (itemAt && fileAt + 1 < itemAt->files.size()) return itemAt->files[fileAt + 1];
        // A folder operand gives no path: the job finds no file there and reads nothing.
        if (operandAt + 1 < operands.size() && !operands[operandAt + 1].empty())
            return ExpandLongPath(operands[operandAt + 1], s.cwd);
        return {};
    };
    FileJobOptions jobOptions;
    jobOptions.fileSource = s.env.fileSource;
    FileJob job(s.history, seams, EngineSettingsFrom(s.settings), jobOptions);
    job.BeginBatch();

    // found: the search just made for a named file; null for a folder's file, which is
    // looked up at its turn because the listing may be old by then.
    const auto hashOne = [&](const std::string& path, const FoundEntry* found) {
        s.stop.Clear();   // a report on the last file stopped only that file
        currentName = EscapeName(NameOf(path));
        job.ScheduleRefresh();
        const int32_t index = found ? job.HashFoundFile(path, *found, false) : job.HashFile(path, false);
        if (progressShown) {
            s.out.Raw("\r\033[K");
            progressShown = false;
        }
        const FileJobOutcome& outcome = job.LastOutcome();
        if (index >= 0 && !outcome.reported && !outcome.crc.empty()) {
            ++pass.hashed;
            done(path, outcome);
            return;
        }
        ++pass.failed;
        if (!outcome.reported && !s.stop.Requested()) s.out.PathMessage(std::string(kStatusOpenError) + " ", path);
    };

    for (operandAt = 0; operandAt < operands.size() && !s.Interrupted(); ++operandAt) {
        const PathItem item = CollectArgument(operands[operandAt], masks, s.cwd);
        if (item.problem != PathProblem::None) {
            s.out.Message(ParameterErrorText(EscapeName(item.path), item));
            ++pass.rejected;
        } else if (!item.folder) {
            hashOne(item.path, &item.found);
        } else {
            remaining += item.files.size();
            itemAt = &item;
            for (fileAt = 0; fileAt < item.files.size() && !s.Interrupted(); ++fileAt) {
                --remaining;
                hashOne(item.files[fileAt], nullptr);
            }
            itemAt = nullptr;
        }
        --remaining;
    }
    pass.stopped = s.Interrupted();
    job.EndBatch();
    ui.status = nullptr;
    return pass;
}

}  // namespace qv
