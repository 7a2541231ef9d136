#include "job/FromSettings.h"

#include "history/HistoryPersistence.h"
#include "job/FileJob.h"
#include "settings/Settings.h"

namespace qv {

EngineSettings EngineSettingsFrom(const Settings& s)
{
    EngineSettings e;
    e.verification = s.Verification;
    e.refreshRate = s.RefreshRate;
    e.ioTimeOut = s.IoTimeOut;
    e.ioRetryOut = s.IoRetryOut;
    e.bufferSize = s.BufferSize;
    e.noCache = s.NoCache;
    e.readPriority = s.ReadThreadPriority;
    return e;
}

uint32_t RefreshPeriodOf(const Settings& s)
{
    return static_cast<uint32_t>(s.RefreshRate > 0 ? s.RefreshRate : 800);
}

HistoryOptions HistoryOptionsFrom(const Settings& s)
{
    HistoryOptions o;
    o.keepDays = s.LogKeepDate;
    o.sizeLimit = s.LimitLogingFileSize;
    o.readMode = s.LogReadMode;
    o.saveMode = s.LogSaveMode;
    o.fileMask = s.FileAttrMask;
    return o;
}

}  // namespace qv
