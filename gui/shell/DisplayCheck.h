#pragma once

namespace qv {

// True when a window can be shown: an X11 or Wayland display, or a Qt platform chosen explicitly.
bool HasDisplay();
// What to tell a user who started the window without a display.
const char* NoDisplayMessage();

}  // namespace qv
