#pragma once
#include <functional>
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
    // One existing file, the first filter entry selected; "" when cancelled.
    virtual std::string OpenFile(const std::string& title, const std::string& folder,
                                 const std::string& filter) = 0;
    // The wave-file chooser: lists only .wav files, starts on startFile when there is one
    // (else in startFolder), hands every file the user moves to over to preview, and returns
    // the chosen file's full path ("" when cancelled).
    virtual std::string ChooseSoundFile(const std::string& startFile, const std::string& startFolder,
                                        const std::function<void(const std::string&)>& preview) = 0;
};

}  // namespace qv
