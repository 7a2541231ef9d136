#pragma once
#include <QObject>

#include <cstdint>
#include <string>

#include "gui/shell/Shell.h"
#include "verify/ComparisonFile.h"

namespace qv {

class ClipViewer;
class Clock;

// Everything that fills the comparison text: clipboard mirroring and the paste command, text
// comparison files, PAR and PAR2 reports, and a comparison or PAR file handed to the driver
// alone. Each load ends in the matching pass.
class ComparisonLoader final : public QObject, public ComparisonFiles {
public:
    struct Parts {
        Settings& settings;
        ClipViewer& viewer;
        ComparisonCheck& check;
        StatusLine& status;
        Prompts& prompts;
        FileDialogs& dialogs;
        WindowFrame& frame;
        const Clock& clock;   // the PAR reports' time stamp
    };
    // Starts listening to the clipboard.
    explicit ComparisonLoader(const Parts& parts);

    // ExtTxtClick (after an item flipped its tick) and the start-up build.
    void BuildExtensionStrings();
    const ExtensionStrings& Strings() const { return strings_; }
    void OptionExtInputClick();

    // With the clipboard mirrored the text goes over the clipboard and comes back through
    // its change notification; otherwise straight into the viewer.
    void DeliverComparisonText(std::string text);
    // Once the settings are read: text already on the clipboard is taken in as a change would
    // be, so a list copied before the program started is compared with the first file too.
    void JoinClipboard() { ClipboardChanged(); }
    void LoadClipboardText();
    void PasteClipboardClick();
    void OpenTextClick();
    // A text comparison file of at most maxBytes.
    void LoadComparisonFile(const std::string& path, int64_t maxBytes);
    // True when the report was delivered from a well-formed parity file.
    bool AnalyzeParFile(const std::string& path, ListRoute route);

    // ComparisonFiles.
    bool DispatchSingleFile(const std::string& path) override;

private:
    void ClipboardChanged();

    Parts p_;
    ExtensionStrings strings_;
    bool loading_ = false;
};

}  // namespace qv
