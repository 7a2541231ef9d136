#pragma once
#include <string>
#include <vector>

#include "gui/shell/Shell.h"
#include "listout/ListCommands.h"

class QWidget;

namespace qv {

class Clock;
class FormatSetForm;

// List output in the window: the list-format dialog, lists and SFV files of chosen files, and
// lists of whole folder trees. The codes come from the history; what it lacks is hashed by
// the processing driver first, quietly.
class ListOutputController {
public:
    struct Parts {
        Settings& settings;
        HashHistory& history;
        Driver& driver;
        Prompts& prompts;
        FileDialogs& dialogs;
        StatusLine& status;
        MessagePump& pump;
        BusyPanel& busy;
        FormatMenus& menus;
        const Clock& clock;   // the SFV file's moment of writing
        QWidget* window;      // the dialogs' parent
    };
    explicit ListOutputController(const Parts& parts);
    ListOutputController(const ListOutputController&) = delete;
    ListOutputController& operator=(const ListOutputController&) = delete;

    // SetFileFormat: the list-format dialog, then the menu captions.
    void SetFileFormatClick();
    // CheckFileFormat1..5 (n) and SFVMake: a list of the selected files, given as full paths
    // in view order, to a file the save dialog names.
    void CheckFileFormatClick(int n, const std::vector<std::string>& selection);
    void SFVMakeClick(const std::vector<std::string>& selection);
    // ListMenu1..5 (n): a list of a whole folder tree chosen with the folder picker.
    void MakeFileList(int n);

private:
    CodeSource Codes();
    // Hashes the paths in one quiet batch; false when a stop was requested.
    bool HashInDriver(const std::vector<std::string>& paths);
    ListStyle StyleOf(int n) const;
    void Report(const ListResult& result);

    Parts p_;
    FormatSetForm* dialog_;   // lives as long as the window
    std::string lastTreeFolder_;
};

}  // namespace qv
