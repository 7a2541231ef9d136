#include "gui/shell/DisplayCheck.h"

#include <cstdlib>

namespace qv {

namespace {
bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}
}  // namespace

bool HasDisplay()
{
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

const char* NoDisplayMessage()
{
    return "quenvarlith: no display found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
           "The window needs a graphical desktop. Without one, hash files in the terminal:\n"
           "    quenvarlith --no-gui FILE...\n"
           "or run the window under a virtual display:\n"
           "    xvfb-run -a quenvarlith [FILE...]\n";
}

}  // namespace qv
