#include "listout/JobHashing.h"

#include "job/FileJob.h"

namespace qv {

HashFilesStep HashThroughJob(FileJob& job, std::function<bool()> interrupted)
{
    return [&job, interrupted = std::move(interrupted)](const std::vector<std::string>& paths) {
        job.ClearStop();
        job.BeginBatch();
        for (const std::string& path : paths) {
            if (interrupted && interrupted()) job.RequestStop();
            if (job.StopRequested()) break;
            job.ScheduleRefresh();
            job.HashFile(path, false);
        }
        job.EndBatch();
        const bool completed = !job.StopRequested();
        job.ClearStop();
        return completed;
    };
}

}  // namespace qv
