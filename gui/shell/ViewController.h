#pragma once
class QObject;

namespace qv {

class MainWindow;

// Switching between the four views and the Enter-key cycling.
class ViewController {
public:
    explicit ViewController(MainWindow& window) : w_(window) {}

    void CallBasicFrameClick();
    void CallClipViewerClick();
    void CallListFrameClick();
    void CallDupFrameClick();
    // FormKeyDown and the per-view key handlers: true when the key was consumed.
    bool EnterKey(QObject* focus);
    bool ArrowKey();
    // Duplicate list column fitted to its widest entry.
    void FitDupColumn();

private:
    MainWindow& w_;
};

}  // namespace qv
