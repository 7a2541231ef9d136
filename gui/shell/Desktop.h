#pragma once
#include <QUrl>

#include <string>
#include <vector>

namespace qv {

// A file: URL of a path whose bytes travel percent-encoded, so a name that is not valid UTF-8
// still reaches the application that opens it.
QUrl LocalFileUrl(const std::string& path);
// Opens a file with the desktop's default application, or a folder in the file manager.
// Failures are the desktop's to report (no associated program, missing target).
void OpenWithDesktop(const std::string& path);

class Prompts;

// Gone: there was no such file any more.
enum class RecycleOutcome { Trashed, Gone, Declined, Failed };
// Moves a file to the freedesktop.org trash; a read-only file is asked about first. On failure
// the file stays and errorText says why.
RecycleOutcome RecycleFile(const std::string& path, Prompts& prompts, std::string& errorText);
// The box that tells which files the trash refused, and why (the first reason).
std::string TrashFailureText(const std::vector<std::string>& paths, const std::string& errorText);

}  // namespace qv
