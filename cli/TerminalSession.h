#pragma once
// What every terminal command works with: the settings and data folder, the history, the
// output writer, message boxes as text and the stop request. TerminalMode.cpp sets it up and
// hands it to the command's function.

#include <string>
#include <vector>

#include "cli/OutputWriter.h"
#include "cli/TerminalMode.h"
#include "history/HashHistory.h"
#include "history/HistoryPersistence.h"
#include "platform/Prompts.h"
#include "platform/StopFlag.h"
#include "platform/WorkHooks.h"
#include "settings/Settings.h"

namespace qv {

// Message boxes become text on standard error; questions take the answer that changes
// nothing (Abort, Cancel, No), so an unattended run never loops or destroys data.
class TerminalPrompts final : public Prompts {
public:
    explicit TerminalPrompts(const OutputWriter& out) : out_(out) {}
    Answer Message(const std::string& title, const std::string& text, Buttons buttons, BoxIcon icon,
                   int defaultButton) override;
    bool Input(const std::string&, const std::string&, std::string&) override { return false; }
    void Beep() override {}

private:
    const OutputWriter& out_;
};

struct TerminalSession {
    // Reads the settings of the data folder.
    TerminalSession(HeadlessEnv& env, std::vector<std::string> operands);
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    HeadlessEnv& env;
    const std::vector<std::string> operands;   // the arguments after the command's option
    std::string dataFolder;
    std::string cwd;
    Settings settings;
    OutputWriter out;
    TerminalPrompts prompts{out};
    StopFlag stop;
    // Prompts, clock, stop flag and refresh period; the pump turns a signal into a stop.
    WorkHooks hooks;
    HashHistory history;
    HistoryFileState historyState;

    // A termination signal has come.
    bool Interrupted() const { return env.interrupted && env.interrupted(); }
    // The start-up load and the exit save, as the window does them.
    StartLoadOutcome LoadHistory();
    ExitSaveOutcome SaveHistory();
};

}  // namespace qv
