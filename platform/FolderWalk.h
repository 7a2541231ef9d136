#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace qv {

struct FoundEntry;

// Called for every accepted file with its full path and what the folder listing found.
using WalkFileVisitor = std::function<void(const std::string& path, const FoundEntry& entry)>;
// Runs after each folder taken from the folder queue; false stops the walk.
using WalkFolderStep = std::function<bool()>;

// Breadth-first walk of a folder tree under the attribute masks. A subfolder is queued, and a
// file visited, only when all its attributes lie in the folder or file mask. Each queued
// folder (the start folder included) is first looked up itself with the folder mask, so a
// hidden or system folder is not walked while such folders are restricted. The root "/" is
// walked without that look-up and without a step. Symbolic links to folders are not followed,
// so a link loop cannot make the walk endless; links to files are visited like files.
// Entries come in the order the file system lists them. False when the step stopped the walk.
bool WalkFolderTree(const std::string& folder, uint32_t folderMask, uint32_t fileMask,
                    const WalkFileVisitor& onFile, const WalkFolderStep& afterFolder = {});

}  // namespace qv
