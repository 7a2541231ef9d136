#include "cli/TerminalMode.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <optional>

#include "cli/Commands.h"
#include "cli/HashOperands.h"
#include "cli/StopSignals.h"
#include "cli/TerminalSession.h"
#include "job/BatchPaths.h"
#include "job/FileJob.h"
#include "job/FromSettings.h"
#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "platform/DirSearch.h"
#include "platform/Paths.h"
#include "platform/Sync.h"
#include "settings/SettingsFile.h"
#include "verify/ComparisonFile.h"
#include "verify/ComparisonText.h"
#include "verify/Matching.h"
#include "verify/ParAnalysis.h"
#include "verify/ParReport.h"

namespace qv {

Answer TerminalPrompts::Message(const std::string&, const std::string& text, Buttons buttons, BoxIcon, int)
{
    out_.Message(text);
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

TerminalSession::TerminalSession(HeadlessEnv& e, std::vector<std::string> ops)
    : env(e),
      operands(std::move(ops)),
      dataFolder(e.dataFolder.empty() ? DataFolder() : e.dataFolder),
      cwd(e.cwd.empty() ? CurrentDirectory() : e.cwd),
      settings(DefaultSettings(ScreenMetrics{}, PhysicalMemoryBytes())),
      out(e.out, e.err)
{
    const LoadResult loaded = LoadSettings(JoinPath(dataFolder, kSettingsFileName), ScreenMetrics{},
                                           PhysicalMemoryBytes(), settings);
    if (loaded.outcome == LoadOutcome::Unreadable)
        out.Message(std::string(kSettingsFileName) + ": " + loaded.errorText);
    hooks.prompts = &prompts;
    hooks.clock = env.clock ? env.clock : &SystemClock::Instance();
    hooks.stop = &stop;
    hooks.refreshPeriod = RefreshPeriodOf(settings);
    hooks.pump = [this] {
        if (Interrupted()) stop.Request();
    };
}

StartLoadOutcome TerminalSession::LoadHistory()
{
    const std::string path = HistoryFilePath(dataFolder);
    historyState.HistoryFileTime = HistoryFileStamp(path);
    return LoadHistoryAtStart(history, HistoryOptionsFrom(settings), historyState, path,
                              StartConditions{.withArguments = true}, hooks);
}

ExitSaveOutcome TerminalSession::SaveHistory()
{
    // The signal that stopped the work must not cut the save (a merge) short as well.
    hooks.pump = nullptr;
    stop.Clear();
    const std::string path = HistoryFilePath(dataFolder);
    ExitSaveOutcome saved = SaveHistoryAtExit(history, HistoryOptionsFrom(settings), historyState, path, hooks);
    if (!saved.keptAs.empty()) out.Message(KeptDamagedHistoryText(path, saved.keptAs));
    return saved;
}

namespace {

// The terminal commands. A new one is a row here and a function of the session.
struct CommandSpec {
    std::string_view option;    // "" : the plain hashing run
    size_t minOperands;
    size_t maxOperands;
    const char* usage;          // its operands, as the help shows them
    const char* description;    // its help line
    bool stoppable;             // polls for a stop: termination signals are caught meanwhile
    int (*run)(TerminalSession&);
};

int RunHash(TerminalSession& s)
{
    s.LoadHistory();
    const HashPass pass = HashOperands(s, s.operands, [&](const std::string& path, const FileJobOutcome& o) {
        s.out.FileLine({o.crc, o.md5}, path);
    });
    // A failed save has lost this run's records: the run did not succeed.
    const bool saved = !s.SaveHistory().Failed();
    if (pass.stopped) {
        s.out.Message("処理を中止しました");
        return 1;
    }
    return pass.failed == 0 && pass.rejected == 0 && saved ? 0 : 1;
}

int RunAnalyze(TerminalSession& s)
{
    if (s.operands[0].empty()) {
        PathItem empty;
        empty.problem = PathProblem::Empty;
        s.out.Message(ParameterErrorText("", empty));
        return 1;
    }
    const std::string path = ExpandLongPath(s.operands[0], s.cwd);
    ParAnalysisContext context{s.prompts, s.hooks.TheClock()};
    context.limit = s.settings.LimitParFileSize;
    context.par2ExtendReport = s.settings.PAR2Ex;
    context.deliver = [&](const std::string& text) { s.out.Text(text); };
    const bool ok = ParKindOfPath(path) == ParKind::Par2 ? AnalyzePar2File(path, context)
                                                         : AnalyzeParFile(path, context);
    return ok ? 0 : 1;
}

// The list as a dropped comparison file would load it, except that nothing is cut to the
// viewer's length: a terminal has no viewer, and a long list must match to its end.
ListText LoadCompareList(TerminalSession& s, const std::string& operand)
{
    ListFileOptions options;
    options.parLimit = s.settings.LimitParFileSize;
    options.par2ExtendReport = s.settings.PAR2Ex;
    options.now = s.hooks.TheClock().Now();
    if (operand == "-") return LoadListStream(s.env.inputFd, "-", options);
    return LoadListFile(ExpandLongPath(operand, s.cwd), options);
}

int RunCompare(TerminalSession& s)
{
    const std::string& operand = s.operands[0];
    ListText list;
    if (operand.empty()) list.reason = "ファイル名がありません";
    else list = LoadCompareList(s, operand);
    if (list.result != ReadStatus::Ok) {
        const std::string why =
            list.result == ReadStatus::TooLarge ? list.status : "読み込めませんでした (" + list.reason + ")";
        s.out.PathMessage("一覧ファイル ", operand, ": " + why);
        return 2;
    }
    const ComparisonText text(std::move(list.text));
    const std::vector<std::string> files(s.operands.begin() + 1, s.operands.end());
    int unmatched = 0;
    s.LoadHistory();
    const HashPass pass = HashOperands(s, files, [&](const std::string& path, const FileJobOutcome& o) {
        const MatchOutcome m = MatchComparisonText(text, {o.crc, o.md5, {}, false, false}, {false, false, false});
        if (!m.crcFound && !m.md5Found) ++unmatched;
        s.out.FileLine({o.crc, o.md5}, path, m.status);
    });
    const bool saved = !s.SaveHistory().Failed();
    if (pass.stopped) {
        s.out.Message("処理を中止しました");
        return 1;
    }
    return pass.failed == 0 && pass.rejected == 0 && unmatched == 0 && saved ? 0 : 1;
}

constexpr size_t kNoLimit = SIZE_MAX;
constexpr CommandSpec kCommands[] = {
    {"", 1, kNoLimit, "ファイル|フォルダ...",
     "ウインドウなしで算出し、一行ずつ \"CRC  MD5  パス\" を出力する", true, RunHash},
    {"--analyze", 1, 1, "ファイル", "PAR/PAR2 ファイルの解析結果を出力する", false, RunAnalyze},
    {"--compare", 2, kNoLimit, "一覧 ファイル|フォルダ...",
     "一覧 (チェックサム一覧か PAR/PAR2、- は標準入力) と照合し、一行ずつ \"CRC  MD5  パス  結果\" を出力する",
     true, RunCompare},
    {"--sfv", 2, kNoLimit, "出力先 ファイル...", "ファイルの SFV ファイルを作る（履歴に無いものは算出する）", true, RunSfv},
    {"--list", 3, kNoLimit, "書式番号 出力先 ファイル...", "リスト書式 1〜5 でファイルの一覧を作る", true, RunList},
    {"--list-tree", 3, 3, "書式番号 出力先 フォルダ", "フォルダ以下すべてのファイルの一覧をリスト書式 1〜5 で作る", true,
     RunListTree},
    {"--export", 1, 1, "出力先", "履歴を書き出す（.csv/.log はテキスト形式、.dat はバイナリ形式）", false, RunExport},
    {"--import", 1, kNoLimit, "履歴ファイル...", "履歴ファイル (.csv .log .dat) を履歴に取り込む", true, RunImport},
    {"--register", 1, 1, "フォルダ", "フォルダ以下すべてのファイルを算出して履歴に登録する", true, RunRegister},
    {"--forget", 1, 1, "フォルダ", "フォルダ以下のファイルの履歴を削除する", false, RunForget},
};

const CommandSpec* FindCommand(std::string_view option)
{
    for (const CommandSpec& c : kCommands)
        if (!c.option.empty() && c.option == option) return &c;
    return nullptr;
}

std::string UsageLine(const CommandSpec& c)
{
    std::string line = "quenvarlith --no-gui ";
    if (!c.option.empty()) {
        line += c.option;
        line += ' ';
    }
    return line + c.usage;
}

enum class Mode { Run, Help, Version, Usage };

struct Command {
    Mode mode = Mode::Usage;
    const CommandSpec* spec = &kCommands[0];
    std::vector<std::string> operands;
    std::string problem;
};

Command Parse(const std::vector<std::string>& args)
{
    Command c;
    bool help = false, version = false, optionsOver = false;
    const CommandSpec* chosen = nullptr;
    for (const std::string& a : args) {
        if (optionsOver || a.size() < 2 || a[0] != '-') {
            c.operands.push_back(a);
        } else if (a == "--") {
            optionsOver = true;
        } else if (a == "--help" || a == "-h") {
            help = true;
        } else if (a == "--version") {
            version = true;
        } else if (const CommandSpec* spec = FindCommand(a)) {
            if (chosen && chosen != spec && c.problem.empty())
                c.problem = std::string("同時に指定できません: ") + std::string(chosen->option) + " " + a;
            chosen = spec;
        } else if (a != "--no-gui" && c.problem.empty()) {
            c.problem = "不明なオプション: " + a;
        }
    }
    if (chosen) c.spec = chosen;
    if (help) {
        c.mode = Mode::Help;
    } else if (version) {
        c.mode = Mode::Version;
    } else if (!c.problem.empty()) {
        c.mode = Mode::Usage;
    } else if (!chosen && c.operands.empty()) {
        c.problem = "ファイルが指定されていません";
    } else if (c.operands.size() < c.spec->minOperands || c.operands.size() > c.spec->maxOperands) {
        c.problem = "指定の誤り: " + UsageLine(*c.spec);
    } else {
        c.mode = Mode::Run;
    }
    return c;
}

}  // namespace

std::string HeadlessHelpText(const std::string& manualFile)
{
    std::string text = std::string(kProgramVersion) +
                       " - CRC-32 と MD5 によるファイル検査\n"
                       "\n"
                       "使い方:\n"
                       "  quenvarlith [ファイル|フォルダ]...\n"
                       "      ウインドウで算出する\n";
    for (const CommandSpec& c : kCommands) text += "  " + UsageLine(c) + "\n      " + c.description + "\n";
    return text +
           "  quenvarlith --help | --version\n"
           "\n"
           "フォルダは直下のファイルだけを対象とし、Quenvarlith.ini の属性制限に従います。\n"
           "パスに \\ 改行 復帰 を含む行は md5sum と同じく \\ で始まり、それらを \\\\ \\n \\r と書きます。\n"
           "ハッシュ履歴 Quenvarlith.dat は読込み・保存モードの設定どおりに読み書きします。\n"
           "SIGINT, SIGTERM, SIGHUP では処理中のファイルで止め、出力済みの行と履歴を残して終了します。\n"
           "データフォルダは環境変数 QUENVARLITH_HOME で変更できます。\n"
           "ディスプレイが無い環境でファイルが指定された場合も --no-gui と同じに動作します。\n"
           "\n"
           "終了コード: 0 全ファイル算出済み (--compare では全ファイルが一覧と一致),\n"
           "            1 算出できない・一致しないファイルあり, 2 指定の誤り・一覧が読めない,\n"
           "            128+n シグナル n で中断\n" +
           (FileExists(manualFile) ? "\n説明書 (HTML): " + manualFile + "\n" : std::string());
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
        if (a == "--no-gui" || a == "--help" || a == "-h" || a == "--version" || FindCommand(a)) return true;
        if (!a.empty() && a[0] != '-') operand = true;
    }
    return !hasDisplay && operand;
}

int RunHeadless(const std::vector<std::string>& args, HeadlessEnv& env)
{
    const Command command = Parse(args);
    switch (command.mode) {
    case Mode::Help:
        env.out(HeadlessHelpText(
            JoinPath(env.shippedFolder.empty() ? ShippedDataFolder() : env.shippedFolder, kManualFile)));
        return 0;
    case Mode::Version:
        env.out(std::string(kProgramVersion) + "\n");
        return 0;
    case Mode::Usage:
        env.err(command.problem + "\n" + "quenvarlith --help で使い方を表示します\n");
        return 2;
    case Mode::Run:
        break;
    }
    if (command.spec->stoppable && env.catchStops) env.catchStops();
    TerminalSession session(env, command.operands);
    return command.spec->run(session);
}

int RunHeadless(int argc, char* argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    HeadlessEnv env;
    // Flushed at once: a reader at the other end of a pipe gets each file as it is done, and
    // nothing printed is lost however the process ends.
    env.out = [](std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    };
    env.err = [](std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    };
    env.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    std::optional<StopSignals> stops;
    env.catchStops = [&] { stops.emplace(); };
    env.interrupted = [] { return StopSignals::Caught() != 0; };
    const int code = RunHeadless(args, env);
    std::fflush(stdout);
    stops.reset();
    StopSignals::EndAsCaught();
    return code;
}

}  // namespace qv
