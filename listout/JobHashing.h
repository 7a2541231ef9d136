#pragma once
#include <functional>

#include "listout/ListCommands.h"

namespace qv {

class FileJob;

// The hashing step of the list commands run by the per-file job itself, as the terminal mode
// runs it (the window runs its processing driver instead). The files are hashed in one batch
// without recalculation; a report of the job (which requests a stop) or interrupted()
// returning true stops the batch and makes the step fail, so no list carries codes of a file
// that could not be read.
HashFilesStep HashThroughJob(FileJob& job, std::function<bool()> interrupted = {});

}  // namespace qv
