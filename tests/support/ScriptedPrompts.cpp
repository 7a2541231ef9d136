#include "support/ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qv {
namespace {

// The answers a button kind offers, in button order.
std::vector<Answer> AnswersOf(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return {Answer::Ok};
    case Buttons::OkCancel: return {Answer::Ok, Answer::Cancel};
    case Buttons::YesNo: return {Answer::Yes, Answer::No};
    case Buttons::YesNoCancel: return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::YesCancel: return {Answer::Yes, Answer::Cancel};
    case Buttons::AbortRetryIgnore: return {Answer::Abort, Answer::Retry, Answer::Ignore};
    case Buttons::RetryCancel: return {Answer::Retry, Answer::Cancel};
    case Buttons::AbortIgnore: return {Answer::Abort, Answer::Ignore};
    case Buttons::OkIgnore: return {Answer::Ok, Answer::Ignore};
    case Buttons::OkNo: return {Answer::Ok, Answer::No};
    case Buttons::AbortRetry: return {Answer::Abort, Answer::Retry};
    }
    return {};
}

}  // namespace

ScriptedPrompts& ScriptedPrompts::Push(Answer answer)
{
    script_.push_back(Step{Kind::Message, answer, false, {}});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::PushInput(std::string value)
{
    script_.push_back(Step{Kind::Input, Answer::Ok, true, std::move(value)});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::PushInputCancel()
{
    script_.push_back(Step{Kind::Input, Answer::Cancel, false, {}});
    return *this;
}

Answer ScriptedPrompts::Message(const std::string& title, const std::string& text,
                                Buttons buttons, BoxIcon icon, int)
{
    shown_.push_back({Kind::Message, title, text, buttons, icon, {}});

    const std::vector<Answer> offered = AnswersOf(buttons);
    Answer answer;
    if (script_.empty()) {
        if (!defaultAnswer_) {
            ADD_FAILURE() << "unexpected message box \"" << title << "\": " << text;
            return offered.empty() ? Answer::Cancel : offered.back();
        }
        answer = *defaultAnswer_;
        // A default that the box does not offer falls back to its last button (the "safe" one).
        if (std::find(offered.begin(), offered.end(), answer) == offered.end())
            answer = offered.back();
        return answer;
    }
    const Step step = script_.front();
    script_.pop_front();
    if (step.kind != Kind::Message) {
        ADD_FAILURE() << "script expected an input box but a message box was shown: " << text;
        return offered.back();
    }
    if (std::find(offered.begin(), offered.end(), step.answer) == offered.end())
        ADD_FAILURE() << "scripted answer " << static_cast<int>(step.answer) << " is not a button of the box: " << text;
    return step.answer;
}

bool ScriptedPrompts::Input(const std::string& title, const std::string& prompt,
                            std::string& value)
{
    shown_.push_back({Kind::Input, title, prompt, Buttons::Ok, BoxIcon::None, value});
    if (script_.empty()) {
        ADD_FAILURE() << "unexpected input box \"" << title << "\": " << prompt;
        return false;
    }
    const Step step = script_.front();
    script_.pop_front();
    if (step.kind != Kind::Input) {
        ADD_FAILURE() << "script expected a message box but an input box was shown: " << prompt;
        return false;
    }
    if (step.accept) value = step.value;
    return step.accept;
}

std::vector<std::string> ScriptedPrompts::MessageTexts() const
{
    std::vector<std::string> texts;
    for (const Shown& s : shown_)
        if (s.kind == Kind::Message) texts.push_back(s.text);
    return texts;
}

std::string ScriptedPrompts::LastText() const
{
    return shown_.empty() ? std::string() : shown_.back().text;
}

void ScriptedPrompts::Clear()
{
    script_.clear();
    shown_.clear();
    beeps_ = 0;
}

}  // namespace qv
