#include "processing/Lifecycle.h"

#include "processing/ResultPanel.h"
#include "history/HistoryPersistence.h"
#include "platform/DateFormat.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

namespace qv {

std::string SettingsChangedQuestion(double recordedTime, double currentTime)
{
    return "設定情報が別のプログラムにより更新されています\r\r設定情報記録日時 " +
           DateTimeToText(recordedTime) + " -> " + DateTimeToText(currentTime) + "\r" +
           "情報を上書きしてもよろしいですか？" + "\r\r" +
           "[はい]を押すと情報を上書きします。[いいえ]を押すと設定情報を保存せず終了します";
}

CloseDecision DecideClose(const CloseState& state, const SettingsFileChange& change, Prompts& prompts)
{
    CloseDecision d;
    if (state.busy && state.askQuestions) {
        if (state.startingUp) {
            prompts.Message(kAppTitle, kStartupCloseWarning, Buttons::Ok, BoxIcon::Warning);
            d.allow = false;
            return d;
        }
        // OK goes back to the busy display; only Ignore forces the close.
        const Answer a =
            prompts.Message(kAppTitle, kBatchCloseWarning, Buttons::OkIgnore, BoxIcon::Warning);
        if (a != Answer::Ignore) {
            d.allow = false;
            return d;
        }
    }
    if (change.changed && change.existsNow) {
        if (!state.askQuestions) {
            // Nobody can be asked: the other program's edit wins.
            d.saveSettings = false;
        } else {
            const Answer a = prompts.Message(kAppTitle,
                                             SettingsChangedQuestion(change.recordedTime, change.currentTime),
                                             Buttons::YesNo, BoxIcon::Warning);
            if (a == Answer::No) d.saveSettings = false;
        }
    }
    return d;
}

}  // namespace qv
