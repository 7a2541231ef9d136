// Start-up and shut-down: refused closes, the settings-file question, signals, and the real
// program started and stopped from outside.
#include "AppTestSupport.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>

#include "support/FailingSource.h"

namespace qv {
namespace {

class LifecycleWindowTest : public WindowTest {
protected:
    std::vector<std::string> SavedPaths(const std::string& home = {}) const
    {
        HashHistory h;
        ReadSaved(h, home);
        std::vector<std::string> paths;
        for (int32_t i = 0; i < h.Count(); ++i) paths.push_back(h.PathAt(i));
        return paths;
    }
};

TEST_F(LifecycleWindowTest, SettingsChangedElsewhereAndAnsweredNoStayAsEdited)
{
    MainWindow& w = Start();
    const std::string ini = JoinPath(Home(), "Quenvarlith.ini");
    const std::string edited = "[Quenvarlith]\r\nProgram=\"Quenvarlith V1.08D\"\r\n[BasicFrame]\r\nLowerCase=1\r\n";
    dir.WriteFile("home/Quenvarlith.ini", edited);
    TempDir::SetMtime(ini, 1700000000);
    S().settings.SizeUnit = 2;
    prompts.Push(Answer::No);
    EXPECT_TRUE(w.close());
    window.reset();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text.rfind("設定情報が別のプログラムにより更新されています", 0), 0u);
    EXPECT_EQ(TempDir::ReadFile(ini), edited);
}

TEST_F(LifecycleWindowTest, SigtermDuringABatchCancelsItAndSavesTheHistory)
{
    const std::string a = dir.WriteFile("a", "a");
    const std::string b = dir.WriteFile("b", "b");
    const std::string c = dir.WriteFile("c", "c");
    bool raised = false;
    MainWindow& w = Start({}, [&] {
        // After the first file of the batch has its record.
        if (!raised && window && TheDriver().Running() && S().history.Count() == 1) {
            raised = true;
            std::raise(SIGTERM);
        }
    });
    w.DropPaths({a, b, c});
    ASSERT_TRUE(WaitFor([&] { return w.lifecycle().closeAccepted(); }));
    EXPECT_TRUE(raised);
    EXPECT_TRUE(prompts.shown().empty());
    const int hashed = S().history.Count();
    window.reset();
    const std::vector<std::string> saved = SavedPaths();
    EXPECT_EQ(saved.size(), static_cast<size_t>(hashed));
    // The batch stopped before its end; what was hashed was kept.
    EXPECT_LT(hashed, 3);
    EXPECT_NE(std::find(saved.begin(), saved.end(), c), saved.end());
    EXPECT_TRUE(FileExists(JoinPath(Home(), "Quenvarlith.ini")));
}

TEST_F(LifecycleWindowTest, SigtermAnswersARealOpenBoxAndTheWindowStillCloses)
{
    const std::string good = dir.WriteFile("good", "good");
    const std::string bad = dir.WriteFile("bad", "bad");
    for (const bool duringBatch : {true, false}) {
        SCOPED_TRACE(duringBatch ? "read error report in a batch" : "history save error at exit");
        const std::string home = dir.MakeFolder(duringBatch ? "batch" : "save");
        WindowOptions o;   // no scripted prompts: real message boxes
        o.dialogs = &dialogs;
        o.dataFolder = home;
        o.jobOptions.fileSource = [] { return std::make_unique<FailingSource>("/bad"); };
        window = std::make_unique<MainWindow>(std::move(o));
        MainWindow& w = *window;
        w.show();
        ASSERT_TRUE(WaitFor([&] { return !w.lifecycle().startingUp(); }));

        // Raises SIGTERM once a box is up; answers the box itself only when the signal did not.
        bool raised = false, rescued = false;
        std::string boxText;
        QElapsedTimer sinceRaised;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            if (!raised) {
                raised = true;
                boxText = box->text().toStdString();
                sinceRaised.start();
                std::raise(SIGTERM);
            } else if (sinceRaised.elapsed() > 5000) {
                rescued = true;
                box->buttons().front()->click();
            }
        });
        watch.start(20);
        if (duringBatch) {
            w.DropPaths({bad, good});   // good first, then bad
        } else {
            w.DropPaths({good});
            dir.MakeFolder("save/Quenvarlith.dat");   // saving over a folder fails
            w.close();
        }
        ASSERT_TRUE(WaitFor([&] { return w.lifecycle().closeAccepted(); }));
        watch.stop();
        window.reset();
        EXPECT_TRUE(raised);
        EXPECT_FALSE(rescued);
        const std::string expected = duringBatch ? "Quenvarlith V1.08D エラー情報" : "履歴保存時にエラーが発生しました";
        EXPECT_EQ(boxText.rfind(expected, 0), 0u) << boxText;
        EXPECT_TRUE(FileExists(JoinPath(home, "Quenvarlith.ini")));
        if (duringBatch) {
            EXPECT_EQ(SavedPaths(home), std::vector<std::string>{good});
        }
    }
}

TEST_F(LifecycleWindowTest, RealProgramKeepsHistoryAndSettingsWhenTerminated)
{
    dir.MakeFolder("home");
    const std::string one = dir.WriteFile("files/one.bin", "one");
    const std::string two = dir.WriteFile("files/two.bin", "two two");
    const std::string ready = dir.Path("ready");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUENVARLITH_HOME"), QString::fromStdString(Home()));
    env.insert(QStringLiteral("QUENVARLITH_READY_FILE"), QString::fromStdString(ready));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QV_PROGRAM_PATH), {QString::fromStdString(dir.Path("files"))});
    ASSERT_TRUE(program.waitForStarted(10000));
    ASSERT_TRUE(WaitFor([&] { return FileExists(ready); }, 30000));
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    EXPECT_EQ(SavedPaths(), (std::vector<std::string>{one, two}));
    const std::string ini = TempDir::ReadFile(JoinPath(Home(), "Quenvarlith.ini"));
    EXPECT_NE(ini.find("Program=\"Quenvarlith V1.08D\""), std::string::npos);
    EXPECT_NE(ini.find("InitialDir=\"" + dir.Path("files") + "\""), std::string::npos);
}

}  // namespace
}  // namespace qv
