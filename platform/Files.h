#pragma once
#include <string>
#include <string_view>

namespace qv {

// Opens a regular file for reading without ever blocking (a FIFO at the path would wait for a
// writer for ever): -1 with errorCode set when it cannot be opened or is no regular file.
int OpenRegularFile(const std::string& path, int& errorCode);
// Whole-file read. False with errorText (the platform's reason) on failure.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& errorText);
// The whole file through an AtomicWriter: a failure never leaves a half-written file in place
// of a good one.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& errorText);
// Gives the bytes of an existing file a second name that no file has yet (a hard link, else a
// copy), so the file may be replaced while its bytes stay. False with errorCode otherwise.
bool KeepFileAs(const std::string& path, const std::string& newName, int& errorCode);
// The platform's message for an errno-style code, without trailing blanks, breaks or full stops.
std::string PlatformErrorText(int code);

}  // namespace qv
