#pragma once

class QMenu;

namespace qv {

class BrowserCommands;
class DupListCommands;

// The own items of the list frame's popup PpFlist and of the duplicate list's popup PpDup,
// in their fixed order; the view switches follow after a separator.
void BuildFileListPopup(QMenu& ppFlist, BrowserCommands& commands);
void BuildDupListPopup(QMenu& ppDup, DupListCommands& commands);

}  // namespace qv
