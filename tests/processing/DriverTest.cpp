// The processing driver without a window: what it shows and hashes, in which order, and how a
// batch ends, grows, stops or does not start. The host logs every call as one line.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "processing/Driver.h"

namespace qv {
namespace {

using Log = std::vector<std::string>;

class LoggingHost final : public DriverHost {
public:
    Log log;
    bool busy = false, dispatch = false;
    // The per-file job: the history index, or -1; may act on the driver meanwhile.
    std::function<int(const std::string& path)> hash = [](const std::string& p) { return p[1] - 'a'; };

    bool IsBusy() const override { return busy; }
    void ShowBusy(bool on) override { busy = on, Add(on ? "busy on" : "busy off"); }
    void SetTotalProgress(const std::string& text, bool shown) override { Add("total " + text + Hidden(shown)); }
    void SetTotalBar(int max, int pos, bool shown) override { Add("bar " + Of(pos, max) + Hidden(shown)); }
    void SetFileProgress(const std::string& text) override { Add("file " + text); }
    void SetStatus(const std::string& text) override { Add("status " + text); }
    void SetAppTitle(const std::string& text) override { Add("title " + text); }
    void SetCaption(const std::string& text) override { Add("caption " + text); }
    void Pump() override { Add("pump"); }
    void BetweenFiles() override { Add("between"); }
    void StartReader() override { Add("reader on"); }
    void StopReader() override { Add("reader off"); }
    int HashOne(const std::string& path, Recalc recalc) override
    {
        Add((recalc == Recalc::Yes ? "recalc " : "hash ") + path);
        return hash(path);
    }
    void ShowCancelled() override { Add("cancelled"); }
    void ShowResult(int index) override { Add("result " + std::to_string(index)); }
    void MatchComparisonText() override { Add("match"); }
    void AfterBatch() override { Add("after"); }
    void RefreshFileView() override { Add("file view"); }
    bool DispatchSingleFile(const std::string& path) override { return dispatch && (Add("dispatch " + path), true); }

private:
    static std::string Hidden(bool shown) { return shown ? "" : " (hidden)"; }
    static std::string Of(int pos, int max) { return std::to_string(pos) + "/" + std::to_string(max); }
    void Add(const std::string& line) { log.push_back(line); }
};

class DriverTest : public ::testing::Test {
protected:
    LoggingHost host;
    Driver driver{host};
    void Run(const std::vector<std::string>& paths, Recalc recalc = Recalc::No, Quiet quiet = Quiet::No)
    {
        for (const std::string& p : paths) driver.Enqueue(p);
        driver.ProcessFiles(recalc, quiet);
    }
};

// A drop served by the pump of the first file joins the running batch, its totals shown at once.
TEST_F(DriverTest, BatchShowsEachFileInTurnGrowsAndShowsTheLastResult)
{
    host.hash = [this](const std::string& p) {
        if (p == "/a") driver.Enqueue("/c"), driver.ProcessFiles();
        return p[1] - 'a';
    };
    Run({"/a", "/b"});
    EXPECT_EQ(host.log, (Log{"reader on", "busy on", "bar 0/2", "total 全体 (0/2files)", "title 残り2files", "caption /a",
                             "file 処理ファイル a", "status 処理中", "total 全体 (0/2files)", "bar 0/2", "pump", "hash /a",
                             "total 全体 (0/3files)", "bar 0/3", "pump", "title 残り2files", "caption /b",
                             "file 処理ファイル b", "status 処理中", "total 全体 (1/3files)", "bar 1/3", "between", "hash /b",
                             "title 残り1files", "caption /c", "file 処理ファイル c", "status 処理中",
                             "total 全体 (2/3files)", "bar 2/3", "between", "hash /c",
                             "reader off", "file view", "result 2", "match", "busy off", "after"}));
    EXPECT_TRUE(driver.ProcessingQueue().empty());
    EXPECT_EQ(driver.BatchTotal(), 0);
    EXPECT_FALSE(driver.Running());
}

// How a batch goes on and ends: the files hashed and what follows the reader's end.
TEST_F(DriverTest, BatchEnds)
{
    // hash null: every file handled; end: the log from the reader's end on
    using Hash = std::function<int(Driver&, const std::string&)>;
    struct Row { const char* name; Quiet quiet; Hash hash; Log hashed, end; };
    const Row rows[] = {
        {"quiet", Quiet::Yes, nullptr, {"/a", "/b", "/c"}, {"reader off", "file view", "busy off", "after"}},
        {"a file not handled", Quiet::No, [](Driver&, const std::string& p) { return p == "/b" ? -1 : 0; },
         {"/a", "/b"}, {"reader off", "file view", "busy off", "after"}},
        {"cancelled", Quiet::No, [](Driver& d, const std::string&) { return d.Cancel(), 0; }, {"/a"},
         {"reader off", "file view", "cancelled", "status 処理を中止しました", "busy off", "after"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LoggingHost host;
        Driver driver{host};
        if (row.hash) host.hash = [&](const std::string& p) { return row.hash(driver, p); };
        for (const char* p : {"/a", "/b", "/c"}) driver.Enqueue(p);
        driver.ProcessFiles(Recalc::No, row.quiet);
        Log hashed;
        for (const std::string& line : host.log)
            if (line.rfind("hash ", 0) == 0) hashed.push_back(line.substr(5));
        EXPECT_EQ(hashed, row.hashed);
        EXPECT_EQ(Log(std::find(host.log.begin(), host.log.end(), "reader off"), host.log.end()), row.end);
        EXPECT_TRUE(driver.ProcessingQueue().empty());
        EXPECT_EQ(driver.BatchTotal(), 0);
    }
}

TEST_F(DriverTest, SingleFileHidesTheBatchBarAndRecalcReachesTheJob)
{
    Run({"/x/a"}, Recalc::Yes);
    EXPECT_EQ(Log(host.log.begin() + 2, host.log.begin() + 4), (Log{"total ", "bar 0/1 (hidden)"}));
    EXPECT_NE(std::find(host.log.begin(), host.log.end(), "recalc /x/a"), host.log.end());
}

TEST_F(DriverTest, NothingStartsDuringStartUpOrForADispatchedFile)
{
    driver.startingUp = true;
    Run({"/a"});
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(driver.BatchTotal(), 1);

    driver.startingUp = false;
    host.dispatch = true;
    driver.ProcessFiles();
    EXPECT_EQ(host.log, Log{"dispatch /a"});
    EXPECT_TRUE(driver.ProcessingQueue().empty());
    EXPECT_EQ(driver.BatchTotal(), 0);
}

}  // namespace
}  // namespace qv
