#include "cli/TerminalMode.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "engine/FileSource.h"
#include "job/FileJob.h"
#include "job/FromSettings.h"
#include "job/JobReports.h"
#include "history/HistoryPersistence.h"
#include "platform/Attributes.h"
#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "platform/Sync.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "verify/ParAnalysis.h"
#include "verify/ParReport.h"

namespace qv {
namespace {

enum class Mode { Hash, Analyze, Help, Version, Usage };

struct Command {
    Mode mode = Mode::Usage;
    bool noGui = false;
    std::vector<std::string> operands;
    std::string problem;
};

Command Parse(const std::vector<std::string>& args)
{
    Command c;
    bool help = false, version = false, analyze = false, optionsOver = false;
    for (const std::string& a : args) {
        if (!optionsOver && a == "--") {
            optionsOver = true;
        } else if (!optionsOver && a == "--no-gui") {
            c.noGui = true;
        } else if (!optionsOver && (a == "--help" || a == "-h")) {
            help = true;
        } else if (!optionsOver && a == "--version") {
            version = true;
        } else if (!optionsOver && a == "--analyze") {
            analyze = true;
        } else if (!optionsOver && a.size() > 1 && a[0] == '-') {
            c.problem = "不明なオプション: " + a;
        } else {
            c.operands.push_back(a);
        }
    }
    if (help) {
        c.mode = Mode::Help;
    } else if (version) {
        c.mode = Mode::Version;
    } else if (!c.problem.empty()) {
        c.mode = Mode::Usage;
    } else if (analyze) {
        c.mode = c.operands.size() == 1 ? Mode::Analyze : Mode::Usage;
        if (c.mode == Mode::Usage) c.problem = "--analyze にはファイルを一つ指定して下さい";
    } else if (c.operands.empty()) {
        c.problem = "ファイルが指定されていません";
    } else {
        c.mode = Mode::Hash;
    }
    return c;
}

// Message boxes become text on standard error; questions take the answer that changes
// nothing (Abort, Cancel, No), so an unattended run never loops or destroys data.
class StderrPrompts final : public Prompts {
public:
    explicit StderrPrompts(HeadlessEnv& env) : env_(env) {}
    Answer Message(const std::string&, const std::string& text, Buttons buttons, BoxIcon,
                   int) override
    {
        std::string lines = text;
        for (char& ch : lines)
            if (ch == '\r') ch = '\n';
        env_.err(lines + "\n");
        switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkIgnore: return Answer::Ok;
        case Buttons::YesNo:
        case Buttons::OkNo: return Answer::No;
        case Buttons::AbortRetryIgnore:
        case Buttons::AbortRetry:
        case Buttons::AbortIgnore: return Answer::Abort;
        default: return Answer::Cancel;
        }
    }
    bool Input(const std::string&, const std::string&, std::string&) override { return false; }
    void Beep() override {}

private:
    HeadlessEnv& env_;
};

int RunHash(const Command& command, const Settings& settings, const std::string& dataFolder,
            const std::string& cwd, HeadlessEnv& env)
{
    const Clock& clock = env.clock ? *env.clock : SystemClock::Instance();
    StderrPrompts prompts(env);
    int problems = 0;

    StopFlag stop;
    const auto interrupted = [&] { return env.interrupted && env.interrupted(); };
    WorkHooks ui;
    ui.prompts = &prompts;
    ui.clock = &clock;
    ui.stop = &stop;
    ui.refreshPeriod = RefreshPeriodOf(settings);
    ui.pump = [&] {
        if (interrupted()) stop.Request();
    };
    bool progressShown = false;
    std::string currentName;
    ui.status = [&](const std::string& text) {
        // Only the refreshes while a file is read, on a terminal, rewritten in place.
        if (!env.errIsTerminal || text.rfind("処理中 ", 0) != 0) return;
        env.err("\r\033[K" + text + " " + currentName);
        progressShown = true;
    };

    HashHistory history;
    const HistoryOptions historyOptions = HistoryOptionsFrom(settings);
    const std::string historyPath = HistoryFilePath(dataFolder);
    HistoryFileState state;
    state.HistoryFileTime = HistoryFileStamp(historyPath);
    LoadHistoryAtStart(history, historyOptions, state, historyPath, StartConditions{.withArguments = true}, ui);

    // Operands not yet begun plus files of the current folder not yet hashed.
    size_t remaining = command.operands.size();
    JobSeams seams;
    seams.hooks = &ui;
    seams.queueLength = [&] { return static_cast<int>(remaining); };
    // Where the walk below stands, so the job can have the next file read ahead.
    size_t operandAt = 0;
    const std::string* folderAt = nullptr;
    const std::vector<FoundEntry>* entriesAt = nullptr;
    size_t entryAt = 0;
    seams.nextPath = [&]() -> std::string {
        if (entriesAt) {
            for (size_t i = entryAt + 1; i < entriesAt->size(); ++i) {
                const FoundEntry& e = (*entriesAt)[i];
                if ((e.attributes & kAttrDirectory) == 0) return JoinPath(*folderAt, e.name);
            }
        }
        // A folder operand gives no path: the job finds no file there and reads nothing.
        if (operandAt + 1 < command.operands.size()) return ExpandLongPath(command.operands[operandAt + 1], cwd);
        return {};
    };

    FileJobOptions jobOptions;
    jobOptions.fileSource = env.fileSource;
    FileJob job(history, seams, EngineSettingsFrom(settings), jobOptions);
    job.BeginBatch();
    int failed = 0;
    std::string line;
    // found: the search just made for a named file; null for a folder's file, which is
    // looked up at its turn because the listing may be old by then.
    const auto hashOne = [&](const std::string& path, const FoundEntry* found) {
        stop.Clear();
        currentName = NameOf(path);
        job.ScheduleRefresh();
        const int32_t index = found ? job.HashFoundFile(path, *found, false) : job.HashFile(path, false);
        if (progressShown) {
            env.err("\r\033[K");
            progressShown = false;
        }
        const FileJobOutcome& outcome = job.LastOutcome();
        if (index >= 0 && !outcome.reported && !outcome.crc.empty()) {
            line = outcome.crc;
            line += "  ";
            line += outcome.md5;
            line += "  ";
            line += path;
            line += '\n';
            env.out(line);
        } else {
            ++failed;
            if (!outcome.reported && !stop.Requested()) env.err(std::string(kStatusOpenError) + " " + path + "\n");
        }
    };

    // Named files are hashed in the order given; a named folder gives the files directly
    // inside it that the file mask admits, in listing order.
    for (operandAt = 0; operandAt < command.operands.size(); ++operandAt) {
        if (interrupted()) break;
        const std::string path = ExpandLongPath(command.operands[operandAt], cwd);
        FoundEntry found;
        std::vector<FoundEntry> entries;
        if (FindPath(path, settings.FileAttrMask, found) && (found.attributes & kAttrDirectory) == 0) {
            hashOne(path, &found);
        } else if (FindPath(path, settings.FolderAttrMask, found) &&
                   (found.attributes & kAttrDirectory) != 0 &&
                   ListFolder(path, "*", settings.FileAttrMask, entries)) {
            remaining += entries.size();
            folderAt = &path;
            entriesAt = &entries;
            for (entryAt = 0; entryAt < entries.size(); ++entryAt) {
                if (interrupted()) break;
                --remaining;
                const FoundEntry& e = entries[entryAt];
                if ((e.attributes & kAttrDirectory) == 0) hashOne(JoinPath(path, e.name), nullptr);
            }
            entriesAt = nullptr;
            folderAt = nullptr;
        } else {
            env.err("パラメータエラー" + path + "\n");
            ++problems;
        }
        --remaining;
    }
    const bool stopped = interrupted();
    job.EndBatch();
    stop.Clear();
    const ExitSaveOutcome saved = SaveHistoryAtExit(history, historyOptions, state, historyPath, ui);
    if (!saved.keptAs.empty()) env.err(KeptDamagedHistoryText(historyPath, saved.keptAs) + "\n");
    if (stopped) {
        env.err("処理を中止しました\n");
        return 1;
    }
    // A failed save has lost this run's records: the run did not succeed.
    return failed == 0 && problems == 0 && !saved.Failed() ? 0 : 1;
}

int RunAnalyze(const Command& command, const Settings& settings, const std::string& cwd,
               HeadlessEnv& env)
{
    StderrPrompts prompts(env);
    const Clock& clock = env.clock ? *env.clock : SystemClock::Instance();
    const std::string path = ExpandLongPath(command.operands[0], cwd);
    ParAnalysisContext context{prompts, clock};
    context.limit = settings.LimitParFileSize;
    context.par2ExtendReport = settings.PAR2Ex;
    context.deliver = [&](const std::string& text) { env.out(text); };
    const bool ok = ParKindOfPath(path) == ParKind::Par2 ? AnalyzePar2File(path, context)
                                                         : AnalyzeParFile(path, context);
    return ok ? 0 : 1;
}

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int)
{
    g_interrupted = 1;
}

}  // namespace

std::string HeadlessHelpText()
{
    return std::string(kProgramVersion) +
           " - CRC-32 と MD5 によるファイル検査\n"
           "\n"
           "使い方:\n"
           "  quenvarlith [ファイル|フォルダ]...         ウインドウで算出する\n"
           "  quenvarlith --no-gui ファイル|フォルダ...  ウインドウなしで算出し、一行ずつ\n"
           "                                            \"CRC  MD5  パス\" を出力する\n"
           "  quenvarlith --no-gui --analyze ファイル   PAR/PAR2 ファイルの解析結果を出力する\n"
           "  quenvarlith --help | --version\n"
           "\n"
           "フォルダは直下のファイルだけを対象とし、Quenvarlith.ini の属性制限に従います。\n"
           "ハッシュ履歴 Quenvarlith.dat は読込み・保存モードの設定どおりに読み書きします。\n"
           "データフォルダは環境変数 QUENVARLITH_HOME で変更できます。\n"
           "ディスプレイが無い環境でファイルが指定された場合も --no-gui と同じに動作します。\n"
           "\n"
           "終了コード: 0 全ファイル算出済み, 1 算出できないファイルあり, 2 指定の誤り\n";
}

bool WantsHeadless(int argc, char* argv[], bool hasDisplay)
{
    bool operand = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--") {
            operand = operand || i + 1 < argc;
            break;
        }
        if (a == "--no-gui" || a == "--help" || a == "-h" || a == "--version") return true;
        if (!a.empty() && a[0] != '-') operand = true;
    }
    return !hasDisplay && operand;
}

int RunHeadless(const std::vector<std::string>& args, HeadlessEnv& env)
{
    const Command command = Parse(args);
    switch (command.mode) {
    case Mode::Help:
        env.out(HeadlessHelpText());
        return 0;
    case Mode::Version:
        env.out(std::string(kProgramVersion) + "\n");
        return 0;
    case Mode::Usage:
        env.err(command.problem + "\n" + "quenvarlith --help で使い方を表示します\n");
        return 2;
    case Mode::Hash:
    case Mode::Analyze:
        break;
    }
    const std::string dataFolder = env.dataFolder.empty() ? DataFolder() : env.dataFolder;
    const std::string cwd = env.cwd.empty() ? CurrentDirectory() : env.cwd;
    Settings settings = DefaultSettings(ScreenMetrics{}, PhysicalMemoryBytes());
    const LoadResult loaded = LoadSettings(JoinPath(dataFolder, kSettingsFileName), ScreenMetrics{},
                                           PhysicalMemoryBytes(), settings);
    if (loaded.outcome == LoadOutcome::Unreadable)
        env.err(std::string(kSettingsFileName) + ": " + loaded.errorText + "\n");
    return command.mode == Mode::Hash ? RunHash(command, settings, dataFolder, cwd, env)
                                      : RunAnalyze(command, settings, cwd, env);
}

int RunHeadless(int argc, char* argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    HeadlessEnv env;
    env.out = [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); };
    env.err = [](std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    };
    env.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    std::signal(SIGINT, OnInterrupt);
    env.interrupted = [] { return g_interrupted != 0; };
    const int code = RunHeadless(args, env);
    std::fflush(stdout);
    return code;
}

}  // namespace qv
