#pragma once
#include <QString>

#include "gui/shell/FileDialogs.h"
#include "platform/Prompts.h"

class QWidget;

namespace qv {

// The real dialogs: message boxes, input boxes and file dialogs over the main window.
class QtPrompts final : public Prompts, public FileDialogs {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    Answer Message(const std::string& title, const std::string& text, Buttons buttons,
                   BoxIcon icon = BoxIcon::None, int defaultButton = 0) override;
    bool Input(const std::string& title, const std::string& prompt, std::string& value) override;
    void Beep() override;
    std::vector<std::string> OpenFiles(const std::string& title, const std::string& folder,
                                       const std::string& filter) override;
    std::string OpenFile(const std::string& title, const std::string& folder,
                         const std::string& filter) override;
    std::string ChooseSoundFile(const std::string& startFile, const std::string& startFolder,
                                const std::function<void(const std::string&)>& preview) override;
    std::string SaveFile(const std::string& title, const std::string& fileName, const std::vector<FileFilter>& filters,
                         int& filterIndex) override;
    std::string ChooseFolder(const std::string& prompt, const std::string& startFolder) override;
    bool ChooseColour(uint32_t& colour) override;

    // The program is ending (a termination signal): from now on every box gets its most
    // cautious answer at once without being shown, and every dialog is cancelled.
    void AnswerCautiouslyFromNowOn() { ending_ = true; }

private:
    QWidget* parent_;
    bool ending_ = false;
};

// Gives every dialog on screen its most cautious answer: a message box its Cancel, No, Abort
// or Ok button, in that order of preference; any other dialog is cancelled.
void AnswerOpenDialogsCautiously();
// True while a dialog started here has not yet returned to its caller.
bool DialogsRunning();

// "desc|*.a;*.b|desc2|*.*" -> the Qt form "desc (*.a *.b);;desc2 (*)".
QString QtFilterFrom(const std::string& filter);
// One entry of the Qt form: "desc (*.a *.b)".
QString QtFilterEntry(const QString& description, const QString& patterns);
// Message texts use '\r' between lines.
QString DialogText(const std::string& text);
QString ToQ(const std::string& utf8);
std::string FromQ(const QString& text);

}  // namespace qv
