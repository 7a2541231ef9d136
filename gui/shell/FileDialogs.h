#pragma once
#include <string>
#include <vector>

namespace qv {

// The open dialogs of the window, behind a seam like the message prompts: the window shows
// real dialogs, tests answer from a script.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Several existing files; filter as "description|pattern|..." pairs.
    // Empty when the user cancelled.
    virtual std::vector<std::string> OpenFiles(const std::string& title, const std::string& folder,
                                               const std::string& filter) = 0;
};

}  // namespace qv
