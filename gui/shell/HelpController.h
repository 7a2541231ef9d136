#pragma once
#include <string>
#include <utility>

#include "gui/shell/Shell.h"

class QUrl;

namespace qv {

// The help menu: the manual in the desktop's browser, the version box, and the project's page
// when the build names one.
class HelpController {
public:
    struct Parts {
        Prompts& prompts;
        WindowFrame& frame;
        std::string manualFile;   // the shipped manual's start page
        std::string homePage;     // "" : the build names no page, and the menu offers none
        std::string dataFolder;   // named in the version box, where a user looks for the files
    };
    explicit HelpController(Parts parts) : p_(std::move(parts)) {}

    void HelpCallClick();
    void HomePageCallClick();
    void About1Click();
    bool HasHomePage() const { return !p_.homePage.empty(); }

private:
    void Open(const QUrl& url, const std::string& what);

    Parts p_;
};

// The version box: the version line, a blank line, the notes of this version, the Qt in use
// and the data folder; lines separated by '\r'.
std::string AboutText(const std::string& dataFolder);

}  // namespace qv
