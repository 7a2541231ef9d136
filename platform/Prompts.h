#pragma once
#include <string>

namespace qv {

// Every modal interaction goes through this seam: the window shows real dialogs, tests answer
// from a script. Texts are UTF-8 and may hold '\r' between lines and '\t' between label and value.
enum class Buttons {
    Ok, OkCancel, YesNo, YesNoCancel, YesCancel, AbortRetryIgnore, RetryCancel, AbortIgnore,
    OkIgnore, OkNo, AbortRetry,
};
enum class Answer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };
enum class BoxIcon { None, Information, Warning, Error, Question };

class Prompts {
public:
    virtual ~Prompts() = default;
    // defaultButton: 0-based index into the buttons of the kind.
    virtual Answer Message(const std::string& title, const std::string& text, Buttons buttons,
                           BoxIcon icon = BoxIcon::None, int defaultButton = 0) = 0;
    // Input box: false when cancelled; value holds the default on entry.
    virtual bool Input(const std::string& title, const std::string& prompt, std::string& value) = 0;
    // The standard alert beep.
    virtual void Beep() = 0;
};

}  // namespace qv
