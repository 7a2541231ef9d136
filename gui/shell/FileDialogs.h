#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qv {

// One entry of a dialog's file-type list: "MD5 FileName(*.MD5)" with "*.MD5" (';' between
// several patterns). Kept apart, so a description may hold any character.
struct FileFilter {
    std::string description;
    std::string patterns;
};

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
    // A file to write, proposed as fileName (a full path); asks before replacing a file and
    // refuses a read-only one. filterIndex (from 1) selects the filter entry at the start and
    // holds the one chosen when the dialog closed. "" when cancelled.
    virtual std::string SaveFile(const std::string& title, const std::string& fileName,
                                 const std::vector<FileFilter>& filters, int& filterIndex) = 0;
    // A folder, the prompt (lines split by '\r') shown beside the folders; "" when cancelled.
    virtual std::string ChooseFolder(const std::string& prompt, const std::string& startFolder) = 0;
    // The colour dialog, opened on colour (0x00BBGGRR); false when cancelled, and colour
    // holds the choice when not.
    virtual bool ChooseColour(uint32_t& colour) = 0;
};

}  // namespace qv
