#pragma once
#include <gtest/gtest.h>

#include "HistoryFileContents.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/WorkHooks.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

namespace qv {

using Texts = std::vector<std::string>;

// Hooks that record what the window would show; clock fixed at 2024/06/01 12:00, scripted prompts,
// every refresh due.
class WorkHooksFixture : public ::testing::Test {
protected:
    WorkHooksFixture() : clock(EncodeDateTime({2024, 6, 1, 12, 0, 0}), 0) { ui = Ui(); }

    WorkHooks Ui()
    {
        WorkHooks hooks;
        hooks.clock = &clock;
        hooks.prompts = &prompts;
        hooks.stop = &stop;
        hooks.refreshPeriod = 0;
        hooks.status = [this](const std::string& s) { statuses.push_back(s); };
        hooks.fileLabel = [this](const std::string& s) { labels.push_back(s); };
        hooks.title = [this](const std::string& s) { titles.push_back(s); };
        hooks.busyComment = [this](const std::string& s) { comments.push_back(s); };
        hooks.busyPanel = [this](bool shown) { panel.push_back(shown); };
        return hooks;
    }

    void ForgetShown() { statuses = labels = titles = comments = {}; }

    TempDir dir;
    ManualClock clock;
    ScriptedPrompts prompts;
    StopFlag stop;
    Texts statuses, labels, titles, comments;
    std::vector<bool> panel;
    WorkHooks ui;
};

}  // namespace qv
