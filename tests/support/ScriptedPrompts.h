#pragma once
#include "platform/Prompts.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace qv {

// Answers every prompt from a script, in order, and records what was shown. A prompt with
// nothing left in the script fails the running test (unless a default answer was set).
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Message, Input };
    struct Shown {
        Kind kind = Kind::Message;
        std::string title;
        std::string text;              // message text or input prompt
        Buttons buttons = Buttons::Ok; // Message only
        BoxIcon icon = BoxIcon::None;  // Message only
        std::string inputDefault;      // Input only: the value offered
    };

    // Queue the answer to the next message box.
    ScriptedPrompts& Push(Answer answer);
    // Queue the outcome of the next input box: accepted with value, or cancelled.
    ScriptedPrompts& PushInput(std::string value);
    ScriptedPrompts& PushInputCancel();
    // Used when the script is empty instead of failing the test.
    void SetDefaultAnswer(Answer answer) { defaultAnswer_ = answer; }

    Answer Message(const std::string& title, const std::string& text, Buttons buttons,
                   BoxIcon icon = BoxIcon::None, int defaultButton = 0) override;
    bool Input(const std::string& title, const std::string& prompt, std::string& value) override;
    void Beep() override { ++beeps_; }

    const std::vector<Shown>& shown() const { return shown_; }
    int beeps() const { return beeps_; }
    size_t pending() const { return script_.size(); }
    // Texts of all message boxes, in order.
    std::vector<std::string> MessageTexts() const;
    // Text of the last prompt shown ("" when none).
    std::string LastText() const;
    void Clear();

private:
    struct Step { Kind kind; Answer answer = Answer::Ok; bool accept = false; std::string value; };
    std::deque<Step> script_;
    std::vector<Shown> shown_;
    std::optional<Answer> defaultAnswer_;
    int beeps_ = 0;
};

}  // namespace qv
