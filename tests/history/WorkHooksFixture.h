#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/WorkHooks.h"
#include "platform/Clock.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

namespace qv {

// A history seam that records what the window would have shown, with a fixed clock,
// scripted prompts and a cancel flag the test can raise.
class WorkHooksFixture : public ::testing::Test {
protected:
    explicit WorkHooksFixture(double now) : clock(now, 0) {}

    WorkHooks Ui()
    {
        WorkHooks ui;
        ui.clock = &clock;
        ui.prompts = &prompts;
        ui.stop = &stop;
        ui.refreshPeriod = 0;
        ui.status = [this](const std::string& s) { statuses.push_back(s); };
        ui.fileLabel = [this](const std::string& s) { labels.push_back(s); };
        ui.title = [this](const std::string& s) { titles.push_back(s); };
        ui.busyComment = [this](const std::string& s) { comments.push_back(s); };
        ui.busyPanel = [this](bool shown) { panel.push_back(shown); };
        return ui;
    }

    TempDir dir;
    ManualClock clock;
    ScriptedPrompts prompts;
    StopFlag stop;
    std::vector<std::string> statuses, labels, titles, comments;
    std::vector<bool> panel;
};

}  // namespace qv
