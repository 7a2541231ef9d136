#pragma once
// A job wired to recording seams, a test clock, scripted prompts and a file source that counts
// opens and can tamper with what it reads (support/ControlledSource.h).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "history/HashHistory.h"
#include "job/FileJob.h"
#include "platform/DateTime.h"
#include "support/Codes.h"
#include "support/ControlledSource.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "support/TestClock.h"

namespace qv::test {

class FileJobTest : public ::testing::Test {
protected:
    FileJobTest()
    {
        prompts.SetDefaultAnswer(Answer::Ok);
        settings.ioTimeOut = 2000;   // a read failure is noticed after one time-out
        hooks.status = [this](const std::string& t) { statuses.push_back(t); };
        hooks.title = [this](const std::string& t) { titles.push_back(t); };
        hooks.progressMax = [this](int64_t max) { progressMax = max; };
        hooks.progressPos = [this](int64_t pos) { progressPositions.push_back(pos); };
        hooks.pump = [this] { pumpTicks.push_back(clock.Peek()); };
        hooks.bringToFront = [this] { ++fronts; };
        hooks.prompts = &prompts, hooks.clock = &clock, hooks.stop = &stop;
    }

    // Made at first use with the settings as they stand then; it reads `next` ahead.
    FileJob& Job()
    {
        if (job) return *job;
        JobSeams s;
        s.hooks = &hooks;
        s.folderSeen = [this](const std::string& f) { folders.push_back(f); };
        s.queueLength = [this] { return queueLength; };
        s.nextPath = [this] { return next; };
        s.pollInput = [this] { pollTicks.push_back(clock.Peek()), onPoll ? onPoll() : void(); };
        s.pollPeriod = pollPeriod;
        FileJobOptions options;
        options.fileSource = source ? source : ControlledSource::Factory(control);
        options.readAheadIdleMs = 5000;   // the read-ahead never depends on the scheduler
        job = std::make_unique<FileJob>(history, s, settings, options);
        job->SetNextRefreshTime(clock.Tick() + 800);
        return *job;
    }

    // A file with a fixed stamp.
    std::string MakeFile(const std::string& name, const std::string& bytes,
                         time_t mtime = LocalUnix(2024, 1, 31, 9, 5, 6))
    {
        const std::string path = dir.WriteFile(name, bytes);
        TempDir::SetMtime(path, mtime);
        return path;
    }
    Codes Recorded(int32_t index) const { return {history.RecordAt(index).Crc, history.RecordAt(index).Md5}; }
    int OpensOf(const std::string& path)
    {
        const std::vector<std::string> opened = control.Opened();
        return static_cast<int>(std::count(opened.begin(), opened.end(), path));
    }

    TempDir dir;
    HashHistory history;
    ScriptedPrompts prompts;
    TestClock clock{At(2024, 2, 1, 10, 30, 0)};
    SourceControl control;
    EngineSettings settings;
    StopFlag stop;
    WorkHooks hooks;
    std::unique_ptr<FileJob> job;
    std::function<std::unique_ptr<FileSource>()> source;   // null: the controlled source
    std::string next;          // the path the job may read ahead
    uint32_t pollPeriod = 0;   // 0: input is never polled
    int queueLength = 1, fronts = 0;
    int64_t progressMax = -1;
    std::function<void()> onPoll;
    std::vector<uint32_t> pumpTicks, pollTicks;
    std::vector<std::string> statuses, titles, folders;
    std::vector<int64_t> progressPositions;
};

}  // namespace qv::test
