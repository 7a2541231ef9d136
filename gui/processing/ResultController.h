#pragma once
#include <cstdint>
#include <string>

namespace qv {

class MainWindow;
class Prompts;

// The result panel, the duplicate list, the copy commands and the current-file commands.
class ResultController {
public:
    explicit ResultController(MainWindow& window) : w_(window) {}

    void ShowResult(int index);
    // Fills DupList for the record at index; index may be lowered (vanished duplicates).
    void FindDuplicates(int& index);
    bool HasDuplicates() const;
    // DubbleDetect shown: what the view switches go by. A drop hides it while the list keeps
    // the earlier file's rows, so a stopped batch does not lead back to that stale list.
    bool DuplicateMarkShown() const;
    // Re-renders the codes or the size after a display setting changed.
    void RefreshCodes();
    void RefreshSize();
    // Empties the name, size and codes.
    void ClearPanel();

    void XFileNameDblClick();
    void XFileSizeDblClick();
    void CopyCRCExecute();
    void CopyMD5Execute();
    void MainFileExecClick();
    void MainFileOpenClick();
    void MainFileDelClick();

    int64_t shownSize = 0;

private:
    void PutOnClipboard(const std::string& text, const char* status);

    MainWindow& w_;
    std::string shownCrc_;
    std::string shownMd5_;
};

enum class RecycleOutcome { Trashed, Declined, Failed };
// Moves a file to the trash; a read-only file is asked about first. On failure the file
// stays and errorText says why.
RecycleOutcome RecycleFile(const std::string& path, Prompts& prompts, std::string& errorText);

}  // namespace qv
