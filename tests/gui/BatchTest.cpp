// Batches in the window: the next file read ahead, what the message pump between two files
// may serve (a drop, a cancel, a close, a file rewritten), and a display that moves once per
// refresh period while input is served in between.
#include "AppTestSupport.h"

#include <QProgressBar>

#include <map>

#include "verify/Matching.h"
#include "engine/ReadThread.h"
#include "processing/Lifecycle.h"
#include "processing/ResultPanel.h"
#include "support/Codes.h"

namespace qv {
namespace {

using test::Bytes;
using test::CodesOf;

constexpr size_t kBank = 65536;

class BatchWindowTest : public WindowTest {
protected:
    std::string Make(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.WriteFile(name, bytes);
        contents_[path] = bytes;
        return path;
    }
    // Every listed file has a record with the codes of its own bytes, and there is no other.
    void ExpectRecords(const HashHistory& history, const std::vector<std::string>& paths)
    {
        EXPECT_EQ(history.Count(), static_cast<int32_t>(paths.size()));
        for (const std::string& p : paths) {
            int32_t i = -1;
            ASSERT_TRUE(history.Find(p, i)) << p;
            const HistoryRecord& r = history.RecordAt(i);
            EXPECT_EQ((test::Codes{r.Crc, r.Md5}), CodesOf(contents_[p])) << p;
        }
    }
    std::string ShownMd5() { return Text("XMD5"); }
    std::map<std::string, std::string> contents_;
};

TEST_F(BatchWindowTest, EachFileIsReadOnceAheadOfItsTurnAndKeepsItsOwnCodes)
{
    ticks.step = 0;
    const size_t sizes[] = {1, kBank, kBank + 1, 3 * kBank + 5, 100, 7 * kBank, 2 * kBank};
    std::vector<std::string> paths;
    for (size_t i = 0; i < std::size(sizes); ++i) paths.push_back(Make(std::string("f").append(std::to_string(i)), Bytes(sizes[i], static_cast<int>(i))));
    StartAndDrop({paths.rbegin(), paths.rend()});

    // Opened once each, in order: every read-ahead was taken by the file it was made for.
    EXPECT_EQ(source.Opened(), paths);
    ExpectRecords(S().history, paths);
    EXPECT_EQ(ShownMd5(), CodesOf(contents_[paths.back()]).md5);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(BatchWindowTest, WhatThePumpBetweenTwoFilesServesLosesOrDoublesNothing)
{
    // The reader gives up on a bank it cannot have within 200 ms: a bank still held while a
    // close warning is read would fail the next file.
    dir.WriteFile("home/Quenvarlith.ini", "[Buffering]\r\nI/O TimeOut=200\r\n");
    std::string a, c, b, d;
    const auto readerIdle = [this] { return S().job.Engine().ThreadIdle().Wait(2000) == WaitResult::Obtained; };
    struct Row {
        const char* name;
        std::function<void()> atPump;   // served between c and b, b read ahead meanwhile
        std::function<std::vector<std::string>()> recorded;
        bool stopped;
    };
    const Row rows[] = {
        {"drop", [&] { window->DropPaths({d}); }, [&] { return std::vector{a, c, b, d}; }, false},
        {"cancel", [&] { Click("CanButton"); }, [&] { return std::vector{a, c}; }, true},
        {"close refused while the warning is read",
         [&] {
             prompts.Push(Answer::Ok);
             EXPECT_FALSE(window->close());
             EXPECT_EQ(prompts.LastText(), kBatchCloseWarning);
             EXPECT_EQ(prompts.shown().back().buttons, Buttons::OkIgnore);
             EXPECT_TRUE(readerIdle());
         },
         [&] { return std::vector{a, c, b}; }, false},
        {"file rewritten with the same size", [&] { Make("b", Bytes(5 * kBank, 9)); }, [&] { return std::vector{a, c, b}; },
         false},
        {"close forced", [&] { prompts.Push(Answer::Ignore), window->close(); }, [&] { return std::vector{a, c}; }, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::remove(JoinPath(Home(), "Quenvarlith.dat").c_str());
        prompts.Clear();
        a = Make("a", Bytes(kBank + 1, 1));
        c = Make("c", "ccc");
        b = Make("b", Bytes(5 * kBank, 2));
        d = Make("d", Bytes(10, 4));
        bool served = false;
        Start({}, [&] {
            if (!served && window && IndexOf(c) >= 0) {
                served = true;
                row.atPump();
            }
        });
        DropAndWait({b, c, a});
        ASSERT_TRUE(served);
        const std::vector<std::string> recorded = row.recorded();
        EXPECT_EQ(Status(), row.stopped ? "処理を中止しました" : kStatusNothingToCompare);
        if (!row.stopped) {
            EXPECT_EQ(ShownMd5(), CodesOf(contents_[recorded.back()]).md5);
        }
        if (!window->lifecycle().closeAccepted()) {
            ExpectRecords(S().history, recorded);
            EXPECT_LE(prompts.shown().size(), 1u);   // no report, at most the close warning
            continue;
        }
        // Closed by force: the batch stopped, and what it had hashed was saved.
        window.reset();
        HashHistory saved;
        ReadSaved(saved);
        ExpectRecords(saved, recorded);
    }
}

TEST_F(BatchWindowTest, DisplayMovesOncePerRefreshPeriodAndInputIsServedInBetween)
{
    // Each look at the clock takes 100 ms; the refresh period is 800 ms.
    ticks.step = 100;
    std::vector<std::string> paths;
    for (int i = 0; i < 30; ++i) paths.push_back(Make(std::string("s").append(std::to_string(i)), Bytes(100 + static_cast<size_t>(i), i)));
    std::vector<uint32_t> moved;
    int pumps = 0;
    std::string caption;
    int total = -1;
    Start({}, [&] {
        if (!window || !TheDriver().Running()) return;
        ++pumps;
        const std::string nowCaption = window->windowTitle().toStdString();
        const int nowTotal = Find<QProgressBar>("PgTotal")->value();
        if (nowCaption == caption && nowTotal == total) return;
        // The file name and the batch bar move together.
        if (!moved.empty()) {
            EXPECT_TRUE(nowCaption != caption && nowTotal != total);
        }
        moved.push_back(ticks.Peek());
        caption = nowCaption, total = nowTotal;
    });
    DropAndWait(paths);

    ASSERT_GE(moved.size(), 4u);
    // No more often than the period, and at least once per period and one look at the clock
    // per file and per bank.
    for (size_t i = 1; i < moved.size(); ++i) {
        EXPECT_GT(moved[i] - moved[i - 1], 800u) << i;
        EXPECT_LE(moved[i] - moved[i - 1], 1200u) << i;
    }
    EXPECT_GT(pumps, 2 * static_cast<int>(moved.size()));
    ExpectRecords(S().history, paths);
}

}  // namespace
}  // namespace qv
