#pragma once
// The functions behind the rows of the terminal mode's command table, one file per family.

namespace qv {

struct TerminalSession;

// --sfv OUT FILE..., --list N OUT FILE..., --list-tree N OUT FOLDER
int RunSfv(TerminalSession& session);
int RunList(TerminalSession& session);
int RunListTree(TerminalSession& session);

// --export OUT, --import FILE..., --register FOLDER, --forget FOLDER
int RunExport(TerminalSession& session);
int RunImport(TerminalSession& session);
int RunRegister(TerminalSession& session);
int RunForget(TerminalSession& session);

}  // namespace qv
