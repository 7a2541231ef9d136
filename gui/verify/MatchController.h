#pragma once
#include <functional>
#include <string>

#include "gui/shell/Shell.h"

namespace qv {

class ClipViewer;
class StopFlag;

// The matching pass of the shown result against the comparison text, and the viewer's popup
// commands that work with the result: the three finds, copying a selection, history search.
class MatchController final : public ComparisonCheck {
public:
    struct Parts {
        Settings& settings;
        HashHistory& history;
        ClipViewer& viewer;
        ResultView& result;
        StatusLine& status;
        WindowFrame& frame;
        Pages& pages;
        ViewSwitch& views;
        Notifier& notifier;
        // The batch's stop request, set after a cancelled or failed batch until the next one.
        std::function<StopFlag&()> batchStop;
    };
    explicit MatchController(Parts parts) : p_(std::move(parts)) {}

    // ComparisonCheck: marks, code colours, status line and sound.
    void MatchComparisonText() override;
    // CloseupMD5 / CloseupCRC / CloseupFileName, after the setting flipped.
    void CloseupClick() { MatchComparisonText(); }
    void MD5M2Click() { FindInViewer(p_.result.ShownMd5()); }
    void CRCC2Click() { FindInViewer(p_.result.ShownCrc()); }
    void N5Click() { FindInViewer(p_.result.ShownName()); }
    void FindInViewer(const std::string& key);
    void CopyAreaClick();
    void LogSearchClick();

private:
    Parts p_;
};

}  // namespace qv
