#pragma once
#include <string>

namespace qv {

class Prompts;
struct Settings;
struct SettingsFileChange;

inline constexpr const char* kStartupCloseWarning =
    "起動中のため、プログラムを終了出来ません\r急いで終了する場合「中止」ボタンで読み取りを止めてから、終了して下さい";
inline constexpr const char* kBatchCloseWarning =
    "ファイル読み取り中のため、プログラムを終了出来ません\r処理中画面の「中止」ボタンで読み取りを止めるか、"
    "読み取りを待って終了して下さい\r[ＯＫ]を押すと処理中画面に戻ります。[無視(I)]を押すと強制終了となります"
    "\r\r※注意※\r強制終了した場合、ファイルが破損する恐れがあります";
inline constexpr const char* kShutdownComment = "Quenvarlith終了中　しばらくお待ちください";
inline constexpr const char* kHashingComment = "ハッシュコード計算中　しばらくお待ち下さい";

// The question when another program changed the settings file while we ran.
std::string SettingsChangedQuestion(double recordedTime, double currentTime);

// Where the close request stands.
struct CloseState {
    bool busy = false;          // the busy display is shown
    bool startingUp = false;    // the history is still being loaded
    bool askQuestions = true;   // false for a close by signal: nobody is there to answer
};

struct CloseDecision {
    bool allow = true;
    bool saveSettings = true;
};

// The close question sequence: refused during start-up, refused during a batch unless the
// user insists with Ignore, then whether settings changed elsewhere may be overwritten.
CloseDecision DecideClose(const CloseState& state, const SettingsFileChange& change, Prompts& prompts);

}  // namespace qv
