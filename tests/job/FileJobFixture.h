#pragma once
// A job wired to recording seams, a fixed clock, scripted prompts and a file source that
// counts opens and can tamper with what it reads (support/ControlledSource.h).

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/FileSource.h"
#include "engine/Hash.h"
#include "job/FileJob.h"
#include "history/HashHistory.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "support/ControlledSource.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

namespace qv::test {

// Local time as a time_t, for stamps the reports print.
inline time_t LocalTime(int y, int mo, int d, int h, int mi, int s)
{
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

inline double At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    CalendarFields f;
    f.year = y, f.month = mo, f.day = d, f.hour = h, f.minute = mi, f.second = s;
    return EncodeDateTime(f);
}

// Reference codes of a byte string, folded in one call.
inline void CodesOf(const std::string& bytes, std::string& md5, std::string& crc)
{
    HashContext ctx;
    HashInit(ctx);
    HashUpdate(ctx, bytes.data(), static_cast<uint32_t>(bytes.size()));
    uint8_t digest[16];
    uint32_t value = 0;
    HashFinal(ctx, digest, value);
    md5 = Md5Text(digest);
    crc = CrcText(value);
}

class FileJobTest : public ::testing::Test {
protected:
    FileJobTest() : clock(At(2024, 2, 1, 10, 30, 0), 1000) { prompts.SetDefaultAnswer(Answer::Ok); }

    JobSeams Seams()
    {
        hooks.status = [this](const std::string& t) { statuses.push_back(t); };
        hooks.title = [this](const std::string& t) { titles.push_back(t); };
        hooks.progressMax = [this](int64_t max) { progressMax = max; };
        hooks.progressPos = [this](int64_t pos) { progressPositions.push_back(pos); };
        hooks.pump = [this] {
            ++pumps;
            if (onPump) onPump();
        };
        hooks.bringToFront = [this] { ++fronts; };
        hooks.prompts = &prompts;
        hooks.clock = &clock;
        hooks.stop = &stop;
        JobSeams s;
        s.hooks = &hooks;
        s.folderSeen = [this](const std::string& f) { folders.push_back(f); };
        s.queueLength = [this] { return queueLength; };
        return s;
    }

    EngineSettings Engine()
    {
        EngineSettings e;
        e.ioTimeOut = 2000;   // a read failure is noticed after one time-out
        return e;
    }

    FileJob& Job()
    {
        if (!job) {
            FileJobOptions options;
            options.fileSource = [this] { return std::make_unique<ControlledSource>(control); };
            job = std::make_unique<FileJob>(history, Seams(), settings, options);
            job->SetNextRefreshTime(clock.Tick() + 800);
        }
        return *job;
    }

    // A file with a fixed, even-second stamp (the DOS form keeps two-second steps).
    std::string MakeFile(const std::string& name, const std::string& bytes,
                         time_t mtime = LocalTime(2024, 1, 31, 9, 5, 6))
    {
        const std::string path = dir.WriteFile(name, bytes);
        TempDir::SetMtime(path, mtime);
        return path;
    }

    TempDir dir;
    HashHistory history;
    ScriptedPrompts prompts;
    ManualClock clock;
    SourceControl control;
    EngineSettings settings = Engine();
    std::unique_ptr<FileJob> job;
    StopFlag stop;
    WorkHooks hooks;
    int queueLength = 1;
    int pumps = 0;
    int fronts = 0;
    int64_t progressMax = -1;
    std::function<void()> onPump;
    std::vector<std::string> statuses, titles, folders;
    std::vector<int64_t> progressPositions;
};

}  // namespace qv::test
