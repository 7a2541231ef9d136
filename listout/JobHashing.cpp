#include "listout/JobHashing.h"

#include "job/FileJob.h"

namespace qv {

HashFilesStep HashThroughJob(FileJob& job, std::function<bool()> interrupted)
{
    return [&job, interrupted = std::move(interrupted)](const std::vector<std::string>& paths) {
        job.SetCancelFlag(0);
        job.BeginBatch();
        for (const std::string& path : paths) {
            if (interrupted && interrupted()) job.SetCancelFlag(-1);
            if (job.CancelFlag() != 0) break;
            job.ScheduleRefresh();
            job.HashFile(path, false);
        }
        job.EndBatch();
        const bool completed = job.CancelFlag() == 0;
        job.SetCancelFlag(0);
        return completed;
    };
}

}  // namespace qv
