#pragma once
#include <string>
#include <string_view>

namespace qv {

// Whole-file read. False with errorText (the platform's reason) on failure.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& errorText);
// Writes to a temporary file in the same folder, flushes, then renames over the target, so a
// failure never leaves a half-written file in place of a good one.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& errorText);
// The platform's message for an errno-style code, without trailing blanks, breaks or full stops.
std::string PlatformErrorText(int code);

}  // namespace qv
