#pragma once
// The hashing pass of the terminal commands: named files in the order given, a named folder's
// files (directly inside, as the file mask admits them) in listing order, through the same job
// and history as the window, with the next file read ahead.

#include <functional>
#include <string>
#include <vector>

namespace qv {

struct FileJobOutcome;
struct TerminalSession;

struct HashPass {
    int hashed = 0;     // files that got their codes
    int failed = 0;     // files that did not (reported on standard error)
    int rejected = 0;   // operands that named nothing to hash (reported as パラメータエラー)
    bool stopped = false;   // a termination signal ended the pass early
};

// done: each file that got its codes, as soon as it has them.
HashPass HashOperands(TerminalSession& session, const std::vector<std::string>& operands,
                      const std::function<void(const std::string& path, const FileJobOutcome&)>& done);

}  // namespace qv
